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

    // "c" for a confirmed QSO, "w" for a worked one; the form never gives "a".
    QString qslLetter() const;

    // The row the log stores for this QSO, count 0. Only for an entry that passed QsoChecks:
    // the date is made from the values of day, month and year, the time from the values of
    // the hours and the minutes, so the stored texts are always well formed.
    QsoRecord record() const;
};

} // namespace kx47
