// One program per log: a second start on the same log hands its files to the running program,
// which opens their import; a socket left by a program that died does not stop a new one.
#include "fixture.h"

#include "app/singleinstance.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QThread>
#include <QUuid>
#include <QtTest>
#include <atomic>
#include <memory>

using namespace kx47;
using namespace kx47::test;

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void serverName_data();
    void serverName();
    void secondStartHandsItsFilesOver();
    void deadProgramsSocketIsTakenOver();
};

void TestSingleInstance::serverName_data()
{
    QTest::addColumn<QString>("other"); // another spelling of FOLDER/data.mdb, or another log
    QTest::addColumn<bool>("same");
    QTest::newRow("the same path") << "FOLDER/data.mdb" << true;
    QTest::newRow("through . and ..") << "FOLDER/./sub/../data.mdb" << true;
    QTest::newRow("another log") << "FOLDER/sub/data.mdb" << false;
}

void TestSingleInstance::serverName()
{
    QFETCH(QString, other);
    QFETCH(bool, same);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("sub"));
    const QString name = SingleInstance::serverName(dir.path() + "/data.mdb");
    QCOMPARE(SingleInstance::serverName(QString(other).replace("FOLDER", dir.path())) == name,
             same);
}

void TestSingleInstance::secondStartHandsItsFilesOver()
{
    ProgramFolder folder;
    const QString path = folder.path() + "/contest.edi";
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[REG1TEST;1]\nPBand=144 MHz\n[QSORecords;1]\n"
               "240504;1403;I1XYZ;2;59;001;59;002;;KX47AB;1;;;;\n");
    file.close();
    TestApp app(folder.path());
    QVERIFY(app.start());
    const QString name = "kx47-test-" + QUuid::createUuid().toString(QUuid::Id128);
    QVERIFY(!SingleInstance(name).handOver({path}, 200)); // nobody runs yet

    SingleInstance running(name);
    QVERIFY(running.listen());
    connect(
        &running, &SingleInstance::filesReceived, this,
        [&app](const QStringList &files) { app.app().openHandedFiles(files); },
        Qt::QueuedConnection);
    QSignalSpy received(&running, &SingleInstance::filesReceived);
    // The MIXED question: No; the preview: OK.
    app.dialogs.answers << MessageAnswer::No << MessageAnswer::Ok;

    // The second start, a program of its own, waits for the answer on a thread of its own.
    std::atomic<bool> handed = false;
    std::unique_ptr<QThread> second(
        QThread::create([&] { handed = SingleInstance(name).handOver({path}); }));
    second->start();
    QTRY_COMPARE(received.size(), 1);
    QVERIFY(second->wait(10000));
    QVERIFY(handed);
    QCOMPARE(received.first().first().toStringList(), QStringList{path});
    QTRY_COMPARE(folder.qsos().size(), 1);
    QCOMPARE(app.dialogs.unanswered, 0);
}

void TestSingleInstance::deadProgramsSocketIsTakenOver()
{
    const QString name = "kx47-test-" + QUuid::createUuid().toString(QUuid::Id128);
    // What a killed program leaves: the socket's file, with nobody behind it.
    QFile left(QDir::tempPath() + "/" + name);
    QVERIFY(left.open(QIODevice::WriteOnly));
    left.close();
    QVERIFY(!SingleInstance(name).handOver({}, 200));
    SingleInstance running(name);
    QVERIFY2(running.listen(), qPrintable(running.errorString()));
    QSignalSpy received(&running, &SingleInstance::filesReceived);
    std::atomic<bool> handed = false;
    std::unique_ptr<QThread> second(
        QThread::create([&] { handed = SingleInstance(name).handOver({}); }));
    second->start();
    QTRY_COMPARE(received.size(), 1);
    QVERIFY(received.first().first().toStringList().isEmpty());
    QVERIFY(second->wait(10000));
    QVERIFY(handed);
}

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
