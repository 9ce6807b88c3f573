// The Insert QSO window: its form, "Submit" with the award rules, the form after a save,
// "Clear", "Exit" and the close box, and the notice that the log changed.
#include "qsoentryfixture.h"

#include "log/lognotifier.h"
#include "platform/appcontext.h"
#include "platform/windownames.h"
#include "qso/qsoentrywindow.h"
#include "storage/database.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace kx47;
using namespace kx47::test;

class TestQsoInsert : public QsoWindowTest
{
    Q_OBJECT

private slots:

    void controls();
    void listsInOrder_data();
    void listsInOrder();
    void tabOrder();
    void opensWithDefaults();
    void saveWritesRowAndEmptiesForm();
    void savedValues_data();
    void savedValues();
    void numbersFollowTheLog();
    void failedChecksKeepForm();
    void dateNotInCalendarRefused();
    void enterSubmits_data();
    void enterSubmits();
    void nowFillsDateAndTime();
    void accreditedRefusalKeepsForm();
    void replacementQuestion_data();
    void replacementQuestion();
    void emptyingKeepsSelections_data();
    void emptyingKeepsSelections();
    void closeBoxRestoresDefaults();
    void engineFailureKeepsForm_data();
    void engineFailureKeepsForm();
    void readOnlyLogRefusesBeforeChecks();
    void savedQsoIsInTheFileAlone();
};

void TestQsoInsert::controls()
{
    QWidget *window = open();
    QVERIFY(qobject_cast<QsoEntryWindow *>(window));
    QCOMPARE(window->objectName(), QString("frmInsertQSO"));
    QCOMPARE(window->windowTitle(), QString("Insert QSO"));
    QCOMPARE(window->findChild<QLabel *>("Label3")->text(), QString("KX47"));
    QVERIFY(listBox(window, "comboPlace")->isEditable());
    QVERIFY(!listBox(window, "comboProv")->isEditable());
    QVERIFY(!listBox(window, "comboMode")->isEditable());
    QVERIFY(!listBox(window, "comboBand")->isEditable());
    QCOMPARE(option(window, "optQSLConf")->text(), QString("confirmed"));
    QCOMPARE(option(window, "optQSLworked")->text(), QString("worked"));
    QCOMPARE(window->findChild<QPushButton *>("cmdSubmit")->text(), QString("Submit"));
    QCOMPARE(window->findChild<QPushButton *>("cmdClear")->text(), QString("Clear"));
    QCOMPARE(window->findChild<QPushButton *>("cmdExit")->text(), QString("Exit"));

    // Each field sits in the group that names it.
    const QList<QPair<const char *, QString>> groups = {{"txtWWLocator", "WWLocator"},
                                                        {"Label3", "WWLocator"},
                                                        {"txtCall", "Call"},
                                                        {"txtDate0", "date (dd/mm/yy)"},
                                                        {"txtDate1", "date (dd/mm/yy)"},
                                                        {"txtDate2", "date (dd/mm/yy)"},
                                                        {"txtTime", "Time (hhmm)"},
                                                        {"comboPlace", "Place"},
                                                        {"comboProv", "Prov"},
                                                        {"comboMode", "Mode"},
                                                        {"comboBand", "Band"},
                                                        {"optQSLConf", "QSL"},
                                                        {"optQSLworked", "QSL"}};
    for (const auto &[name, caption] : groups) {
        auto *box = qobject_cast<QGroupBox *>(window->findChild<QWidget *>(name)->parentWidget());
        QVERIFY2(box, name);
        QCOMPARE(box->title(), caption);
    }
    const QList<QLabel *> slashes =
        textBox(window, "txtDate1")->parentWidget()->findChildren<QLabel *>();
    QCOMPARE(slashes.size(), 2);
    for (QLabel *slash : slashes)
        QCOMPARE(slash->text(), QString("/"));
}

void TestQsoInsert::listsInOrder_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("province") << "comboProv"
                              << QStringList{"AN", "AP", "AR", "FC", "QZ", "PG", "PU", "RN", "RSM"};
    QTest::newRow("mode") << "comboMode" << QStringList{"MIXED", "SSB", "CW", "DIGITAL"};
    QTest::newRow("band") << "comboBand" << QStringList{"HF", "50 MHz", "VHF", "UHF", "SHF", "SAT"};
}

void TestQsoInsert::listsInOrder()
{
    QFETCH(QString, name);
    QFETCH(QStringList, items);
    QCOMPARE(itemTexts(listBox(m_run->app.show(windows::frmInsertQSO), name)), items);
}

void TestQsoInsert::tabOrder()
{
    QWidget *window = open();
    QCOMPARE(QApplication::focusWidget(), textBox(window, "txtWWLocator"));
    const QStringList expected = {"txtCall",    "txtDate0",  "txtDate1",  "txtDate2",  "txtTime",
                                  "comboPlace", "comboProv", "comboMode", "comboBand", "optQSLConf",
                                  "cmdSubmit",  "cmdClear",  "cmdExit"};
    for (const QString &name : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), name);
    }
}

void TestQsoInsert::opensWithDefaults()
{
    QWidget *window = open();
    QVERIFY(option(window, "optQSLConf")->isChecked());
    QVERIFY(!option(window, "optQSLworked")->isChecked());
    QCOMPARE(formTexts(window), QStringList(7, QString()));
    QCOMPARE(formSelections(window), (QStringList{"AN", "MIXED", "HF"}));
    QCOMPARE(QApplication::focusWidget(), textBox(window, "txtWWLocator"));
}

void TestQsoInsert::saveWritesRowAndEmptiesForm()
{
    QWidget *window = open();
    fillForm(window, validQso("50 MHz", "CW", false));
    QCOMPARE(listBox(window, "comboProv")->currentText(), QString("PG")); // from the gazetteer
    submit(window);

    QCOMPARE(m_run->app.dialogs.texts(), QStringList{"QSO saved"});
    QCOMPARE(m_run->app.dialogs.messages[0].icon, MessageIcon::Information);
    QCOMPARE(m_run->app.dialogs.messages[0].title, QString("KX47"));
    const QsoRow expected{1,          "AB", "IK4ABC", "2004-12-07", "09:30",
                          "BRANVOLE", "PG", "CW",     "50 MHz",     "w"};
    QCOMPARE(m_run->folder.qsos(), QList<QsoRow>{expected});
    QCOMPARE(m_run->logChanges.count(), 1);

    QVERIFY(window->isVisible());
    QCOMPARE(formTexts(window), QStringList(7, QString()));
    QCOMPARE(listBox(window, "comboPlace")->count(), 0);
    QVERIFY(option(window, "optQSLConf")->isChecked());
    QCOMPARE(formSelections(window), (QStringList{"PG", "CW", "50 MHz"}));
    QCOMPARE(QApplication::focusWidget(), textBox(window, "txtWWLocator"));
}

void TestQsoInsert::savedValues_data()
{
    QTest::addColumn<QString>("day");
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("place");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("storedTime");
    QTest::newRow("midnight") << "1"
                              << "1"
                              << "0000"
                              << "NOWHERE"
                              << "2004-01-01"
                              << "00:00";
    QTest::newRow("last minute") << "9"
                                 << "03"
                                 << "2359"
                                 << "X"
                                 << "2004-03-09"
                                 << "23:59";
    QTest::newRow("29 February of a leap year") << "29"
                                                << "2"
                                                << "1200"
                                                << "ALTOMIRA"
                                                << "2004-02-29"
                                                << "12:00";
    QTest::newRow("time with point") << "7"
                                     << "12"
                                     << "9.30"
                                     << "ALTOMIRA"
                                     << "2004-12-07"
                                     << "09:30";
    QTest::newRow("time with sign") << "7"
                                    << "12"
                                    << "+930"
                                    << "ALTOMIRA"
                                    << "2004-12-07"
                                    << "09:30";
    QTest::newRow("apostrophe in place") << "7"
                                         << "12"
                                         << "0930"
                                         << "SANT'ERMINIO"
                                         << "2004-12-07"
                                         << "09:30";
}

void TestQsoInsert::savedValues()
{
    QFETCH(QString, day);
    QFETCH(QString, month);
    QFETCH(QString, time);
    QFETCH(QString, place);
    QFETCH(QString, date);
    QFETCH(QString, storedTime);
    QWidget *window = open();
    QsoEntry typed = validQso();
    typed.day = day;
    typed.month = month;
    typed.time = time;
    typed.place = place;
    fillForm(window, typed);
    submit(window);
    QCOMPARE(m_run->app.dialogs.texts(), QStringList{"QSO saved"});
    const QsoRow row = m_run->folder.qso(1);
    QCOMPARE(row.date, date);
    QCOMPARE(row.time, storedTime);
    QCOMPARE(row.place, place);
}

void TestQsoInsert::numbersFollowTheLog()
{
    m_run->folder.addQsos({qsoRow(1, "AA", "w", "HF", "MIXED"), qsoRow(2, "AA", "w", "HF", "MIXED"),
                           qsoRow(5, "AA", "w", "HF", "MIXED")});
    QWidget *window = open();
    fillForm(window, validQso());
    submit(window);
    QVERIFY(m_run->folder.qso(6).call == "IK4ABC");
    m_run->folder.deleteQso(6);
    QsoEntry second = validQso();
    second.call = QStringLiteral("IW4ZZZ");
    second.confirmed = false;
    fillForm(window, second);
    submit(window);
    QCOMPARE(m_run->folder.qso(6).call, QString("IW4ZZZ"));
    QCOMPARE(m_run->logChanges.count(), 2);
}

void TestQsoInsert::failedChecksKeepForm()
{
    QWidget *window = open();
    QsoEntry typed = validQso();
    typed.call = QStringLiteral("A'B'C'D'EFGH");
    typed.place.clear();
    fillForm(window, typed);
    QLineEdit *year = textBox(window, "txtDate2");
    year->setFocus();
    const QStringList before = formTexts(window);
    // Pressed without moving the focus, as Alt+S would.
    window->findChild<QPushButton *>("cmdSubmit")->click();
    QCOMPARE(m_run->app.dialogs.texts(),
             (QStringList{"Call Field is too long", "place field cannot be null"}));
    QVERIFY(m_run->folder.qsos().isEmpty());
    QCOMPARE(formTexts(window), before);
    QCOMPARE(QApplication::focusWidget(), year);
    QCOMPARE(m_run->logChanges.count(), 0);

    // The mended time rule: hours and minutes must each be a number.
    m_run->app.dialogs.reset();
    typed = validQso();
    typed.time = QStringLiteral("1e03");
    fillForm(window, typed);
    submit(window);
    QCOMPARE(m_run->app.dialogs.texts(), QStringList{"error in time field format"});
    QVERIFY(m_run->folder.qsos().isEmpty());
}

void TestQsoInsert::dateNotInCalendarRefused()
{
    QWidget *window = open();
    QsoEntry typed = validQso();
    typed.day = QStringLiteral("31");
    typed.month = QStringLiteral("02");
    fillForm(window, typed);
    submit(window);
    QCOMPARE(m_run->app.dialogs.texts(), QStringList{"error in date field format"});
    QVERIFY(m_run->folder.qsos().isEmpty());
    QLineEdit *day = textBox(window, "txtDate0");
    QCOMPARE(QApplication::focusWidget(), day);
    QCOMPARE(day->selectedText(), QString("31"));
    QTest::keyClicks(day, "28");
    submit(window);
    QCOMPARE(m_run->folder.qso(1).date, QString("2004-02-28"));
}

void TestQsoInsert::enterSubmits_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("saved");
    for (const char *name :
         {"txtCall", "txtTime", "comboPlace", "comboBand", "optQSLConf", "cmdSubmit"})
        QTest::newRow(name) << name << 1;
    // On another button Enter presses that button.
    QTest::newRow("cmdClear") << "cmdClear" << 0;
}

void TestQsoInsert::enterSubmits()
{
    QFETCH(QString, focus);
    QFETCH(int, saved);
    QWidget *window = open();
    fillForm(window, validQso());
    QWidget *field = window->findChild<QWidget *>(focus);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(m_run->folder.qsos().size(), saved);
    QCOMPARE(m_run->app.dialogs.texts(), saved ? QStringList{"QSO saved"} : QStringList());
    QCOMPARE(formTexts(window), QStringList(7, QString()));
}

void TestQsoInsert::nowFillsDateAndTime()
{
    QWidget *window = open();
    const QDateTime before = QDateTime::currentDateTimeUtc();
    press(window, "cmdNow");
    const QDateTime after = QDateTime::currentDateTimeUtc();
    const QStringList shown = formTexts(window).mid(2, 4);
    const auto texts = [](const QDateTime &when) {
        return QStringList{when.toString("dd"), when.toString("MM"), when.toString("yy"),
                           when.toString("HHmm")};
    };
    QVERIFY2(shown == texts(before) || shown == texts(after), qPrintable(shown.join(' ')));
    QCOMPARE(QApplication::focusWidget(), listBox(window, "comboPlace"));
}

void TestQsoInsert::accreditedRefusalKeepsForm()
{
    m_run->folder.addQso(qsoRow(1, "AB", "a", "VHF", "SSB"));
    QWidget *window = open();
    fillForm(window, validQso("VHF", "SSB"));
    const QStringList before = formTexts(window);
    submit(window);
    QCOMPARE(m_run->app.dialogs.texts(),
             QStringList{"Another QSO with the same accreditated locator already exists! new qso "
                         "will not be saved"});
    QCOMPARE(m_run->app.dialogs.messages[0].title, QString("Error"));
    QCOMPARE(formTexts(window), before);
    QCOMPARE(m_run->folder.qsos().size(), 1);
    QCOMPARE(m_run->logChanges.count(), 0);

    // The same QSO on another band is accepted.
    listBox(window, "comboBand")->setCurrentText(QStringLiteral("UHF"));
    submit(window);
    QCOMPARE(m_run->app.dialogs.texts().last(), QString("QSO saved"));
    QCOMPARE(m_run->folder.qso(2).band, QString("UHF"));
    QCOMPARE(m_run->logChanges.count(), 1);
}

void TestQsoInsert::replacementQuestion_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TestQsoInsert::replacementQuestion()
{
    QFETCH(bool, yes);
    m_run->folder.addQsos(
        {qsoRow(1, "AB", "c", "HF", "MIXED"), qsoRow(2, "AC", "w", "HF", "MIXED")});
    const QList<QsoRow> before = m_run->folder.qsos();
    QWidget *window = open();
    fillForm(window, validQso());
    const QStringList typed = formTexts(window);
    m_run->app.dialogs.answers.enqueue(yes ? MessageAnswer::Yes : MessageAnswer::No);
    submit(window);
    QCOMPARE(m_run->app.dialogs.messages[0].title, QString("warning"));
    if (yes) {
        QCOMPARE(m_run->app.dialogs.texts().size(), 2);
        const QList<QsoRow> rows = m_run->folder.qsos();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].count, 2);
        QCOMPARE(rows[1].count, 3);
        QCOMPARE(rows[1].call, QString("IK4ABC"));
        QCOMPARE(m_run->logChanges.count(), 1);
    } else {
        QCOMPARE(m_run->app.dialogs.texts().size(), 1);
        QCOMPARE(m_run->folder.qsos(), before);
        QCOMPARE(formTexts(window), typed);
        QCOMPARE(m_run->logChanges.count(), 0);
    }
}

void TestQsoInsert::emptyingKeepsSelections_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("hides");
    QTest::newRow("Clear") << "cmdClear" << false;
    QTest::newRow("Exit") << "cmdExit" << true;
}

void TestQsoInsert::emptyingKeepsSelections()
{
    QFETCH(QString, button);
    QFETCH(bool, hides);
    QWidget *window = open();
    fillForm(window, validQso("SAT", "DIGITAL", false));
    // A province chosen by hand over the gazetteer's one for the place.
    listBox(window, "comboProv")->setCurrentText(QStringLiteral("RSM"));
    press(window, button);
    QCOMPARE(window->isVisible(), !hides);
    QCOMPARE(m_run->app.windows().find(windows::frmInsertQSO), window);
    if (hides)
        QCOMPARE(open(), window);
    QCOMPARE(formTexts(window), QStringList(7, QString()));
    QCOMPARE(listBox(window, "comboPlace")->count(), 0);
    QVERIFY(option(window, "optQSLConf")->isChecked());
    QCOMPARE(formSelections(window), (QStringList{"RSM", "DIGITAL", "SAT"}));
    QCOMPARE(QApplication::focusWidget(), textBox(window, "txtWWLocator"));
    QCOMPARE(m_run->logChanges.count(), 0);
}

void TestQsoInsert::closeBoxRestoresDefaults()
{
    QPointer<QWidget> window = open();
    fillForm(window, validQso("UHF", "SSB", false));
    QVERIFY(window->close());
    QTRY_VERIFY(window.isNull());

    QWidget *reopened = open();
    QCOMPARE(formTexts(reopened), QStringList(7, QString()));
    QCOMPARE(formSelections(reopened), (QStringList{"AN", "MIXED", "HF"}));
    QVERIFY(option(reopened, "optQSLConf")->isChecked());
    QCOMPARE(QApplication::focusWidget(), textBox(reopened, "txtWWLocator"));
    QVERIFY(m_run->folder.qsos().isEmpty());
}

void TestQsoInsert::engineFailureKeepsForm_data()
{
    // How the fault is made on the program's log, and the first words the user reads.
    QTest::addColumn<QStringList>("fault");
    QTest::addColumn<QStringList>("cure");
    QTest::addColumn<QString>("told");
    QTest::newRow("trigger refuses the row")
        << QStringList{"create trigger refuse before insert on data begin select "
                       "raise(abort, 'refused by trigger'); end"}
        << QStringList{"drop trigger refuse"} << "The log could not be changed. Nothing was saved";
    // The file may not grow by one page, and the row drags a large one along.
    QStringList full{"create table ballast (b)",
                     "create trigger grow after insert on data begin insert into ballast values "
                     "(zeroblob(200000)); end",
                     "pragma max_page_count = 1"};
    QTest::newRow("disk full") << full
                               << QStringList{"drop trigger grow", "pragma max_page_count = 100000"}
                               << "The disk is full. Nothing was saved";
    QTest::newRow("locked by another program")
        << QStringList{"pragma busy_timeout = 200", "@begin immediate"} << QStringList{"@rollback"}
        << "The log is locked by another program. Nothing was saved";
    QTest::newRow("highest number taken")
        << QStringList{"insert into data (count, WWLocator, call, date, time, place, prov, mode, "
                       "band, qsl) values (2147483647, 'XX', 'CALL', '2004-01-01', '10:00', "
                       "'P', 'AN', 'CW', 'HF', 'w')"}
        << QStringList{"delete from data where count = 2147483647"}
        << "The log holds a QSO with the highest number KX47 can give. The new QSO was not saved";
}

void TestQsoInsert::engineFailureKeepsForm()
{
    QFETCH(QStringList, fault);
    QFETCH(QStringList, cure);
    QFETCH(QString, told);
    m_run->folder.addQso(qsoRow(1, "AA", "w"));
    // Statements marked "@" run on a second connection, as another program would; the others on
    // the program's own connection.
    const Database &log = m_run->app.app().context().log;
    const auto apply = [&](const QStringList &statements) {
        for (const QString &statement : statements) {
            if (statement.startsWith('@')) {
                QSqlQuery other(m_run->folder.log());
                QVERIFY2(other.exec(statement.mid(1)), qPrintable(statement));
            } else {
                log.run(statement);
            }
        }
    };
    QWidget *window = open();
    fillForm(window, validQso());
    const QStringList before = formTexts(window);
    const QStringList selections = formSelections(window);
    apply(fault);
    submit(window);

    QCOMPARE(m_run->app.dialogs.messages.size(), 1);
    const FakeDialogs::Message told0 = m_run->app.dialogs.messages[0];
    QVERIFY2(told0.text.startsWith(told), qPrintable(told0.text));
    QVERIFY2(told0.text.contains("Details: "), qPrintable(told0.text));
    QCOMPARE(told0.icon, MessageIcon::Critical);
    // Everything typed is still there, nothing was written, nobody was told of a change.
    QCOMPARE(formTexts(window), before);
    QCOMPARE(formSelections(window), selections);
    QVERIFY(window->isVisible());
    QCOMPARE(m_run->logChanges.count(), 0);
    apply(cure);
    QCOMPARE(m_run->folder.qsos().size(), 1);

    // The program goes on: the same form is saved by the next Submit.
    submit(window);
    QCOMPARE(m_run->app.dialogs.texts().last(), QString("QSO saved"));
    QCOMPARE(m_run->folder.qso(2).call, QString("IK4ABC"));
    QCOMPARE(m_run->logChanges.count(), 1);
}

void TestQsoInsert::readOnlyLogRefusesBeforeChecks()
{
    m_run->app.app().context().log.setWritable(false);
    QWidget *window = open();
    QsoEntry typed = validQso();
    typed.call.clear(); // a check would fail, but the refusal comes first
    fillForm(window, typed);
    const QStringList before = formTexts(window);
    submit(window);
    QCOMPARE(m_run->app.dialogs.texts(), QStringList{readOnlyLogMessage});
    QCOMPARE(m_run->app.dialogs.messages[0].icon, MessageIcon::Critical);
    QCOMPARE(formTexts(window), before);
    QVERIFY(m_run->folder.qsos().isEmpty());
}

void TestQsoInsert::savedQsoIsInTheFileAlone()
{
    const Database &log = m_run->app.app().context().log;
    QSqlQuery mode = log.run("pragma journal_mode");
    QVERIFY(mode.next());
    QCOMPARE(mode.value(0).toString(), QString("wal"));
    mode.finish();
    QWidget *window = open();
    fillForm(window, validQso());
    submit(window);
    QCOMPARE(m_run->app.dialogs.texts(), QStringList{"QSO saved"});

    // A copy of data.mdb without its journal, taken while the program runs, once the journal
    // was folded in on its own.
    log.waitUntilJournalFolded();
    QTemporaryDir copyDir;
    const QString copy = copyDir.filePath("data.mdb");
    QVERIFY(QFile::copy(m_run->folder.logPath(), copy));
    QVERIFY(!QFile::exists(copy + "-wal"));
    const OtherProgram alone(copy);
    QVERIFY(alone.db().isOpen());
    QSqlQuery query(alone.db());
    QVERIFY(query.exec("select call from data where count = 1"));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toString(), QString("IK4ABC"));
}

QTEST_MAIN(TestQsoInsert)
#include "tst_qsoinsert.moc"
