// The award map on a log of 100,000 QSOs: computing the map for one band and mode (and for all
// bands), beside the sqlite3 tool's own time for the same grouped statement on the same file;
// refreshing the window and painting it.
//
//     bench_map [qsos [folder]]     (the log is kept in folder when one is given)
#include "benchapp.h"
#include "benchlog.h"
#include "figures.h"
#include "sqlitecli.h"
#include "timing.h"

#include "log/logreads.h"
#include "map/awardmap.h"
#include "map/awardmapwindow.h"
#include "platform/appcontext.h"
#include "platform/windownames.h"
#include "platform/windowregistry.h"

#include <QApplication>
#include <QComboBox>
#include <QPixmap>
#include <cstdio>

using namespace kx47;
using namespace kx47::bench;

namespace
{

const int computeRuns = 101;
const int paintRuns = 51;

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApp(argc, argv);

    BenchLog log(argc, argv);
    if (!log.build())
        return 1;
    BenchApp bench(log.folder());
    if (!bench.start()) {
        print(QStringLiteral("the program did not start"));
        return 1;
    }
    AppContext &context = bench.context();
    const AwardMap map(context.log, context.places);

    figureHeadings(QStringLiteral("Award map (frmAwardMap)"));
    const QStringList bands{QStringLiteral("HF"), QStringLiteral("SAT"), QString()};
    for (const QString &band : bands) {
        const QString mode = QStringLiteral("MIXED");
        int cells = 0;
        const Timing::Run ours = Timing::medianOf(computeRuns, [&] {
            const AwardMap::Data data = map.compute(band, mode);
            cells = data.worked + data.confirmed + data.accredited;
        });
        const Timing::Run tool = SqliteCli::medianMs(
            log.logPath(),
            SqliteCli::withValues(LogReads::groupedSql(band), LogReads::groupedValues(band, mode)) +
                QLatin1Char(';'),
            computeRuns);
        figure(QStringLiteral("map of %1, MIXED (%2 sub-squares with QSOs)")
                   .arg(AwardMap::bandCaption(band))
                   .arg(cells),
               ours, &tool);
    }

    const Timing::Run made =
        Timing::runs(1, [&] { context.windows.get<AwardMapWindow>(windows::frmAwardMap); }).first();
    figure(QStringLiteral("window made (gazetteer read, map computed)"), made);
    auto *window = context.windows.get<AwardMapWindow>(windows::frmAwardMap);
    window->resize(900, 700);
    window->show();
    QCoreApplication::processEvents();

    figure(QStringLiteral("refresh after a change of the log"),
           Timing::medianOf(computeRuns, [&] { window->refresh(); }));
    figure(QStringLiteral("paint the whole window (900 x 700)"),
           Timing::medianOf(paintRuns, [&] { window->repaint(); }));
    QPixmap pixmap(window->size());
    figure(QStringLiteral("render the whole window into a pixmap"),
           Timing::medianOf(paintRuns, [&] { window->render(&pixmap); }));
    window->findChild<QComboBox *>(QStringLiteral("comboBand"))->setCurrentIndex(6);
    figure(QStringLiteral("paint the whole window, all bands"),
           Timing::medianOf(paintRuns, [&] { window->repaint(); }));
    return 0;
}
