// Backups of the log: copies made while the program runs, the keeping rule, and restoring a
// copy through the real application.
#include "fixture.h"

#include "backup/backups.h"
#include "backup/restorewindow.h"
#include "log/lognotifier.h"
#include "storage/database.h"
#include "storage/schema.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStatusBar>
#include <QtTest>

using namespace kx47;
using namespace kx47::test;

Q_DECLARE_METATYPE(kx47::MessageIcon)

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
             {"select count, WWLocator, call, date, time, place, prov, mode, band, qsl from data "
              "order by count",
              "select * from userData order by call"}) {
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

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT

private slots:
    void keepingRule_data();
    void keepingRule();
    void keepingRuleOverTheDays();
    void copiesOfOneSecond();
    void backupHoldsEverySavedQso();
    void restoreKeepsTheOldestBackup();
    void restoreThroughTheWindow();
    void damagedBackupIsRefused();
    void restoreRefusedChangesNothing_data();
    void restoreRefusedChangesNothing();
    void checkTheLogOnDemand_data();
    void checkTheLogOnDemand();
    void endingDuringTheDailyBackupLeavesNoHalfCopy();
    void olderLogIsCopiedThenUpgraded_data();
    void olderLogIsCopiedThenUpgraded();
};

// Backups named as the program names them, newest first.
QList<Backups::Backup> named(const QStringList &names)
{
    QList<Backups::Backup> backups;
    for (const QString &name : names)
        backups.append({name, Backups::madeAt(name), -1, Backups::kindOf(name)});
    return backups;
}

void TestBackup::keepingRule_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<int>>("removed");
    QStringList changes;
    for (int i = 0; i < 12; ++i)
        changes << QStringLiteral("data 2026-12-08 11.%1.00 before a change.mdb").arg(50 - i);
    QTest::newRow("the last ten before a change") << changes.mid(0, 10) << QList<int>{};
    QTest::newRow("the eleventh before a change goes") << changes << QList<int>{10, 11};
    QTest::newRow("changes never push the day's copy out")
        << changes + QStringList{"data 2026-12-08 08.00.00.mdb"} << QList<int>{10, 11};
    QTest::newRow("the newest of a day")
        << QStringList{"data 2026-12-08 09.00.00.mdb", "data 2026-12-08 08.00.00.mdb",
                       "data 2026-12-07 08.00.00 (2).mdb", "data 2026-12-07 08.00.00.mdb"}
        << QList<int>{1, 3};
    QTest::newRow("30 days, then the newest of each month for a year")
        << QStringList{"data 2026-11-09 08.00.00.mdb", // the 30th day
                       "data 2026-11-08 08.00.00.mdb", // November's newest beyond them
                       "data 2026-11-07 08.00.00.mdb", "data 2026-06-15 08.00.00.mdb",
                       "data 2026-06-01 08.00.00.mdb", "data 2025-12-20 08.00.00.mdb",
                       "data 2025-11-30 08.00.00.mdb"}
        << QList<int>{2, 4, 6};
    QTest::newRow("a clock set back keeps what it cannot place")
        << QStringList{"data 2027-01-01 08.00.00.mdb", "data 2027-01-01 07.00.00.mdb"}
        << QList<int>{};
}

void TestBackup::keepingRule()
{
    QFETCH(QStringList, names);
    QFETCH(QList<int>, removed);
    QCOMPARE(Backups::toRemove(named(names), QDateTime(QDate(2026, 12, 8), QTime(12, 0))), removed);
}

// Two years of days, each with its daily copy and a dozen imports, the keeping rule applied after
// each copy: the day's copies of the last 30 days, one a month before them for a year, and the
// last ten before a change.
void TestBackup::keepingRuleOverTheDays()
{
    QList<Backups::Backup> kept;
    QDateTime now;
    for (int copy = 0; copy < 730 * 13; ++copy) {
        now = QDateTime(QDate(2025, 1, 1), QTime(8, copy % 13)).addDays(copy / 13);
        const auto kind = copy % 13 ? Backups::Kind::BeforeChange : Backups::Kind::Daily;
        kept.prepend({Backups::fileName(now, kind), now, -1, kind});
        const QList<int> removed = Backups::toRemove(kept, now);
        for (auto i = removed.crbegin(); i != removed.crend(); ++i)
            kept.removeAt(*i);
    }
    QList<QDate> days;
    QSet<int> months;
    for (const Backups::Backup &backup : kept) {
        const QDate made = backup.made.date();
        if (backup.kind == Backups::Kind::BeforeChange)
            QCOMPARE(made, now.date());
        else if (made.daysTo(now.date()) < Backups::keptDays)
            days << made;
        else if (backup.made > now.addMonths(-Backups::keptMonths))
            months.insert(made.year() * 12 + made.month());
    }
    QCOMPARE(kept.size() - days.size() - months.size(), Backups::keptBeforeChange);
    QCOMPARE(days.size(), Backups::keptDays);
    QCOMPARE(days.first(), now.date()); // the day's first copy outlived the imports
    QVERIFY(months.size() >= Backups::keptMonths - 1 && months.size() <= Backups::keptMonths + 1);
}

// Copies of one second, also while another program's copy of that second is being written:
// each whole, under a name of its own, the other's temporary file untouched.
void TestBackup::copiesOfOneSecond()
{
    ProgramFolder folder;
    folder.addQsos(threeQsos);
    OpenedFile log(folder.logPath());
    QString error;
    const QDir backups(folder.path() + "/Backups");
    QVERIFY(backups.mkpath("."));
    const QDateTime when(QDate(2026, 12, 8), QTime(10, 0, 1));
    QFile part(
        backups.filePath(when.toString("'data' yyyy-MM-dd HH.mm.ss") +
                         QStringLiteral(".%1-1.part").arg(QCoreApplication::applicationPid() + 1)));
    QVERIFY(part.open(QIODevice::WriteOnly) && part.write("half") == 4);
    part.close();
    QSet<QString> made;
    for (int i = 0; i < 3; ++i) {
        const QString copy =
            Backups::backUp(log, backups.path(), &error, when, Backups::Kind::BeforeChange);
        QCOMPARE(rowsOf(copy), rowsOf(folder.logPath()));
        made.insert(copy);
    }
    QCOMPARE(made.size(), 3);
    QVERIFY(part.open(QIODevice::ReadOnly) && part.readAll() == "half");
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
        log.run("insert into data (count, WWLocator, call, date, time, place, prov, mode, band, "
                "qsl) values (?, ?, ?, '2004-12-07', '09:30', 'PLACE', 'AN', "
                "'CW', 'HF', 'c')",
                {row.count, row.locator, row.call});
    }
    app.menuItem("mnBackup")->trigger();
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
    app.menuItem("mnRestore")->trigger();
    auto *window = app.window<RestoreWindow>(RestoreWindow::name);
    QVERIFY(window && window->isVisible());
    auto *list = window->findChild<QListWidget *>("lstBackups");
    QCOMPARE(list->count(), 1);
    // A copy made while the window is open, here by another program: the list follows.
    QString error;
    QVERIFY(!Backups::backUp(log, folder.path() + "/Backups", &error,
                             QDateTime::currentDateTime().addSecs(-60), Backups::Kind::BeforeChange)
                 .isEmpty());
    QTRY_COMPARE(list->count(), 2);
    list->setCurrentRow(0);

    log.run("delete from data where count = 2");
    log.run("insert into data (count, WWLocator, call, date, time, place, prov, mode, band, qsl) "
            "values (4, 'CD', 'IK0DDD', '2004-12-07', '09:30', 'PLACE', 'AN', "
            "'CW', 'HF', 'c')");
    log.run("update userData set call = 'IK9NEW'");
    const QStringList changed = rowsOf(folder.logPath());
    QSignalSpy followers(&app.app().context().logNotifier, &LogNotifier::logChanged);

    QVERIFY2(list->item(0)->text().contains("3 QSOs"), qPrintable(list->item(0)->text()));
    app.dialogs.answers << MessageAnswer::Yes;
    QTest::mouseClick(window->findChild<QPushButton *>("cmdRestore"), Qt::LeftButton);

    QCOMPARE(rowsOf(folder.logPath()), before);
    QCOMPARE(followers.size(), 1);
    QCOMPARE(app.dialogs.messages.size(), 2); // the question, then what was done
    QVERIFY2(app.dialogs.texts().first().contains("applicant record"),
             qPrintable(app.dialogs.texts().first()));
    QCOMPARE(app.dialogs.messages.last().icon, MessageIcon::Information);
    // The log as it was before the restore is kept as the newest backup.
    const QList<Backups::Backup> backups = Backups::list(folder.path() + "/Backups");
    QCOMPARE(backups.size(), 3);
    QCOMPARE(rowsOf(backups.first().path), changed);
    QCOMPARE(list->count(), 3);
}

// The oldest of the copies before a change kept, restored: the copy of the log made first never
// pushes the chosen one out.
void TestBackup::restoreKeepsTheOldestBackup()
{
    ProgramFolder folder;
    folder.addQsos(threeQsos);
    TestApp app(folder.path());
    QVERIFY(app.start());
    Database &log = app.app().context().log;
    const QDateTime hourAgo = QDateTime::currentDateTime().addSecs(-3600);
    QString error;
    QStringList copies;
    for (int i = 0; i < Backups::keptBeforeChange; ++i) {
        copies << Backups::backUp(log, folder.path() + "/Backups", &error, hourAgo.addSecs(i),
                                  Backups::Kind::BeforeChange);
        log.run("delete from data where count = ?", {i + 1});
    }
    app.menuItem("mnRestore")->trigger();
    auto *window = app.window<RestoreWindow>(RestoreWindow::name);
    auto *list = window->findChild<QListWidget *>("lstBackups");
    list->setCurrentItem(
        list->findItems(hourAgo.toString("dd/MM/yyyy HH:mm:ss"), Qt::MatchStartsWith).value(0));
    app.dialogs.answers << MessageAnswer::Yes;
    QTest::mouseClick(window->findChild<QPushButton *>("cmdRestore"), Qt::LeftButton);

    QCOMPARE(app.dialogs.messages.last().icon, MessageIcon::Information);
    QCOMPARE(rowsOf(folder.logPath()), rowsOf(copies.first()));
    QCOMPARE(folder.qsos().size(), 3);
    QVERIFY(QFileInfo::exists(copies.first()));
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
    app.menuItem("mnRestore")->trigger();
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

void TestBackup::restoreRefusedChangesNothing_data()
{
    // A trigger the engine runs in the middle of the restore refuses it.
    QTest::addColumn<QString>("trigger");
    QTest::newRow("the QSOs' deletion refused")
        << "create trigger refuse before delete on data begin select raise(abort, 'injected'); end";
    QTest::newRow("the applicant record, copied last, refused")
        << "create trigger refuse before insert on userData begin select raise(abort, 'injected'); "
           "end";
}

void TestBackup::restoreRefusedChangesNothing()
{
    QFETCH(QString, trigger);
    ProgramFolder folder;
    folder.addQsos(threeQsos);
    folder.setUserData("IK0XYZ");
    TestApp app(folder.path());
    QVERIFY(app.start()); // backs up the log of the day
    Database &log = app.app().context().log;
    log.run("delete from data where count = 2");
    log.run("update userData set call = 'IK9NEW'");
    log.run(trigger);
    const QStringList changed = rowsOf(folder.logPath());
    app.menuItem("mnRestore")->trigger();
    auto *window = app.window<RestoreWindow>(RestoreWindow::name);
    app.dialogs.answers << MessageAnswer::Yes;
    QTest::mouseClick(window->findChild<QPushButton *>("cmdRestore"), Qt::LeftButton);

    QCOMPARE(rowsOf(folder.logPath()), changed);
    QCOMPARE(app.dialogs.messages.last().icon, MessageIcon::Critical);
    // Plain words first: what happened, that nothing was changed, what to do.
    QVERIFY2(app.dialogs.messages.last().text.startsWith(
                 "The log could not be changed. Nothing was saved; try again"),
             qPrintable(app.dialogs.messages.last().text));
}

void TestBackup::checkTheLogOnDemand_data()
{
    QTest::addColumn<bool>("damaged");
    QTest::addColumn<MessageIcon>("icon");
    QTest::addColumn<QString>("words");
    QTest::newRow("whole") << false << MessageIcon::Information << "no damage";
    QTest::newRow("pages overwritten") << true << MessageIcon::Critical << "damaged";
}

void TestBackup::checkTheLogOnDemand()
{
    QFETCH(bool, damaged);
    QFETCH(MessageIcon, icon);
    QFETCH(QString, words);
    ProgramFolder folder;
    folder.addQsos(numberedQsos(400));
    TestApp app(folder.path());
    QVERIFY(app.start());
    if (damaged) {
        QFile file(folder.logPath());
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.seek(4096));
        file.write(QByteArray(8192, '\xab'));
    }
    app.menuItem("mnCheckLog")->trigger();
    QCOMPARE(app.dialogs.messages.size(), 1);
    QCOMPARE(app.dialogs.messages.first().icon, icon);
    QVERIFY2(app.dialogs.messages.first().text.contains(words),
             qPrintable(app.dialogs.messages.first().text));
}

// The day's backup runs after the window is painted; a program that ends meanwhile leaves no
// half copy among the backups, and the next start makes the day's backup.
void TestBackup::endingDuringTheDailyBackupLeavesNoHalfCopy()
{
    ProgramFolder folder;
    folder.addQsos(numberedQsos(20000));
    const QString backups = folder.path() + "/Backups";
    {
        TestApp app(folder.path());
        QVERIFY(app.start(false));
        QVERIFY(QDir(backups).entryList(QDir::Files).isEmpty()); // not before the window
        QStatusBar *status = app.app().mainWindow()->statusBar();
        QTRY_VERIFY_WITH_TIMEOUT(status->currentMessage().startsWith("Backing up") ||
                                     !QDir(backups).entryList({"*.mdb"}, QDir::Files).isEmpty(),
                                 5000);
    }
    const QStringList left = QDir(backups).entryList(QDir::Files);
    QVERIFY2(left.size() <= 1 && !left.join(' ').contains(".part"), qPrintable(left.join(' ')));
    for (const QString &name : left)
        QCOMPARE(rowsOf(backups + "/" + name), rowsOf(folder.logPath()));
    TestApp again(folder.path());
    QVERIFY(again.start());
    QCOMPARE(Backups::list(backups).size(), 1);
    QCOMPARE(Backups::list(backups).first().qsos, 20000);
}

void TestBackup::olderLogIsCopiedThenUpgraded_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<int>("version");
    QTest::newRow("steps 2 and 3 applied") << 1 << QString() << 3;
    QTest::newRow("step 3 applied") << 2 << QString() << 3;
    // Something of the index's name already there makes the step fail: the log stays at the
    // version before, the new columns of the step included.
    QTest::newRow("step 2 refused") << 1 << QStringLiteral("create table data_band_mode (x)") << 1;
    QTest::newRow("step 3 refused") << 2 << QStringLiteral("create table data_electronic (x)") << 2;
}

// A log made by an earlier version: copied first, then brought to the current version in one
// step, the QSOs untouched; a step that fails leaves the log as it was, and the program starts.
void TestBackup::olderLogIsCopiedThenUpgraded()
{
    QFETCH(int, from);
    QFETCH(QString, obstacle);
    QFETCH(int, version);
    ProgramFolder folder;
    folder.addQsos(threeQsos);
    QSqlQuery older(folder.log());
    QVERIFY(older.exec("drop index data_electronic"));
    for (const char *column : {"lotw", "lotwDate", "eqsl", "eqslDate"})
        QVERIFY(older.exec(QString("alter table data drop column %1").arg(column)));
    if (from < 2)
        QVERIFY(older.exec("drop index data_band_mode"));
    QVERIFY(older.exec(QString("pragma user_version = %1").arg(from)));
    if (!obstacle.isEmpty())
        QVERIFY(older.exec(obstacle));
    const QStringList before = rowsOf(folder.logPath());

    TestApp app(folder.path());
    QVERIFY(app.start());
    QCOMPARE(app.dialogs.messages.size(), version == Schema::version ? 0 : 1);
    QSqlQuery now = app.app().context().log.run("pragma user_version");
    QVERIFY(now.next());
    QCOMPARE(now.value(0).toInt(), version);
    QSqlQuery index = app.app().context().log.run(
        "select count(*) from sqlite_master where type = 'index' and name = 'data_band_mode'");
    QVERIFY(index.next());
    QCOMPARE(index.value(0).toInt(), version >= 2 ? 1 : 0);
    QCOMPARE(QSqlQuery(folder.log()).exec("select lotw, lotwDate, eqsl, eqslDate from data"),
             version >= 3);
    QCOMPARE(rowsOf(folder.logPath()), before);
    // The day's copy and the copy before the step, both of the log as it was.
    const QList<Backups::Backup> copies = Backups::list(folder.path() + "/Backups");
    QCOMPARE(copies.size(), 2);
    for (const Backups::Backup &copy : copies)
        QCOMPARE(rowsOf(copy.path), before);
    // The copy made before the steps comes back into the log of the new version.
    QString error;
    QVERIFY2(Backups::restore(app.app().context().log, copies.first().path, &error),
             qPrintable(error));
    QCOMPARE(rowsOf(folder.logPath()), before);
}

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"
