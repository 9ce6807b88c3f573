#pragma once

#include "log/awardvocabulary.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <array>
#include <bitset>
#include <optional>

namespace kx47
{

class Database;

// The award as a map of the 24 x 24 sub-squares KX47AA..KX47XX: for one band category (or all
// of them) and one mode, the best QSL state of each sub-square, how many sub-squares are in each
// state and how far each band is from its award thresholds. Read from the log in one grouped
// query; the gazetteer tells which sub-squares hold a place at all.
class AwardMap
{
public:
    static constexpr int side = 24;
    static constexpr int cellCount = side * side;

    // What a cell shows: the best state of its QSOs, none without any. Electronic: no QSL
    // card (nor a QSO counted as confirmed) yet, but a QSO confirmed by LoTW or eQSL.
    enum class State { None, Worked, Electronic, Confirmed, Accredited };

    // How far one band is from the base award and the next endorsement for the chosen mode.
    // The figures count QSOs as the award requests do.
    struct BandProgress {
        QString band;
        int confirmedQsos = 0;
        int accreditedQsos = 0;
        bool baseObtained = false; // at least the base award's number of accredited QSOs
        int baseNeeded = 0;        // confirmed QSOs still missing for the base award
        int endorsementNeeded = 0; // for the next endorsement (after the base award when not yet)
    };

    struct Data {
        QString band; // empty: all bands
        QString mode;
        std::array<State, cellCount> cells{};
        int worked = 0; // sub-squares whose best state is worked
        int electronic = 0;
        int confirmed = 0;
        int accredited = 0;
        // One entry for a band, all six for all bands.
        QVector<BandProgress> progress;

        // column 0..23 is the fifth letter A..X (west to east), row 0..23 the sixth (south to
        // north).
        State at(int column, int row) const { return cells[index(column, row)]; }
    };

    AwardMap(const Database &log, const Database &places);

    // bandOrAll: a band category of the award, or an empty text for all of them.
    Data compute(const QString &bandOrAll, const QString &mode) const;
    // The sub-squares that hold at least one place of the gazetteer.
    std::bitset<cellCount> withPlaces() const;

    // The QSOs of one sub-square for the band (or all) and mode, one line each: call, date,
    // time, band, mode, state; at most `limit` lines and a last line saying how many more.
    QStringList qsoLines(int column, int row, const QString &bandOrAll, const QString &mode,
                         int limit = 25) const;
    // The places of the gazetteer in one sub-square, "PLACE (PROV)", by name.
    QStringList placeLines(int column, int row) const;

    static int index(int column, int row) { return column * side + row; }
    // The two letters of a cell: "AA" bottom-left, "XA" bottom-right, "AX" top-left.
    static QString letters(int column, int row);
    // The cell of two letters A..X, letter case ignored; none for anything else.
    static std::optional<std::pair<int, int>> cellOf(const QString &letters);

    // The states a legend explains, best first; each has its colour, letter and name.
    static const QVector<State> &legendStates();
    // "LoTW", "eQSL", "LoTW and eQSL", or empty for neither.
    static QString electronicText(bool lotw, bool eqsl);
    static QChar stateLetter(State state); // 'a', 'c', 'e', 'w'; a blank for none
    // "accredited", "confirmed", "confirmed electronically, card missing", "worked", "none"
    static QString stateName(State state);

    // The figures beside the map, one per line: the sub-squares per state, then per band the
    // confirmed QSOs the base award and the endorsement still need.
    static QStringList figureLines(const Data &data);
    // The caption of a band choice: the band, or "All bands".
    static QString bandCaption(const QString &bandOrAll);
    // The whole map as text lines for a fixed-pitch printout: a title, the grid of state letters
    // with the letters of the columns and rows along its edges, the legend and the figures.
    static QStringList textLines(const Data &data, const std::bitset<cellCount> &withPlaces);

private:
    const Database &m_log;
    const Database &m_places;
};

} // namespace kx47
