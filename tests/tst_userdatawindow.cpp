// The User Data window as the user drives it: typing, Submit, Clear, Exit and the close box,
// on the real application with a fresh program folder per test.
#include "fixture.h"
#include "openedwindow.h"

#include "platform/windownames.h"
#include "storage/database.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>
#include <stdexcept>

using namespace kx47;
using namespace kx47::test;

namespace
{

const QStringList boxes{"txtCall", "txtfName", "txtsName",   "txtAddress",   "txtZipCode",
                        "txtCity", "txtProv",  "txtCountry", "txtWWLocator", "txtEmail"};
const QStringList valueLabels{"lblOM",      "lblCall",      "lblfName", "lblsName",
                              "lblAddress", "lblZipCode",   "lblCity",  "lblProv",
                              "lblCountry", "lblWWLocator", "lblemail"};

// What the user types into each box, in lower case, in the order of boxes.
const QStringList typedValues{"ik0xyz",   "giulia", "verdi", "via roma 12", "00100",
                              "valdoria", "qz",     "italy", "jn61fv",      "ik0xyz@example.org"};

QString label(QWidget *window, const QString &name)
{
    return window->findChild<QLabel *>(name)->text();
}

QStringList labels(QWidget *window)
{
    QStringList texts;
    for (const QString &name : valueLabels)
        texts << label(window, name);
    return texts;
}

void typeAll(QWidget *window, const QStringList &values = typedValues)
{
    for (int i = 0; i < boxes.size(); ++i)
        QTest::keyClicks(textBox(window, boxes.at(i)), values.at(i));
}

// The call of the first row of the table, empty when there is none.
QString storedCall(const ProgramFolder &folder)
{
    return folder.rows("select call from userData").value(0);
}

QStringList boxTexts(QWidget *window)
{
    QStringList texts;
    for (const QString &name : boxes)
        texts << textBox(window, name)->text();
    return texts;
}

} // namespace

class TestUserDataWindow : public QObject
{
    Q_OBJECT

private slots:
    void opensWithItsControls();
    void tabOrder();
    void submitStoresAndShows();
    void refusalKeepsTheRecord_data();
    void refusalKeepsTheRecord();
    void labelsRefreshedAfterRefusal();
    void failedSaveKeepsRecordAndTyping_data();
    void failedSaveKeepsRecordAndTyping();
    void oneRowAfterSeveralSubmits();
    void emptyEmailShownAsBlank();
    void upperCaseKeepsTheCaret_data();
    void upperCaseKeepsTheCaret();
    void clearLeavesTheStoredPanel();
    void exitKeepsWhatWasTyped();
    void closeBoxDiscards();
    void handWrittenRowsShown_data();
    void handWrittenRowsShown();
};

void TestUserDataWindow::opensWithItsControls()
{
    OpenedWindow opened(windows::frmUserData);
    QVERIFY(opened.open());
    QWidget *window = opened.window;
    QCOMPARE(window->objectName(), windows::frmUserData);
    QCOMPARE(window->windowTitle(), QString("User Data"));

    auto *combo = window->findChild<QComboBox *>("Combo");
    QVERIFY(!combo->isEditable());
    QCOMPARE(itemTexts(combo), QStringList({"OM", "YL", "SWL"}));
    QCOMPARE(combo->currentText(), QString("OM"));

    for (const QString &name : boxes)
        QVERIFY2(textBox(window, name) && textBox(window, name)->text().isEmpty(),
                 qPrintable(name));
    QCOMPARE(QApplication::focusWidget(), textBox(window, "txtCall"));

    const QStringList captions{
        "OM/YL/SWL:", "Call:", "First Name:", "Second Name:", "Address:", "ZIP Code:",
        "City:",      "Prov:", "Country:",    "WWLocator:",   "E-Mail:"};
    for (int i = 0; i < captions.size(); ++i)
        QCOMPARE(label(window, QString("Label%1").arg(i + 1)), captions.at(i));
    QCOMPARE(labels(window), QStringList(11, QString()));
    auto *stored = window->findChild<QLabel *>("lblCall")->parentWidget();
    QCOMPARE(qobject_cast<QGroupBox *>(stored)->title(), QString("Courrent User Data:"));

    QCOMPARE(window->findChild<QPushButton *>("cmdClear")->text(), QString("Clear"));
    QCOMPARE(window->findChild<QPushButton *>("cmdSubmit")->text(), QString("Submit"));
    QCOMPARE(window->findChild<QPushButton *>("Command1")->text(), QString("Exit"));
    // Each box sits in a frame with its caption.
    const QStringList frames{"Call", "First Name", "Second Name", "Address",   "ZIP Code",
                             "City", "Prov",       "Country",     "WWLocator", "E-Mail"};
    for (int i = 0; i < boxes.size(); ++i)
        QCOMPARE(qobject_cast<QGroupBox *>(textBox(window, boxes.at(i))->parentWidget())->title(),
                 frames.at(i));
    QCOMPARE(qobject_cast<QGroupBox *>(combo->parentWidget())->title(), QString("OM/YL/SWL"));
}

void TestUserDataWindow::tabOrder()
{
    OpenedWindow opened(windows::frmUserData);
    QVERIFY(opened.open());
    const QStringList order = boxes + QStringList{"cmdSubmit", "cmdClear", "Command1", "Combo"};
    QStringList visited{QApplication::focusWidget()->objectName()};
    for (int i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, order);
}

void TestUserDataWindow::submitStoresAndShows()
{
    OpenedWindow opened(windows::frmUserData);
    QVERIFY(opened.open());
    QWidget *window = opened.window;
    typeAll(window);
    window->findChild<QComboBox *>("Combo")->setCurrentText("SWL");
    press(window, "cmdSubmit");

    QVERIFY2(opened.app.dialogs.messages.isEmpty(),
             qPrintable(opened.app.dialogs.texts().join('\n')));
    QCOMPARE(opened.folder.userDataRows(), 1);
    const QStringList shown{"SWL",      "IK0XYZ", "GIULIA", "VERDI",  "VIA ROMA 12",       "00100",
                            "VALDORIA", "QZ",     "ITALY",  "JN61FV", "IK0XYZ@EXAMPLE.ORG"};
    QCOMPARE(labels(window), shown);
    QSqlQuery query(opened.folder.log());
    QVERIFY(query.exec("select \"OM/YL/SWL\", call, fName, sName, address, ZIPcode, city, prov, "
                       "country, WWLocator, email, count from userData"));
    QVERIFY(query.next());
    QStringList row;
    for (int i = 0; i < 11; ++i)
        row << query.value(i).toString();
    QCOMPARE(row, shown);
    QCOMPARE(query.value(11).toInt(), 1);
    // The typed values stay in the boxes.
    QCOMPARE(textBox(window, "txtCall")->text(), QString("IK0XYZ"));
}

void TestUserDataWindow::refusalKeepsTheRecord_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message");
    QTest::newRow("every field empty") << ""
                                       << ""
                                       << "Address field cannot be null";
    QTest::newRow("call of 11") << "txtCall"
                                << "ik0abcdefgh"
                                << "Call field cannot hold more than 10 characters";
    QTest::newRow("second name empty") << "txtsName"
                                       << ""
                                       << "sencod Name field cannot be null";
    QTest::newRow("locator of 7") << "txtWWLocator"
                                  << "jn61fva"
                                  << "WWLocator field cannot hold more than 6 characters";
    QTest::newRow("e-mail of 51") << "txtEmail" << QString(51, 'e')
                                  << "e-mail field cannot hold more than 50 characters";
}

void TestUserDataWindow::refusalKeepsTheRecord()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, message);
    OpenedWindow opened(windows::frmUserData);
    opened.folder.setUserData("IK0OLD");
    QVERIFY(opened.open());
    QWidget *window = opened.window;
    const QStringList before = labels(window);
    if (!field.isEmpty()) {
        QStringList values = typedValues;
        values[boxes.indexOf(field)] = value;
        typeAll(window, values);
    }
    press(window, "cmdSubmit");

    QCOMPARE(opened.app.dialogs.messages.size(), 1);
    const FakeDialogs::Message shown = opened.app.dialogs.messages.first();
    QCOMPARE(shown.text, message);
    QCOMPARE(shown.icon, MessageIcon::Critical);
    QCOMPARE(shown.buttons, MessageButtons::Ok);
    QCOMPARE(shown.title, QString("KX47"));
    QCOMPARE(storedCall(opened.folder), QString("IK0OLD"));
    QCOMPARE(opened.folder.userDataRows(), 1);
    QCOMPARE(labels(window), before);
    // The typed values stay for correction.
    if (!field.isEmpty())
        QCOMPARE(textBox(window, field)->text(), value.toUpper());
}

void TestUserDataWindow::labelsRefreshedAfterRefusal()
{
    OpenedWindow opened(windows::frmUserData);
    QVERIFY(opened.open());
    QWidget *window = opened.window;
    QCOMPARE(label(window, "lblCall"), QString());
    opened.folder.setUserData("IK0NEW", "NEW@X.ORG"); // written behind the window's back
    press(window, "cmdSubmit");
    QCOMPARE(opened.app.dialogs.texts(), QStringList{"Address field cannot be null"});
    QCOMPARE(label(window, "lblCall"), QString("IK0NEW"));
    QCOMPARE(label(window, "lblemail"), QString("NEW@X.ORG"));
}

void TestUserDataWindow::failedSaveKeepsRecordAndTyping_data()
{
    // How the fault is made on the program's log (see applyToLog), how it is taken away,
    // whether a record is stored before, and the first words the user reads.
    QTest::addColumn<QStringList>("fault");
    QTest::addColumn<QStringList>("cure");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QString>("told");
    // Refused once the row is written: the statement is undone as a whole.
    for (const bool stored : {true, false}) {
        const QString event = stored ? "update" : "insert";
        QTest::addRow("trigger refuses the %s", qPrintable(event))
            << QStringList{"create trigger refuse after " + event +
                           " on userData begin select raise(abort, 'refused by trigger'); end"}
            << QStringList{"drop trigger refuse"} << stored
            << "The log could not be changed. Nothing was saved";
    }
    // The file may not grow by one page, and the record drags a large row along.
    QTest::newRow("disk full")
        << QStringList{"create table ballast (b)",
                       "create trigger grow after update on userData begin insert into ballast "
                       "values (zeroblob(200000)); end",
                       "pragma max_page_count = 1"}
        << QStringList{"drop trigger grow", "pragma max_page_count = 100000"} << true
        << "The disk is full. Nothing was saved";
    QTest::newRow("locked by another program")
        << QStringList{"pragma busy_timeout = 200", "@begin immediate"} << QStringList{"@rollback"}
        << true << "The log is locked by another program. Nothing was saved";
    QTest::newRow("engine refuses to write")
        << QStringList{"pragma query_only = 1"} << QStringList{"pragma query_only = 0"} << false
        << "The log is read-only. Nothing was saved";
    QTest::newRow("log opened for reading only")
        << QStringList{"#read-only"} << QStringList{"#writable"} << true << readOnlyLogMessage;
}

void TestUserDataWindow::failedSaveKeepsRecordAndTyping()
{
    QFETCH(QStringList, fault);
    QFETCH(QStringList, cure);
    QFETCH(bool, stored);
    QFETCH(QString, told);
    OpenedWindow opened(windows::frmUserData);
    if (stored)
        opened.folder.setUserData("IK0OLD");
    QVERIFY(opened.open());
    QWidget *window = opened.window;
    const QStringList rows = opened.folder.rows("select * from userData order by rowid");
    const QStringList shown = labels(window);
    typeAll(window);
    window->findChild<QComboBox *>("Combo")->setCurrentText("YL");
    const QStringList typed = boxTexts(window);
    Database &log = opened.app.app().context().log;
    QCOMPARE(applyToLog(log, opened.folder.log(), fault), QString());
    press(window, "cmdSubmit");

    QCOMPARE(opened.app.dialogs.messages.size(), 1);
    const FakeDialogs::Message message = opened.app.dialogs.messages.first();
    QVERIFY2(message.text.startsWith(told), qPrintable(message.text));
    QCOMPARE(message.icon, MessageIcon::Critical);
    // The file holds the record as it was, the panel shows it, the boxes what was typed.
    QCOMPARE(opened.folder.rows("select * from userData order by rowid"), rows);
    QCOMPARE(labels(window), shown);
    QCOMPARE(boxTexts(window), typed);
    QCOMPARE(window->findChild<QComboBox *>("Combo")->currentText(), QString("YL"));
    QVERIFY(window->isVisible());

    // The program goes on: once the fault is gone the same Submit stores the record.
    QCOMPARE(applyToLog(log, opened.folder.log(), cure), QString());
    press(window, "cmdSubmit");
    QCOMPARE(opened.app.dialogs.messages.size(), 1);
    QCOMPARE(opened.folder.userDataRows(), 1);
    QCOMPARE(storedCall(opened.folder), QString("IK0XYZ"));
    QCOMPARE(label(window, "lblOM"), QString("YL"));
    QCOMPARE(label(window, "lblCall"), QString("IK0XYZ"));
}

void TestUserDataWindow::oneRowAfterSeveralSubmits()
{
    OpenedWindow opened(windows::frmUserData);
    QVERIFY(opened.open());
    QWidget *window = opened.window;
    typeAll(window);
    for (const QString &call : QStringList{"ik0aaa", "iw0bbb", "iz0ccc"}) {
        textBox(window, "txtCall")->clear();
        QTest::keyClicks(textBox(window, "txtCall"), call);
        press(window, "cmdSubmit");
        QCOMPARE(opened.folder.userDataRows(), 1);
        QCOMPARE(storedCall(opened.folder), call.toUpper());
        QCOMPARE(label(window, "lblCall"), call.toUpper());
    }
    QVERIFY(opened.app.dialogs.messages.isEmpty());
    QSqlQuery query(opened.folder.log());
    QVERIFY(query.exec("select count from userData"));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toInt(), 1);
}

void TestUserDataWindow::emptyEmailShownAsBlank()
{
    OpenedWindow opened(windows::frmUserData);
    QVERIFY(opened.open());
    QWidget *window = opened.window;
    QStringList values = typedValues;
    values.last() = "";
    typeAll(window, values);
    press(window, "cmdSubmit");
    QVERIFY(opened.app.dialogs.messages.isEmpty());
    QCOMPARE(label(window, "lblemail"), QString(" "));
    QSqlQuery query(opened.folder.log());
    QVERIFY(query.exec("select email from userData"));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toString(), QString(" "));
}

void TestUserDataWindow::upperCaseKeepsTheCaret_data()
{
    QTest::addColumn<QString>("field");
    addTypingAroundColumns();
    for (const QString &name : boxes) {
        QTest::addRow("%s at the end", qPrintable(name)) << name << "ik0abc" << 0 << ""
                                                         << "IK0ABC" << 6;
        QTest::addRow("%s in the middle", qPrintable(name)) << name << "ik0abc" << 3 << "x"
                                                            << "IK0XABC" << 4;
        QTest::addRow("%s with sharp s", qPrintable(name))
            << name << QString::fromUtf8("hauptstraße 12") << 3 << QString::fromUtf8("ß")
            << "HAUPTSTRASSESS 12" << 14;
    }
    QTest::newRow("two letters in the middle") << "txtCall"
                                               << "abcd" << 2 << "yz"
                                               << "ABYZCD" << 4;
    QTest::newRow("at the start") << "txtCity"
                                  << "oma" << 3 << "r"
                                  << "ROMA" << 1;
    QTest::newRow("capitals and digits stay") << "txtZipCode"
                                              << "00" << 1 << "1a"
                                              << "01A0" << 3;
    QTest::newRow("right-to-left override dropped")
        << "txtAddress" << QString("via") + QChar(0x202E) + "roma" << 2 << "x"
        << "VIAROXMA" << 6;
    QTest::newRow("accented letters")
        << "txtCity" << QString::fromUtf8("forlì") << 0 << "" << QString::fromUtf8("FORLÌ") << 5;
}

void TestUserDataWindow::upperCaseKeepsTheCaret()
{
    QFETCH(QString, field);
    OpenedWindow opened(windows::frmUserData);
    QVERIFY(opened.open());
    checkTypingAround(textBox(opened.window, field));
}

void TestUserDataWindow::clearLeavesTheStoredPanel()
{
    OpenedWindow opened(windows::frmUserData);
    opened.folder.setUserData("IK0OLD");
    QVERIFY(opened.open());
    QWidget *window = opened.window;
    const QStringList before = labels(window);
    QCOMPARE(label(window, "lblCall"), QString("IK0OLD"));
    typeAll(window);
    window->findChild<QComboBox *>("Combo")->setCurrentText("YL");
    opened.folder.setUserData("IK0NEW"); // the panel is not refreshed by Clear
    press(window, "cmdClear");
    for (const QString &name : boxes)
        QVERIFY2(textBox(window, name)->text().isEmpty(), qPrintable(name));
    QCOMPARE(window->findChild<QComboBox *>("Combo")->currentText(), QString("OM"));
    QCOMPARE(labels(window), before);
    QCOMPARE(storedCall(opened.folder), QString("IK0NEW"));
    QVERIFY(opened.app.dialogs.messages.isEmpty());
}

void TestUserDataWindow::exitKeepsWhatWasTyped()
{
    OpenedWindow opened(windows::frmUserData);
    QVERIFY(opened.open());
    QWidget *window = opened.window;
    QTest::keyClicks(textBox(window, "txtCall"), "ik0abc");
    window->findChild<QComboBox *>("Combo")->setCurrentText("YL");
    press(window, "Command1");
    QVERIFY(!window->isVisible());
    QCOMPARE(opened.app.show(windows::frmUserData), window);
    QVERIFY(window->isVisible());
    QCOMPARE(textBox(window, "txtCall")->text(), QString("IK0ABC"));
    QCOMPARE(window->findChild<QComboBox *>("Combo")->currentText(), QString("YL"));
    QCOMPARE(opened.folder.userDataRows(), 0);
}

void TestUserDataWindow::closeBoxDiscards()
{
    OpenedWindow opened(windows::frmUserData);
    QVERIFY(opened.open());
    QPointer<QWidget> window = opened.window;
    QTest::keyClicks(textBox(window, "txtCall"), "ik0abc");
    window->findChild<QComboBox *>("Combo")->setCurrentText("SWL");
    window->close();
    QTRY_VERIFY(window.isNull());
    opened.folder.setUserData("IK0NEW");
    QWidget *again = opened.app.show(windows::frmUserData);
    QVERIFY(again);
    QCOMPARE(textBox(again, "txtCall")->text(), QString());
    QCOMPARE(again->findChild<QComboBox *>("Combo")->currentText(), QString("OM"));
    QCOMPARE(label(again, "lblCall"), QString("IK0NEW"));
}

void TestUserDataWindow::handWrittenRowsShown_data()
{
    QTest::addColumn<QString>("insert");
    QTest::addColumn<QStringList>("shown");
    const QString longAddress(120, 'A');
    QTest::newRow("NULLs") << "insert into userData (call, count) values ('IK0ABC', NULL)"
                           << QStringList{"", "IK0ABC", "", "", "", "", "", "", "", "", ""};
    QTest::newRow("over-long values")
        << QString("insert into userData (\"OM/YL/SWL\", call, fName, sName, address, city, prov, "
                   "country, ZIPcode, WWLocator, email, count) values ('OM', 'IK0ABCDEFGHIJ', "
                   "'F', 'S', '%1', 'C', 'P', 'N', '12345678901', 'JN61FVAA', '%2', 1)")
               .arg(longAddress, QString(60, 'e'))
        << QStringList{
               "OM",       "IK0ABCDEFGHIJ", "F", "S", longAddress, "12345678901", "C", "P", "N",
               "JN61FVAA", QString(60, 'e')};
}

void TestUserDataWindow::handWrittenRowsShown()
{
    QFETCH(QString, insert);
    QFETCH(QStringList, shown);
    OpenedWindow opened(windows::frmUserData);
    opened.folder.exec(insert);
    QVERIFY(opened.open());
    QWidget *window = opened.window;
    // Each value shown whole, or as much of it as fits followed by an ellipsis, and whole as its
    // tip.
    for (int i = 0; i < shown.size(); ++i) {
        auto *value = window->findChild<QLabel *>(valueLabels[i]);
        QCOMPARE(value->toolTip(), shown[i]);
        const QString text = value->text();
        QVERIFY2(text == shown[i] ||
                     (text.endsWith(QChar(0x2026)) && shown[i].startsWith(text.chopped(1))),
                 qPrintable(text));
        QVERIFY(value->fontMetrics().horizontalAdvance(text) <= value->width());
    }
    QVERIFY(opened.app.dialogs.messages.isEmpty());
    // However long a value, the window stays narrower than the longest one (120 characters),
    // which is shown whole as the value's tip.
    auto *address = window->findChild<QLabel *>("lblAddress");
    QCOMPARE(address->toolTip(), shown.at(4));
    QVERIFY(window->minimumSizeHint().width() < address->fontMetrics().averageCharWidth() * 120);
    // A Submit then replaces that row with what was typed.
    typeAll(window);
    press(window, "cmdSubmit");
    QCOMPARE(opened.folder.userDataRows(), 1);
    QCOMPARE(label(window, "lblAddress"), QString("VIA ROMA 12"));
    QCOMPARE(label(window, "lblOM"), QString("OM"));
}

QTEST_MAIN(TestUserDataWindow)
#include "tst_userdatawindow.moc"
