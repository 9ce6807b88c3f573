#pragma once

#include "adifcommands.h"

#include <QMainWindow>
#include <functional>

class QAction;
class QMenu;

namespace kx47
{

struct AppContext;

// The main window "principale": the certificate picture, the menus that reach every other
// window, and "Exit". Closing it ends the program.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    MainWindow(AppContext &context, std::function<void()> quit);

    // The Database menu's ADIF import, for a file given on the command line.
    void importAdif(const QString &path) { m_adif.importFile(path); }
    void importFiles(const QStringList &paths) { m_adif.importFiles(paths); }
    // Runs work once, when the window has been painted for the first time.
    void whenPainted(std::function<void()> work) { m_painted = std::move(work); }

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QMenu *addMenu(const QString &name, const QString &caption);
    QAction *addItem(QMenu *menu, const QString &name, const QString &caption);
    void addSeparator(QMenu *menu, const QString &name);
    void openHelpDocument(const QString &relativePath);

    AppContext &m_context;
    std::function<void()> m_quit;
    AdifCommands m_adif;
    std::function<void()> m_painted;
};

} // namespace kx47
