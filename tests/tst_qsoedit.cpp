// The Edit QSO window: filled from a QSO of the log as the log browser fills it, "Submit"
// rewriting that QSO under its number, the rules that exclude the edited QSO, and the QSO
// deleted while the window was open.
#include "fixture.h"

#include "platform/appcontext.h"
#include "platform/lognotifier.h"
#include "platform/textforms.h"
#include "platform/windownames.h"
#include "qso/editqsowindow.h"
#include "qso/qsosubmission.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

using namespace kx47;
using namespace kx47::test;

namespace
{

template <class W> W *child(QWidget *window, const char *name)
{
    W *widget = window->findChild<W *>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

QLineEdit *edit(QWidget *window, const char *name)
{
    return child<QLineEdit>(window, name);
}

QComboBox *combo(QWidget *window, const char *name)
{
    return child<QComboBox>(window, name);
}

QStringList texts(QWidget *window)
{
    return {edit(window, "txtWWLocator")->text(),      edit(window, "txtCall")->text(),
            edit(window, "txtDate0")->text(),          edit(window, "txtDate1")->text(),
            edit(window, "txtDate2")->text(),          edit(window, "txtTime")->text(),
            combo(window, "comboPlace")->currentText()};
}

void press(QWidget *window, const char *button)
{
    QTest::mouseClick(child<QPushButton>(window, button), Qt::LeftButton);
}

QsoRow qso(int count, const QString &locator, const QString &qsl,
           const QString &band = QStringLiteral("HF"), const QString &mode = QStringLiteral("CW"))
{
    QsoRow row;
    row.count = count;
    row.locator = locator;
    row.call = QStringLiteral("IK4A%1").arg(count);
    row.date = QStringLiteral("2004-12-07");
    row.time = QStringLiteral("09:05");
    row.place = QStringLiteral("BRANVOLE");
    row.prov = QStringLiteral("RN");
    row.qsl = qsl;
    row.band = band;
    row.mode = mode;
    return row;
}

} // namespace

class TestQsoEdit : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensWithDefaults();
    void filledAsTheBrowserFillsIt_data();
    void filledAsTheBrowserFillsIt();
    void submitWithoutChanges_data();
    void submitWithoutChanges();
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

    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<TestApp> m_app;
    std::unique_ptr<QSignalSpy> m_changes;
};

void TestQsoEdit::init()
{
    m_folder = std::make_unique<ProgramFolder>();
    m_app = std::make_unique<TestApp>(m_folder->path());
    QVERIFY(m_app->start());
    m_changes =
        std::make_unique<QSignalSpy>(&m_app->app().context().logNotifier, &LogNotifier::logChanged);
}

void TestQsoEdit::cleanup()
{
    m_changes.reset();
    m_app.reset();
    m_folder.reset();
}

EditQsoWindow *TestQsoEdit::openFor(const QsoRow &row)
{
    auto *window = qobject_cast<EditQsoWindow *>(m_app->show(windows::frmEditQSO));
    if (!window)
        qFatal("no Edit QSO window");
    const QStringList date = dateText(row.date).split(QLatin1Char('/'));
    edit(window, "txtWWLocator")->setText(row.locator);
    edit(window, "txtCall")->setText(row.call);
    edit(window, "txtTime")->setText(entryTime(row.time));
    edit(window, "txtDate0")->setText(date.value(0));
    edit(window, "txtDate1")->setText(date.value(1));
    edit(window, "txtDate2")->setText(date.value(2));
    combo(window, "comboPlace")->setEditText(row.place);
    combo(window, "comboProv")->setCurrentText(row.prov);
    combo(window, "comboMode")->setCurrentText(row.mode);
    combo(window, "comboBand")->setCurrentText(row.band);
    window->setDbCount(row.count);
    child<QRadioButton>(window, row.qsl == "c" ? "optQSLConf" : "optQSLworked")->setChecked(true);
    edit(window, "txtWWLocator")->setFocus();
    if (!activate(window))
        qFatal("the Edit QSO window did not become active");
    return window;
}

void TestQsoEdit::opensWithDefaults()
{
    QWidget *window = m_app->show(windows::frmEditQSO);
    QVERIFY(qobject_cast<EditQsoWindow *>(window));
    QVERIFY(activate(window));
    QCOMPARE(window->objectName(), QString("frmEditQSO"));
    QCOMPARE(window->windowTitle(), QString("Edit QSO"));
    QVERIFY(child<QRadioButton>(window, "optQSLConf")->isChecked());
    QCOMPARE(texts(window), QStringList(7, QString()));
    QCOMPARE(combo(window, "comboBand")->currentText(), QString("HF"));
    QCOMPARE(combo(window, "comboMode")->currentText(), QString("MIXED"));
    QCOMPARE(combo(window, "comboProv")->currentText(), QString("AN"));
    QCOMPARE(QApplication::focusWidget(), edit(window, "txtWWLocator"));
}

void TestQsoEdit::filledAsTheBrowserFillsIt_data()
{
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("qsl");
    QTest::addColumn<QString>("typedTime");
    QTest::addColumn<QString>("option");
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
    QFETCH(QString, option);
    QsoRow row = qso(4, "AB", qsl, "50 MHz", "DIGITAL");
    row.time = time;
    row.call = "O'HARA";
    row.place = "SANT'ERMINIO";
    row.prov = "QZ"; // the stored province, not the gazetteer's
    m_folder->addQso(row);
    EditQsoWindow *window = openFor(row);
    QCOMPARE(texts(window),
             (QStringList{"AB", "O'HARA", "07", "12", "04", typedTime, "SANT'ERMINIO"}));
    QCOMPARE(combo(window, "comboProv")->currentText(), QString("QZ"));
    QVERIFY(child<QRadioButton>(window, qPrintable(option))->isChecked());
    QCOMPARE(window->dbCount(), 4);

    press(window, "cmdSubmit");
    QCOMPARE(m_app->dialogs.texts(), QStringList{"QSO edited"});
    QCOMPARE(m_folder->qsos(), QList<QsoRow>{row});
}

void TestQsoEdit::submitWithoutChanges_data()
{
    QTest::addColumn<QString>("qsl");
    QTest::newRow("confirmed") << "c";
    QTest::newRow("worked") << "w";
}

void TestQsoEdit::submitWithoutChanges()
{
    QFETCH(QString, qsl);
    m_folder->addQsos({qso(1, "AA", "w"), qso(2, "AB", qsl), qso(3, "AB", "w")});
    const QList<QsoRow> before = m_folder->qsos();
    EditQsoWindow *window = openFor(before[1]);
    press(window, "cmdSubmit");
    QCOMPARE(m_app->dialogs.texts(), QStringList{"QSO edited"});
    QCOMPARE(m_app->dialogs.messages[0].icon, MessageIcon::Information);
    QCOMPARE(m_app->dialogs.messages[0].title, QString("KX47"));
    QCOMPARE(m_app->dialogs.unanswered, 0);
    QCOMPARE(m_folder->qsos(), before);
    QCOMPARE(m_changes->count(), 1);
    QVERIFY(!window->isVisible());
    QCOMPARE(texts(window), QStringList(7, QString()));
    QCOMPARE(window->dbCount(), 2);
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
    m_folder->addQsos({qso(1, "AB", "c"), qso(2, "AB", "w"), qso(3, "AB", "c", "VHF")});
    const QList<QsoRow> before = m_folder->qsos();
    EditQsoWindow *window = openFor(before[1]);
    child<QRadioButton>(window, "optQSLConf")->setChecked(true);
    const QStringList shown = texts(window);
    m_app->dialogs.answers.enqueue(yes ? MessageAnswer::Yes : MessageAnswer::No);
    press(window, "cmdSubmit");
    QCOMPARE(m_app->dialogs.messages[0].text, QsoSubmission::replaceQuestion);
    QCOMPARE(m_app->dialogs.messages[0].title, QString("warning"));
    if (yes) {
        QCOMPARE(m_app->dialogs.texts().mid(1), QStringList{"QSO edited"});
        const QList<QsoRow> rows = m_folder->qsos();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].count, 2);
        QCOMPARE(rows[0].qsl, QString("c"));
        QCOMPARE(rows[1], before[2]);
        QVERIFY(!window->isVisible());
        QCOMPARE(m_changes->count(), 1);
    } else {
        QCOMPARE(m_app->dialogs.texts().size(), 1);
        QCOMPARE(m_folder->qsos(), before);
        QVERIFY(window->isVisible());
        QCOMPARE(texts(window), shown);
        QCOMPARE(m_changes->count(), 0);
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
    m_folder->addQsos({qso(1, "AB", "a", "SAT", "CW"), qso(2, "AB", "a", "HF", "SSB"),
                       qso(3, "AB", "w", "HF", "CW")});
    const QList<QsoRow> before = m_folder->qsos();
    EditQsoWindow *window = openFor(before[2]);
    combo(window, "comboBand")->setCurrentText(band);
    combo(window, "comboMode")->setCurrentText(mode);
    press(window, "cmdSubmit");
    QCOMPARE(m_app->dialogs.texts(), QStringList{QsoSubmission::accreditedMessage});
    QCOMPARE(m_app->dialogs.messages[0].title, QString("Error"));
    QCOMPARE(m_folder->qsos(), before);
    QVERIFY(window->isVisible());
    QCOMPARE(m_changes->count(), 0);
}

void TestQsoEdit::madeAccreditedWhileOpen()
{
    m_folder->addQso(qso(5, "XX", "c"));
    EditQsoWindow *window = openFor(m_folder->qso(5));
    m_folder->setQsl(5, "a"); // an award request converts it meanwhile
    press(window, "cmdSubmit");
    QCOMPARE(m_app->dialogs.texts(), QStringList{QsoSubmission::accreditedMessage});
    QCOMPARE(m_folder->qso(5).qsl, QString("a"));
}

void TestQsoEdit::clearThenNewValues()
{
    m_folder->addQsos({qso(1, "AA", "w"), qso(2, "AB", "w")});
    EditQsoWindow *window = openFor(m_folder->qso(1));
    press(window, "cmdClear");
    QCOMPARE(texts(window), QStringList(7, QString()));
    QCOMPARE(window->dbCount(), 1);
    QVERIFY(window->isVisible());
    QTest::keyClicks(edit(window, "txtWWLocator"), "xx");
    QTest::keyClicks(QApplication::focusWidget(), "iw4zzz");
    edit(window, "txtDate0")->setFocus();
    for (QChar c : QString("3101050000"))
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    QTest::keyClicks(QApplication::focusWidget(), "mostirana");
    QCOMPARE(combo(window, "comboProv")->currentText(), QString("RSM"));
    press(window, "cmdSubmit");
    QCOMPARE(m_app->dialogs.texts(), QStringList{"QSO edited"});
    const QsoRow row = m_folder->qso(1);
    QCOMPARE(row.locator, QString("XX"));
    QCOMPARE(row.call, QString("IW4ZZZ"));
    QCOMPARE(row.date, QString("2005-01-31"));
    QCOMPARE(row.time, QString("00:00"));
    QCOMPARE(row.place, QString("MOSTIRANA"));
    QCOMPARE(row.prov, QString("RSM"));
    QCOMPARE(row.qsl, QString("c"));
    QCOMPARE(m_folder->qsos().size(), 2);
}

void TestQsoEdit::deletedWhileOpen()
{
    m_folder->addQsos({qso(1, "AB", "c"), qso(2, "AB", "w"), qso(3, "AC", "w")});
    EditQsoWindow *window = openFor(m_folder->qso(2));
    child<QRadioButton>(window, "optQSLConf")->setChecked(true);
    m_folder->deleteQso(2); // deleted in the log browser meanwhile
    const QList<QsoRow> before = m_folder->qsos();
    const QStringList shown = texts(window);
    m_app->dialogs.answers.enqueue(MessageAnswer::Yes);
    press(window, "cmdSubmit");
    QCOMPARE(m_app->dialogs.texts(), QStringList{QsoSubmission::goneMessage});
    QCOMPARE(m_app->dialogs.messages[0].icon, MessageIcon::Critical);
    QCOMPARE(m_folder->qsos(), before);
    QVERIFY(window->isVisible());
    QCOMPARE(texts(window), shown);
    QCOMPARE(window->dbCount(), 2);
    QCOMPARE(m_changes->count(), 0);
}

void TestQsoEdit::lengthsAsTyped()
{
    m_folder->addQso(qso(1, "AB", "w"));
    QsoRow row = m_folder->qso(1);
    row.call = "O'B'R'I'E'N'"; // 12 as typed, 18 after quoting
    row.place = "SANT''" + QString(43, 'A');
    EditQsoWindow *window = openFor(m_folder->qso(1));
    edit(window, "txtCall")->setText(row.call);
    combo(window, "comboPlace")->setEditText(row.place);
    press(window, "cmdSubmit");
    QCOMPARE(m_app->dialogs.texts(), QStringList{"QSO edited"});
    QCOMPARE(m_folder->qso(1).call, row.call);
    QCOMPARE(m_folder->qso(1).place, row.place);
}

void TestQsoEdit::exitKeepsNumber()
{
    m_folder->addQso(qso(7, "AB", "w"));
    EditQsoWindow *window = openFor(m_folder->qso(7));
    combo(window, "comboBand")->setCurrentText("UHF");
    press(window, "cmdExit");
    QVERIFY(!window->isVisible());
    QCOMPARE(texts(window), QStringList(7, QString()));
    QCOMPARE(window->dbCount(), 7);
    QCOMPARE(m_app->windows().find(windows::frmEditQSO), window);
    QCOMPARE(combo(window, "comboBand")->currentText(), QString("UHF"));
    QCOMPARE(m_folder->qso(7), qso(7, "AB", "w"));
    QVERIFY(m_app->dialogs.messages.isEmpty());
}

void TestQsoEdit::closeBoxDiscards()
{
    m_folder->addQso(qso(7, "AB", "w", "UHF"));
    QPointer<EditQsoWindow> window = openFor(m_folder->qso(7));
    QWidget *insert = m_app->show(windows::frmInsertQSO);
    QVERIFY(window->close());
    QTRY_VERIFY(window.isNull());
    QVERIFY(insert->isVisible());
    auto *reopened = m_app->windows().get<EditQsoWindow>(windows::frmEditQSO);
    QVERIFY(reopened);
    QCOMPARE(texts(reopened), QStringList(7, QString()));
    QCOMPARE(combo(reopened, "comboBand")->currentText(), QString("HF"));
    QCOMPARE(reopened->dbCount(), 0);
    QCOMPARE(m_folder->qso(7), qso(7, "AB", "w", "UHF"));
}

QTEST_MAIN(TestQsoEdit)
#include "tst_qsoedit.moc"
