#include "awardthresholds.h"

namespace kx47
{

QStringList AwardThresholds::bandNames()
{
    return vocabulary::bandNames();
}

int AwardThresholds::base(const QString &band)
{
    const Band *entry = vocabulary::findBand(band);
    return entry ? entry->base : 0;
}

int AwardThresholds::endorsement(const QString &band)
{
    const Band *entry = vocabulary::findBand(band);
    return entry ? entry->endorsement : 0;
}

} // namespace kx47
