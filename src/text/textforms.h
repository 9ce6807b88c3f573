#pragma once

#include <QString>

// The one place where stored dates and times become text and back.
// The log holds a date as ISO text "YYYY-MM-DD" and a time of day as "HH:MM".
namespace kx47
{

// A two-digit year: 00-29 are 2000-2029, 30-99 are 1930-1999; a longer year stays as it is.
int fullYear(int year);

// The stored form of a day, month and year, kept as given even where the day does not exist
// in that month (31/2 is stored as YYYY-02-31).
QString storedDate(int day, int month, int year);

// The stored form of a time of day: "HH:MM".
QString storedTime(int hours, int minutes);

// "dd/mm/yy": two-digit day, month and year.
QString dateText(const QString &storedDate);

// Hours, minutes and seconds separated by points, the hour without a leading zero: "9.05.00".
QString timeText(const QString &storedTime);

// The time as lists and printouts show it: two-digit hour, a point, minutes ("09.05").
QString listTime(const QString &storedTime);

// The time as four digits "hhmm", as the entry form takes it ("0905").
QString entryTime(const QString &storedTime);

} // namespace kx47
