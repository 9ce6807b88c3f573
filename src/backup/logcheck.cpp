#include "logcheck.h"

#include "backgroundtask.h"

#include "storage/connection.h"
#include "storage/database.h"
#include "storage/databaseerror.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <algorithm>
#include <atomic>
#include <sqlite3.h>

namespace kx47
{

namespace
{

// Virtual machine steps between two looks at the task.
constexpr int checkEngineSteps = 4000;

std::atomic<int> connectionNumber{0};

// The check reads each page about once: the pages the connection has read from the file so far,
// against the pages the file has, tell how far it is.
struct Watch {
    BackgroundTask *task = nullptr;
    sqlite3 *handle = nullptr;
    qint64 pages = 1;
    int from = 0;
    int to = 1000;

    static int step(void *self) { return static_cast<Watch *>(self)->stepped() ? 1 : 0; }
    bool stepped() const
    {
        int read = 0;
        int highest = 0;
        sqlite3_db_status(handle, SQLITE_DBSTATUS_CACHE_MISS, &read, &highest, 0);
        const qint64 done = std::min<qint64>(read, pages - 1);
        task->setPermille(from + int((to - from) * done / pages));
        return task->cancelRequested();
    }
};

} // namespace

LogCheck::Outcome LogCheck::run(const QString &path, BackgroundTask *task, int fromPermille,
                                int toPermille)
{
    const QString name = QStringLiteral("kx47-log-check-%1").arg(++connectionNumber);
    Outcome outcome;
    {
        ConnectionOptions options;
        options.readOnly = true;
        const QString file = fileOfDatabaseName(path, &options.immutable);
        QSqlDatabase db = openConnection(name, file, options);
        if (db.isOpen()) {
            outcome = runOn(db, task, fromPermille, toPermille);
        } else {
            outcome.findings = db.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return outcome;
}

LogCheck::Outcome LogCheck::runOn(QSqlDatabase db, BackgroundTask *task, int fromPermille,
                                  int toPermille)
{
    Outcome outcome;
    Watch watch{task, Database::engineHandle(db), 1, fromPermille, toPermille};
    {
        QSqlQuery count(db);
        if (count.exec(QStringLiteral("pragma page_count")) && count.next())
            watch.pages = std::max<qint64>(1, count.value(0).toLongLong());
    }
    if (task && watch.handle)
        sqlite3_progress_handler(watch.handle, checkEngineSteps, &Watch::step, &watch);
    QSqlQuery query(db);
    QStringList findings;
    const bool ran = query.exec(QStringLiteral("pragma quick_check"));
    while (ran && query.next())
        findings << query.value(0).toString();
    const QSqlError error = query.lastError();
    query.finish();
    if (task && watch.handle)
        sqlite3_progress_handler(watch.handle, 0, nullptr, nullptr);

    if (task && task->cancelRequested()) {
        outcome.result = Result::Cancelled;
    } else if (error.isValid()) {
        outcome.result = DatabaseError::kindOf(error) == DatabaseError::Kind::Damaged
                             ? Result::Damaged
                             : Result::Unreadable;
        outcome.findings = error.text();
    } else if (findings == QStringList{QStringLiteral("ok")}) {
        outcome.result = Result::Whole;
    } else {
        outcome.result = Result::Damaged;
        outcome.findings = findings.isEmpty() ? QStringLiteral("The check gave no result.")
                                              : findings.mid(0, 5).join(QLatin1Char('\n'));
    }
    if (task && outcome.result != Result::Cancelled)
        task->setPermille(toPermille);
    return outcome;
}

} // namespace kx47
