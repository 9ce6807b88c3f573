// The log browser and the award counter on a log of 100,000 QSOs (or as many as asked): opening
// the browser, changing its order and searching, each to the first screen of lines and to the
// whole list, with the longest time the window could not answer; a QSO submitted, edited and
// deleted with the browser and the counter open; recounting, scrolling and the memory of the
// listed log; beside them the sqlite3 tool's own time for the same statements on the same file.
//
//     bench_browser [qsos [folder [busy]]]
//
// The log is kept in folder when one is given; with "busy", a helper process spins on another
// core for the whole run, as a build beside the program would.
#include "benchapp.h"
#include "benchlog.h"
#include "busycore.h"
#include "figures.h"
#include "logfactory.h"
#include "processmemory.h"
#include "sqlitecli.h"
#include "timing.h"

#include "award/awardwindow.h"
#include "browser/loglinesmodel.h"
#include "browser/loglisting.h"
#include "browser/qsoactions.h"
#include "browser/utilitywindow.h"
#include "log/awardcounter.h"
#include "log/awardthresholds.h"
#include "log/awardvocabulary.h"
#include "log/logchange.h"
#include "log/lognotifier.h"
#include "log/logquery.h"
#include "log/logstore.h"
#include "platform/windownames.h"
#include "qso/entrymode.h"
#include "qso/qsoentry.h"
#include "qso/qsosubmission.h"
#include "storage/database.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <random>

using namespace kx47;
using namespace kx47::bench;

namespace
{

const int countRuns = 101;
const int scrollRuns = 50;

// The worst and the median of a series of pauses.
void pauses(const QString &what, const QVector<Timing::Run> &runs)
{
    figure(what + QStringLiteral(" (median)"),
           {Timing::median(Timing::wall(runs)), Timing::median(Timing::cpu(runs))});
    figure(what + QStringLiteral(" (worst)"),
           {Timing::maximum(Timing::wall(runs)), Timing::maximum(Timing::cpu(runs))});
}

double residentMegabytes()
{
    return residentKb() / 1024.0;
}

// Reads every row of the listing's statement with the columns looked up once, keeping nothing:
// the engine and driver share of a listing.
Timing::Run rawRead(const Database &log, const LogQuery &query, int runs)
{
    return Timing::medianOf(runs, [&] {
        QSqlQuery rows = log.run(query.storedBytesSql(), query.values());
        const QSqlRecord record = rows.record();
        QVector<int> columns;
        for (int i = 0; i < record.count(); ++i)
            columns << i;
        qint64 size = 0;
        while (rows.next()) {
            for (int column : columns)
                size += rows.value(column).toByteArray().size();
        }
        if (size == 0)
            print(QStringLiteral("  (no rows read)"));
    });
}

// The longest time between two turns of the event loop while it runs: how long at most the
// windows could not answer the user.
class StallProbe : public QObject
{
public:
    StallProbe()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            m_longest = qMax(m_longest, m_clock.nsecsElapsed() / 1e6);
            m_clock.restart();
        });
    }
    void start()
    {
        m_longest = 0;
        m_clock.start();
        m_timer.start();
    }
    double stop()
    {
        m_timer.stop();
        return qMax(m_longest, m_clock.nsecsElapsed() / 1e6);
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    double m_longest = 0;
};

void turnEventLoop(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
}

// From an action of the user in the browser: its first screen of lines painted, the whole list
// there, and the longest stall of the event loop meanwhile.
struct Listed {
    double firstScreen = 0;
    double whole = 0;
    double stall = 0;
};

Listed measureListing(UtilityWindow *browser, QListView *list, const std::function<void()> &action)
{
    StallProbe probe;
    probe.start();
    turnEventLoop(20);
    QElapsedTimer clock;
    clock.start();
    Listed listed;
    action();
    // First lines the window left to the background arrive from there.
    while (list->model()->rowCount() == 0 && browser->isListing() && clock.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    list->viewport()->repaint();
    listed.firstScreen = clock.nsecsElapsed() / 1e6;
    while (browser->isListing() && clock.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    list->viewport()->repaint();
    listed.whole = clock.nsecsElapsed() / 1e6;
    listed.stall = probe.stop();
    return listed;
}

void listingFigures(const QString &what, const QVector<Listed> &runs, int lines)
{
    QVector<double> first, whole, stalls;
    for (const Listed &run : runs) {
        first << run.firstScreen;
        whole << run.whole;
        stalls << run.stall;
    }
    print(QStringLiteral("  %1 %2 %3 %4")
              .arg(QStringLiteral("%1 (%2 lines)").arg(what).arg(lines), -46)
              .arg(Timing::ms(Timing::median(first)), 10)
              .arg(Timing::ms(Timing::median(whole)), 10)
              .arg(Timing::ms(Timing::maximum(stalls)), 10));
}

// A band and mode for which sub-square AA holds no accredited QSO: a QSO logged there is
// saved.
struct Slot {
    QString band;
    QString mode;
};

QsoEntry entryFor(int i, const QString &prov, const QVector<Slot> &freeSlots)
{
    QsoEntry entry;
    // The gazetteer holds the place in sub-square AA; the QSOs go to different bands and modes.
    entry.locator = QStringLiteral("AA");
    entry.call = QStringLiteral("IW%1XYZ").arg(i % 10);
    entry.day = QStringLiteral("7");
    entry.month = QStringLiteral("12");
    entry.year = QStringLiteral("26");
    entry.time = QStringLiteral("0930");
    entry.place = LogFactory::frequentPlace();
    entry.prov = prov;
    entry.mode = freeSlots[i % freeSlots.size()].mode;
    entry.band = freeSlots[i % freeSlots.size()].band;
    entry.confirmed = false;
    return entry;
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApp(argc, argv);

    BenchLog log(argc, argv);
    if (!log.build())
        return 1;
    const QString logPath = log.logPath();
    const BusyCore busy(BusyCore::asked(argc, argv));

    BenchApp bench(log.folder());
    if (!bench.start()) {
        print(QStringLiteral("the program did not start"));
        return 1;
    }
    AppContext &context = bench.context();

    print(QStringLiteral("\nLog browser (frmUtility): an action's first screen of lines painted, "
                         "the whole list there,\nand the longest stall of the event loop "
                         "meanwhile\n  %1 %2 %3 %4")
              .arg(QString(), -46)
              .arg(QStringLiteral("first ms"), 10)
              .arg(QStringLiteral("whole ms"), 10)
              .arg(QStringLiteral("stall ms"), 10));
    const double rssBefore = residentMegabytes();
    UtilityWindow *browser = nullptr;
    QListView *list = nullptr;
    // The first time the window is made as well, its first lines read as it is made.
    QElapsedTimer made;
    made.start();
    browser = qobject_cast<UtilityWindow *>(context.windows.show(windows::frmUtility));
    list = browser->findChild<QListView *>(QStringLiteral("List"));
    list->viewport()->repaint();
    const double madeMs = made.nsecsElapsed() / 1e6;
    while (browser->isListing())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    print(QStringLiteral("  %1 %2 %3")
              .arg(QStringLiteral("window made and shown, first screen"), -46)
              .arg(Timing::ms(madeMs), 10)
              .arg(Timing::ms(made.nsecsElapsed() / 1e6), 10));
    auto *model = qobject_cast<LogLinesModel *>(list->model());
    const double rssListed = residentMegabytes();

    // At a million QSOs each whole listing takes seconds to arrive: fewer runs.
    const int orderRuns = log.qsos() >= 1000000 ? 1 : log.qsos() > 300000 ? 2 : 5;
    QVector<Listed> opens;
    for (int i = 0; i < orderRuns; ++i) {
        browser->hide();
        turnEventLoop(10);
        // As the main menu opens it: shown, and listed afresh.
        opens << measureListing(browser, list, [&] { context.windows.show(windows::frmUtility); });
    }
    listingFigures(QStringLiteral("Utility QSO opened"), opens, model->rowCount());
    const QStringList orders{QStringLiteral("optPlace"), QStringLiteral("optWWLocator"),
                             QStringLiteral("optBand"), QStringLiteral("optCall")};
    for (const QString &order : orders) {
        auto *option = browser->findChild<QRadioButton *>(order);
        QVector<Listed> runs;
        for (int i = 0; i < orderRuns; ++i) {
            runs << measureListing(browser, list, [&] {
                if (option->isChecked())
                    browser->showAny();
                else
                    option->setChecked(true);
            });
        }
        listingFigures(QStringLiteral("order by %1").arg(option->text()), runs, model->rowCount());
    }
    const auto searched = [&](const QString &button, const QString &answer) {
        QVector<Listed> runs;
        for (int i = 0; i < orderRuns; ++i) {
            bench.inputs.enqueue(answer);
            runs << measureListing(browser, list,
                                   [&] { browser->findChild<QPushButton *>(button)->click(); });
        }
        listingFigures(QStringLiteral("search %1").arg(answer), runs, model->rowCount());
    };
    searched(QStringLiteral("cmdCall"), LogFactory::frequentCall());
    searched(QStringLiteral("cmdWWLocator"), QStringLiteral("AA"));
    QVector<Listed> showAll;
    for (int i = 0; i < orderRuns; ++i) {
        showAll << measureListing(browser, list, [&] {
            browser->findChild<QPushButton *>(QStringLiteral("cmdShowAny"))->click();
        });
    }
    listingFigures(QStringLiteral("Show any QSO"), showAll, model->rowCount());

    figureHeadings(QStringLiteral("Listing beside the engine"));
    const LogQuery wholeLog(LogOrderKey::Call, LogSecondaryOrder::BandMode, true, LogSearch());
    const int listingRuns = log.qsos() >= 1000000 ? 1 : log.qsos() > 300000 ? 3 : 7;
    const int firstRuns = 21;
    const Timing::Run wholeTool = SqliteCli::medianMs(
        logPath, SqliteCli::withValues(wholeLog.storedBytesSql(), wholeLog.values()), listingRuns);
    figure(QStringLiteral("whole log read and listed (%1 lines)").arg(model->rowCount()),
           Timing::medianOf(listingRuns, [&] { LogListing::read(context.log, wholeLog); }),
           &wholeTool);
    figure(QStringLiteral("  of which reading the rows (stored bytes)"),
           rawRead(context.log, wholeLog, listingRuns), &wholeTool);
    bool complete = false;
    const Timing::Run firstTool = SqliteCli::medianMs(
        logPath,
        SqliteCli::withValues(wholeLog.firstLinesSql(),
                              wholeLog.firstLinesValues(UtilityWindow::firstLines + 1)),
        firstRuns);
    figure(QStringLiteral("first %1 lines").arg(UtilityWindow::firstLines),
           Timing::medianOf(firstRuns,
                            [&] {
                                LogListing::readFirst(context.log, wholeLog,
                                                      UtilityWindow::firstLines, &complete);
                            }),
           &firstTool);

    // A change of the log with the browser and the counter open: the program's work from the
    // click to both windows painted, and of it the database's work alone.
    auto *counter = context.windows.get<AwardWindow>(windows::frmAward);
    counter->show();
    browser->show();
    // As the user has them: the counter has read its tally of the log while the program waited
    // (in stretches of 10,000 numbers, each a short turn of the event loop).
    turnEventLoop(qMax(200, log.qsos() / 100));
    print(QStringLiteral("\nA change with the browser and the counter open: from the click to "
                         "both painted, and the longest\nstall of the event loop from the first "
                         "click to the windows done with the last change\n  %1 %2 %3 %4 %5 %6")
              .arg(QString(), -46)
              .arg(QStringLiteral("median ms"), 10)
              .arg(QStringLiteral("worst ms"), 10)
              .arg(QStringLiteral("database"), 10)
              .arg(QStringLiteral("windows"), 10)
              .arg(QStringLiteral("stall ms"), 10));
    const int changeRuns = 25;
    const auto painted = [&] {
        list->viewport()->repaint();
        counter->repaint();
    };
    // Each change as its click makes it: the database's work, then the windows told.
    const auto changeFigures = [&](const QString &what,
                                   const std::function<std::optional<LogChange>(int)> &change) {
        QVector<double> whole, database, following;
        int failed = 0;
        StallProbe probe;
        probe.start();
        for (int i = 0; i < changeRuns; ++i) {
            QElapsedTimer clock;
            clock.start();
            const std::optional<LogChange> changed = change(i);
            if (!changed) {
                ++failed;
                continue;
            }
            database << clock.nsecsElapsed() / 1e6;
            context.logNotifier.notifyLogChanged(*changed);
            following << clock.nsecsElapsed() / 1e6 - database.last();
            painted();
            whole << clock.nsecsElapsed() / 1e6;
            // The list laid out again after the change, in stretches.
            turnEventLoop(log.qsos() / 5000 + 5);
        }
        const double stall = probe.stop();
        if (whole.isEmpty()) {
            print(QStringLiteral("  %1 failed every time").arg(what));
            return;
        }
        print(QStringLiteral("  %1 %2 %3 %4 %5 %6%7")
                  .arg(what, -46)
                  .arg(Timing::ms(Timing::median(whole)), 10)
                  .arg(Timing::ms(Timing::maximum(whole)), 10)
                  .arg(Timing::ms(Timing::median(database)), 10)
                  .arg(Timing::ms(Timing::median(following)), 10)
                  .arg(Timing::ms(stall), 10)
                  .arg(failed ? QStringLiteral("  (%1 refused)").arg(failed) : QString()));
    };
    QVector<qint64> submitted;
    QString prov;
    {
        QSqlQuery place =
            context.places.run(QStringLiteral("select prov from places where place = ?"),
                               {LogFactory::frequentPlace()});
        if (place.next())
            prov = place.value(0).toString();
    }
    QVector<Slot> freeSlots;
    for (const vocabulary::Band &band : vocabulary::bands) {
        for (const char *mode : vocabulary::modes) {
            if (!LogStore(context.log)
                     .accreditedExists(QStringLiteral("AA"), QString::fromLatin1(band.name),
                                       QString::fromLatin1(mode)))
                freeSlots.append({QString::fromLatin1(band.name), QString::fromLatin1(mode)});
        }
    }
    if (freeSlots.isEmpty())
        freeSlots.append({QStringLiteral("HF"), QStringLiteral("CW")});
    QsoSubmission inserting(context.log, context.dialogs, EntryMode::insertQso());
    changeFigures(QStringLiteral("Submit of a new QSO"), [&](int i) {
        const std::optional<LogChange> change = inserting.submit(entryFor(i, prov, freeSlots));
        if (change)
            submitted << change->added;
        return change;
    });
    QsoSubmission editing(context.log, context.dialogs, EntryMode::editQso());
    changeFigures(QStringLiteral("Submit of an edited QSO"),
                  [&](int i) -> std::optional<LogChange> {
                      if (i >= submitted.size())
                          return std::nullopt;
                      QsoEntry entry = entryFor(i + 7, prov, freeSlots);
                      entry.call = QStringLiteral("ZZ%1EDIT").arg(i);
                      return editing.submit(entry, int(submitted[i]));
                  });
    // As Delete QSO does it once the question is answered.
    changeFigures(QStringLiteral("Delete QSO"), [&](int i) -> std::optional<LogChange> {
        if (i >= submitted.size())
            return std::nullopt;
        return LogStore(context.log).write([&](LogStore::Batch &batch) {
            batch.remove(submitted[i]);
        });
    });

    std::mt19937 random(47);
    QScrollBar *scrollBar = list->verticalScrollBar();
    figureHeadings(QStringLiteral("Scrolling"));
    pauses(QStringLiteral("scrolled to a random line and painted"), Timing::runs(scrollRuns, [&] {
               scrollBar->setValue(
                   std::uniform_int_distribution<int>(0, scrollBar->maximum())(random));
               list->viewport()->repaint();
           }));
    pauses(QStringLiteral("page down and painted"), Timing::runs(scrollRuns, [&] {
               QTest::keyClick(list, Qt::Key_PageDown);
               list->viewport()->repaint();
           }));

    print(QStringLiteral("\n  memory of the listed log: %1 MB resident growth from before the "
                         "browser was opened to its whole list, %2 MB in the lines, %3 KB line "
                         "index")
              .arg(rssListed - rssBefore, 0, 'f', 1)
              .arg(double(model->lines().bytes()) / (1024.0 * 1024.0), 0, 'f', 1)
              .arg(browser->listCounts().size() * sizeof(qint32) / 1024.0, 0, 'f', 0));

    figureHeadings(QStringLiteral("Award counter (frmAward)"));
    QStringList counts;
    for (const AwardThresholds::Band &band : AwardThresholds::bands) {
        for (const QString &qsl : AwardCounter::qslStates())
            counts << QStringLiteral("select count(*) as contatore from data where mode = 'MIXED' "
                                     "and band = '%1' and qsl = '%2';")
                          .arg(QLatin1String(band.name), qsl);
    }
    const Timing::Run countsTool = SqliteCli::medianMs(logPath, counts, countRuns);
    figure(QStringLiteral("conta, MIXED (18 counts, labels set)"),
           Timing::medianOf(countRuns, [&] { counter->conta(); }), &countsTool);
    const AwardCounter counting(context.log);
    figure(QStringLiteral("  of which counting"),
           Timing::medianOf(countRuns, [&] { counting.count(QStringLiteral("MIXED")); }),
           &countsTool);
    const QString grouped =
        QStringLiteral("select band, qsl, count(*) as contatore from data where mode = ? "
                       "group by band, qsl");
    const Timing::Run groupedTool = SqliteCli::medianMs(
        logPath, SqliteCli::withValues(grouped, {QStringLiteral("MIXED")}) + ";", countRuns);
    figure(QStringLiteral("  beside: one query grouped by band and state"),
           Timing::medianOf(countRuns,
                            [&] {
                                QSqlQuery groups =
                                    context.log.run(grouped, {QStringLiteral("MIXED")});
                                while (groups.next()) {
                                }
                            }),
           &groupedTool);

    print(QStringLiteral(
        "\nGoals: conta within 3 ms at 100,000 QSOs; a change shown by the browser and the "
        "counter within 50 ms at 100,000 QSOs and 100 ms at 1,000,000; the first screen of "
        "lines within 200 ms and no stall above 100 ms at 1,000,000; the browser's memory "
        "under 150 MB at 1,000,000."));
    return 0;
}
