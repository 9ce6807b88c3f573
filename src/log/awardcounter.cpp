#include "awardcounter.h"

#include "log/awardvocabulary.h"
#include "storage/database.h"

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
    for (int row = 0; row < int(vocabulary::bands.size()); ++row) {
        const QString band = QString::fromLatin1(vocabulary::bands[row].name);
        for (int column = 0; column < states.size(); ++column)
            figures.counts[row][column] = m_log.count(countOfCell, {mode, band, states[column]});
    }
    return figures;
}

QStringList AwardCounter::modes()
{
    return vocabulary::modeNames();
}

QStringList AwardCounter::qslStates()
{
    return vocabulary::qslLetters();
}

int AwardCounter::bandRow(const QString &band)
{
    return vocabulary::bandIndex(band, Qt::CaseInsensitive);
}

int AwardCounter::qslColumn(const QString &qsl)
{
    const std::optional<vocabulary::QslState> state = vocabulary::qslStateOf(qsl);
    return state ? int(*state) : -1;
}

} // namespace kx47
