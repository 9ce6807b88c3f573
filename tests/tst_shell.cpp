// The program shell: start-up on the program folder, the main window's menus, the window
// registry, the help documents, the About window, and the end on a signal.
#include "awardrequestlog.h"
#include "filesizelimit.h"
#include "fixture.h"
#include "importfolder.h"
#include "qsoentryfixture.h"

#include "app/aboutwindow.h"
#include "app/databasefiles.h"
#include "app/terminationsignals.h"
#include "award/awardrequest.h"
#include "backup/logmarks.h"
#include "browser/qsoactions.h"
#include "platform/qtdialogs.h"
#include "platform/windownames.h"
#include "platform/windowsettings.h"
#include "qso/qsosubmission.h"
#include "storage/database.h"
#include "storage/transaction.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QtTest>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <optional>
#include <unistd.h>

using namespace kx47;
using namespace kx47::test;

Q_DECLARE_METATYPE(QList<kx47::test::QsoRow>)

namespace
{

QByteArray readFile(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

// Teaches the registry one window, frmSample, standing for any of the program's windows; made
// counts how often it was made.
void registerSample(WindowRegistry &registry, int &made)
{
    registry.registerWindow("frmSample", [&made] {
        ++made;
        return new QWidget;
    });
}

// Makes a file or folder read-only, also for root (whom the permission bits do not stop):
// the immutable attribute where the file system has it.
bool makeReadOnly(const QString &path)
{
    QFile::setPermissions(path, QFile::permissions(path) &
                                    ~(QFileDevice::WriteOwner | QFileDevice::WriteUser |
                                      QFileDevice::WriteGroup | QFileDevice::WriteOther));
    if (geteuid() == 0 && QProcess::execute("chattr", {"+i", path}) != 0)
        return false;
    return !QFileInfo(path).isWritable();
}

void makeWritable(const QString &path)
{
    if (geteuid() == 0)
        QProcess::execute("chattr", {"-i", path});
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner);
}

void execOn(QSqlDatabase db, const QString &sql)
{
    QSqlQuery query(db);
    if (!query.exec(sql))
        qWarning() << sql << query.lastError().text();
}

} // namespace

class TestShell : public QObject
{
    Q_OBJECT

private slots:
    void startsWithBothDatabases();
    void missingFileIsReportedAndNotCreated_data();
    void missingFileIsReportedAndNotCreated();
    void unreadableFileIsReportedAndUntouched_data();
    void unreadableFileIsReportedAndUntouched();
    void startUpFaultIsToldAndFileUntouched_data();
    void startUpFaultIsToldAndFileUntouched();
    void wholeCheckAfterUncleanEndOrInTheBackground_data();
    void wholeCheckAfterUncleanEndOrInTheBackground();
    void readOnlyLogOpensForReading_data();
    void readOnlyLogOpensForReading();
    void staleJournalsDoNotBlockTheLog();
    void lockIsWaitedOut_data();
    void lockIsWaitedOut();
    void installedProgramKeepsTheLogInTheUserFolder();
    void databaseFailureIsReported();
    void menuTree();
    void helpDocumentsOpenFromProgramFolder_data();
    void helpDocumentsOpenFromProgramFolder();
    void windowExistsOnce();
    void closeBoxDiscardsExitKeeps();
    void endingClosesEveryWindow_data();
    void endingClosesEveryWindow();
    void aboutWindow();
    void windowsRememberedBetweenSessions();
    void signalWhileAQuestionIsOpen_data();
    void signalWhileAQuestionIsOpen();
    void cleanupTestCase();
};

void TestShell::startsWithBothDatabases()
{
    ProgramFolder folder;
    TestApp app(folder.path());
    QVERIFY(app.start());
    QVERIFY(app.dialogs.messages.isEmpty());
    QMainWindow *main = app.app().mainWindow();
    QVERIFY(main);
    QCOMPARE(main->objectName(), QString("principale"));
    QCOMPARE(main->windowTitle(), QString("KX47 v1.0 Outside Italy"));
    QVERIFY(main->isVisible());
    QVERIFY(!main->windowIcon().isNull());
    auto *picture = main->findChild<QLabel *>("Picture1");
    QVERIFY(picture);
    QCOMPARE(picture->pixmap().size(), QSize(410, 288));
    auto *exit = main->findChild<QPushButton *>("cmdExit");
    QVERIFY(exit);
    QCOMPARE(exit->text(), QString("Exit"));
    QVERIFY(app.app().context().log.isOpen());
    QVERIFY(app.app().context().places.isOpen());
    QCOMPARE(app.app().context().places.count("select count(*) as contatore from places"),
             ProgramFolder::defaultPlaces().size());
}

void TestShell::missingFileIsReportedAndNotCreated_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("log") << "data.mdb";
    QTest::newRow("gazetteer") << "places.mdb";
}

void TestShell::missingFileIsReportedAndNotCreated()
{
    QFETCH(QString, file);
    ProgramFolder folder;
    const QString path = folder.path() + "/" + file;
    QVERIFY(QFile::remove(path));
    TestApp app(folder.path());
    QVERIFY(!app.start());
    QVERIFY(!app.app().mainWindow());
    QVERIFY(!QFile::exists(path));
    QCOMPARE(app.dialogs.messages.size(), 1);
    const FakeDialogs::Message message = app.dialogs.messages.first();
    QCOMPARE(message.icon, MessageIcon::Critical);
    QCOMPARE(message.title, QString("KX47"));
    QVERIFY2(message.text.contains(file), qPrintable(message.text));
    QVERIFY2(message.text.contains("cannot be found"), qPrintable(message.text));
}

void TestShell::unreadableFileIsReportedAndUntouched_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("said");
    QByteArray jet(256, '\0');
    jet.replace(4, 15, "Standard Jet DB");
    QByteArray ace(256, '\x01');
    ace.replace(4, 15, "Standard ACE DB");
    QTest::newRow("Access log") << "data.mdb" << jet << "Microsoft Access";
    QTest::newRow("Access 2007 gazetteer") << "places.mdb" << ace << "Microsoft Access";
    QTest::newRow("text") << "data.mdb" << QByteArray("not a database at all\n")
                          << "not a SQLite database";
    QTest::newRow("empty") << "places.mdb" << QByteArray() << "empty file";
    QTest::newRow("gazetteer in place of the log")
        << "data.mdb" << QByteArray("places") << "does not hold the tables";
    QTest::newRow("log in place of the gazetteer")
        << "places.mdb" << QByteArray("data") << "does not hold the tables";
}

void TestShell::unreadableFileIsReportedAndUntouched()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QString, said);
    ProgramFolder folder;
    const QString path = folder.path() + "/" + file;
    // "places" and "data" stand for a SQLite file of the other kind.
    if (content == "places")
        content = readFile(folder.placesPath());
    else if (content == "data")
        content = readFile(folder.logPath());
    writeFile(path, content);

    TestApp app(folder.path());
    QVERIFY(!app.start());
    QVERIFY(!app.app().mainWindow());
    QCOMPARE(app.dialogs.messages.size(), 1);
    const QString text = app.dialogs.messages.first().text;
    QCOMPARE(app.dialogs.messages.first().icon, MessageIcon::Critical);
    QVERIFY2(text.contains(file), qPrintable(text));
    QVERIFY2(text.contains(said), qPrintable(text));
    QVERIFY2(text.contains("cannot read"), qPrintable(text));
    QCOMPARE(readFile(path), content);
}

void TestShell::startUpFaultIsToldAndFileUntouched_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QStringList>("said");
    QTest::newRow("cut in half") << "half" << QStringList{"data.mdb", "damaged"};
    QTest::newRow("pages overwritten") << "garbage" << QStringList{"data.mdb", "damaged"};
    QTest::newRow("locked by a writer (rollback journal)")
        << "exclusive" << QStringList{"data.mdb", "locked by another program"};
    QTest::newRow("locked by a writer (write-ahead log)")
        << "immediate" << QStringList{"data.mdb", "locked by another program"};
    QTest::newRow("disk full") << "full" << QStringList{"data.mdb", "disk", "is full"};
    // Not a byte can be written: even the examination's index beside the journal fails.
    QTest::newRow("no byte free") << "nothing free" << QStringList{"data.mdb", "disk", "is full"};
    QTest::newRow("columns missing")
        << "columns" << QStringList{"data.mdb", "lack the columns", "data.qsl", "userData.email"};
    QTest::newRow("read-only folder with a journal")
        << "journal" << QStringList{"data.mdb", "read-only", "data.mdb-wal"};
}

void TestShell::startUpFaultIsToldAndFileUntouched()
{
    QFETCH(QString, fault);
    QFETCH(QStringList, said);
    ProgramFolder folder;
    folder.addQsos(numberedQsos(400));
    folder.log().close();
    const QString path = folder.logPath();
    std::optional<OtherProgram> other;
    if (fault == "half") {
        writeFile(path, readFile(path).left(QFileInfo(path).size() / 2));
    } else if (fault == "garbage") {
        QByteArray bytes = readFile(path);
        bytes.replace(4096, 8192, QByteArray(8192, '\xab'));
        writeFile(path, bytes);
    } else if (fault == "exclusive" || fault == "immediate" || fault == "journal") {
        other.emplace(path);
        if (fault == "immediate" || fault == "journal")
            other->exec("pragma journal_mode = wal");
        other->exec("pragma wal_autocheckpoint = 0");
        other->exec(fault == "exclusive" ? "begin exclusive" : "begin immediate");
        other->exec("update data set call = 'X' where count = 1");
        if (fault == "journal") {
            other->exec("commit");
            if (!makeReadOnly(folder.path())) {
                makeWritable(folder.path());
                QSKIP("this file system cannot make a folder read-only");
            }
        }
    } else if (fault == "full" || fault == "nothing free") {
        const qint64 free = fault == "full" ? 4096 : 0;
        DatabaseFiles::setFreeSpaceProbe([free](const QString &) { return free; });
        QSqlDatabase db = folder.log();
        db.open();
        execOn(db, "pragma journal_mode = wal");
        db.close();
    } else if (fault == "columns") {
        QSqlDatabase db = folder.log();
        db.open();
        execOn(db, "drop index data_mode_band_qsl");
        execOn(db, "alter table data drop column qsl");
        execOn(db, "alter table userData drop column email");
        db.close();
    }
    const QByteArray before = readFile(path);

    TestApp app(folder.path());
    bool started = false;
    {
        FileSizeLimit fileSize(fault == "nothing free" ? 0 : -1);
        started = app.start();
    }
    const QByteArray after = readFile(path);
    DatabaseFiles::setFreeSpaceProbe({});
    if (fault == "journal")
        makeWritable(folder.path());
    if (other) {
        other->exec("rollback");
        other.reset();
    }
    QVERIFY(!started);
    QVERIFY(!app.app().mainWindow());
    QCOMPARE(app.dialogs.messages.size(), 1);
    const FakeDialogs::Message message = app.dialogs.messages.first();
    QCOMPARE(message.icon, MessageIcon::Critical);
    for (const QString &words : said)
        QVERIFY2(message.text.contains(words), qPrintable(message.text));
    QVERIFY2(fault.startsWith("garbage") || fault == "half" || !message.text.contains("damaged"),
             qPrintable(message.text));
    QVERIFY(after == before);
}

void TestShell::wholeCheckAfterUncleanEndOrInTheBackground_data()
{
    QTest::addColumn<QString>("before");  // what the last run left: the marks and backups
    QTest::addColumn<QString>("fault");   // made on the log before this start
    QTest::addColumn<bool>("saveAtOnce"); // a QSO saved before the window is painted
    QTest::addColumn<QString>("outcome"); // refused at start / found in the background / none
    QTest::newRow("killed: checked before the window") << "killed"
                                                       << "garbage" << false << "start";
    QTest::newRow("clean end, file cut short: header against length") << "clean"
                                                                      << "half" << false << "start";
    QTest::newRow("clean end, checked this week: not looked at") << "clean"
                                                                 << "garbage" << false << "none";
    QTest::newRow("weekly check due: told in the background") << "due"
                                                              << "garbage" << false << "background";
    QTest::newRow("weekly check due: a save waits for it and is refused")
        << "due"
        << "garbage" << true << "background";
    QTest::newRow("first backup of the day: its check finds the damage, no backup kept")
        << "backup"
        << "garbage" << false << "background";
}

// The whole file is read before the first window only after an unclean end; otherwise it is
// checked in the background (weekly, or through the day's backup), and a damage found is told
// before anything is written.
void TestShell::wholeCheckAfterUncleanEndOrInTheBackground()
{
    QFETCH(QString, before);
    QFETCH(QString, fault);
    QFETCH(bool, saveAtOnce);
    QFETCH(QString, outcome);
    ProgramFolder folder;
    folder.addQsos(numberedQsos(400));
    folder.log().close();
    const QString path = folder.logPath();
    {
        TestApp last(folder.path());
        QVERIFY(last.start()); // checks the new log whole and makes the day's backup
    }
    LogMarks marks(path);
    QVERIFY(marks.endedCleanly());
    if (before == "killed")
        marks.markRunning();
    if (before == "due")
        marks.markChecked(QDateTime::currentDateTime().addDays(-LogMarks::checkEveryDays));
    if (before == "backup") {
        for (const QString &name : QDir(folder.path() + "/Backups").entryList(QDir::Files))
            QVERIFY(QFile::remove(folder.path() + "/Backups/" + name));
    }
    QByteArray bytes = readFile(path);
    if (fault == "half")
        bytes.truncate(bytes.size() / 2);
    else
        bytes.replace(4096, 8192, QByteArray(8192, '\xab'));
    writeFile(path, bytes);

    auto app = std::make_unique<TestApp>(folder.path());
    const bool started = app->start(false);
    QCOMPARE(started, outcome != "start");
    if (started && saveAtOnce) {
        Database &log = app->app().context().log;
        guardLogWork(app->dialogs, [&log] {
            Transaction transaction(log);
            log.run("update userData set call = 'IK0NEW'");
            transaction.commit();
        });
    }
    if (started)
        app->app().waitForStartUpWork();
    QCOMPARE(readFile(path), bytes);
    QCOMPARE(app->dialogs.messages.size(), outcome == "none" ? 0 : 1);
    if (outcome != "none") {
        QCOMPARE(app->dialogs.messages.first().icon, MessageIcon::Critical);
        QVERIFY2(app->dialogs.messages.first().text.contains("damaged"),
                 qPrintable(app->dialogs.messages.first().text));
    }
    app.reset();
    if (outcome == "background") {
        QVERIFY(!LogMarks(path).endedCleanly()); // the next start checks before the window
        if (before == "backup")
            QCOMPARE(QDir(folder.path() + "/Backups").entryList(QDir::Files), QStringList());
    }
}

void TestShell::readOnlyLogOpensForReading_data()
{
    QTest::addColumn<bool>("wholeFolder");
    QTest::newRow("read-only file") << false;
    QTest::newRow("read-only folder") << true;
}

void TestShell::readOnlyLogOpensForReading()
{
    QFETCH(bool, wholeFolder);
    ProgramFolder folder;
    folder.addQsos({{1, "AA", "IK0AAA"}, {2, "AB", "IK0BBB"}});
    {
        QSqlDatabase db = folder.log();
        execOn(db, "pragma journal_mode = wal"); // as the program leaves it
        db.close();
    }
    const QStringList files = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
    const QString readOnly = wholeFolder ? folder.path() : folder.logPath();
    const QByteArray before = readFile(folder.logPath());
    if (!makeReadOnly(readOnly)) {
        makeWritable(readOnly);
        QSKIP("this file system cannot make a file read-only");
    }
    bool started = false;
    int qsos = -1;
    bool writable = true;
    QList<FakeDialogs::Message> messages;
    {
        TestApp app(folder.path());
        started = app.start();
        if (started) {
            qsos = app.app().context().log.count("select count(*) as contatore from data");
            writable = app.app().context().log.isWritable();
        }
        messages = app.dialogs.messages;
    }
    // The command line reads it as the windows do.
    QTemporaryDir elsewhere;
    const int exported =
        runCommand({"kx47", "export", elsewhere.filePath("log.adi"), "--folder", folder.path()})
            .exitCode;
    const QStringList left = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
    makeWritable(readOnly);
    QCOMPARE(exported, 0);
    QCOMPARE(left, files); // nothing beside the log
    QVERIFY(started);
    QCOMPARE(qsos, 2);
    QVERIFY(!writable);
    QCOMPARE(messages.size(), 1); // said once
    QCOMPARE(messages.first().icon, MessageIcon::Information);
    QVERIFY2(messages.first().text.contains("read-only"), qPrintable(messages.first().text));
    QVERIFY(readFile(folder.logPath()) == before);
    QVERIFY(!QFileInfo::exists(folder.path() + "/Backups"));
}

// Journal files that the program cannot write, left beside a log by an earlier session, do not
// keep the program from the log, and what they hold is not lost.
void TestShell::staleJournalsDoNotBlockTheLog()
{
    ProgramFolder folder;
    folder.addQsos({{1, "AA", "IK0AAA"}});
    // A session that ended without folding its journal: the files as they were at that moment.
    QTemporaryDir crashed;
    {
        const OtherProgram other(folder.logPath());
        other.exec("pragma journal_mode = wal");
        other.exec("pragma wal_autocheckpoint = 0");
        other.exec("insert into data (count, WWLocator, call, date, time, place, prov, mode, "
                   "band, qsl) values (2, 'AB', 'IK0BBB', '2004-12-07', '09:30', "
                   "'PLACE', 'AN', 'CW', 'HF', 'c')");
        for (const char *suffix : {"", "-wal", "-shm"})
            QVERIFY(QFile::copy(folder.logPath() + suffix, crashed.filePath("data.mdb") + suffix));
    }
    for (const char *suffix : {"", "-wal", "-shm"}) {
        QFile::remove(folder.logPath() + suffix);
        QVERIFY(QFile::copy(crashed.filePath("data.mdb") + suffix, folder.logPath() + suffix));
    }
    QFile::setPermissions(folder.logPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    for (const char *suffix : {"-wal", "-shm"})
        QFile::setPermissions(folder.logPath() + suffix, QFileDevice::ReadOwner);

    TestApp app(folder.path());
    QVERIFY(app.start());
    QVERIFY2(app.dialogs.messages.isEmpty(), qPrintable(app.dialogs.texts().join('\n')));
    QVERIFY(app.app().context().log.isWritable());
    QCOMPARE(app.app().context().log.count("select count(*) as contatore from data"), 2);
}

void TestShell::lockIsWaitedOut_data()
{
    QTest::addColumn<bool>("atStartUp");
    QTest::newRow("at start-up") << true;
    QTest::newRow("at a save") << false;
}

// Another program holds the log's write lock for 3.5 s while the program starts, or while it
// saves a QSO on the connection it runs with: each waits for it, as every statement of the
// program waits up to 5 s, and the start leaves that wait set.
void TestShell::lockIsWaitedOut()
{
    QFETCH(bool, atStartUp);
    ProgramFolder folder;
    {
        QSqlDatabase db = folder.log();
        execOn(db, "pragma journal_mode = wal");
        db.close();
    }
    const auto holdTheLock = [&folder](std::optional<LockHolder> &other) {
        other.emplace(folder.logPath(),
                      "insert into data (count, WWLocator, call, date, time, place, prov, mode, "
                      "band, qsl) values (1, 'AB', 'IK0BBB', '2004-12-07', '09:30', 'PLACE', "
                      "'AN', 'CW', 'HF', 'c')",
                      3500);
    };
    std::optional<LockHolder> other;
    if (atStartUp)
        holdTheLock(other);
    TestApp app(folder.path());
    const bool started = app.start();
    other.reset();
    QVERIFY2(started, qPrintable(app.dialogs.texts().join('\n')));
    const Database &log = app.app().context().log;
    QVERIFY(log.isWritable());
    if (!atStartUp) {
        holdTheLock(other);
        const bool saved = QsoSubmission(log, app.dialogs, EntryMode::insertQso())
                               .submit(validQso("HF", "MIXED", false))
                               .has_value();
        other.reset();
        QVERIFY2(saved, qPrintable(app.dialogs.texts().join('\n')));
    }
    QCOMPARE(log.count("select count(*) as contatore from data"), atStartUp ? 1 : 2);
    QSqlQuery timeout = log.run("pragma busy_timeout");
    QVERIFY(timeout.next());
    QCOMPARE(timeout.value(0).toInt(), Database::busyTimeoutMs);
}

void TestShell::installedProgramKeepsTheLogInTheUserFolder()
{
    // <prefix>/bin/kx47 with the gazetteer, the help and the empty log in <prefix>/share/kx47.
    ProgramFolder installed;
    QTemporaryDir prefix;
    QTemporaryDir home;
    const QByteArray savedHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    QStandardPaths::setTestModeEnabled(true);
    const QString share = prefix.path() + "/share/kx47";
    QVERIFY(QDir().mkpath(prefix.path() + "/bin"));
    QVERIFY(QDir().mkpath(share));
    QVERIFY(QFile::copy(installed.logPath(), share + "/data.mdb"));
    QVERIFY(QFile::copy(installed.placesPath(), share + "/places.mdb"));
    const QByteArray emptyLog = readFile(share + "/data.mdb");
    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QVERIFY2(userFolder.startsWith(home.path()), qPrintable(userFolder));

    for (int start = 1; start <= 2; ++start) {
        TestApp app(prefix.path() + "/bin");
        QVERIFY(app.start());
        QVERIFY(app.dialogs.messages.isEmpty());
        Database &log = app.app().context().log;
        QCOMPARE(QFileInfo(log.handle().databaseName()).absoluteFilePath(),
                 QFileInfo(userFolder + "/data.mdb").absoluteFilePath());
        // The log of the first start is kept: never made afresh over the user's QSOs.
        QCOMPARE(log.count("select count(*) as contatore from data"), start - 1);
        QCOMPARE(app.app().context().places.count("select count(*) as contatore from places"),
                 ProgramFolder::defaultPlaces().size());
        if (start == 1) {
            log.run("insert into data (count, WWLocator, call, date, time, place, prov, mode, "
                    "band, qsl) values (1, 'AB', 'IK0ABC', '2004-12-07', '09:30', "
                    "'PLACE', 'AN', 'CW', 'HF', 'c')");
        }
        app.menuItem("mnHelpKX47html")->trigger();
        QCOMPARE(app.desktop.opened, QStringList{share + "/Help/index.htm"});
        app.menuItem("mnAbout")->trigger();
        auto *where = app.windows().find(windows::frmAbout)->findChild<QLabel *>("lblLogFile");
        QVERIFY2(where->text().contains(QDir::toNativeSeparators(userFolder + "/data.mdb")),
                 qPrintable(where->text()));
    }
    QVERIFY(QDir(userFolder + "/Backups").entryList(QDir::Files).size() == 1); // of the day
    QVERIFY(readFile(share + "/data.mdb") == emptyLog);
    QVERIFY(!QFileInfo::exists(prefix.path() + "/bin/data.mdb"));
    QStandardPaths::setTestModeEnabled(false);
    qputenv("HOME", savedHome);
}

void TestShell::databaseFailureIsReported()
{
    ProgramFolder folder;
    TestApp app(folder.path());
    QVERIFY(app.start());
    // The test fixture turns the failure into an exception carrying the engine's text.
    try {
        app.app().context().log.run("select nothing from nowhere");
        QFAIL("a refused statement went unnoticed");
    } catch (const std::runtime_error &error) {
        QVERIFY2(QString(error.what()).contains("nowhere"), error.what());
    }
}

void TestShell::menuTree()
{
    ProgramFolder folder;
    TestApp app(folder.path());
    QVERIFY(app.start());
    QMainWindow *main = app.app().mainWindow();

    struct Item {
        const char *name;
        const char *caption;
    };
    const QList<std::pair<Item, QList<Item>>> tree = {
        {{"mnDatabase", "Database"},
         {{"mnInsertQSO", "&Insert QSO"},
          {"mnUtiliy", "&Utility QSO"},
          {"mnPrintAllQSOs", "&Print all QSOs"},
          {"mnImportAdif", "I&mport ADIF..."},
          {"mnImportEdi", "Import &contest log (EDI)..."},
          {"mnExportAdif", "E&xport ADIF..."},
          {"mnDownloadConfirmations", "&Download confirmations..."},
          {"mnBackup", "&Back up the log now"},
          {"mnRestore", "&Restore a backup..."},
          {"mnCheckLog", "Chec&k the log"},
          {"mnLine2", ""},
          {"mnExit", "&Exit"}}},
        {{"mnAward", "Award"},
         {{"mnCounter", "&Counter"},
          {"mnBAR", "&Base Award Request"},
          {"mnEndorsement", "&Endorsement"},
          {"mnAwardMap", "&Map"},
          {"mnCardsToChase", "Cards to c&hase..."}}},
        {{"mnUtility", "Utility"},
         {{"mnUserData", "&User Data"}, {"mnFindPlaces", "&Find on Places Database"}}},
        {{"mnHelp", "Help"},
         {{"mnHelpKX47html", "&Help on KX47"},
          {"mnHelpKX47pdf", "&Rules on KX47 "},
          {"mnLine", ""},
          {"mnAbout", "&About KX47"}}},
    };
    const QList<QAction *> menus = main->menuBar()->actions();
    QCOMPARE(menus.size(), tree.size());
    for (int m = 0; m < tree.size(); ++m) {
        QMenu *menu = menus[m]->menu();
        QVERIFY(menu);
        QCOMPARE(menu->objectName(), QString(tree[m].first.name));
        QCOMPARE(menu->title(), QString(tree[m].first.caption));
        const QList<QAction *> items = menu->actions();
        // No two items of a menu share an access key.
        QSet<QChar> keys;
        for (QAction *item : items) {
            const int amp = item->text().indexOf(QLatin1Char('&'));
            if (amp >= 0) {
                const QChar key = item->text().at(amp + 1).toLower();
                QVERIFY2(!keys.contains(key), qPrintable(item->text()));
                keys.insert(key);
            }
        }
        QCOMPARE(items.size(), tree[m].second.size());
        for (int i = 0; i < items.size(); ++i) {
            const Item &expected = tree[m].second[i];
            QCOMPARE(items[i]->objectName(), QString(expected.name));
            QCOMPARE(items[i]->isSeparator(), QString(expected.caption).isEmpty());
            if (!items[i]->isSeparator())
                QCOMPARE(items[i]->text(), QString(expected.caption));
        }
    }
    auto *help = main->findChild<QAction *>("mnHelpKX47html");
    QCOMPARE(help->shortcut(), QKeySequence(Qt::Key_F1));
}

void TestShell::helpDocumentsOpenFromProgramFolder_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("document");
    QTest::addColumn<bool>("viewer");
    for (const bool viewer : {true, false}) {
        QTest::addRow("help pages, viewer %d", viewer) << "mnHelpKX47html"
                                                       << "Help/index.htm" << viewer;
        QTest::addRow("rules, viewer %d", viewer) << "mnHelpKX47pdf"
                                                  << "Help/Kx47_reg_eng.pdf" << viewer;
    }
}

void TestShell::helpDocumentsOpenFromProgramFolder()
{
    QFETCH(QString, item);
    QFETCH(QString, document);
    QFETCH(bool, viewer);
    ProgramFolder folder;
    TestApp app(folder.path());
    QVERIFY(app.start());
    app.desktop.viewerOpens = viewer;
    app.menuItem(item)->trigger();
    QCOMPARE(app.desktop.opened, QStringList{folder.path() + "/" + document});
    // Where nothing shows it, the user is told where the document is.
    QCOMPARE(app.dialogs.messages.size(), viewer ? 0 : 1);
    if (!viewer)
        QVERIFY(app.dialogs.messages[0].text.contains(folder.path() + "/" + document));

    TestApp rooted(folder.path() + "/");
    QVERIFY(rooted.start());
    rooted.menuItem(item)->trigger();
    QCOMPARE(rooted.desktop.opened, QStringList{folder.path() + "/" + document});
}

void TestShell::windowExistsOnce()
{
    WindowRegistry registry;
    int made = 0;
    registerSample(registry, made);
    QVERIFY(!registry.find("frmSample"));
    QWidget *hidden = registry.get("frmSample");
    QVERIFY(hidden);
    QVERIFY(!hidden->isVisible());
    QCOMPARE(hidden->objectName(), QString("frmSample"));
    QWidget *shown = registry.show("frmSample");
    QCOMPARE(shown, hidden);
    QVERIFY(shown->isVisible());
    QCOMPARE(registry.show("frmSample"), hidden);
    QCOMPARE(made, 1);
    QVERIFY(!registry.show("frmNotBuilt"));
}

void TestShell::closeBoxDiscardsExitKeeps()
{
    WindowRegistry registry;
    int made = 0;
    registerSample(registry, made);
    QWidget *first = registry.show("frmSample");
    first->hide(); // what "Exit" does
    QCOMPARE(registry.show("frmSample"), first);
    QCOMPARE(made, 1);
    QPointer<QWidget> closed = first;
    first->close(); // the close box
    QTRY_VERIFY(closed.isNull());
    QVERIFY(!registry.find("frmSample"));
    QWidget *second = registry.show("frmSample");
    QVERIFY(second);
    QCOMPARE(made, 2);
}

void TestShell::endingClosesEveryWindow_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("menu Exit") << "mnExit";
    QTest::newRow("Exit button") << "cmdExit";
    QTest::newRow("close box") << "close";
}

void TestShell::endingClosesEveryWindow()
{
    QFETCH(QString, how);
    ProgramFolder folder;
    TestApp app(folder.path());
    QVERIFY(app.start());
    QPointer<QWidget> about = app.show(windows::frmAbout);
    QVERIFY(about);
    QMainWindow *main = app.app().mainWindow();
    if (how == "mnExit")
        main->findChild<QAction *>("mnExit")->trigger();
    else if (how == "cmdExit")
        QTest::mouseClick(main->findChild<QPushButton *>("cmdExit"), Qt::LeftButton);
    else
        main->close();
    QVERIFY(about.isNull());
    QVERIFY(!main->isVisible());
    QVERIFY(app.dialogs.messages.isEmpty());
}

void TestShell::aboutWindow()
{
    ProgramFolder folder;
    TestApp app(folder.path());
    QVERIFY(app.start());
    app.menuItem("mnAbout")->trigger();
    QWidget *about = app.windows().find(windows::frmAbout);
    QVERIFY(about);
    QVERIFY(about->isVisible());
    QCOMPARE(about->windowTitle(), QString("about KX47"));
    QVERIFY(!about->findChild<QLabel *>("lblDescription")->text().isEmpty());
    QVERIFY(!about->findChild<QLabel *>("Picture2")->pixmap().isNull());
    auto *site = about->findChild<QLabel *>("Label2");
    QTest::mouseClick(site, Qt::LeftButton);
    QCOMPARE(app.desktop.opened, QStringList{site->text()});
    QCOMPARE(site->text(), AboutWindow::webAddress());

    QTest::mouseClick(about->findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
    QVERIFY(!about->isVisible());
    QCOMPARE(app.windows().find(windows::frmAbout), about); // hidden, not discarded
}

void TestShell::windowsRememberedBetweenSessions()
{
    const QStringList farWindows{windows::frmAbout, windows::frmInsertQSO, windows::frmAwardMap,
                                 windows::frmFindPlaces};
    ProgramFolder folder;
    QRect browserPlace;
    {
        TestApp app(folder.path());
        QVERIFY(app.start());
        app.app().mainWindow()->move(60, 50);
        QWidget *browser = app.show(windows::frmUtility);
        const QSize opened = browser->size();
        browser->move(8, 20);
        browser->resize(browser->minimumSizeHint() + QSize(4, 6));
        browserPlace = QRect(browser->pos(), browser->size());
        QVERIFY(browserPlace.size() != opened);
        browser->findChild<QRadioButton *>("optPlace")->click();
        browser->findChild<QRadioButton *>("optMode2")->click();
        app.show(windows::frmAward)->findChild<QComboBox *>("Combo1")->setCurrentText("CW");
        // These windows were last left where no screen shows them whole, as a screen at 200 %
        // shows the places saved at 100 %.
        for (const QString &name : farWindows)
            windowsettings::setGeometry(name, QRect(1171, 642, 1256, 538));
        app.app().quit();
    }

    TestApp app(folder.path());
    QVERIFY(app.start());
    QCOMPARE(app.app().mainWindow()->pos(), QPoint(60, 50));
    QWidget *browser = app.show(windows::frmUtility);
    QCOMPARE(QRect(browser->pos(), browser->size()), browserPlace);
    QVERIFY(browser->findChild<QRadioButton *>("optPlace")->isChecked());
    QVERIFY(browser->findChild<QRadioButton *>("optMode2")->isChecked());
    QVERIFY(browser->findChild<QWidget *>("frame2nd")->isEnabled());
    QCOMPARE(app.show(windows::frmAward)->findChild<QComboBox *>("Combo1")->currentText(),
             QString("CW"));
    // Whole on the screen, with room for a title bar.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const QString &name : farWindows) {
        QWidget *shown = app.show(name);
        const QRect whole(shown->pos(), shown->size() + QSize(0, 30));
        QVERIFY2(screen.contains(whole), qPrintable(name));
    }
}

void TestShell::signalWhileAQuestionIsOpen_data()
{
    // The window, the button that asks the question, the question, and the log.
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QList<QsoRow>>("log");
    QTest::newRow("delete question of the browser")
        << windows::frmUtility << "cmdDeleteQSO" << QsoActions::deleteQuestion
        << awardQsos(1, 3, "HF", "MIXED", "w");
    QTest::newRow("conversion question of the award request")
        << windows::frmBAR << "cmdPrint" << AwardRequest::convertQuestion()
        << awardQsos(1, 50, "HF", "MIXED", "c");
}

void TestShell::signalWhileAQuestionIsOpen()
{
    QFETCH(QString, window);
    QFETCH(QString, button);
    QFETCH(QString, question);
    QFETCH(QList<QsoRow>, log);
    std::sort(log.begin(), log.end(),
              [](const QsoRow &a, const QsoRow &b) { return a.count < b.count; });
    ProgramFolder folder;
    folder.addQsos(log);
    folder.setUserData("IK0XYZ");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path() + "/settings");
    // Real message boxes, each waiting in an event loop of its own as for the user.
    QtDialogs dialogs;
    RecordingPrintService printService;
    RecordingDesktop desktop;
    QString asked;
    int ended = -1;
    {
        Application app(folder.path(), dialogs, printService, desktop);
        QVERIFY(app.start());
        app.quitOnTerminationSignals();
        const auto forget = qScopeGuard([] { kx47::quitOnTerminationSignals({}); });
        QWidget *shown = app.context().windows.show(window);
        QVERIFY(activate(shown));
        if (auto *list = shown->findChild<QListView *>("List")) {
            QTRY_VERIFY(list->model()->rowCount() > 0);
            list->selectionModel()->select(list->model()->index(0, 0),
                                           QItemSelectionModel::ClearAndSelect);
        }
        // The button is pressed in the event loop; once its question is up, the signal comes.
        QTimer::singleShot(0, shown,
                           [shown, button] { shown->findChild<QPushButton *>(button)->click(); });
        QTimer watch;
        connect(&watch, &QTimer::timeout, &watch, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            asked = box->text();
            watch.stop();
            ::raise(SIGTERM);
        });
        watch.start(5);
        // Should no question come, the program ends all the same and the test fails.
        QTimer giveUp;
        giveUp.setSingleShot(true);
        connect(&giveUp, &QTimer::timeout, qApp, &QCoreApplication::quit);
        giveUp.start(30000);
        ended = QApplication::exec();
        QVERIFY(!app.mainWindow()->isVisible());
    }

    // The question was left unanswered: the program ended as on Exit, and changed nothing.
    QCOMPARE(asked, question);
    QCOMPARE(ended, 0);
    QCOMPARE(folder.qsos(), log);
}

void TestShell::cleanupTestCase()
{
    // The signals end this test program again as they would have before.
    for (const int number : {SIGTERM, SIGINT, SIGHUP})
        std::signal(number, SIG_DFL);
}

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
