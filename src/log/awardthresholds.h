#pragma once

#include "log/awardvocabulary.h"

#include <QString>
#include <QStringList>
#include <array>

namespace kx47
{

// The band categories of the award (see vocabulary::bands) and the minimum numbers of sub-squares
// per band: for the base award and for each endorsement.
class AwardThresholds
{
public:
    using Band = vocabulary::Band;

    // In the order the program lists the bands everywhere.
    static constexpr const std::array<Band, 6> &bands = vocabulary::bands;

    // The band texts in order: "HF", "50 MHz", "VHF", "UHF", "SHF", "SAT".
    static QStringList bandNames();
    // The minimum for a band; 0 for a text that is no band of the award.
    static int base(const QString &band);
    static int endorsement(const QString &band);
};

} // namespace kx47
