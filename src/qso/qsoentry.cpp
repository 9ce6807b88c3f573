#include "qsoentry.h"

#include "numerictext.h"

#include "log/awardvocabulary.h"
#include "text/textforms.h"

#include <QDate>
#include <cmath>

namespace kx47
{

namespace
{

// The whole part of a checked value, kept below the given bound (a year is held with at most
// four digits).
int wholeValue(const QString &text, double bound)
{
    const double value = std::fabs(std::trunc(numericValue(text).value_or(0)));
    return static_cast<int>(std::fmod(value, bound));
}

} // namespace

bool QsoEntry::dateExists() const
{
    return QDate(fullYear(wholeValue(year, 10000)), wholeValue(month, 100), wholeValue(day, 100))
        .isValid();
}

QsoRecord QsoEntry::record() const
{
    QsoRecord row;
    row.locator = locator;
    row.call = call;
    row.date = storedDate(wholeValue(day, 100), wholeValue(month, 100), wholeValue(year, 10000));
    row.time = storedTime(wholeValue(time.left(2), 100), wholeValue(time.mid(2, 2), 100));
    row.place = place;
    row.prov = prov;
    row.mode = mode;
    row.band = band;
    row.qsl = confirmed ? vocabulary::QslState::Confirmed : vocabulary::QslState::Worked;
    return row;
}

} // namespace kx47
