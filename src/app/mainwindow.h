#pragma once

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

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QMenu *addMenu(const QString &name, const QString &caption);
    QAction *addItem(QMenu *menu, const QString &name, const QString &caption);
    void addSeparator(QMenu *menu, const QString &name);
    void openHelpDocument(const QString &relativePath);

    AppContext &m_context;
    std::function<void()> m_quit;
};

} // namespace kx47
