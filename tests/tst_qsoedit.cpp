// The Edit QSO window: filled from a QSO of the log as the log browser fills it, "Submit"
// rewriting that QSO under its number, the rules that exclude the edited QSO, and the QSO
// deleted while the window was open.
#include "qsoentryfixture.h"

#include "log/lognotifier.h"
#include "log/logstore.h"
#include "platform/appcontext.h"
#include "platform/windownames.h"
#include "qso/editqsowindow.h"
#include "qso/qsoform.h"
#include "qso/qsosubmission.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QtTest>

using namespace kx47;
using namespace kx47::test;

namespace
{

} // namespace

class TestQsoEdit : public QsoWindowTest
{
    Q_OBJECT

private slots:

    void opensWithDefaults();
    void filledAsTheBrowserFillsIt_data();
    void filledAsTheBrowserFillsIt();
    void submitWithoutChanges_data();
    void submitWithoutChanges();
    void keepsWhatTheFormCannotShow_data();
    void keepsWhatTheFormCannotShow();
    void workedTurnedConfirmed_data();
    void workedTurnedConfirmed();
    void movedOntoAccreditedRefused_data();
    void movedOntoAccreditedRefused();
    void madeAccreditedWhileOpen();
    void clearThenNewValues();
    void deletedWhileOpen();
    void lengthsAsTyped();
    void exitKeepsNumber();
    void closeBoxDiscards();

private:
    // Opens the window for a QSO as the log browser does: the fields in order, the time as four
    // digits, the date from its text form, the number and the QSL option.
    EditQsoWindow *openFor(const QsoRow &row);
};

EditQsoWindow *TestQsoEdit::openFor(const QsoRow &row)
{
    auto *window = qobject_cast<EditQsoWindow *>(m_run->app.show(windows::frmEditQSO));
    if (!window)
        qFatal("no Edit QSO window");
    fillForm(window, typedFrom(row));
    window->setDbCount(row.count);
    textBox(window, "txtWWLocator")->setFocus();
    if (!activate(window))
        qFatal("the Edit QSO window did not become active");
    return window;
}

void TestQsoEdit::opensWithDefaults()
{
    QWidget *window = m_run->app.show(windows::frmEditQSO);
    QVERIFY(qobject_cast<EditQsoWindow *>(window));
    QVERIFY(activate(window));
    QCOMPARE(window->objectName(), QString("frmEditQSO"));
    QCOMPARE(window->windowTitle(), QString("Edit QSO"));
    QVERIFY(option(window, "optQSLConf")->isChecked());
    QCOMPARE(formTexts(window), QStringList(7, QString()));
    QCOMPARE(listBox(window, "comboBand")->currentText(), QString("HF"));
    QCOMPARE(listBox(window, "comboMode")->currentText(), QString("MIXED"));
    QCOMPARE(listBox(window, "comboProv")->currentText(), QString("AN"));
    QCOMPARE(QApplication::focusWidget(), textBox(window, "txtWWLocator"));
}

void TestQsoEdit::filledAsTheBrowserFillsIt_data()
{
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("qsl");
    QTest::addColumn<QString>("typedTime");
    QTest::addColumn<QString>("selected");
    QTest::newRow("worked at 9:05") << "09:05"
                                    << "w"
                                    << "0905"
                                    << "optQSLworked";
    QTest::newRow("confirmed at 23:59") << "23:59"
                                        << "c"
                                        << "2359"
                                        << "optQSLConf";
    QTest::newRow("confirmed at midnight") << "00:00"
                                           << "c"
                                           << "0000"
                                           << "optQSLConf";
}

void TestQsoEdit::filledAsTheBrowserFillsIt()
{
    QFETCH(QString, time);
    QFETCH(QString, qsl);
    QFETCH(QString, typedTime);
    QFETCH(QString, selected);
    QsoRow row = qsoRow(4, "AB", qsl, "50 MHz", "DIGITAL");
    row.time = time;
    row.call = "O'HARA";
    row.place = "SANT'ERMINIO";
    row.prov = "QZ"; // the stored province, not the gazetteer's
    m_run->folder.addQso(row);
    EditQsoWindow *window = openFor(row);
    QCOMPARE(formTexts(window),
             (QStringList{"AB", "O'HARA", "07", "12", "04", typedTime, "SANT'ERMINIO"}));
    QCOMPARE(listBox(window, "comboProv")->currentText(), QString("QZ"));
    QVERIFY(option(window, selected)->isChecked());
    QCOMPARE(window->dbCount(), 4);

    submit(window);
    QCOMPARE(m_run->app.dialogs.texts(), QStringList{"QSO edited"});
    QCOMPARE(m_run->folder.qsos(), QList<QsoRow>{row});
}

void TestQsoEdit::submitWithoutChanges_data()
{
    QTest::addColumn<QString>("qsl");
    QTest::addColumn<bool>("enter");
    QTest::newRow("confirmed") << "c" << false;
    QTest::newRow("worked") << "w" << false;
    QTest::newRow("Enter in the call") << "c" << true;
}

void TestQsoEdit::submitWithoutChanges()
{
    QFETCH(QString, qsl);
    QFETCH(bool, enter);
    m_run->folder.addQsos({qsoRow(1, "AA", "w"), qsoRow(2, "AB", qsl), qsoRow(3, "AB", "w")});
    const QList<QsoRow> before = m_run->folder.qsos();
    EditQsoWindow *window = openFor(before[1]);
    if (enter)
        QTest::keyClick(textBox(window, "txtCall"), Qt::Key_Enter);
    else
        submit(window);
    QCOMPARE(m_run->app.dialogs.texts(), QStringList{"QSO edited"});
    QCOMPARE(m_run->app.dialogs.messages[0].icon, MessageIcon::Information);
    QCOMPARE(m_run->app.dialogs.messages[0].title, QString("KX47"));
    QCOMPARE(m_run->app.dialogs.unanswered, 0);
    QCOMPARE(m_run->folder.qsos(), before);
    QCOMPARE(m_run->logChanges.count(), 1);
    QVERIFY(!window->isVisible());
    QCOMPARE(formTexts(window), QStringList(7, QString()));
    QCOMPARE(window->dbCount(), 2);
}

void TestQsoEdit::keepsWhatTheFormCannotShow_data()
{
    QTest::addColumn<QString>("place");
    QTest::addColumn<QString>("prov");
    QTest::addColumn<QString>("typedPlace"); // "-" leaves the place as loaded
    QTest::addColumn<QString>("message");
    QTest::newRow("stored without a place") << ""
                                            << "PG"
                                            << "-"
                                            << "QSO edited";
    QTest::newRow("a province outside the list") << "BRANVOLE"
                                                 << "XQ"
                                                 << "-"
                                                 << "QSO edited";
    QTest::newRow("no place, no province") << ""
                                           << ""
                                           << "-"
                                           << "QSO edited";
    QTest::newRow("a place emptied is refused") << "BRANVOLE"
                                                << "PG"
                                                << ""
                                                << "place field cannot be null";
}

// A QSO opened as the log browser opens it and saved unchanged keeps every value, also those
// the form has no choice for, and its confirmations by LoTW and eQSL.
void TestQsoEdit::keepsWhatTheFormCannotShow()
{
    QFETCH(QString, place);
    QFETCH(QString, prov);
    QFETCH(QString, typedPlace);
    QFETCH(QString, message);
    QsoRow row = qsoRow(1, "AB", "w");
    row.place = place;
    row.prov = prov;
    m_run->folder.addQso(row);
    QSqlQuery(m_run->folder.log())
        .exec("update data set lotw = 'Y', lotwDate = '2024-01-05', eqsl = 'Y'");
    const QList<QsoRow> before = m_run->folder.qsos();
    auto *window = qobject_cast<EditQsoWindow *>(m_run->app.show(windows::frmEditQSO));
    QVERIFY(window);
    window->load(*LogStore(m_run->app.app().context().log).fetch(1));
    QCOMPARE(listBox(window, "comboProv")->currentText(), prov);
    if (typedPlace != "-")
        listBox(window, "comboPlace")->setEditText(typedPlace);
    submit(window);
    QCOMPARE(m_run->app.dialogs.texts(), QStringList{message});
    QCOMPARE(m_run->folder.qsos(), before);
    QSqlQuery kept(m_run->folder.log());
    QVERIFY(kept.exec("select lotw || lotwDate || eqsl || eqslDate from data"));
    QVERIFY(kept.next());
    QCOMPARE(kept.value(0).toString(), QString("Y2024-01-05Y"));
    // Opened again, the province is offered once, not once more.
    window->load(*LogStore(m_run->app.app().context().log).fetch(1));
    QCOMPARE(listBox(window, "comboProv")->currentText(), prov);
    QVERIFY(listBox(window, "comboProv")->count() <= QsoForm::provinces.size() + 1);
}

void TestQsoEdit::workedTurnedConfirmed_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TestQsoEdit::workedTurnedConfirmed()
{
    QFETCH(bool, yes);
    m_run->folder.addQsos(
        {qsoRow(1, "AB", "c"), qsoRow(2, "AB", "w"), qsoRow(3, "AB", "c", "VHF")});
    const QList<QsoRow> before = m_run->folder.qsos();
    EditQsoWindow *window = openFor(before[1]);
    option(window, "optQSLConf")->setChecked(true);
    const QStringList shown = formTexts(window);
    m_run->app.dialogs.answers.enqueue(yes ? MessageAnswer::Yes : MessageAnswer::No);
    submit(window);
    QCOMPARE(m_run->app.dialogs.messages[0].text, QsoSubmission::replaceQuestion);
    QCOMPARE(m_run->app.dialogs.messages[0].title, QString("warning"));
    if (yes) {
        QCOMPARE(m_run->app.dialogs.texts().mid(1), QStringList{"QSO edited"});
        const QList<QsoRow> rows = m_run->folder.qsos();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].count, 2);
        QCOMPARE(rows[0].qsl, QString("c"));
        QCOMPARE(rows[1], before[2]);
        QVERIFY(!window->isVisible());
        QCOMPARE(m_run->logChanges.count(), 1);
    } else {
        QCOMPARE(m_run->app.dialogs.texts().size(), 1);
        QCOMPARE(m_run->folder.qsos(), before);
        QVERIFY(window->isVisible());
        QCOMPARE(formTexts(window), shown);
        QCOMPARE(m_run->logChanges.count(), 0);
    }
}

void TestQsoEdit::movedOntoAccreditedRefused_data()
{
    QTest::addColumn<QString>("band");
    QTest::addColumn<QString>("mode");
    QTest::newRow("accredited band") << "SAT"
                                     << "CW";
    QTest::newRow("accredited mode") << "HF"
                                     << "SSB";
}

void TestQsoEdit::movedOntoAccreditedRefused()
{
    QFETCH(QString, band);
    QFETCH(QString, mode);
    m_run->folder.addQsos({qsoRow(1, "AB", "a", "SAT", "CW"), qsoRow(2, "AB", "a", "HF", "SSB"),
                           qsoRow(3, "AB", "w", "HF", "CW")});
    const QList<QsoRow> before = m_run->folder.qsos();
    EditQsoWindow *window = openFor(before[2]);
    listBox(window, "comboBand")->setCurrentText(band);
    listBox(window, "comboMode")->setCurrentText(mode);
    submit(window);
    QCOMPARE(m_run->app.dialogs.texts(), QStringList{QsoSubmission::accreditedMessage});
    QCOMPARE(m_run->app.dialogs.messages[0].title, QString("Error"));
    QCOMPARE(m_run->folder.qsos(), before);
    QVERIFY(window->isVisible());
    QCOMPARE(m_run->logChanges.count(), 0);
}

void TestQsoEdit::madeAccreditedWhileOpen()
{
    m_run->folder.addQso(qsoRow(5, "XX", "c"));
    EditQsoWindow *window = openFor(m_run->folder.qso(5));
    m_run->folder.setQsl(5, "a"); // an award request converts it meanwhile
    submit(window);
    QCOMPARE(m_run->app.dialogs.texts(), QStringList{QsoSubmission::accreditedMessage});
    QCOMPARE(m_run->folder.qso(5).qsl, QString("a"));
}

void TestQsoEdit::clearThenNewValues()
{
    m_run->folder.addQsos({qsoRow(1, "AA", "w"), qsoRow(2, "AB", "w")});
    EditQsoWindow *window = openFor(m_run->folder.qso(1));
    press(window, "cmdClear");
    QCOMPARE(formTexts(window), QStringList(7, QString()));
    QCOMPARE(window->dbCount(), 1);
    QVERIFY(window->isVisible());
    QTest::keyClicks(textBox(window, "txtWWLocator"), "xx");
    QTest::keyClicks(QApplication::focusWidget(), "iw4zzz");
    textBox(window, "txtDate0")->setFocus();
    for (QChar c : QString("3101050000"))
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    QTest::keyClicks(QApplication::focusWidget(), "mostirana");
    QCOMPARE(listBox(window, "comboProv")->currentText(), QString("RSM"));
    submit(window);
    QCOMPARE(m_run->app.dialogs.texts(), QStringList{"QSO edited"});
    const QsoRow row = m_run->folder.qso(1);
    QCOMPARE(row.locator, QString("XX"));
    QCOMPARE(row.call, QString("IW4ZZZ"));
    QCOMPARE(row.date, QString("2005-01-31"));
    QCOMPARE(row.time, QString("00:00"));
    QCOMPARE(row.place, QString("MOSTIRANA"));
    QCOMPARE(row.prov, QString("RSM"));
    QCOMPARE(row.qsl, QString("c"));
    QCOMPARE(m_run->folder.qsos().size(), 2);
}

void TestQsoEdit::deletedWhileOpen()
{
    m_run->folder.addQsos({qsoRow(1, "AB", "c"), qsoRow(2, "AB", "w"), qsoRow(3, "AC", "w")});
    EditQsoWindow *window = openFor(m_run->folder.qso(2));
    option(window, "optQSLConf")->setChecked(true);
    m_run->folder.deleteQso(2); // deleted in the log browser meanwhile
    const QList<QsoRow> before = m_run->folder.qsos();
    const QStringList shown = formTexts(window);
    m_run->app.dialogs.answers.enqueue(MessageAnswer::Yes);
    submit(window);
    QCOMPARE(m_run->app.dialogs.texts(), QStringList{QsoSubmission::goneMessage});
    QCOMPARE(m_run->app.dialogs.messages[0].icon, MessageIcon::Critical);
    QCOMPARE(m_run->folder.qsos(), before);
    QVERIFY(window->isVisible());
    QCOMPARE(formTexts(window), shown);
    QCOMPARE(window->dbCount(), 2);
    QCOMPARE(m_run->logChanges.count(), 0);
}

void TestQsoEdit::lengthsAsTyped()
{
    m_run->folder.addQso(qsoRow(1, "AB", "w"));
    QsoRow row = m_run->folder.qso(1);
    row.call = "O'B'R'I'E'N'"; // 12 as typed, 18 after quoting
    row.place = "SANT''" + QString(43, 'A');
    EditQsoWindow *window = openFor(m_run->folder.qso(1));
    textBox(window, "txtCall")->setText(row.call);
    listBox(window, "comboPlace")->setEditText(row.place);
    submit(window);
    QCOMPARE(m_run->app.dialogs.texts(), QStringList{"QSO edited"});
    QCOMPARE(m_run->folder.qso(1).call, row.call);
    QCOMPARE(m_run->folder.qso(1).place, row.place);
}

void TestQsoEdit::exitKeepsNumber()
{
    m_run->folder.addQso(qsoRow(7, "AB", "w"));
    EditQsoWindow *window = openFor(m_run->folder.qso(7));
    listBox(window, "comboBand")->setCurrentText("UHF");
    press(window, "cmdExit");
    QVERIFY(!window->isVisible());
    QCOMPARE(formTexts(window), QStringList(7, QString()));
    QCOMPARE(window->dbCount(), 7);
    QCOMPARE(m_run->app.windows().find(windows::frmEditQSO), window);
    QCOMPARE(listBox(window, "comboBand")->currentText(), QString("UHF"));
    QCOMPARE(m_run->folder.qso(7), qsoRow(7, "AB", "w"));
    QVERIFY(m_run->app.dialogs.messages.isEmpty());
}

void TestQsoEdit::closeBoxDiscards()
{
    m_run->folder.addQso(qsoRow(7, "AB", "w", "UHF"));
    QPointer<EditQsoWindow> window = openFor(m_run->folder.qso(7));
    QWidget *insert = m_run->app.show(windows::frmInsertQSO);
    QVERIFY(window->close());
    QTRY_VERIFY(window.isNull());
    QVERIFY(insert->isVisible());
    auto *reopened = m_run->app.windows().get<EditQsoWindow>(windows::frmEditQSO);
    QVERIFY(reopened);
    QCOMPARE(formTexts(reopened), QStringList(7, QString()));
    QCOMPARE(listBox(reopened, "comboBand")->currentText(), QString("HF"));
    QCOMPARE(reopened->dbCount(), 0);
    QCOMPARE(m_run->folder.qso(7), qsoRow(7, "AB", "w", "UHF"));
}

QTEST_MAIN(TestQsoEdit)
#include "tst_qsoedit.moc"
