#pragma once

#include <QString>

namespace kx47
{

// One row of table data: a QSO as the log stores it. date is "YYYY-MM-DD", time "HH:MM", qsl
// "w", "c" or "a".
struct QsoRecord {
    int count = 0;
    QString locator; // the two letters after "KX47"
    QString call;
    QString date;
    QString time;
    QString place;
    QString prov;
    QString mode;
    QString band;
    QString qsl;
};

} // namespace kx47
