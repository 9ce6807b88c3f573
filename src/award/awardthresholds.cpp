#include "awardthresholds.h"

namespace kx47
{

namespace
{

const AwardThresholds::Band *findBand(const QString &band)
{
    for (const AwardThresholds::Band &entry : AwardThresholds::bands) {
        if (band == QLatin1String(entry.band))
            return &entry;
    }
    return nullptr;
}

} // namespace

QStringList AwardThresholds::bandNames()
{
    QStringList names;
    for (const Band &entry : bands)
        names << QString::fromLatin1(entry.band);
    return names;
}

int AwardThresholds::base(const QString &band)
{
    const Band *entry = findBand(band);
    return entry ? entry->base : 0;
}

int AwardThresholds::endorsement(const QString &band)
{
    const Band *entry = findBand(band);
    return entry ? entry->endorsement : 0;
}

} // namespace kx47
