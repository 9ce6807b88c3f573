#include "awardtally.h"

#include "awardthresholds.h"

#include "log/logchange.h"
#include "storage/database.h"
#include "text/asciicase.h"

#include <QSqlQuery>

namespace kx47
{

namespace
{

const QString highestNumber = QStringLiteral("select max(count) from data");
const QString qsosBetween = QStringLiteral(
    "select count, cast(mode as blob), cast(band as blob), cast(qsl as blob) from data "
    "where count > ? and count <= ?");
const QString qsoByNumber = QStringLiteral(
    "select cast(mode as blob), cast(band as blob), cast(qsl as blob) from data where count = ?");

// QSO numbers beyond this are not tallied (a byte each); the counter then counts the log.
const qint64 largestTallied = 64 * 1024 * 1024;

// Whether a stored value equals a text as the log compares them: letters A to Z as a to z.
bool sameIgnoringCase(const QByteArray &stored, const QByteArray &text)
{
    if (stored.size() != text.size())
        return false;
    for (qsizetype i = 0; i < stored.size(); ++i) {
        if (ascii::lower(stored[i]) != ascii::lower(text[i]))
            return false;
    }
    return true;
}

int indexIn(const QByteArray &stored, const QStringList &texts)
{
    for (int i = 0; i < texts.size(); ++i) {
        if (sameIgnoringCase(stored, texts[i].toUtf8()))
            return i;
    }
    return int(texts.size());
}

} // namespace

AwardTally::AwardTally(const Database &log) : m_log(log) {}

void AwardTally::restart()
{
    m_cells.clear();
    m_totals = {};
    m_readUpTo = 0;
    QSqlQuery highest = m_log.run(highestNumber);
    m_end = highest.next() ? highest.value(0).toLongLong() : 0;
    m_usable = m_end <= largestTallied;
    m_complete = false;
    m_started = true;
}

bool AwardTally::readMore(int numbers)
{
    if (!m_started)
        restart();
    if (m_complete || !m_usable)
        return true;
    const qint64 upTo = qMin(m_end, m_readUpTo + numbers);
    QSqlQuery rows = m_log.run(qsosBetween, {m_readUpTo, upTo});
    while (rows.next()) {
        setCell(rows.value(0).toLongLong(),
                cellOf(rows.value(1).toByteArray(), rows.value(2).toByteArray(),
                       rows.value(3).toByteArray()));
    }
    m_readUpTo = upTo;
    m_complete = m_readUpTo >= m_end;
    return m_complete;
}

bool AwardTally::covers(qint64 number) const
{
    // Numbers not read yet are read with their stretch; numbers beyond the highest when the
    // reading began are followed from the start.
    return number <= m_readUpTo || number > m_end;
}

bool AwardTally::follow(const LogChange &change)
{
    if (change.wholeLog || !m_started)
        return !change.wholeLog;
    for (const QVector<qint64> *numbers : {&change.removed, &change.changed, &change.added}) {
        for (const qint64 number : *numbers) {
            if (covers(number))
                readQso(number);
        }
    }
    return true;
}

void AwardTally::readQso(qint64 number)
{
    QSqlQuery row = m_log.run(qsoByNumber, {number});
    setCell(number, row.next() ? cellOf(row.value(0).toByteArray(), row.value(1).toByteArray(),
                                        row.value(2).toByteArray())
                               : 0);
}

quint8 AwardTally::cellOf(const QByteArray &mode, const QByteArray &band, const QByteArray &qsl)
{
    const int modeIndex = indexIn(mode, AwardCounter::modes());
    const int bandIndex = indexIn(band, AwardThresholds::bandNames());
    const int stateIndex = indexIn(qsl, AwardCounter::qslStates());
    return quint8(1 + (modeIndex * (bandCount + 1) + bandIndex) * (stateCount + 1) + stateIndex);
}

void AwardTally::setCell(qint64 number, quint8 cell)
{
    if (number < 0 || number > largestTallied) {
        m_usable = false;
        m_complete = false;
        return;
    }
    if (number >= qint64(m_cells.size())) {
        if (cell == 0)
            return;
        m_cells.resize(size_t(qMax(number + 1, qint64(m_cells.size()) * 3 / 2)), 0);
    }
    const auto adjust = [this](quint8 code, int by) {
        if (code == 0)
            return;
        const int value = code - 1;
        const int state = value % (stateCount + 1);
        const int band = (value / (stateCount + 1)) % (bandCount + 1);
        const int mode = value / ((stateCount + 1) * (bandCount + 1));
        if (mode < modeCount && band < bandCount && state < stateCount)
            m_totals[mode][band][state] += by;
    };
    quint8 &kept = m_cells[size_t(number)];
    adjust(kept, -1);
    adjust(cell, +1);
    kept = cell;
}

AwardCounter::Figures AwardTally::figures(const QString &mode) const
{
    AwardCounter::Figures figures;
    const int modeIndex = indexIn(mode.toUtf8(), AwardCounter::modes());
    if (modeIndex >= modeCount)
        return figures;
    for (int band = 0; band < bandCount; ++band) {
        for (int state = 0; state < stateCount; ++state)
            figures.counts[band][state] = m_totals[modeIndex][band][state];
    }
    return figures;
}

} // namespace kx47
