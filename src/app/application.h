#pragma once

#include "log/lognotifier.h"
#include "platform/appcontext.h"
#include "platform/windowregistry.h"
#include "storage/database.h"

#include <QString>
#include <QStringList>
#include <memory>

class QMainWindow;

namespace kx47
{

class Desktop;
class Dialogs;
class MainWindow;
class PrintService;
class StartUpWork;

// The running program: the two open databases, the windows and the desktop services.
class Application
{
public:
    Application(const QString &programFolder, Dialogs &dialogs, PrintService &printService,
                Desktop &desktop);
    ~Application();
    Application(const Application &) = delete;
    Application &operator=(const Application &) = delete;

    // Opens data.mdb and then places.mdb from the program folder, then shows the main window.
    // Returns false, after telling the user, when they cannot be opened.
    bool start();

    QMainWindow *mainWindow() const;
    AppContext &context() { return m_context; }

    // Lets the event loop run until the work left until after the main window was painted (the
    // weekly check of the whole log, the first backup of the day) is done.
    void waitForStartUpWork();

    // Opens the import of an ADIF file, as the Database menu's "Import ADIF..." does.
    void importAdif(const QString &path);
    // Opens the import of several files together (ADIF files or EDI contest logs).
    void importFiles(const QStringList &paths);
    // Files another start of the program handed over: the main window comes to the front and
    // their import opens (none: only the window comes to the front).
    void openHandedFiles(const QStringList &paths);

    // Ends the program: every window closes at once, nothing is asked.
    void quit();
    // From now on SIGTERM, SIGINT and SIGHUP end the program as quit() does, except that the
    // windows are only hidden at once and discarded as the Application ends: a signal may come
    // while a window's action runs (a question waiting for its answer, a progress window between
    // two steps), and that window must outlive it. An open question is answered as with Escape,
    // so that nothing is changed.
    void quitOnTerminationSignals();

private:
    bool openDatabases(bool checkWholeLog);
    void upgradeLog();
    void registerWindows();

    Dialogs &m_dialogs;
    Database m_log;
    Database m_places;
    WindowRegistry m_windows;
    LogNotifier m_logNotifier;
    AppContext m_context;
    std::unique_ptr<MainWindow> m_mainWindow;
    std::unique_ptr<StartUpWork> m_startUpWork;
    QString m_logPath;
};

} // namespace kx47
