// The log survives a program killed at any moment while it saves: a child process saves QSOs
// through the program's store and is killed with SIGKILL at random moments, round after round.
// And the program itself, sent SIGTERM, SIGINT or SIGHUP, ends cleanly with its log whole.
#include "fixture.h"

#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/types.h>

using namespace kx47::test;

namespace
{

// Whether a running process has a handler of its own for the signal (Linux's view of it).
bool catches(qint64 pid, int signal)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1;
    }
    return false;
}

// Runs statements on a file with a connection of its own, closed at the end. The rows of the
// last statement, one column, are returned.
QStringList runOn(const QString &path, const QStringList &statements)
{
    QStringList values;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "signal-test");
        db.setDatabaseName(path);
        if (!db.open())
            values << "cannot open " + path;
        QSqlQuery query(db);
        for (const QString &statement : statements) {
            if (!db.isOpen())
                break;
            if (!query.exec(statement)) {
                values << "refused: " + statement;
                break;
            }
        }
        while (query.isActive() && query.next())
            values << query.value(0).toString();
    }
    QSqlDatabase::removeDatabase("signal-test");
    return values;
}

// What a copy of the log file alone, without its write-ahead journal, says to a check of its
// integrity, followed by its calls.
QStringList fileAlone(const QString &logPath)
{
    QTemporaryDir copyDir;
    const QString copy = copyDir.filePath("data.mdb");
    if (!QFile::copy(logPath, copy))
        return {"cannot copy " + logPath};
    return runOn(copy, {"pragma integrity_check"}) + runOn(copy, {"select call from data"});
}

} // namespace

class TestCrash : public QObject
{
    Q_OBJECT

private slots:
    void killedWhileSaving();
    void programEndsOnSignal_data();
    void programEndsOnSignal();
};

void TestCrash::killedWhileSaving()
{
    ProgramFolder folder;
    QRandomGenerator random(4711);
    QHash<QString, qint64> reported; // call -> number, as the child said it was saved
    const int rounds = 60;
    for (int round = 0; round < rounds; ++round) {
        QProcess child;
        child.start(QStringLiteral(KX47_OTHER_PROGRAM),
                    {"write", folder.logPath(), QString::number(round)});
        QVERIFY2(child.waitForStarted(5000), qPrintable(child.errorString()));
        // Half of the rounds are killed anywhere, start-up and opening included; the others
        // once the first QSO is saved.
        if (round % 2 == 1)
            QVERIFY(child.waitForReadyRead(10000));
        QTest::qSleep(random.bounded(1, 60));
        child.kill();
        QVERIFY(child.waitForFinished(5000));
        // Only whole lines were reported; a line cut by the kill was not.
        const QList<QByteArray> lines = child.readAllStandardOutput().split('\n');
        for (int i = 0; i + 1 < lines.size(); ++i) {
            const QList<QByteArray> fields = lines[i].split(' ');
            QCOMPARE(fields.size(), 2);
            reported.insert(QString::fromLatin1(fields[1]), fields[0].toLongLong());
        }

        QSqlDatabase db = folder.log();
        QSqlQuery query(db);
        QVERIFY(query.exec("pragma integrity_check"));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toString(), QString("ok"));
        query.finish();
        QHash<QString, qint64> stored;
        QVERIFY(query.exec("select call, count from data"));
        while (query.next()) {
            const QString call = query.value(0).toString();
            QVERIFY2(!stored.contains(call), qPrintable("stored twice: " + call));
            stored.insert(call, query.value(1).toLongLong());
        }
        query.finish();
        for (auto it = reported.cbegin(); it != reported.cend(); ++it) {
            QVERIFY2(stored.contains(it.key()), qPrintable("reported saved, missing: " + it.key()));
            QCOMPARE(stored.value(it.key()), it.value());
        }
        // At most the one QSO being saved when the kill came is there without being reported.
        QVERIFY(stored.size() - reported.size() <= round + 1);
    }
    qInfo("%lld QSOs reported saved in %d rounds", static_cast<long long>(reported.size()), rounds);
    QVERIFY(reported.size() > rounds / 2);
}

void TestCrash::programEndsOnSignal_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void TestCrash::programEndsOnSignal()
{
    QFETCH(int, signal);
    ProgramFolder folder;
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    // The program keeps its settings in the test's folder, away from the user's.
    environment.insert("XDG_CONFIG_HOME", folder.path() + "/settings");
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QStringLiteral(KX47_PROGRAM), {"--folder", folder.path()});
    QVERIFY2(program.waitForStarted(5000), qPrintable(program.errorString()));
    // The program has opened its log and shown its window once it handles the signal.
    QVERIFY(QTest::qWaitFor(
        [&] {
            return program.state() != QProcess::Running || catches(program.processId(), signal);
        },
        30000));
    QCOMPARE(program.state(), QProcess::Running);

    // Another program saves a QSO while the program runs: it stays in the write-ahead journal,
    // which only the last connection to close folds into the file.
    QCOMPARE(runOn(folder.logPath(),
                   {"insert into data (count, WWLocator, call, date, time, place, prov, mode, "
                    "band, qsl) values (1, 'AB', 'IK0SIG', '2004-12-07', '09:30', 'PLACE', "
                    "'AN', 'CW', 'HF', 'w')"}),
             QStringList());
    QCOMPARE(fileAlone(folder.logPath()), QStringList{"ok"});

    QCOMPARE(::kill(static_cast<pid_t>(program.processId()), signal), 0);
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    // The journal was folded in and removed: the file alone is whole and holds the QSO.
    QVERIFY(!QFile::exists(folder.logPath() + "-wal"));
    QCOMPARE(fileAlone(folder.logPath()), (QStringList{"ok", "IK0SIG"}));
}

QTEST_GUILESS_MAIN(TestCrash)
#include "tst_crash.moc"
