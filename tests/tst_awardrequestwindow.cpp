// The windows frmBAR and frmAE in the running program: controls and defaults, Exit and the
// close box, and Print with the chosen band and mode followed by the counter's recount.
#include "awardrequestlog.h"
#include "fixture.h"

#include "log/lognotifier.h"
#include "platform/windownames.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using namespace kx47;
using namespace kx47::test;

Q_DECLARE_METATYPE(QList<kx47::test::QsoRow>)
Q_DECLARE_METATYPE(QList<kx47::MessageAnswer>)

namespace
{

void choose(QComboBox *combo, const QString &text)
{
    const int index = combo->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    combo->setCurrentIndex(index);
}

} // namespace

class TestAwardRequestWindow : public QObject
{
    Q_OBJECT

private slots:
    void controlsAndDefaults_data();
    void controlsAndDefaults();
    void exitKeepsChoicesCloseBoxDiscards_data();
    void exitKeepsChoicesCloseBoxDiscards();
    void printConvertsAndTheCounterFollows_data();
    void printConvertsAndTheCounterFollows();
};

void TestAwardRequestWindow::controlsAndDefaults_data()
{
    QTest::addColumn<QString>("menuItem");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("caption");
    QTest::newRow("frmBAR") << "mnBAR" << windows::frmBAR
                            << "Base Award Request Outside Italy Rules";
    QTest::newRow("frmAE") << "mnEndorsement" << windows::frmAE
                           << "Award Endorsement Outside Italy Rules";
}

void TestAwardRequestWindow::controlsAndDefaults()
{
    QFETCH(QString, menuItem);
    QFETCH(QString, window);
    QFETCH(QString, caption);
    ProgramFolder folder;
    TestApp app(folder.path());
    QVERIFY(app.start());
    auto *item = app.menuItem(menuItem);
    QVERIFY(item);
    item->trigger();
    QWidget *shown = app.windows().find(window);
    QVERIFY(shown);
    QVERIFY(shown->isVisible());
    QCOMPARE(shown->objectName(), window);
    QCOMPARE(shown->windowTitle(), caption);

    auto *mode = shown->findChild<QComboBox *>("comboMode");
    auto *band = shown->findChild<QComboBox *>("comboBand");
    QVERIFY(mode && band);
    QCOMPARE(itemTexts(mode), (QStringList{"MIXED", "SSB", "CW", "DIGITAL"}));
    QCOMPARE(itemTexts(band), (QStringList{"HF", "50 MHz", "VHF", "UHF", "SHF", "SAT"}));
    QCOMPARE(mode->currentText(), QString("MIXED"));
    QCOMPARE(band->currentText(), QString("HF"));
    QVERIFY(!mode->isEditable());
    QVERIFY(!band->isEditable());
    auto *modeFrame = qobject_cast<QGroupBox *>(mode->parentWidget());
    auto *bandFrame = qobject_cast<QGroupBox *>(band->parentWidget());
    QVERIFY(modeFrame && bandFrame);
    QCOMPARE(modeFrame->title(), QString("Mode"));
    QCOMPARE(bandFrame->title(), QString("Band"));
    auto *print = shown->findChild<QPushButton *>("cmdPrint");
    auto *exit = shown->findChild<QPushButton *>("cmdExit");
    QVERIFY(print && exit);
    QCOMPARE(print->text(), QString("Print"));
    QCOMPARE(exit->text(), QString("Exit"));
    // Mode on the left, Band on the right; Print on the left under them, Exit on the right.
    QVERIFY(modeFrame->geometry().right() < bandFrame->geometry().left());
    QVERIFY(print->geometry().right() < exit->geometry().left());
    QVERIFY(print->geometry().top() > modeFrame->geometry().bottom());

    // The menu shows the same window again.
    item->trigger();
    QCOMPARE(app.windows().find(window), shown);
}

void TestAwardRequestWindow::exitKeepsChoicesCloseBoxDiscards_data()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("frmBAR") << windows::frmBAR;
    QTest::newRow("frmAE") << windows::frmAE;
}

void TestAwardRequestWindow::exitKeepsChoicesCloseBoxDiscards()
{
    QFETCH(QString, window);
    ProgramFolder folder;
    TestApp app(folder.path());
    QVERIFY(app.start());
    QPointer<QWidget> shown = app.show(window);
    choose(shown->findChild<QComboBox *>("comboBand"), "SAT");
    choose(shown->findChild<QComboBox *>("comboMode"), "CW");
    QTest::mouseClick(shown->findChild<QPushButton *>("cmdExit"), Qt::LeftButton);
    QVERIFY(!shown->isVisible());

    QCOMPARE(app.show(window), shown.data());
    QCOMPARE(shown->findChild<QComboBox *>("comboBand")->currentText(), QString("SAT"));
    QCOMPARE(shown->findChild<QComboBox *>("comboMode")->currentText(), QString("CW"));

    shown->close();
    QTRY_VERIFY(shown.isNull());
    QWidget *fresh = app.show(window);
    QCOMPARE(fresh->findChild<QComboBox *>("comboBand")->currentText(), QString("HF"));
    QCOMPARE(fresh->findChild<QComboBox *>("comboMode")->currentText(), QString("MIXED"));
    QVERIFY(app.printService.documents.isEmpty());
    QVERIFY(app.dialogs.messages.isEmpty());
}

void TestAwardRequestWindow::printConvertsAndTheCounterFollows_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QList<QsoRow>>("accredited");
    QTest::addColumn<QList<MessageAnswer>>("answers");
    QTest::addColumn<int>("converted");
    QTest::addColumn<int>("recounts");
    const QList<QsoRow> base = awardQsos(100, 5, "SHF", "CW", "a", 100);
    const QList<MessageAnswer> yesYes{MessageAnswer::Yes, MessageAnswer::Yes};
    const QList<MessageAnswer> yesNo{MessageAnswer::Yes, MessageAnswer::No};
    QTest::newRow("frmBAR, Yes and Yes") << windows::frmBAR << QList<QsoRow>() << yesYes << 5 << 1;
    QTest::newRow("frmBAR, Yes and No") << windows::frmBAR << QList<QsoRow>() << yesNo << 0 << 1;
    QTest::newRow("frmBAR, No") << windows::frmBAR << QList<QsoRow>()
                                << QList<MessageAnswer>{MessageAnswer::No} << 0 << 0;
    QTest::newRow("frmAE, Yes and Yes") << windows::frmAE << base << yesYes << 5 << 1;
    QTest::newRow("frmAE, Yes and No") << windows::frmAE << base << yesNo << 0 << 1;
}

void TestAwardRequestWindow::printConvertsAndTheCounterFollows()
{
    QFETCH(QString, window);
    QFETCH(QList<QsoRow>, accredited);
    QFETCH(QList<MessageAnswer>, answers);
    QFETCH(int, converted);
    QFETCH(int, recounts);
    ProgramFolder folder;
    folder.addQsos(awardQsos(1, 7, "SHF", "CW", "c") + accredited +
                   awardQsos(50, 6, "SHF", "MIXED", "c"));
    folder.setUserData("IK0XYZ");
    TestApp app(folder.path());
    QVERIFY(app.start());
    QSignalSpy logChanged(&app.app().context().logNotifier, &LogNotifier::logChanged);

    // The counter, shown on CW.
    QWidget *counter = app.show(windows::frmAward);
    choose(counter->findChild<QComboBox *>("Combo1"), "CW");
    QLabel *confirmedLabel = counter->findChild<QLabel *>("lblSHFc");
    QLabel *accreditedLabel = counter->findChild<QLabel *>("lblSHFa");
    QVERIFY(confirmedLabel && accreditedLabel);
    QCOMPARE(confirmedLabel->text(), QString("7"));
    QCOMPARE(accreditedLabel->text(), QString::number(accredited.size()));

    QWidget *request = app.show(window);
    choose(request->findChild<QComboBox *>("comboBand"), "SHF");
    choose(request->findChild<QComboBox *>("comboMode"), "CW");
    for (const MessageAnswer answer : answers)
        app.dialogs.answers.enqueue(answer);
    QTest::mouseClick(request->findChild<QPushButton *>("cmdPrint"), Qt::LeftButton);

    QCOMPARE(app.printService.documents.size(), 1);
    const QStringList lines = app.printService.documents.first().texts();
    QVERIFY(lines.size() > 18);
    QVERIFY2(lines[17].endsWith("in the band SHF and mode CW"), qPrintable(lines[17]));
    QCOMPARE(app.dialogs.unanswered, 0);
    QCOMPARE(logChanged.size(), recounts);
    QCOMPARE(countsInState(folder, "a").size(), accredited.size() + converted);
    QCOMPARE(confirmedLabel->text(), QString::number(7 - converted));
    QCOMPARE(accreditedLabel->text(), QString::number(accredited.size() + converted));
    // The MIXED QSOs of the same band are not touched.
    QCOMPARE(countsInState(folder, "c").size(), 7 - converted + 6);
    // The window stays open with its choices.
    QVERIFY(request->isVisible());
    QCOMPARE(request->findChild<QComboBox *>("comboBand")->currentText(), QString("SHF"));
}

QTEST_MAIN(TestAwardRequestWindow)
#include "tst_awardrequestwindow.moc"
