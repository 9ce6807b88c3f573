// The Utility QSO window: its first listing, the search buttons and their prompts, the order
// choices, the font and header of the list, and a list that follows the log while hidden.
#include "browserlog.h"
#include "fixture.h"

#include "browser/logline.h"
#include "browser/utilitywindow.h"
#include "log/logchange.h"
#include "log/lognotifier.h"
#include "platform/windownames.h"

#include <QAction>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QMainWindow>
#include <QPaintEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QtTest>

using namespace kx47;
using namespace kx47::test;

namespace
{

QStringList linesOf(UtilityWindow *window)
{
    return listedLines(control<QListView>(window, "List"));
}

QVector<qint32> shownCounts(UtilityWindow *window)
{
    return listedCounts(window->listCounts(), linesOf(window).size());
}

// Clicks a button, or an option button on its round indicator.
void click(QWidget *window, const char *name)
{
    auto *button = window->findChild<QAbstractButton *>(name);
    QVERIFY2(button, name);
    QVERIFY2(button->isEnabled(), name);
    const QPoint where = qobject_cast<QRadioButton *>(button) ? QPoint(4, button->height() / 2)
                                                              : button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, {}, where);
}

// The part of a widget painted since it was made.
class PaintedRegion : public QObject
{
public:
    explicit PaintedRegion(QWidget *widget) { widget->installEventFilter(this); }
    QRegion region;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            region += static_cast<QPaintEvent *>(event)->region();
        return false;
    }
};

struct Browser {
    ProgramFolder folder;
    TestApp app{folder.path()};
    UtilityWindow *window = nullptr;

    bool start(const QList<QsoRow> &log)
    {
        folder.addQsos(log);
        if (!app.start())
            return false;
        window = app.window<UtilityWindow>(windows::frmUtility);
        return window != nullptr;
    }
};

} // namespace

class TestBrowserWindow : public QObject
{
    Q_OBJECT

private slots:
    void newWindowListsWholeLog();
    void emptyLog();
    void listFontAndHeader();
    void searchButtons_data();
    void searchButtons();
    void emptyAnswersChangeNothing_data();
    void emptyAnswersChangeNothing();
    void showAnyQsoDropsTheSearch();
    void orderChoices_data();
    void orderChoices();
    void bandGreysOutSecondaryAndKeepsIt();
    void rebuildLeavesNoLineSelected();
    void menuShowsTheLogAsItIsNow();
    void exitHidesAndKeepsEverything();
    void closeBoxDiscardsSearchAndOrder();
    void logChangeRebuildsWithSearchAndOrder();
    void logChangeLoadsTheWindowHidden();
    void longLogShowsItsFirstLinesAtOnce();
    void lineChangedInPlaceIsPaintedAgain();
};

void TestBrowserWindow::newWindowListsWholeLog()
{
    Browser browser;
    QVERIFY(browser.start(browserLog()));
    UtilityWindow *window = browser.window;
    QCOMPARE(window->windowTitle(), QString("Utility QSO"));
    QVERIFY(!window->isVisible());
    QVERIFY(window->findChild<QRadioButton *>("optCall")->isChecked());
    QVERIFY(window->findChild<QRadioButton *>("optBand2")->isChecked());
    QVERIFY(!window->findChild<QRadioButton *>("optMode2")->isChecked());
    QVERIFY(window->findChild<QGroupBox *>("frame2nd")->isEnabled());
    QVERIFY(window->findChild<QRadioButton *>("optBand2")->isEnabled());
    QVERIFY(window->search() == LogSearch());

    QCOMPARE(shownCounts(window), byCallBandMode);
    QCOMPARE(window->listCounts().size(), 13);
    QCOMPARE(window->listCounts().last(), 0);
    const QStringList lines = linesOf(window);
    for (int i = 0; i < lines.size(); ++i) {
        const QsoRow row = browser.folder.qso(window->listCounts()[i]);
        QCOMPARE(lines[i], LogLine::text({row.call, row.locator, row.place, row.prov, row.mode,
                                          row.band, row.date, row.time, row.qsl}));
    }
    // 09:05 of QSO 1 and 14:30 of QSO 2.
    QCOMPARE(lines[5].mid(93, 5), QString("09.05"));
    QCOMPARE(lines[7].mid(93, 5), QString("14.30"));
}

void TestBrowserWindow::emptyLog()
{
    Browser browser;
    QVERIFY(browser.start({}));
    QVERIFY(linesOf(browser.window).isEmpty());
    QCOMPARE(browser.window->listCounts(), QVector<qint32>{0});
    QVERIFY(browser.app.dialogs.messages.isEmpty());
}

void TestBrowserWindow::listFontAndHeader()
{
    Browser browser;
    QVERIFY(browser.start(browserLog()));
    auto *list = browser.window->findChild<QListView *>("List");
    auto *frame = qobject_cast<QGroupBox *>(list->parentWidget());
    QVERIFY(frame);
    QCOMPARE(frame->title(), LogLine::header());
    for (QWidget *widget : {static_cast<QWidget *>(list), static_cast<QWidget *>(frame)}) {
        QCOMPARE(widget->font().family(), QString("Courier New"));
        QCOMPARE(widget->font().pointSizeF(), 8.25);
        QVERIFY(QFontInfo(widget->font()).fixedPitch());
    }
    QVERIFY(list->uniformItemSizes());
    QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);
    // Every line is as wide as the header's text, so the bars stand one under the other.
    const QFontMetrics metrics(list->font());
    for (const QString &line : linesOf(browser.window))
        QCOMPARE(metrics.horizontalAdvance(line),
                 metrics.horizontalAdvance(LogLine::header().left(102)));
}

void TestBrowserWindow::searchButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("prompts");
    QTest::addColumn<QVector<qint32>>("expected");
    // The line under the list.
    QTest::addColumn<QString>("status");

    const QStringList place{"insert place:", "insert prov:"};
    QTest::newRow("call in small letters")
        << "cmdCall" << QStringList{"ik0aaa"} << QStringList{"insert call:"}
        << QVector<qint32>{4, 8, 1, 11, 2} << "5 QSOs, call = ik0aaa";
    QTest::newRow("call with apostrophe")
        << "cmdCall" << QStringList{"O'HARA"} << QStringList{"insert call:"} << QVector<qint32>{7}
        << "1 QSO, call = O'HARA";
    QTest::newRow("call of no QSO")
        << "cmdCall" << QStringList{"IK0AAB"} << QStringList{"insert call:"} << QVector<qint32>{}
        << "No QSO matches, call = IK0AAB";
    QTest::newRow("sub-square in small letters")
        << "cmdWWLocator" << QStringList{"ab"}
        << QStringList{"insert WWLocator (just the last two characters):"}
        << QVector<qint32>{6, 4, 8, 1, 10} << "5 QSOs, WWLocator = ab";
    QTest::newRow("full sub-square finds nothing")
        << "cmdWWLocator" << QStringList{"KX47AB"}
        << QStringList{"insert WWLocator (just the last two characters):"} << QVector<qint32>{}
        << "No QSO matches, WWLocator = KX47AB";
    QTest::newRow("place with apostrophe")
        << "cmdPlace" << QStringList{"SANT'ERMINIO", ""} << place << QVector<qint32>{1, 10}
        << "2 QSOs, place = SANT'ERMINIO";
    QTest::newRow("place and province")
        << "cmdPlace" << QStringList{"BRANVOLE", "pg"} << place << QVector<qint32>{5, 4, 11, 7}
        << "4 QSOs, place = BRANVOLE, prov = pg";
    // A place or province alone orders by call, mode, band, province, whatever "And:" says.
    QTest::newRow("province only") << "cmdPlace" << QStringList{"", "PG"} << place
                                   << QVector<qint32>{5, 4, 11, 7} << "4 QSOs, prov = PG";
    QTest::newRow("place only") << "cmdPlace" << QStringList{"COLLEVARO", ""} << place
                                << QVector<qint32>{12, 2} << "2 QSOs, place = COLLEVARO";
    QTest::newRow("both empty lists the whole log")
        << "cmdPlace" << QStringList{"", ""} << place << byCallBandMode << "12 QSOs";
}

void TestBrowserWindow::searchButtons()
{
    QFETCH(QString, button);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, prompts);
    QFETCH(QVector<qint32>, expected);
    QFETCH(QString, status);
    Browser browser;
    QVERIFY(browser.start(browserLog()));
    for (const QString &answer : answers)
        browser.app.dialogs.inputs.enqueue(answer);
    click(browser.window, qPrintable(button));
    QCOMPARE(browser.app.dialogs.prompts, prompts);
    QVERIFY(browser.app.dialogs.inputs.isEmpty());
    QVERIFY(browser.app.dialogs.messages.isEmpty());
    QCOMPARE(shownCounts(browser.window), expected);
    QCOMPARE(browser.window->listCounts().size(), 13);
    QCOMPARE(browser.window->findChild<QLabel *>("lblStatus")->text(), status);
}

void TestBrowserWindow::emptyAnswersChangeNothing_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("call") << "cmdCall";
    QTest::newRow("sub-square") << "cmdWWLocator";
}

void TestBrowserWindow::emptyAnswersChangeNothing()
{
    QFETCH(QString, button);
    Browser browser;
    QVERIFY(browser.start(browserLog()));
    browser.app.dialogs.inputs.enqueue("IW3CCC");
    click(browser.window, "cmdCall");
    QCOMPARE(shownCounts(browser.window), (QVector<qint32>{10, 9}));

    // A QSO logged without telling the browser shows that no listing ran.
    QsoRow later = browserLog().first();
    later.count = 20;
    later.call = "IW3CCC";
    browser.folder.addQso(later);
    click(browser.window, qPrintable(button)); // Cancel: no queued answer
    QCOMPARE(browser.app.dialogs.prompts.size(), 2);
    QCOMPARE(browser.window->search().call, QString("IW3CCC"));
    QCOMPARE(shownCounts(browser.window), (QVector<qint32>{10, 9}));
    QCOMPARE(browser.window->listCounts().size(), 13);
}

void TestBrowserWindow::showAnyQsoDropsTheSearch()
{
    Browser browser;
    QVERIFY(browser.start(browserLog()));
    browser.app.dialogs.inputs << "BRANVOLE"
                               << "PG";
    click(browser.window, "cmdPlace");
    QCOMPARE(shownCounts(browser.window).size(), 4);
    click(browser.window, "cmdShowAny");
    QVERIFY(browser.window->search() == LogSearch());
    QCOMPARE(shownCounts(browser.window), byCallBandMode);
    QCOMPARE(browser.app.dialogs.prompts.size(), 2);
}

void TestBrowserWindow::orderChoices_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QVector<qint32>>("expected");

    QTest::newRow("call, mode, band")
        << QStringList{"optMode2"} << QVector<qint32>{6, 12, 5, 4, 8, 1, 11, 2, 9, 10, 3, 7};
    QTest::newRow("place, band, mode")
        << QStringList{"optPlace"} << QVector<qint32>{6, 9, 4, 8, 11, 7, 5, 2, 12, 3, 10, 1};
    QTest::newRow("place, mode, band") << QStringList{"optMode2", "optPlace"}
                                       << QVector<qint32>{6, 9, 7, 4, 8, 11, 5, 12, 2, 3, 1, 10};
    QTest::newRow("sub-square, band, mode")
        << QStringList{"optWWLocator"} << QVector<qint32>{11, 2, 9, 4, 10, 8, 1, 6, 5, 7, 12, 3};
    QTest::newRow("band, mode, sub-square")
        << QStringList{"optBand"} << QVector<qint32>{4, 10, 8, 1, 11, 2, 6, 9, 7, 12, 3, 5};
    QTest::newRow("back to call") << QStringList{"optBand", "optCall"} << byCallBandMode;
}

void TestBrowserWindow::orderChoices()
{
    QFETCH(QStringList, clicks);
    QFETCH(QVector<qint32>, expected);
    Browser browser;
    QVERIFY(browser.start(browserLog()));
    for (const QString &option : clicks)
        click(browser.window, qPrintable(option));
    QCOMPARE(shownCounts(browser.window), expected);
}

void TestBrowserWindow::bandGreysOutSecondaryAndKeepsIt()
{
    Browser browser;
    QVERIFY(browser.start(browserLog()));
    UtilityWindow *window = browser.window;
    auto *frame2nd = window->findChild<QGroupBox *>("frame2nd");
    auto *optMode2 = window->findChild<QRadioButton *>("optMode2");
    click(window, "optMode2");
    click(window, "optBand");
    QVERIFY(!frame2nd->isEnabled());
    QVERIFY(!optMode2->isEnabled());
    QVERIFY(!window->findChild<QRadioButton *>("optBand2")->isEnabled());
    QVERIFY(optMode2->isChecked());
    QCOMPARE(shownCounts(window), (QVector<qint32>{4, 10, 8, 1, 11, 2, 6, 9, 7, 12, 3, 5}));

    // The kept choice applies again: place, then mode, then band.
    click(window, "optPlace");
    QVERIFY(frame2nd->isEnabled());
    QVERIFY(optMode2->isChecked());
    QCOMPARE(shownCounts(window), (QVector<qint32>{6, 9, 7, 4, 8, 11, 5, 12, 2, 3, 1, 10}));
}

void TestBrowserWindow::rebuildLeavesNoLineSelected()
{
    Browser browser;
    QVERIFY(browser.start(browserLog()));
    QVERIFY(activate(browser.window));
    auto *list = browser.window->findChild<QListView *>("List");
    const QRect third = list->visualRect(list->model()->index(2, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, third.center());
    QCOMPARE(list->selectionModel()->selectedIndexes().size(), 1);
    QCOMPARE(list->selectionModel()->selectedIndexes().first().row(), 2);
    browser.window->showAny();
    QVERIFY(list->selectionModel()->selectedIndexes().isEmpty());
    QCOMPARE(shownCounts(browser.window), byCallBandMode);
}

void TestBrowserWindow::menuShowsTheLogAsItIsNow()
{
    Browser browser;
    QVERIFY(browser.start(browserLog()));
    QsoRow later = browserLog().first();
    later.count = 13;
    later.call = "HB9XYZ";
    browser.folder.addQso(later);
    QVERIFY(!browser.window->isVisible());
    browser.app.menuItem("mnUtiliy")->trigger();
    QVERIFY(browser.window->isVisible());
    QCOMPARE(browser.app.windows().find(windows::frmUtility), browser.window);
    QCOMPARE(shownCounts(browser.window).first(), 13);
    QCOMPARE(browser.window->listCounts().size(), 14);
}

void TestBrowserWindow::exitHidesAndKeepsEverything()
{
    Browser browser;
    QVERIFY(browser.start(browserLog()));
    browser.app.menuItem("mnUtiliy")->trigger();
    UtilityWindow *window = browser.window;
    click(window, "optMode2");
    click(window, "optPlace");
    browser.app.dialogs.inputs.enqueue("ik0aaa");
    click(window, "cmdCall");
    QCOMPARE(shownCounts(window), (QVector<qint32>{4, 8, 11, 2, 1}));

    click(window, "cmdExit");
    QVERIFY(!window->isVisible());
    browser.app.menuItem("mnUtiliy")->trigger();
    QCOMPARE(browser.app.window<UtilityWindow>(windows::frmUtility), window);
    QVERIFY(window->isVisible());
    QVERIFY(window->findChild<QRadioButton *>("optPlace")->isChecked());
    QVERIFY(window->findChild<QRadioButton *>("optMode2")->isChecked());
    QCOMPARE(window->search().call, QString("ik0aaa"));
    QCOMPARE(shownCounts(window), (QVector<qint32>{4, 8, 11, 2, 1}));
}

void TestBrowserWindow::closeBoxDiscardsSearchAndOrder()
{
    Browser browser;
    QVERIFY(browser.start(browserLog()));
    browser.app.menuItem("mnUtiliy")->trigger();
    QPointer<UtilityWindow> first = browser.window;
    click(first, "optBand");
    browser.app.dialogs.inputs.enqueue("IW3CCC");
    click(first, "cmdCall");
    first->close();
    QTRY_VERIFY(first.isNull());

    browser.app.menuItem("mnUtiliy")->trigger();
    auto *second = browser.app.windows().find<UtilityWindow>(windows::frmUtility);
    QVERIFY(second);
    QVERIFY(second->isVisible());
    QVERIFY(second->search() == LogSearch());
    QVERIFY(second->findChild<QRadioButton *>("optCall")->isChecked());
    QVERIFY(second->findChild<QGroupBox *>("frame2nd")->isEnabled());
    QCOMPARE(shownCounts(second), byCallBandMode);
}

void TestBrowserWindow::logChangeRebuildsWithSearchAndOrder()
{
    Browser browser;
    QVERIFY(browser.start(browserLog()));
    UtilityWindow *window = browser.window;
    click(window, "optBand");
    browser.app.dialogs.inputs.enqueue("IW3CCC");
    click(window, "cmdCall");
    QCOMPARE(shownCounts(window), (QVector<qint32>{10, 9}));

    QsoRow other = browserLog().first();
    other.count = 13;
    other.call = "IK0ZZZ";
    QsoRow same = other;
    same.count = 14;
    same.call = "iw3ccc";
    same.band = "HF";
    browser.folder.addQsos({other, same});
    browser.folder.deleteQso(9);
    browser.app.app().context().logNotifier.notifyLogChanged();

    QVERIFY(!window->isVisible());
    QCOMPARE(window->search().call, QString("IW3CCC"));
    QVERIFY(window->findChild<QRadioButton *>("optBand")->isChecked());
    QCOMPARE(shownCounts(window), (QVector<qint32>{10, 14}));
    QCOMPARE(window->listCounts().size(), 14);
}

void TestBrowserWindow::logChangeLoadsTheWindowHidden()
{
    Browser browser;
    browser.folder.addQsos(browserLog());
    QVERIFY(browser.app.start());
    QVERIFY(!browser.app.windows().find(windows::frmUtility));
    browser.app.app().context().logNotifier.notifyLogChanged();
    auto *window = browser.app.windows().find<UtilityWindow>(windows::frmUtility);
    QVERIFY(window);
    QVERIFY(!window->isVisible());
    QCOMPARE(shownCounts(window), byCallBandMode);
}

// A log longer than a screen: its first lines are listed at once, the rest arrives from the
// thread that reads it, and a QSO deleted and one logged meanwhile are followed all the same.
void TestBrowserWindow::longLogShowsItsFirstLinesAtOnce()
{
    QList<QsoRow> log;
    const int qsos = UtilityWindow::firstLines * 3 + 7;
    for (int count = 1; count <= qsos; ++count) {
        QsoRow row;
        row.count = count;
        row.locator = QString(QChar('A' + count % 24)) + QChar('A' + count / 24 % 24);
        row.call = QStringLiteral("I%1").arg(count * 7919 % qsos, 4, 10, QLatin1Char('0'));
        log << row;
    }
    Browser browser;
    QVERIFY(browser.start(log));
    UtilityWindow *window = browser.window;
    QCOMPARE(linesOf(window).size(), UtilityWindow::firstLines);
    QVERIFY(window->isListing());
    const QVector<qint32> first = shownCounts(window);

    browser.folder.deleteQso(first[3]);
    QsoRow added = log.first();
    added.count = qsos + 1;
    added.call = QStringLiteral("A0AAA");
    browser.folder.addQso(added);
    LogChange change;
    change.removed << first[3];
    change.added << added.count;
    browser.app.app().context().logNotifier.notifyLogChanged(change);
    QTRY_VERIFY(!window->isListing());

    QVector<qint32> expected;
    QSqlQuery byCall(browser.folder.log());
    QVERIFY(byCall.exec("select count from data order by call, band, mode, prov, count"));
    while (byCall.next())
        expected << byCall.value(0).toInt();
    QCOMPARE(shownCounts(window), expected);
    QCOMPARE(shownCounts(window).first(), added.count);
    QCOMPARE(window->listCounts().size(), qsos + 1);
}

// A QSO whose line changes without moving: the line is painted again where it stands.
void TestBrowserWindow::lineChangedInPlaceIsPaintedAgain()
{
    Browser browser;
    QVERIFY(browser.start(browserLog()));
    browser.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(browser.window));
    auto *list = browser.window->findChild<QListView *>("List");
    const QModelIndex last = list->model()->index(byCallBandMode.size() - 1, 0);
    const QRect where = list->visualRect(last);
    QTest::qWait(50);
    PaintedRegion painted(list->viewport());
    QSqlQuery edit(browser.folder.log());
    QVERIFY(edit.exec("update data set place = 'NUOVOPAESE' where count = 7"));
    LogChange change;
    change.changed << 7;
    browser.app.app().context().logNotifier.notifyLogChanged(change);
    QVERIFY(linesOf(browser.window).last().contains("NUOVOPAESE"));
    QTRY_VERIFY(painted.region.intersects(where));
    QCOMPARE(list->visualRect(last), where);
}

QTEST_MAIN(TestBrowserWindow)
#include "tst_browser_window.moc"
