// Backups of the log: copies made while the program runs, the keeping rule, and restoring a
// copy through the real application.
#include "fixture.h"

#include "backup/backups.h"
#include "backup/restorewindow.h"
#include "log/lognotifier.h"
#include "storage/database.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

using namespace kx47;
using namespace kx47::test;

namespace
{

const QList<QsoRow> threeQsos = {{1, "AA", "IK0AAA"}, {2, "AB", "IK0BBB"}, {3, "XX", "IK0CCC"}};

// Every row of both tables of a log file, as text.
QStringList rowsOf(const QString &path)
{
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "rows of");
        db.setDatabaseName(path);
        db.setConnectOptions("QSQLITE_OPEN_READONLY");
        db.open();
        for (const char *sql :
             {"select * from data order by count", "select * from userData order by call"}) {
            QSqlQuery query(db);
            query.exec(sql);
            while (query.next()) {
                QStringList values;
                for (int i = 0; i < query.record().count(); ++i)
                    values << query.value(i).toString();
                rows << values.join('|');
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase("rows of");
    return rows;
}

QAction *menuItem(TestApp &app, const char *name)
{
    return app.app().mainWindow()->findChild<QAction *>(name);
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT

private slots:
    void keepingRule_data();
    void keepingRule();
    void backupHoldsEverySavedQso();
    void restoreThroughTheWindow();
    void damagedBackupIsRefused();
    void olderLogIsCopiedThenUpgraded_data();
    void olderLogIsCopiedThenUpgraded();
};

void TestBackup::keepingRule_data()
{
    QTest::addColumn<QList<QDateTime>>("made");
    QTest::addColumn<QList<int>>("removed");
    const QDateTime now(QDate(2026, 12, 8), QTime(12, 0));
    QList<QDateTime> today;
    for (int i = 0; i < 12; ++i)
        today << now.addSecs(-600 * i);
    QTest::newRow("the last ten") << today.mid(0, 10) << QList<int>{};
    QTest::newRow("the eleventh of a day goes") << today << QList<int>{10, 11};
    QTest::newRow("the newest of each month for a year")
        << today.mid(0, 10) + QList<QDateTime>{QDateTime(QDate(2026, 11, 20), QTime(8, 0)),
                                               QDateTime(QDate(2026, 11, 10), QTime(8, 0)),
                                               QDateTime(QDate(2026, 6, 15), QTime(8, 0)),
                                               QDateTime(QDate(2026, 6, 1), QTime(8, 0)),
                                               QDateTime(QDate(2025, 12, 20), QTime(8, 0)),
                                               QDateTime(QDate(2025, 11, 30), QTime(8, 0))}
        << QList<int>{11, 13, 15};
}

void TestBackup::keepingRule()
{
    QFETCH(QList<QDateTime>, made);
    QFETCH(QList<int>, removed);
    QCOMPARE(Backups::toRemove(made, QDateTime(QDate(2026, 12, 8), QTime(12, 0))), removed);
}

void TestBackup::backupHoldsEverySavedQso()
{
    ProgramFolder folder;
    folder.setUserData("IK0XYZ");
    TestApp app(folder.path());
    QVERIFY(app.start());
    // Saved through the program's own connection: they may still be in the write-ahead journal.
    Database &log = app.app().context().log;
    for (const QsoRow &row : threeQsos) {
        log.run("insert into data values (?, ?, ?, '2004-12-07', '09:30', 'PLACE', 'AN', "
                "'CW', 'HF', 'c')",
                {row.count, row.locator, row.call});
    }
    menuItem(app, "mnBackup")->trigger();
    QCOMPARE(app.dialogs.messages.size(), 1);
    QCOMPARE(app.dialogs.messages.first().icon, MessageIcon::Information);

    const QList<Backups::Backup> backups = Backups::list(folder.path() + "/Backups");
    QCOMPARE(backups.size(), 2); // the first start of the day, and now
    QCOMPARE(backups[0].qsos, 3);
    QCOMPARE(backups[1].qsos, 0);
    QVERIFY2(app.dialogs.messages.first().text.contains(QDir::toNativeSeparators(backups[0].path)),
             qPrintable(app.dialogs.messages.first().text));
    QCOMPARE(rowsOf(backups[0].path), rowsOf(folder.logPath()));
    QCOMPARE(QDir(folder.path() + "/Backups").entryList(QDir::Files).size(), 2); // no leftovers
}

void TestBackup::restoreThroughTheWindow()
{
    ProgramFolder folder;
    folder.addQsos(threeQsos);
    folder.setUserData("IK0XYZ");
    const QStringList before = rowsOf(folder.logPath());
    TestApp app(folder.path());
    QVERIFY(app.start()); // backs up the log of the day
    Database &log = app.app().context().log;
    log.run("delete from data where count = 2");
    log.run("insert into data values (4, 'CD', 'IK0DDD', '2004-12-07', '09:30', 'PLACE', 'AN', "
            "'CW', 'HF', 'c')");
    log.run("update userData set call = 'IK9NEW'");
    const QStringList changed = rowsOf(folder.logPath());
    QSignalSpy followers(&app.app().context().logNotifier, &LogNotifier::logChanged);

    menuItem(app, "mnRestore")->trigger();
    auto *window = app.window<RestoreWindow>(RestoreWindow::name);
    QVERIFY(window && window->isVisible());
    auto *list = window->findChild<QListWidget *>("lstBackups");
    QCOMPARE(list->count(), 1);
    QVERIFY2(list->item(0)->text().contains("3 QSOs"), qPrintable(list->item(0)->text()));
    app.dialogs.answers << MessageAnswer::Yes;
    QTest::mouseClick(window->findChild<QPushButton *>("cmdRestore"), Qt::LeftButton);

    QCOMPARE(rowsOf(folder.logPath()), before);
    QCOMPARE(followers.size(), 1);
    QCOMPARE(app.dialogs.messages.size(), 2); // the question, then what was done
    QCOMPARE(app.dialogs.messages.last().icon, MessageIcon::Information);
    // The log as it was before the restore is kept as the newest backup.
    const QList<Backups::Backup> backups = Backups::list(folder.path() + "/Backups");
    QCOMPARE(backups.size(), 2);
    QCOMPARE(rowsOf(backups.first().path), changed);
    QCOMPARE(list->count(), 2);
}

void TestBackup::damagedBackupIsRefused()
{
    ProgramFolder folder;
    folder.addQsos(threeQsos);
    TestApp app(folder.path());
    QVERIFY(app.start());
    app.app().context().log.run("delete from data where count = 1");
    const QStringList changed = rowsOf(folder.logPath());
    const QString backup = Backups::list(folder.path() + "/Backups").first().path;
    {
        QFile file(backup);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.resize(file.size() / 2));
    }
    menuItem(app, "mnRestore")->trigger();
    auto *window = app.window<RestoreWindow>(RestoreWindow::name);
    app.dialogs.answers << MessageAnswer::Yes;
    QTest::mouseClick(window->findChild<QPushButton *>("cmdRestore"), Qt::LeftButton);

    QCOMPARE(app.dialogs.messages.size(), 1); // no question asked
    QCOMPARE(app.dialogs.messages.first().icon, MessageIcon::Critical);
    QVERIFY2(app.dialogs.messages.first().text.contains("damaged"),
             qPrintable(app.dialogs.messages.first().text));
    QCOMPARE(rowsOf(folder.logPath()), changed);
    QCOMPARE(Backups::list(folder.path() + "/Backups").size(), 1);
}

void TestBackup::olderLogIsCopiedThenUpgraded_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<int>("version");
    QTest::newRow("step 2 applied") << QString() << 2;
    // Something of the index's name already there makes the step fail: the log stays as it was.
    QTest::newRow("step 2 refused") << QStringLiteral("create table data_band_mode (x)") << 1;
}

// A log made by an earlier version: copied first, then brought to the current version in one
// step, the QSOs untouched; a step that fails leaves the log as it was, and the program starts.
void TestBackup::olderLogIsCopiedThenUpgraded()
{
    QFETCH(QString, obstacle);
    QFETCH(int, version);
    ProgramFolder folder;
    folder.addQsos(threeQsos);
    QSqlQuery older(folder.log());
    QVERIFY(older.exec("drop index data_band_mode"));
    QVERIFY(older.exec("pragma user_version = 1"));
    if (!obstacle.isEmpty())
        QVERIFY(older.exec(obstacle));
    const QStringList before = rowsOf(folder.logPath());

    TestApp app(folder.path());
    QVERIFY(app.start());
    QCOMPARE(app.dialogs.messages.size(), version == 2 ? 0 : 1);
    QSqlQuery now = app.app().context().log.run("pragma user_version");
    QVERIFY(now.next());
    QCOMPARE(now.value(0).toInt(), version);
    QSqlQuery index = app.app().context().log.run(
        "select count(*) from sqlite_master where type = 'index' and name = 'data_band_mode'");
    QVERIFY(index.next());
    QCOMPARE(index.value(0).toInt(), version == 2 ? 1 : 0);
    QCOMPARE(rowsOf(folder.logPath()), before);
    // The day's copy and the copy before the step, both of the log as it was.
    const QList<Backups::Backup> copies = Backups::list(folder.path() + "/Backups");
    QCOMPARE(copies.size(), 2);
    for (const Backups::Backup &copy : copies)
        QCOMPARE(rowsOf(copy.path), before);
}

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"
