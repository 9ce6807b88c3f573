#include "cardstochase.h"

#include "awardvocabulary.h"
#include "logstore.h"

#include "storage/database.h"

#include <QSqlQuery>
#include <algorithm>
#include <array>

namespace kx47
{

namespace
{

// The worked QSOs of the sub-squares that hold no confirmed or accredited QSO on their band and
// mode; the look-up of a holder follows the index on (mode, band, qsl, WWLocator).
const QString candidatesWhere = QStringLiteral(
    " and qsl = 'w' and not exists (select 1 from data h where h.mode = data.mode and h.band = "
    "data.band and h.qsl in ('c', 'a') and h.WWLocator = data.WWLocator)");
const QString candidatesOneBand = QStringLiteral("select %1 from data where mode = ? and band = ?")
                                      .arg(QLatin1String(LogStore::qsoColumns)) +
                                  candidatesWhere;
const QString candidatesAllBands =
    QStringLiteral("select %1 from data where mode = ?").arg(QLatin1String(LogStore::qsoColumns)) +
    candidatesWhere;
// Confirmed and accredited QSOs per band, from the same index.
const QString heldSql = QStringLiteral(
    "select band, qsl, count(*) from data where mode = ? and qsl in ('c', 'a') group by band, "
    "qsl");

bool isElectronic(const QsoRecord &qso)
{
    return !qso.lotw.isEmpty() || !qso.eqsl.isEmpty();
}

// Whether a is more worth a card request than b, of one sub-square and band.
bool worthMore(const QsoRecord &a, const QsoRecord &b)
{
    if (isElectronic(a) != isElectronic(b))
        return isElectronic(a);
    if (a.date != b.date)
        return a.date < b.date;
    if (a.time != b.time)
        return a.time < b.time;
    return a.count < b.count;
}

constexpr int bandCount = int(vocabulary::bands.size());
constexpr int side = 24; // sub-squares A..X a side

// The place of a sub-square's two letters A..X (any case) among the square's; -1 for others.
int cellOf(const QString &letters)
{
    if (letters.size() != 2)
        return -1;
    const char16_t column = letters[0].toUpper().unicode();
    const char16_t row = letters[1].toUpper().unicode();
    if (column < u'A' || column > u'X' || row < u'A' || row > u'X')
        return -1;
    return int(column - u'A') * side + int(row - u'A');
}

} // namespace

QString CardsToChase::candidatesSql(const QString &bandOrAll)
{
    return bandOrAll.isEmpty() ? candidatesAllBands : candidatesOneBand;
}

QVariantList CardsToChase::candidatesValues(const QString &bandOrAll, const QString &mode)
{
    if (bandOrAll.isEmpty())
        return {mode};
    return {mode, bandOrAll};
}

QVector<CardsToChase::Card> CardsToChase::list(const QString &bandOrAll, const QString &mode) const
{
    // The confirmed QSOs each band still needs for its next award.
    std::array<int, bandCount> confirmed{};
    std::array<int, bandCount> accredited{};
    QSqlQuery held = m_log.run(heldSql, {mode});
    while (held.next()) {
        const int band = vocabulary::bandIndex(held.value(0).toString(), Qt::CaseInsensitive);
        if (band < 0)
            continue;
        const bool isAccredited =
            vocabulary::isQsl(held.value(1).toString(), vocabulary::QslState::Accredited);
        (isAccredited ? accredited : confirmed)[band] += held.value(2).toInt();
    }
    std::array<int, bandCount> needed{};
    for (int band = 0; band < bandCount; ++band) {
        const vocabulary::Band &entry = vocabulary::bands[band];
        needed[band] = accredited[band] >= entry.base
                           ? std::max(0, entry.endorsement - confirmed[band])
                           : std::max(0, entry.base - confirmed[band]);
    }

    // One QSO per band and sub-square.
    std::array<std::array<int, side * side>, bandCount> chosen;
    for (auto &band : chosen)
        band.fill(-1);
    QVector<Card> cards;
    QSqlQuery rows = m_log.run(candidatesSql(bandOrAll), candidatesValues(bandOrAll, mode));
    while (rows.next()) {
        const QsoRecord qso = LogStore::recordAt(rows);
        const int band = vocabulary::bandIndex(qso.band, Qt::CaseInsensitive);
        const int cell = cellOf(qso.locator);
        if (band < 0 || cell < 0)
            continue;
        int &slot = chosen[band][cell];
        if (slot < 0) {
            slot = cards.size();
            cards.append({qso, needed[band]});
        } else if (worthMore(qso, cards[slot].qso)) {
            cards[slot].qso = qso;
        }
    }
    std::sort(cards.begin(), cards.end(), [](const Card &a, const Card &b) {
        if (a.needed != b.needed)
            return a.needed < b.needed;
        const int bandA = vocabulary::bandIndex(a.qso.band, Qt::CaseInsensitive);
        const int bandB = vocabulary::bandIndex(b.qso.band, Qt::CaseInsensitive);
        if (bandA != bandB)
            return bandA < bandB;
        if (isElectronic(a.qso) != isElectronic(b.qso))
            return isElectronic(a.qso);
        return a.qso.locator.compare(b.qso.locator, Qt::CaseInsensitive) < 0;
    });
    return cards;
}

} // namespace kx47
