#include "app/application.h"
#include "app/commandline.h"
#include "app/singleinstance.h"
#include "paths/programplaces.h"
#include "platform/qtdesktop.h"
#include "platform/qtdialogs.h"
#include "platform/qtprintservice.h"

#include <QApplication>
#include <QIcon>
#include <QMainWindow>
#include <QTextStream>
#include <QTimer>
#include <cstdio>

namespace
{

QStringList argumentsOf(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// import, export, --help and --version run without a display.
int runCommand(int argc, char *argv[])
{
    QCoreApplication core(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("KX47"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    const kx47::CommandLine commandLine(QCoreApplication::arguments());
    return commandLine.run(QCoreApplication::applicationDirPath(), out, err);
}

} // namespace

int main(int argc, char *argv[])
{
    if (kx47::CommandLine::isCommand(argumentsOf(argc, argv)))
        return runCommand(argc, argv);

    // Qt takes its own options (-platform, -style...) before the program reads the rest.
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KX47"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kx47/images/kx47.svg")));
    // Windows other than the main one may be open; the program ends with the main window.
    QApplication::setQuitOnLastWindowClosed(false);

    const kx47::CommandLine commandLine(QApplication::arguments());
    if (commandLine.action() != kx47::CommandLine::Action::Windows) {
        QTextStream out(stdout);
        QTextStream err(stderr);
        return commandLine.run(QApplication::applicationDirPath(), out, err);
    }

    const QString programFolder = commandLine.folder(QApplication::applicationDirPath());
    // One program per log: a program already running on it takes the files and comes to the
    // front. Where the socket cannot be made, this program runs all the same.
    kx47::SingleInstance instance(
        kx47::SingleInstance::serverName(kx47::ProgramPlaces::find(programFolder).logPath()));
    if (instance.handOver(commandLine.files()))
        return 0;
    instance.listen();
    kx47::QtDialogs dialogs;
    kx47::QtDesktop desktop;
    kx47::QtPrintService printService(programFolder, dialogs, desktop);
    kx47::Application app(programFolder, dialogs, printService, desktop);
    if (!app.start())
        return 1;
    app.quitOnTerminationSignals();
    QObject::connect(
        &instance, &kx47::SingleInstance::filesReceived, &qtApp,
        [&app](const QStringList &files) { app.openHandedFiles(files); }, Qt::QueuedConnection);

    // A file given on the command line (as the file manager passes it) opens its import.
    if (!commandLine.files().isEmpty()) {
        const QStringList files = commandLine.files();
        QTimer::singleShot(0, [&app, files] { app.importFiles(files); });
    }

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
