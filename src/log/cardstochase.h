#pragma once

#include "qsorecord.h"

#include <QString>
#include <QVariantList>
#include <QVector>

namespace kx47
{

class Database;

// The QSL cards still to ask for: for one band category (or all of them) and one mode, each
// sub-square that holds no confirmed or accredited QSO but a worked one, with the QSO most worth
// a card request (one confirmed by LoTW or eQSL first, else the earliest). The bands nearest to
// their next award (base award, then each endorsement) come first; within a band the QSOs
// confirmed electronically, then by sub-square.
class CardsToChase
{
public:
    struct Card {
        QsoRecord qso;
        int needed = 0; // confirmed QSOs the band still needs for its next award
    };

    explicit CardsToChase(const Database &log) : m_log(log) {}

    // bandOrAll: a band category of the award, or an empty text for all of them.
    QVector<Card> list(const QString &bandOrAll, const QString &mode) const;

    // The statement list() reads the candidates with, and its values in bind order.
    static QString candidatesSql(const QString &bandOrAll);
    static QVariantList candidatesValues(const QString &bandOrAll, const QString &mode);

private:
    const Database &m_log;
};

} // namespace kx47
