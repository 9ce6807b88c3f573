// The log survives a program killed at any moment while it saves: a child process saves QSOs
// through the program's store and is killed with SIGKILL at random moments, round after round.
#include "fixture.h"

#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

using namespace kx47::test;

class TestCrash : public QObject
{
    Q_OBJECT

private slots:
    void killedWhileSaving();
};

void TestCrash::killedWhileSaving()
{
    ProgramFolder folder;
    QRandomGenerator random(4711);
    QHash<QString, qint64> reported; // call -> number, as the child said it was saved
    const int rounds = 60;
    for (int round = 0; round < rounds; ++round) {
        QProcess child;
        child.start(QStringLiteral(KX47_CRASHWRITER), {folder.logPath(), QString::number(round)});
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

QTEST_GUILESS_MAIN(TestCrash)
#include "tst_crash.moc"
