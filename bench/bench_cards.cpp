// The cards still to chase on a log of 100,000 QSOs, one in seven of its worked QSOs confirmed
// by LoTW or eQSL: the list for one band and mode and for all bands, beside the sqlite3 tool's
// own time for the statement that reads the candidates from the same file.
//
//     bench_cards [qsos [folder]]     (the log is kept in folder when one is given)
#include "benchlog.h"
#include "figures.h"
#include "sqlitecli.h"
#include "timing.h"

#include "log/cardstochase.h"
#include "storage/database.h"
#include "storage/schema.h"

#include <QCoreApplication>

using namespace kx47;
using namespace kx47::bench;

namespace
{

const int runs = 51;

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication qtApp(argc, argv);
    BenchLog log(argc, argv);
    if (!log.build())
        return 1;
    Database data(QStringLiteral("bench-cards"));
    QString error;
    if (!data.open(log.logPath(), &error)) {
        print(QStringLiteral("the log cannot be opened: %1").arg(error));
        return 1;
    }
    Schema::upgrade(data, Schema::File::Log);
    data.run(QStringLiteral("update data set lotw = 'Y', lotwDate = '2024-03-04' where qsl = 'w' "
                            "and count % 7 = 0"));
    data.run(QStringLiteral("update data set eqsl = 'Y' where qsl = 'w' and count % 7 = 3"));

    const CardsToChase chase(data);
    figureHeadings(QStringLiteral("Cards to chase (frmCardsToChase)"));
    for (const QString &band : {QStringLiteral("HF"), QStringLiteral("SAT"), QString()}) {
        const QString mode = QStringLiteral("MIXED");
        int cards = 0;
        const Timing::Run ours =
            Timing::medianOf(runs, [&] { cards = chase.list(band, mode).size(); });
        const Timing::Run tool =
            SqliteCli::medianMs(log.logPath(),
                                SqliteCli::withValues(CardsToChase::candidatesSql(band),
                                                      CardsToChase::candidatesValues(band, mode)) +
                                    QLatin1Char(';'),
                                runs);
        figure(QStringLiteral("list of %1, MIXED (%2 cards)")
                   .arg(band.isEmpty() ? QStringLiteral("all bands") : band)
                   .arg(cards),
               ours, &tool);
    }
    return 0;
}
