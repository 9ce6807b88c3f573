#pragma once

#include "log/qsorecord.h"

#include <QString>

namespace kx47
{

// What the entry form holds when "Submit" is pressed, each text as it stands in its field.
struct QsoEntry {
    QString locator; // the two letters after "KX47"
    QString call;
    QString day;
    QString month;
    QString year;
    QString time; // "hhmm"
    QString place;
    QString prov;
    QString mode;
    QString band;
    bool confirmed = true; // "confirmed" or "worked"
    // The QSO being edited was stored without a place: it may be saved without one again. Only
    // a place that was there may not be emptied.
    bool placeMayStayEmpty = false;

    // Whether day, month and year name a day of the calendar (no 31 February, no 29 February
    // outside leap years); the year's two digits as the log reads them.
    bool dateExists() const;

    // The row the log stores for this QSO, count 0. Only for an entry that passed QsoChecks:
    // the date is made from the values of day, month and year, the time from the values of
    // the hours and the minutes, so the stored texts are always well formed.
    QsoRecord record() const;
};

} // namespace kx47
