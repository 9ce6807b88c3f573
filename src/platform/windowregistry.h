#pragma once

#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

class QComboBox;
class QRadioButton;

namespace kx47
{

// Every window of the program exists at most once. It is created on first use, by a menu
// command or hidden by another window's call; "Exit" hides it and keeps its content, its close
// box discards it (the window sets Qt::WA_DeleteOnClose) and the next use creates it afresh.
// A window opens where it stood, with the size it had, when it was last hidden or closed.
class WindowRegistry
{
public:
    using Factory = std::function<QWidget *()>;
    using Hook = std::function<void(QWidget *)>;

    WindowRegistry() = default;
    ~WindowRegistry();
    WindowRegistry(const WindowRegistry &) = delete;
    WindowRegistry &operator=(const WindowRegistry &) = delete;

    // beforeShow runs each time a menu command is about to show the window.
    void registerWindow(const QString &name, Factory factory, Hook beforeShow = {});
    bool isRegistered(const QString &name) const;

    // The window, created hidden when it does not exist; null for an unknown name.
    QWidget *get(const QString &name);
    template <class W> W *get(const QString &name) { return qobject_cast<W *>(get(name)); }
    // The window if it exists now, without creating it.
    QWidget *find(const QString &name) const;
    template <class W> W *find(const QString &name) const { return qobject_cast<W *>(find(name)); }

    // Creates the window when needed, runs its beforeShow hook, shows it modeless and brings it
    // to the front. Does nothing for a window that is not built into the program.
    QWidget *show(const QString &name);

    // Choices a window keeps between sessions, such as the order of a list; called as the window
    // is made. The first window of a session starts with the choice saved last time (fallback
    // when there is none); one made afresh after its close box starts with the first choice, as
    // a new window does. Each later choice is saved.
    void keepChoice(const QString &window, const QString &key, const QList<QRadioButton *> &options,
                    QRadioButton *fallback);
    // The same for the item of a list box; the first choice is the item current now.
    void keepChoice(const QString &window, const QString &key, QComboBox *combo);

    // Discards every window at once, as the program ends, keeping the place of those shown.
    void closeAll();
    // Hides every window, keeping the place of those shown, without discarding any: for an end
    // that may come while a window's action still runs (see Application).
    void hideAll();

private:
    struct Entry {
        Factory factory;
        Hook beforeShow;
        QPointer<QWidget> window;
        int made = 0;
    };
    bool madeBefore(const QString &name) const;
    QHash<QString, Entry> m_entries;
};

} // namespace kx47
