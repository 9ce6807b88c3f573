#pragma once

#include <QString>
#include <QStringList>
#include <array>

namespace kx47
{

// The band categories of the award and the minimum numbers of sub-squares per band: for the
// base award and for each endorsement.
class AwardThresholds
{
public:
    struct Band {
        const char *band; // as stored in the log: "50 MHz" with its blank
        int base;
        int endorsement;
    };

    // In the order the program lists the bands everywhere.
    static constexpr std::array<Band, 6> bands{{{"HF", 50, 15},
                                                {"50 MHz", 15, 10},
                                                {"VHF", 15, 10},
                                                {"UHF", 10, 5},
                                                {"SHF", 5, 5},
                                                {"SAT", 5, 5}}};

    // The band texts in order: "HF", "50 MHz", "VHF", "UHF", "SHF", "SAT".
    static QStringList bandNames();
    // The minimum for a band; 0 for a text that is no band of the award.
    static int base(const QString &band);
    static int endorsement(const QString &band);
};

} // namespace kx47
