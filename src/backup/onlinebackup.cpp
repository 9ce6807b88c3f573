#include "onlinebackup.h"

#include "backgroundtask.h"
#include "logcheck.h"

#include "storage/connection.h"
#include "storage/database.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <sqlite3.h>
#include <thread>

namespace kx47
{

namespace
{

std::atomic<int> onlineCopyNumber{0};

// Of the progress, the share of the copy; the check of the copy takes the rest.
constexpr int copiedPermille = 600;

// One connection of the copy, closed and removed when it ends.
class Connection
{
public:
    Connection(const QString &name, const QString &path, const ConnectionOptions &options)
        : m_name(name)
    {
        openConnection(name, path, options);
    }
    ~Connection()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
};

bool inWriteAheadMode(QSqlDatabase db)
{
    QSqlQuery query(db);
    return query.exec(QStringLiteral("pragma journal_mode")) && query.next() &&
           query.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0;
}

} // namespace

OnlineBackup::Outcome OnlineBackup::copy(const QString &logPath, const QString &target,
                                         BackgroundTask *task, bool checkCopy)
{
    const int number = ++onlineCopyNumber;
    Outcome outcome;
    ConnectionOptions reading;
    reading.readOnly = true;
    Connection source(QStringLiteral("kx47-online-backup-source-%1").arg(number), logPath, reading);
    Connection copy(QStringLiteral("kx47-online-backup-copy-%1").arg(number), target, {});
    if (!source.db().isOpen() || !copy.db().isOpen()) {
        outcome.detail = (source.db().isOpen() ? copy.db() : source.db()).lastError().text();
        return outcome;
    }
    sqlite3 *from = Database::engineHandle(source.db());
    sqlite3 *to = Database::engineHandle(copy.db());

    // In write-ahead mode a read transaction held for the whole copy keeps its moment without
    // holding up any writer: the copy never starts afresh.
    QSqlQuery moment(source.db());
    const bool held = inWriteAheadMode(source.db()) && moment.exec(QStringLiteral("begin")) &&
                      moment.exec(QStringLiteral("select count(*) from sqlite_master")) &&
                      moment.next();
    moment.finish();

    sqlite3_backup *backup = sqlite3_backup_init(to, "main", from, "main");
    if (!backup) {
        outcome.detail = QString::fromUtf8(sqlite3_errmsg(to));
        return outcome;
    }
    int rc = SQLITE_OK;
    bool cancelled = false;
    while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        if (task && task->cancelRequested()) {
            cancelled = true;
            break;
        }
        rc = sqlite3_backup_step(backup, pagesPerStep);
        const int total = std::max(1, sqlite3_backup_pagecount(backup));
        const int left = sqlite3_backup_remaining(backup);
        if (task)
            task->setPermille(
                int(qint64(checkCopy ? copiedPermille : 1000) * (total - left) / total));
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        else if (!held && rc == SQLITE_OK)
            std::this_thread::yield(); // a writer waiting for the log gets in here
    }
    const int finished = sqlite3_backup_finish(backup);
    if (held)
        QSqlQuery(source.db()).exec(QStringLiteral("rollback"));
    if (cancelled) {
        outcome.result = Result::Cancelled;
        return outcome;
    }
    if (rc != SQLITE_DONE || finished != SQLITE_OK) {
        outcome.detail = QString::fromUtf8(sqlite3_errstr(rc != SQLITE_DONE ? rc : finished));
        if ((rc & 0xff) == SQLITE_CORRUPT || (rc & 0xff) == SQLITE_NOTADB)
            outcome.result = Result::LogDamaged;
        return outcome;
    }

    // The pages carry the log's journal mode; a backup is one file alone, read without a
    // write-ahead journal beside it.
    QSqlQuery mode(copy.db());
    if (!mode.exec(QStringLiteral("pragma journal_mode = delete"))) {
        outcome.detail = mode.lastError().text();
        return outcome;
    }
    mode.finish();
    if (!checkCopy) {
        outcome.result = Result::Copied;
        return outcome;
    }
    const LogCheck::Outcome check = LogCheck::runOn(copy.db(), task, copiedPermille, 1000);
    switch (check.result) {
    case LogCheck::Result::Whole:
        outcome.result = Result::Copied;
        break;
    case LogCheck::Result::Damaged:
        outcome.result = Result::LogDamaged;
        outcome.detail = check.findings;
        break;
    case LogCheck::Result::Cancelled:
        outcome.result = Result::Cancelled;
        break;
    case LogCheck::Result::Unreadable:
        outcome.detail = check.findings;
        break;
    }
    return outcome;
}

} // namespace kx47
