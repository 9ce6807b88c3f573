// Another program on the same log, for the tests that need one in a process of its own:
//   kx47_otherprogram write LOG ROUND
//     saves QSOs through the program's own store, one after another until it is killed, and
//     prints "<number> <call>" for each QSO once its save has returned (tst_crash);
//   kx47_otherprogram hold LOG MS STATEMENT
//     takes the log's write lock, runs the statement, prints "held", keeps the lock MS
//     milliseconds and commits.
#include "log/logstore.h"
#include "storage/database.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <cstdio>

using namespace kx47;

namespace
{

int writeUntilKilled(const QString &path, const QString &round)
{
    Database log(QStringLiteral("crash-writer"));
    QString error;
    if (!log.open(path, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    log.useWriteAheadJournal();
    const LogStore store(log);
    QsoRecord record;
    record.locator = QStringLiteral("AB");
    record.date = QStringLiteral("2004-12-07");
    record.time = QStringLiteral("09:30");
    record.place = QStringLiteral("PLACE");
    record.prov = QStringLiteral("AN");
    record.mode = QStringLiteral("CW");
    record.band = QStringLiteral("HF");
    record.qsl = vocabulary::QslState::Worked;
    for (int i = 0;; ++i) {
        record.call = QStringLiteral("R%1N%2").arg(round).arg(i);
        const LogChange change = store.append(record);
        std::printf("%lld %s\n", static_cast<long long>(change.added.value(0)),
                    qPrintable(record.call));
        std::fflush(stdout);
    }
}

int holdTheLock(const QString &path, int holdMs, const QString &statement)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(path);
    if (!db.open()) {
        std::fprintf(stderr, "%s\n", qPrintable(db.lastError().text()));
        return 1;
    }
    QSqlQuery query(db);
    for (const QString &sql : {QStringLiteral("begin immediate"), statement}) {
        if (!query.exec(sql)) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(sql), qPrintable(query.lastError().text()));
            return 1;
        }
    }
    std::printf("held\n");
    std::fflush(stdout);
    QThread::msleep(static_cast<unsigned long>(holdMs));
    return query.exec(QStringLiteral("commit")) ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("write"))
        return writeUntilKilled(args[2], args[3]);
    if (args.size() == 5 && args[1] == QLatin1String("hold"))
        return holdTheLock(args[2], args[3].toInt(), args[4]);
    std::fprintf(stderr, "usage: kx47_otherprogram write LOG ROUND | hold LOG MS STATEMENT\n");
    return 2;
}
