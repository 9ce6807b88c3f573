#pragma once

#include "logcheck.h"
#include "logmarks.h"
#include "onlinebackup.h"

#include <QDateTime>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

namespace kx47
{

class BackgroundTask;
class Database;
class Dialogs;

// What start-up leaves until the main window is painted, to run beside it on threads of their
// own: SQLite's check of the whole log once a week, and the first backup of the day (an online
// copy, itself checked whole). Their progress goes to the status bar. A damage found is told
// before anything is written: a change asked for while the check is due or running waits for it
// and is refused when the log is damaged.
class StartUpWork
{
public:
    using Status = std::function<void(const QString &text, int timeoutMs)>;

    StartUpWork(Database &log, Dialogs &dialogs, const QString &backupFolder);
    // Stops what runs; an unfinished copy leaves nothing behind.
    ~StartUpWork();
    StartUpWork(const StartUpWork &) = delete;
    StartUpWork &operator=(const StartUpWork &) = delete;

    // What is due, decided at start-up.
    void plan(bool check, bool backup);
    // Where the progress is shown.
    void setStatus(Status status) { m_status = std::move(status); }
    // Starts what is due (once the main window is painted).
    void begin();
    // Whether anything is due or still running.
    bool busy() const;
    // Lets the event loop run until nothing is due or running (tests, benchmarks).
    void waitUntilDone();

    // Runs before each change of the log: waits for a check that is due or running, and throws
    // a DatabaseError of kind Damaged when it found damage.
    void beforeWrite();
    bool damageFound() const { return !m_damage.isEmpty(); }

    // What the user is told of a damaged log.
    static QString damageMessage(const QString &logPath, const QString &findings);

private:
    void startCheck();
    void startBackup();
    void poll();
    void checkDone();
    void backupDone();
    void reportDamage();
    void show(const QString &text, int timeoutMs = 0) const;

    Database &m_log;
    Dialogs &m_dialogs;
    QString m_logPath;
    QString m_backupFolder;
    LogMarks m_marks;
    Status m_status;
    QTimer m_timer;

    bool m_checkDue = false;
    bool m_backupDue = false;
    bool m_begun = false;
    bool m_checkedNow = false;
    std::unique_ptr<BackgroundTask> m_check;
    LogCheck::Outcome m_checkOutcome;
    std::unique_ptr<BackgroundTask> m_backup;
    OnlineBackup::Outcome m_backupOutcome;
    QDateTime m_backupMade;
    QString m_backupPart; // the daily copy while it is made
    QString m_damage;
    bool m_damageTold = false;
};

} // namespace kx47
