#pragma once

#include <QString>

namespace kx47
{

// One QSO as the log browser shows it, with the values as the log stores them: the two letters
// of the sub-square, the date as "YYYY-MM-DD", the time as "HH:MM".
struct LogLineFields {
    QString call;
    QString wwLocator;
    QString place;
    QString prov;
    QString mode;
    QString band;
    QString date;
    QString time;
    QString qsl;
};

// The lines of the log browser: nine fixed-width columns joined by " | ", under a header whose
// bars stand at the same positions.
class LogLine
{
public:
    // The column header, 104 characters.
    static QString header();
    // One line of 102 characters: the full sub-square, the date as "dd/mm/yy", the time as
    // "09.05"; a value longer than its column is cut to it.
    static QString text(const LogLineFields &fields);
};

} // namespace kx47
