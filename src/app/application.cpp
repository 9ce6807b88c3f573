#include "application.h"

#include "aboutwindow.h"
#include "databasefiles.h"
#include "downloadwindow.h"
#include "mainwindow.h"

#include "app/terminationsignals.h"
#include "award/awardwindows.h"
#include "backup/backups.h"
#include "backup/engineprogress.h"
#include "backup/logmarks.h"
#include "backup/restorewindow.h"
#include "backup/startupwork.h"
#include "browser/browserwindows.h"
#include "map/mapwindows.h"
#include "paths/programfolder.h"
#include "paths/programplaces.h"
#include "places/placeswindows.h"
#include "platform/dialogs.h"
#include "platform/windownames.h"
#include "platform/windowsettings.h"
#include "qso/qsowindows.h"
#include "storage/databaseerror.h"
#include "storage/schema.h"
#include "userdata/userdatawindows.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QMainWindow>
#include <QSqlQuery>
#include <QStatusBar>

namespace kx47
{

Application::Application(const QString &programFolder, Dialogs &dialogs, PrintService &printService,
                         Desktop &desktop)
    : m_dialogs(dialogs), m_log(QStringLiteral("LogDatabase")),
      m_places(QStringLiteral("PlacesDatabase")),
      m_context{programFolder, m_log,     m_places,      dialogs, printService,
                desktop,       m_windows, m_logNotifier, {},      {}}
{
    const ProgramPlaces places = ProgramPlaces::find(programFolder);
    m_context.logFolder = places.logFolder;
    m_context.installFolder = places.installFolder;
}

Application::~Application()
{
    m_windows.closeAll();
    m_mainWindow.reset();
    m_log.setBeforeWrite({});
    m_startUpWork.reset();
    if (!m_logPath.isEmpty())
        LogMarks(m_logPath).markEndedCleanly();
}

bool Application::start()
{
    // The whole file is checked before the first window only when the last run on it did not
    // end cleanly; otherwise once a week, after the window is painted.
    const QString logPath = ProgramPlaces::find(m_context.programFolder).logPath();
    LogMarks marks(logPath);
    const bool checkNow = !marks.endedCleanly();
    if (!openDatabases(checkNow))
        return false;
    if (checkNow)
        marks.markChecked();
    marks.markRunning();
    m_logPath = logPath;

    registerWindows();
    const QString backupFolder = joinProgramPath(m_context.logFolder, QStringLiteral("Backups"));
    m_startUpWork = std::make_unique<StartUpWork>(m_log, m_dialogs, backupFolder);
    // Decided before the log changes: a copy made before its schema changes is not the day's.
    m_startUpWork->plan(!checkNow && marks.checkDue(),
                        m_log.isWritable() &&
                            Backups::dailyDue(backupFolder, QDateTime::currentDateTime()));
    m_log.setBeforeWrite([this] { m_startUpWork->beforeWrite(); });
    if (m_log.isWritable())
        upgradeLog();
    m_mainWindow = std::make_unique<MainWindow>(m_context, [this] { quit(); });
    windowsettings::keepGeometry(m_mainWindow.get(), windows::principale);
    QStatusBar *status = m_mainWindow->statusBar();
    m_startUpWork->setStatus([status](const QString &text, int timeoutMs) {
        if (text.isEmpty())
            status->clearMessage();
        else
            status->showMessage(text, timeoutMs);
    });
    m_mainWindow->whenPainted([this] { m_startUpWork->begin(); });
    m_mainWindow->show();
    return true;
}

void Application::waitForStartUpWork()
{
    if (m_startUpWork)
        m_startUpWork->waitUntilDone();
}

QMainWindow *Application::mainWindow() const
{
    return m_mainWindow.get();
}

void Application::importAdif(const QString &path)
{
    if (m_mainWindow)
        m_mainWindow->importAdif(path);
}

void Application::importFiles(const QStringList &paths)
{
    if (m_mainWindow)
        m_mainWindow->importFiles(paths);
}

void Application::openHandedFiles(const QStringList &paths)
{
    if (!m_mainWindow)
        return;
    m_mainWindow->showNormal();
    m_mainWindow->raise();
    m_mainWindow->activateWindow();
    if (!paths.isEmpty())
        importFiles(paths);
}

void Application::quit()
{
    m_windows.closeAll();
    if (m_mainWindow)
        m_mainWindow->hide();
    QCoreApplication::quit();
}

void Application::quitOnTerminationSignals()
{
    kx47::quitOnTerminationSignals([this] {
        // Every event loop returns, those of open questions first; the windows are discarded
        // by the destructor, after the main one.
        m_windows.hideAll();
        if (m_mainWindow)
            m_mainWindow->hide();
        QCoreApplication::quit();
    });
}

bool Application::openDatabases(bool checkWholeLog)
{
    const ProgramPlaces places = ProgramPlaces::find(m_context.programFolder);
    QString message;
    if (!places.makeLog(&message)) {
        m_dialogs.message(message, MessageIcon::Critical, MessageButtons::Ok);
        return false;
    }
    const struct {
        Database &db;
        QString path;
        Schema::File file;
    } files[] = {{m_log, places.logPath(), Schema::File::Log},
                 {m_places, places.placesPath(), Schema::File::Places}};
    QString readOnlyNote;
    for (const auto &file : files) {
        DatabaseFiles::Access access = DatabaseFiles::Access::ReadWrite;
        const auto examination = file.file == Schema::File::Log && !checkWholeLog
                                     ? DatabaseFiles::Examination::Schema
                                     : DatabaseFiles::Examination::Whole;
        if (!DatabaseFiles::open(file.db, file.path, file.file, &message, &access, examination)) {
            m_dialogs.message(message, MessageIcon::Critical, MessageButtons::Ok);
            return false;
        }
        if (access == DatabaseFiles::Access::ReadOnly) {
            file.db.setWritable(false);
            readOnlyNote = message;
        }
    }
    if (!readOnlyNote.isEmpty()) {
        m_dialogs.message(readOnlyNote, MessageIcon::Information, MessageButtons::Ok);
        return true;
    }
    m_log.useWriteAheadJournal();
    // A log that cannot be written is opened for browsing, counting and printing; the user is
    // told once, and the windows that would change it say why they cannot.
    if (!m_log.probeWritable()) {
        m_log.setWritable(false);
        m_dialogs.message(readOnlyLogMessage, MessageIcon::Exclamation, MessageButtons::Ok);
    }
    return true;
}

void Application::upgradeLog()
{
    bool current = true;
    if (!guardLogWork(
            m_dialogs, [&] { current = Schema::isCurrent(m_log); }, DatabaseError::Work::Read) ||
        current)
        return;
    // A log made by an earlier version is copied before its schema changes; without a copy it
    // stays as it is, and works as before.
    if (!Backups::backUpBeforeChange(m_log, m_dialogs,
                                     QStringLiteral("Bringing the log up to date")))
        return;
    EngineProgress progress(m_log.handle(), QStringLiteral("Bringing the log up to date..."));
    try {
        Schema::upgrade(m_log, Schema::File::Log);
    } catch (const DatabaseError &error) {
        if (!progress.cancelled())
            reportDatabaseError(m_dialogs, error);
    }
}

void Application::registerWindows()
{
    // The browser is registered before the counter, so that after a change of the log the list
    // is rebuilt first and the figures recounted next.
    registerBrowserWindows(m_context);
    registerAwardWindows(m_context);
    registerQsoWindows(m_context);
    registerUserdataWindows(m_context);
    registerPlacesWindows(m_context);
    registerBackupWindows(m_context);
    registerMapWindows(m_context);
    registerDownloadWindow(m_context);
    m_windows.registerWindow(windows::frmAbout, [this] {
        return new AboutWindow(m_context.desktop,
                               joinProgramPath(m_context.logFolder, QStringLiteral("data.mdb")));
    });
}

} // namespace kx47
