#pragma once

#include "awardcounter.h"

#include <QString>
#include <array>
#include <vector>

namespace kx47
{

class Database;
struct LogChange;

// The award figures of every mode kept up to date QSO by QSO, so that a saved, edited or
// deleted QSO costs the counter a read of that QSO instead of a count of the whole log. It
// knows each QSO's mode, band and QSL state by number (one byte a QSO). The log is read in
// stretches of QSO numbers (readMore), each short, so that reading a large log never holds up
// the window for long; until the whole log has been read the figures are not known.
class AwardTally
{
public:
    // Reads nothing yet: the first readMore starts reading. The reads throw DatabaseError when
    // the engine refuses them.
    explicit AwardTally(const Database &log);

    // Forgets everything and starts reading the log afresh.
    void restart();
    // Reads the next stretch of QSO numbers; true when nothing is left to read (the whole log
    // has been read, or its QSO numbers are too large to tally).
    bool readMore(int numbers = 10000);
    bool isComplete() const { return m_complete; }
    // Whether the tally can be completed (its QSO numbers are not too large to tally).
    bool isUsable() const { return m_usable; }
    // How many QSO numbers are left to read; -1 before the first stretch.
    qint64 numbersLeft() const { return m_started ? m_end - m_readUpTo : -1; }

    // Reads afresh the QSOs the change names. Returns false when the change is of the whole log
    // (the tally has to start again).
    bool follow(const LogChange &change);

    // The figures of a mode; only meaningful once the tally is complete.
    AwardCounter::Figures figures(const QString &mode) const;

private:
    enum { modeCount = 4, bandCount = 6, stateCount = 3 };
    // 0 for no QSO, else 1 + the mode, band and state, each with one value for "none of them".
    static quint8 cellOf(const QByteArray &mode, const QByteArray &band, const QByteArray &qsl);
    void setCell(qint64 number, quint8 cell);
    void readQso(qint64 number);
    bool covers(qint64 number) const;

    const Database &m_log;
    std::vector<quint8> m_cells;
    std::array<std::array<std::array<int, stateCount>, bandCount>, modeCount> m_totals{};
    qint64 m_readUpTo = 0;
    qint64 m_end = 0;
    bool m_complete = false;
    bool m_usable = true;
    bool m_started = false;
};

} // namespace kx47
