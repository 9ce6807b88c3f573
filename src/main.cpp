#include "app/application.h"
#include "platform/qtdesktop.h"
#include "platform/qtdialogs.h"
#include "platform/qtprintservice.h"

#include <QApplication>
#include <QIcon>
#include <QMainWindow>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KX47"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kx47/images/kx47.png")));
    // Windows other than the main one may be open; the program ends with the main window.
    QApplication::setQuitOnLastWindowClosed(false);

    const QString programFolder = QApplication::applicationDirPath();
    kx47::QtDialogs dialogs;
    kx47::QtDesktop desktop;
    kx47::QtPrintService printService(programFolder, dialogs, desktop);
    kx47::Application app(programFolder, dialogs, printService, desktop);
    if (!app.start())
        return 1;
    app.quitOnTerminationSignals();

    // Where there is no display, the start script asks for a picture of the main window and
    // ends the program.
    const QString screenshot = qEnvironmentVariable("KX47_SCREENSHOT");
    if (!screenshot.isEmpty()) {
        QTimer::singleShot(500, [&app, screenshot] {
            app.mainWindow()->grab().save(screenshot);
            app.quit();
        });
    }
    return QApplication::exec();
}
