#pragma once

#include <QString>

namespace kx47
{

// One row of table data: a QSO as the log stores it. date is "YYYY-MM-DD", time "HH:MM", qsl
// "w", "c" or "a". Beside the QSL state, the confirmations by LoTW and eQSL: "Y" or empty, each
// with its date "YYYY-MM-DD" (empty when the service gave none).
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
    QString lotw;
    QString lotwDate;
    QString eqsl;
    QString eqslDate;
};

} // namespace kx47
