#pragma once

#include <QByteArrayView>
#include <QLatin1String>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace kx47
{

// The words of the award, in the one order the program lists them everywhere: the band
// categories with their thresholds and captions, the mode categories, the province codes and
// the QSL states with the letters the log stores.
namespace vocabulary
{

// One band category of the award.
struct Band {
    const char *name;               // as stored in the log: "50 MHz" with its blank
    int base;                       // sub-squares the base award needs
    int endorsement;                // sub-squares each endorsement needs
    const char *baseCaption;        // the threshold as the counter shows it, dots and all
    const char *endorsementCaption; // likewise for an endorsement
};

inline constexpr std::array<Band, 6> bands{{
    {"HF", 50, 15, "HF:...............................50", "HF:...............................15"},
    {"50 MHz", 15, 10, "50 MHz:.......................15", "50 MHz:.......................10"},
    {"VHF", 15, 10, "VHF:............................15", "VHF:............................10"},
    {"UHF", 10, 5, "UHF:............................10", "UHF:..............................5"},
    {"SHF", 5, 5, "SHF:............................. 5", "SHF:..............................5"},
    {"SAT", 5, 5, "SAT:..............................5", "SAT:..............................5"},
}};

// The mode categories; "MIXED" is a stored mode of its own, not the union of the others.
inline constexpr std::array<const char *, 4> modes{{"MIXED", "SSB", "CW", "DIGITAL"}};

// The province codes the entry windows offer.
inline constexpr std::array<const char *, 9> provinces{
    {"AN", "AP", "AR", "FC", "QZ", "PG", "PU", "RN", "RSM"}};

// The QSL state of a QSO, from least to most.
enum class QslState : unsigned char { Worked, Confirmed, Accredited };

inline constexpr std::array<QslState, 3> qslStates{
    {QslState::Worked, QslState::Confirmed, QslState::Accredited}};

// The letters the log stores: lower case, one per state.
inline constexpr QLatin1String qslWorked("w");
inline constexpr QLatin1String qslConfirmed("c");
inline constexpr QLatin1String qslAccredited("a");

QStringList bandNames();
QStringList modeNames();
QStringList provinceCodes();
// "w", "c", "a" in the order of qslStates.
QStringList qslLetters();

// The position of a band in `bands`; -1 for a text that is no band of the award.
int bandIndex(const QString &band, Qt::CaseSensitivity sensitivity = Qt::CaseSensitive);
// The band's entry, or nullptr.
const Band *findBand(const QString &band);
// The position of a mode in `modes`; -1 for any other text.
int modeIndex(const QString &mode);

QLatin1String qslLetter(QslState state);
// The state of a stored letter, letter case ignored as the log does; none for anything else.
std::optional<QslState> qslStateOf(const QString &letter);
// Whether a stored letter means this state, letter case ignored.
bool isQsl(const QString &letter, QslState state);
// The state of a letter as the log stores it; any other text counts as worked, as the log's
// reads count it.
QslState storedQslState(const QString &letter);
// The same of the letter in UTF-8.
QslState storedQslState(QByteArrayView letter);

} // namespace vocabulary
} // namespace kx47
