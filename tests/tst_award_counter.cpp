// The award counter: the eighteen figures per mode, their labels, the thresholds shown beside
// them, and figures that follow the log whether the window is shown, hidden or not yet made.
#include "fixture.h"
#include "qsoentryfixture.h"

#include "award/awardwindow.h"
#include "log/awardcounter.h"
#include "log/awardtally.h"
#include "log/awardthresholds.h"
#include "log/logchange.h"
#include "log/lognotifier.h"
#include "platform/windownames.h"
#include "storage/database.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QSqlQuery>
#include <QtTest>
#include <random>

using namespace kx47;
using namespace kx47::test;

namespace
{

const QStringList bands{"HF", "50 MHz", "VHF", "UHF", "SHF", "SAT"};
const QStringList labelBands{"HF", "50MHz", "VHF", "UHF", "SHF", "Satellite"};
const QStringList states{"w", "c", "a"};

// A log spread over every mode, band and state, with repeated sub-squares, stored letters in
// both cases (MIXED, HF, worked only in small letters), and values that are no band, mode or
// state of the award.
QList<QsoRow> counterLog()
{
    QList<QsoRow> rows;
    int count = 0;
    const QStringList modes{"MIXED", "SSB", "CW", "DIGITAL"};
    for (int m = 0; m < modes.size(); ++m) {
        for (int b = 0; b < bands.size(); ++b) {
            for (int s = 0; s < states.size(); ++s) {
                // A different number of QSOs in every cell: 0 to 4.
                const int copies = (m + 2 * b + 3 * s) % 5;
                for (int i = 0; i < copies; ++i)
                    rows << qsoRow(++count, QStringLiteral("A%1").arg(QChar('A' + i)), states[s],
                                   bands[b], modes[m]);
            }
        }
    }
    const QStringList odd[] = {{"ssb", "hf", "C"},  {"SSB", "50MHz", "c"},  {"SSB", "HF", "x"},
                               {"RTTY", "HF", "c"}, {"SSB", "50 MHZ", "A"}, {"MIXED", "hf", "W"}};
    for (const QStringList &values : odd)
        rows << qsoRow(++count, "AA", values[2], values[1], values[0]);
    return rows;
}

// The figure of one cell as the counter was described to its users: one count per band and
// state, the mode written into the text.
int describedCount(QSqlDatabase db, const QString &mode, const QString &band, const QString &qsl)
{
    QSqlQuery query(db);
    const QString sql = " select count(*) as contatore from data where mode = '" + mode +
                        "' and band='" + band + "' and qsl='" + qsl + "'";
    if (!query.exec(sql) || !query.next())
        return -1;
    return query.value(QStringLiteral("contatore")).toInt();
}

QLabel *figureLabel(QWidget *window, int row, int column)
{
    return window->findChild<QLabel *>("lbl" + labelBands[row] + states[column]);
}

QStringList figureTexts(QWidget *window)
{
    QStringList texts;
    for (int row = 0; row < bands.size(); ++row) {
        for (int column = 0; column < states.size(); ++column) {
            QLabel *label = figureLabel(window, row, column);
            texts << (label ? label->text() : QStringLiteral("missing"));
        }
    }
    return texts;
}

QStringList expectedTexts(QSqlDatabase db, const QString &mode)
{
    QStringList texts;
    for (const QString &band : bands) {
        for (const QString &qsl : states)
            texts << QString::number(describedCount(db, mode, band, qsl));
    }
    return texts;
}

struct Counter {
    ProgramFolder folder;
    TestApp app{folder.path()};

    bool start(const QList<QsoRow> &log)
    {
        folder.addQsos(log);
        return app.start();
    }
    AwardWindow *window() { return app.window<AwardWindow>(windows::frmAward); }
    void openFromMenu() { app.menuItem("mnCounter")->trigger(); }
};

} // namespace

class TestAwardCounter : public QObject
{
    Q_OBJECT

private slots:
    void thresholds_data();
    void thresholds();
    void figuresMatchOneCountPerCell_data();
    void figuresMatchOneCountPerCell();
    void figuresOfASmallLog_data();
    void figuresOfASmallLog();
    void emptyLogShowsZeros();
    void windowControls();
    void thresholdCaptionsMatchThresholds();
    void choosingAModeRecounts();
    void contaNeverShowsTheWindow();
    void logChangeRecountsHiddenOrUnmadeWindow();
    void exitKeepsModeCloseBoxDiscardsIt();
    void followedChangesEqualARecount();
    void changeBeforeTheTallyIsCounted();
};

void TestAwardCounter::thresholds_data()
{
    QTest::addColumn<QString>("band");
    QTest::addColumn<int>("base");
    QTest::addColumn<int>("endorsement");
    QTest::newRow("HF") << "HF" << 50 << 15;
    QTest::newRow("50 MHz") << "50 MHz" << 15 << 10;
    QTest::newRow("VHF") << "VHF" << 15 << 10;
    QTest::newRow("UHF") << "UHF" << 10 << 5;
    QTest::newRow("SHF") << "SHF" << 5 << 5;
    QTest::newRow("SAT") << "SAT" << 5 << 5;
    QTest::newRow("50MHz is no band") << "50MHz" << 0 << 0;
    QTest::newRow("empty") << "" << 0 << 0;
}

void TestAwardCounter::thresholds()
{
    QFETCH(QString, band);
    QFETCH(int, base);
    QFETCH(int, endorsement);
    QCOMPARE(AwardThresholds::base(band), base);
    QCOMPARE(AwardThresholds::endorsement(band), endorsement);
    QCOMPARE(AwardThresholds::bandNames(), bands);
}

void TestAwardCounter::figuresMatchOneCountPerCell_data()
{
    QTest::addColumn<QString>("mode");
    for (const char *mode : {"MIXED", "SSB", "CW", "DIGITAL"})
        QTest::newRow(mode) << QString(mode);
}

void TestAwardCounter::figuresMatchOneCountPerCell()
{
    QFETCH(QString, mode);
    ProgramFolder folder;
    folder.addQsos(counterLog());
    OpenedFile log(folder.logPath());
    const AwardCounter::Figures figures = AwardCounter(log).count(mode);
    int total = 0;
    for (int row = 0; row < bands.size(); ++row) {
        for (int column = 0; column < states.size(); ++column) {
            const int expected = describedCount(folder.log(), mode, bands[row], states[column]);
            QCOMPARE(figures.counts[row][column], expected);
            QCOMPARE(figures.of(bands[row], states[column]), expected);
            total += expected;
        }
    }
    QVERIFY(total > 0);
}

void TestAwardCounter::figuresOfASmallLog_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("band");
    QTest::addColumn<QString>("qsl");
    QTest::addColumn<int>("expected");

    // Two SSB QSOs confirmed in KX47AA on 50 MHz, one SSB in KX47AB, one MIXED.
    QTest::newRow("same sub-square twice") << "SSB"
                                           << "50 MHz"
                                           << "c" << 3;
    QTest::newRow("MIXED is a mode of its own") << "MIXED"
                                                << "50 MHz"
                                                << "c" << 1;
    QTest::newRow("other modes see none") << "CW"
                                          << "50 MHz"
                                          << "c" << 0;
    QTest::newRow("worked apart from confirmed") << "SSB"
                                                 << "50 MHz"
                                                 << "w" << 1;
    QTest::newRow("accredited") << "DIGITAL"
                                << "SAT"
                                << "a" << 2;
    QTest::newRow("other band") << "SSB"
                                << "HF"
                                << "c" << 0;
    QTest::newRow("not a state") << "SSB"
                                 << "50 MHz"
                                 << "x" << -1;
}

void TestAwardCounter::figuresOfASmallLog()
{
    QFETCH(QString, mode);
    QFETCH(QString, band);
    QFETCH(QString, qsl);
    QFETCH(int, expected);
    ProgramFolder folder;
    folder.addQsos({qsoRow(1, "AA", "c", "50 MHz", "SSB"), qsoRow(2, "AA", "c", "50 MHz", "SSB"),
                    qsoRow(3, "AB", "c", "50 MHz", "SSB"), qsoRow(4, "AB", "w", "50 MHz", "SSB"),
                    qsoRow(5, "AA", "c", "50 MHz", "MIXED"), qsoRow(6, "XX", "a", "SAT", "DIGITAL"),
                    qsoRow(7, "XX", "a", "SAT", "DIGITAL")});
    OpenedFile log(folder.logPath());
    QCOMPARE(AwardCounter(log).count(mode).of(band, qsl), expected);
}

void TestAwardCounter::emptyLogShowsZeros()
{
    Counter counter;
    QVERIFY(counter.start({}));
    counter.openFromMenu();
    AwardWindow *window = counter.window();
    QVERIFY(window->isVisible());
    QCOMPARE(figureTexts(window), QStringList(18, "0"));
}

void TestAwardCounter::windowControls()
{
    Counter counter;
    QVERIFY(counter.start({}));
    AwardWindow *window = counter.window();
    QCOMPARE(window->windowTitle(), QString("Award Outside Italy Rules"));
    auto *combo = window->findChild<QComboBox *>("Combo1");
    QVERIFY(combo);
    QVERIFY(!combo->isEditable());
    QCOMPARE(itemTexts(combo), (QStringList{"MIXED", "SSB", "CW", "DIGITAL"}));
    QCOMPARE(combo->currentText(), QString("MIXED"));
    QCOMPARE(qobject_cast<QGroupBox *>(combo->parentWidget())->title(), QString("mode"));

    // Each figure stands in the frame of its band.
    for (int row = 0; row < bands.size(); ++row) {
        for (int column = 0; column < states.size(); ++column) {
            QLabel *label = figureLabel(window, row, column);
            QVERIFY(label);
            QCOMPARE(qobject_cast<QGroupBox *>(label->parentWidget())->title(), bands[row]);
        }
    }
    QStringList headings;
    for (QLabel *label : window->findChildren<QLabel *>()) {
        if (label->objectName().isEmpty())
            headings << label->text();
    }
    QCOMPARE(headings, (QStringList{"WORKED", "CONFIRMED", "ACCREDITATED"}));
    QCOMPARE(window->findChild<QPushButton *>("cmdExit")->text(), QString("Exit"));
}

void TestAwardCounter::thresholdCaptionsMatchThresholds()
{
    Counter counter;
    QVERIFY(counter.start({}));
    AwardWindow *window = counter.window();
    const QStringList base{
        "HF:...............................50", "50 MHz:.......................15",
        "VHF:............................15",   "UHF:............................10",
        "SHF:............................. 5",  "SAT:..............................5"};
    const QStringList endorsement{
        "HF:...............................15", "50 MHz:.......................10",
        "VHF:............................10",   "UHF:..............................5",
        "SHF:..............................5",  "SAT:..............................5"};
    for (const auto &frame : {std::make_pair(QString("Base Award Request"), base),
                              std::make_pair(QString("Endorsement"), endorsement)}) {
        QGroupBox *box = nullptr;
        for (QGroupBox *candidate : window->findChildren<QGroupBox *>()) {
            if (candidate->title() == frame.first)
                box = candidate;
        }
        QVERIFY(box);
        QStringList captions;
        for (QLabel *label : box->findChildren<QLabel *>())
            captions << label->text();
        QCOMPARE(captions, frame.second);
    }
    // The numbers shown are the thresholds the award requests enforce.
    for (int row = 0; row < bands.size(); ++row) {
        const QString band = bands[row];
        QCOMPARE(AwardWindow::baseCaption(row).section('.', -1).trimmed().toInt(),
                 AwardThresholds::base(band));
        QCOMPARE(AwardWindow::endorsementCaption(row).section('.', -1).trimmed().toInt(),
                 AwardThresholds::endorsement(band));
        QVERIFY(AwardWindow::baseCaption(row).startsWith(band + ":."));
    }
}

void TestAwardCounter::choosingAModeRecounts()
{
    Counter counter;
    QVERIFY(counter.start(counterLog()));
    counter.openFromMenu();
    AwardWindow *window = counter.window();
    QCOMPARE(figureTexts(window), expectedTexts(counter.folder.log(), "MIXED"));
    auto *combo = window->findChild<QComboBox *>("Combo1");
    for (const QString mode : {"CW", "SSB", "DIGITAL", "MIXED"}) {
        QVERIFY(activate(window));
        combo->setFocus();
        // Choose with the keyboard, from wherever the list stands, as the user does.
        QTest::keyClick(combo, Qt::Key_Home);
        while (combo->currentText() != mode)
            QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(figureTexts(window), expectedTexts(counter.folder.log(), mode));
    }
    QVERIFY(expectedTexts(counter.folder.log(), "SSB") !=
            expectedTexts(counter.folder.log(), "MIXED"));
}

void TestAwardCounter::contaNeverShowsTheWindow()
{
    Counter counter;
    QVERIFY(counter.start({qsoRow(1, "AA", "w", "HF", "MIXED")}));
    QVERIFY(!counter.app.windows().find(windows::frmAward));
    AwardWindow *window = counter.window();
    QVERIFY(!window->isVisible());
    QCOMPARE(figureLabel(window, 0, 0)->text(), QString("1"));

    counter.folder.addQso(qsoRow(2, "AB", "w", "HF", "MIXED"));
    window->conta();
    QVERIFY(!window->isVisible());
    QCOMPARE(figureLabel(window, 0, 0)->text(), QString("2"));
}

void TestAwardCounter::logChangeRecountsHiddenOrUnmadeWindow()
{
    Counter counter;
    QVERIFY(counter.start(counterLog()));
    QVERIFY(!counter.app.windows().find(windows::frmAward));
    LogNotifier &notifier = counter.app.app().context().logNotifier;
    notifier.notifyLogChanged();
    auto *window = counter.app.windows().find<AwardWindow>(windows::frmAward);
    QVERIFY(window);
    QVERIFY(!window->isVisible());
    QCOMPARE(figureTexts(window), expectedTexts(counter.folder.log(), "MIXED"));

    // Confirmed QSOs of HF and MIXED become accredited behind the counter's back.
    const int confirmed = figureLabel(window, 0, 1)->text().toInt();
    const int accredited = figureLabel(window, 0, 2)->text().toInt();
    QVERIFY(confirmed > 0);
    QSqlQuery update(counter.folder.log());
    QVERIFY(update.exec("update data set qsl = 'a' where mode = 'MIXED' and band = 'HF' and "
                        "qsl = 'c'"));
    QCOMPARE(figureLabel(window, 0, 1)->text().toInt(), confirmed);
    notifier.notifyLogChanged();
    QCOMPARE(figureLabel(window, 0, 1)->text(), QString("0"));
    QCOMPARE(figureLabel(window, 0, 2)->text().toInt(), accredited + confirmed);
    QVERIFY(!window->isVisible());
}

void TestAwardCounter::exitKeepsModeCloseBoxDiscardsIt()
{
    Counter counter;
    QVERIFY(counter.start(counterLog()));
    counter.openFromMenu();
    QPointer<AwardWindow> window = counter.window();
    auto *combo = window->findChild<QComboBox *>("Combo1");
    combo->setCurrentIndex(2);
    QCOMPARE(figureTexts(window), expectedTexts(counter.folder.log(), "CW"));
    QTest::mouseClick(window->findChild<QPushButton *>("cmdExit"), Qt::LeftButton);
    QVERIFY(!window->isVisible());
    counter.openFromMenu();
    QCOMPARE(counter.window(), window.data());
    QVERIFY(window->isVisible());
    QCOMPARE(combo->currentText(), QString("CW"));
    QCOMPARE(figureTexts(window), expectedTexts(counter.folder.log(), "CW"));

    window->close();
    QTRY_VERIFY(window.isNull());
    counter.openFromMenu();
    AwardWindow *fresh = counter.window();
    QCOMPARE(fresh->findChild<QComboBox *>("Combo1")->currentText(), QString("MIXED"));
    QCOMPARE(figureTexts(fresh), expectedTexts(counter.folder.log(), "MIXED"));
}

// Random QSOs added, edited and deleted, some while the tally is still reading the log in short
// stretches: once read, its figures are those of a recount for every mode.
void TestAwardCounter::followedChangesEqualARecount()
{
    ProgramFolder folder;
    const QList<QsoRow> log = counterLog();
    folder.addQsos(log);
    OpenedFile db(folder.logPath());
    AwardTally tally(db);
    const AwardCounter counter(db);

    std::mt19937 random(47);
    const QStringList modes{"MIXED", "SSB", "ssb", "CW", "DIGITAL", "RTTY"};
    const QStringList someBands{"HF", "hf", "50 MHz", "SAT", "2m"};
    const QStringList someStates{"w", "c", "a", "C", "x"};
    const auto pick = [&random](const QStringList &values) {
        return values[std::uniform_int_distribution<int>(0, int(values.size()) - 1)(random)];
    };
    RandomChanges changes{folder, random, [&](int count) {
                              return qsoRow(count, "AB", pick(someStates), pick(someBands),
                                            pick(modes));
                          }};
    for (const QsoRow &row : log)
        changes.numbers << row.count;
    changes.next = changes.numbers.size() + 1;
    for (int step = 0; step < 80; ++step) {
        // Stretches of 7 numbers: the first changes come before the whole log is read.
        tally.readMore(7);
        LogChange change;
        changes.step(change);
        QVERIFY(tally.follow(change));
        if (tally.isComplete()) {
            for (const QString &mode : AwardCounter::modes())
                QCOMPARE(tally.figures(mode).counts, counter.count(mode).counts);
        }
    }
    QVERIFY(tally.isComplete());
    QVERIFY(!tally.follow(LogChange::everything()));
}

// A change that comes before the window has read its tally of more than a stretch of QSO
// numbers: the figures follow it once the tally is read.
void TestAwardCounter::changeBeforeTheTallyIsCounted()
{
    Counter counter;
    QVERIFY(counter.start(
        {qsoRow(1, "AA", "w", "HF", "MIXED"), qsoRow(25000, "AB", "c", "HF", "MIXED")}));
    AwardWindow *window = counter.window();
    counter.folder.deleteQso(25000);
    counter.folder.addQso(qsoRow(50000, "AC", "w", "HF", "MIXED"));
    LogChange change;
    change.removed << 25000;
    change.added << 50000;
    counter.app.app().context().logNotifier.notifyLogChanged(change);
    QTRY_COMPARE(figureTexts(window), expectedTexts(counter.folder.log(), "MIXED"));
}

QTEST_MAIN(TestAwardCounter)
#include "tst_award_counter.moc"
