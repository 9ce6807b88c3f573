#include "cardstochase.h"

#include "awardmap.h"

#include "platform/awardvocabulary.h"
#include "platform/database.h"
#include "platform/fixedwidth.h"
#include "platform/textforms.h"
#include "qso/logstore.h"

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

} // namespace

QString CardsToChase::candidatesSql(const QString &bandOrAll)
{
    return bandOrAll.isEmpty() ? candidatesAllBands : candidatesOneBand;
}

QVariantList CardsToChase::candidatesValues(const QString &bandOrAll, const QString &mode)
{
    return AwardMap::groupedValues(bandOrAll, mode);
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
    std::array<std::array<int, AwardMap::cellCount>, bandCount> chosen;
    for (auto &band : chosen)
        band.fill(-1);
    QVector<Card> cards;
    QSqlQuery rows = m_log.run(candidatesSql(bandOrAll), candidatesValues(bandOrAll, mode));
    while (rows.next()) {
        const QsoRecord qso = LogStore::recordAt(rows);
        const int band = vocabulary::bandIndex(qso.band, Qt::CaseInsensitive);
        const std::optional<std::pair<int, int>> cell = AwardMap::cellOf(qso.locator);
        if (band < 0 || !cell)
            continue;
        int &slot = chosen[band][AwardMap::index(cell->first, cell->second)];
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

QStringList CardsToChase::lines(const QVector<Card> &cards, const QString &bandOrAll,
                                const QString &mode)
{
    QStringList result{QStringLiteral("DIPLOMA KX47 cards to chase, band %1, mode %2")
                           .arg(AwardMap::bandCaption(bandOrAll), mode),
                       QString()};
    result << fixedLine({{QStringLiteral("Call"), 15},
                         {QStringLiteral("Date"), 8},
                         {QStringLiteral("Time"), 5},
                         {QStringLiteral("Sub-sq"), 6},
                         {QStringLiteral("Band"), 6},
                         {QStringLiteral("Confirmed by"), 13},
                         {QStringLiteral("Award needs"), 11}});
    for (const Card &card : cards) {
        const QsoRecord &q = card.qso;
        const QString services = AwardMap::electronicText(!q.lotw.isEmpty(), !q.eqsl.isEmpty());
        result << fixedLine({{q.call, 15},
                             {dateText(q.date), 8},
                             {listTime(q.time), 5},
                             {QStringLiteral("KX47") + q.locator.toUpper(), 6},
                             {q.band, 6},
                             {services.isEmpty() ? QStringLiteral("worked") : services, 13},
                             {QString::number(card.needed), 11}});
    }
    if (cards.isEmpty())
        result << QStringLiteral(
            "No card to chase: every sub-square worked holds a confirmed QSO.");
    return result;
}

} // namespace kx47
