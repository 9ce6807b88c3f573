#pragma once

#include <QString>
#include <QStringList>
#include <array>

namespace kx47
{

class Database;

// How many QSOs of the log are worked, confirmed and accredited on each band, for one mode.
// Every QSO row counts, two in the same sub-square as two; a mode counts only the QSOs stored
// with that mode ("MIXED" is a mode of its own).
class AwardCounter
{
public:
    // Rows in the order of vocabulary::bands, columns worked, confirmed, accredited.
    struct Figures {
        std::array<std::array<int, 3>, 6> counts{};
        // The figure for a band text and a QSL letter "w", "c" or "a"; -1 for anything else.
        int of(const QString &band, const QString &qsl) const;
    };

    explicit AwardCounter(const Database &log);

    Figures count(const QString &mode) const;

    // The modes in the order the program offers them.
    static QStringList modes();
    // The QSL letters in the order of the columns: worked, confirmed, accredited.
    static QStringList qslStates();
    // Row and column of a band text and a QSL letter, letter case ignored as the log does;
    // -1 when there is none.
    static int bandRow(const QString &band);
    static int qslColumn(const QString &qsl);

private:
    const Database &m_log;
};

} // namespace kx47
