// The log browser and the award counter on a log of 100,000 QSOs: listing the whole log and one
// call, recounting, showing and scrolling the window, and the memory of the listed log; beside
// them the sqlite3 tool's own time for the same statements on the same file.
//
//     bench_browser [qsos [folder]]     (the log is kept in folder when one is given)
#include "benchapp.h"
#include "benchlog.h"
#include "figures.h"
#include "logfactory.h"
#include "sqlitecli.h"
#include "timing.h"

#include "award/awardcounter.h"
#include "award/awardthresholds.h"
#include "award/awardwindow.h"
#include "browser/loglinesmodel.h"
#include "browser/logquery.h"
#include "browser/utilitywindow.h"
#include "platform/database.h"
#include "platform/windownames.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <cstdio>
#include <random>
#include <unistd.h>

using namespace kx47;
using namespace kx47::bench;

namespace
{

const int listingRuns = 7;
const int countRuns = 101;
const int showRuns = 7;
const int scrollRuns = 50;

void heading(const QString &title)
{
    print(QStringLiteral("\n%1\n  %2 %3 %4   %5 %6   %7 %8")
              .arg(title)
              .arg(QString(), -46)
              .arg(QStringLiteral("wall ms"), 10)
              .arg(QStringLiteral("cpu ms"), 10)
              .arg(QStringLiteral("sqlite3"), 10)
              .arg(QStringLiteral("cpu ms"), 10)
              .arg(QStringLiteral("ratio"), 6)
              .arg(QStringLiteral("cpu"), 6));
}

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
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * sysconf(_SC_PAGESIZE) / (1024.0 * 1024.0) : 0;
}

// Reads every row of the listing's statement with the columns looked up once, keeping nothing:
// the engine and driver share of a listing.
Timing::Run rawRead(const Database &log, const LogQuery &query)
{
    return Timing::medianOf(listingRuns, [&] {
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

// Paint events of the list, to know when the window has been drawn with it.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

Timing::Run showUntilPainted(QWidget *window, PaintCounter &counter)
{
    return Timing::runs(1,
                        [&] {
                            QElapsedTimer clock;
                            clock.start();
                            counter.paints = 0;
                            window->show();
                            while (counter.paints == 0 && clock.elapsed() < 5000)
                                QCoreApplication::processEvents(QEventLoop::AllEvents);
                        })
        .first();
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

    BenchApp bench(log.folder());
    if (!bench.start()) {
        print(QStringLiteral("the program did not start"));
        return 1;
    }
    AppContext &context = bench.context();

    heading(QStringLiteral("Log browser (frmUtility)"));
    const double rssBefore = residentMegabytes();
    const Timing::Run load =
        Timing::runs(1, [&] { context.windows.get<UtilityWindow>(windows::frmUtility); }).first();
    const double rssAfter = residentMegabytes();
    auto *browser = context.windows.get<UtilityWindow>(windows::frmUtility);
    auto *list = browser->findChild<QListView *>(QStringLiteral("List"));
    auto *model = qobject_cast<LogLinesModel *>(list->model());
    figure(QStringLiteral("window made, whole log listed (once)"), load);

    const LogQuery wholeLog(LogOrderKey::Call, LogSecondaryOrder::BandMode, true, LogSearch());
    const Timing::Run whole = Timing::medianOf(listingRuns, [&] { browser->showAny(); });
    // The tool's time is taken on the statement with text columns, its fastest form; the
    // listing's own statement, which fetches the stored bytes, costs the tool more.
    const Timing::Run wholeTool = SqliteCli::medianMs(
        logPath, SqliteCli::withValues(wholeLog.sql(), wholeLog.values()), listingRuns);
    figure(QStringLiteral("showAny, whole log (%1 lines)").arg(model->rowCount()), whole,
           &wholeTool);
    const Timing::Run bytesTool = SqliteCli::medianMs(
        logPath, SqliteCli::withValues(wholeLog.storedBytesSql(), wholeLog.values()), listingRuns);
    figure(QStringLiteral("  of which reading the rows (stored bytes)"),
           rawRead(context.log, wholeLog), &bytesTool);

    bench.inputs.enqueue(LogFactory::frequentCall());
    browser->findChild<QPushButton *>(QStringLiteral("cmdCall"))->click();
    const LogQuery callSearch(LogOrderKey::Call, LogSecondaryOrder::BandMode, true,
                              LogSearch::byCall(LogFactory::frequentCall()));
    const Timing::Run call = Timing::medianOf(listingRuns * 3, [&] { browser->showAny(); });
    const Timing::Run callTool = SqliteCli::medianMs(
        logPath, SqliteCli::withValues(callSearch.sql(), callSearch.values()), listingRuns * 3);
    figure(QStringLiteral("showAny, call %1 (%2 lines)")
               .arg(LogFactory::frequentCall())
               .arg(model->rowCount()),
           call, &callTool);
    browser->findChild<QPushButton *>(QStringLiteral("cmdShowAny"))->click();

    PaintCounter painted;
    list->viewport()->installEventFilter(&painted);
    figure(QStringLiteral("first paint of the window with the list"),
           showUntilPainted(browser, painted));
    QVector<Timing::Run> shows;
    for (int i = 0; i < showRuns; ++i) {
        browser->hide();
        QCoreApplication::processEvents();
        shows << showUntilPainted(browser, painted);
    }
    pauses(QStringLiteral("shown again and painted"), shows);

    std::mt19937 random(47);
    QScrollBar *scrollBar = list->verticalScrollBar();
    pauses(QStringLiteral("scrolled to a random line and painted"), Timing::runs(scrollRuns, [&] {
               scrollBar->setValue(
                   std::uniform_int_distribution<int>(0, scrollBar->maximum())(random));
               list->viewport()->repaint();
           }));
    pauses(QStringLiteral("page down and painted"), Timing::runs(scrollRuns, [&] {
               QTest::keyClick(list, Qt::Key_PageDown);
               list->viewport()->repaint();
           }));

    print(QStringLiteral("  memory of the listed log: %1 MB resident growth while listing, "
                         "%2 MB in the lines, %3 KB line index")
              .arg(rssAfter - rssBefore, 0, 'f', 1)
              .arg(double(model->lines().bytes()) / (1024.0 * 1024.0), 0, 'f', 1)
              .arg(browser->listCounts().size() * sizeof(qint32) / 1024.0, 0, 'f', 0));

    heading(QStringLiteral("Award counter (frmAward)"));
    auto *counter = context.windows.get<AwardWindow>(windows::frmAward);
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

    print(QStringLiteral("\nGoals at 100,000 QSOs: conta within 3 ms; showAny of the whole log "
                         "within 1.5 times the raw query; no pause above 100 ms when shown or "
                         "scrolled; the listed log under 60 MB."));
    return 0;
}
