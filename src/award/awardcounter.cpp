#include "awardcounter.h"

#include "awardthresholds.h"

#include "platform/database.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace kx47
{

namespace
{

// All eighteen figures of a mode in one pass over the index on mode, band and QSL state.
const QString countByBandAndQsl =
    QStringLiteral("select band, qsl, count(*) as contatore from data where mode = ? "
                   "group by band, qsl");

} // namespace

int AwardCounter::Figures::of(const QString &band, const QString &qsl) const
{
    const int row = bandRow(band);
    const int column = qslColumn(qsl);
    if (row < 0 || column < 0)
        return -1;
    return counts[row][column];
}

AwardCounter::AwardCounter(const Database &log) : m_log(log) {}

AwardCounter::Figures AwardCounter::count(const QString &mode) const
{
    Figures figures;
    QSqlQuery groups = m_log.run(countByBandAndQsl, {mode});
    const QSqlRecord record = groups.record();
    const int bandColumn = record.indexOf(QStringLiteral("band"));
    const int qslColumnIndex = record.indexOf(QStringLiteral("qsl"));
    const int countColumn = record.indexOf(QStringLiteral("contatore"));
    while (groups.next()) {
        const int row = bandRow(groups.value(bandColumn).toString());
        const int column = qslColumn(groups.value(qslColumnIndex).toString());
        if (row >= 0 && column >= 0)
            figures.counts[row][column] += groups.value(countColumn).toInt();
    }
    return figures;
}

QStringList AwardCounter::modes()
{
    return {QStringLiteral("MIXED"), QStringLiteral("SSB"), QStringLiteral("CW"),
            QStringLiteral("DIGITAL")};
}

QStringList AwardCounter::qslStates()
{
    return {QStringLiteral("w"), QStringLiteral("c"), QStringLiteral("a")};
}

int AwardCounter::bandRow(const QString &band)
{
    for (int row = 0; row < int(AwardThresholds::bands.size()); ++row) {
        if (band.compare(QLatin1String(AwardThresholds::bands[row].band), Qt::CaseInsensitive) == 0)
            return row;
    }
    return -1;
}

int AwardCounter::qslColumn(const QString &qsl)
{
    const QStringList states = qslStates();
    for (int column = 0; column < states.size(); ++column) {
        if (qsl.compare(states[column], Qt::CaseInsensitive) == 0)
            return column;
    }
    return -1;
}

} // namespace kx47
