#include "awardcounter.h"

#include "awardthresholds.h"

#include "platform/database.h"

namespace kx47
{

namespace
{

// One figure: a range of the index on mode, band and QSL state. Eighteen of these are faster
// than one query grouped by band and state.
const QString countOfCell = QStringLiteral(
    "select count(*) as contatore from data where mode = ? and band = ? and qsl = ?");

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
    const QStringList states = qslStates();
    for (int row = 0; row < int(AwardThresholds::bands.size()); ++row) {
        const QString band = QString::fromLatin1(AwardThresholds::bands[row].band);
        for (int column = 0; column < states.size(); ++column)
            figures.counts[row][column] = m_log.count(countOfCell, {mode, band, states[column]});
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
