#pragma once

#include "loglines.h"

#include <QVector>

namespace kx47
{

class Database;
class LogQuery;

// The log as the browser lists it: one line per QSO in the order of the query, and the line
// index table that ties each line to its QSO.
struct LogListing {
    LogLines lines;
    // Entry i holds the number (count) of the QSO on line i. It has one entry more than the
    // whole table has rows, listed or not; entries past the listed lines are 0.
    QVector<qint32> counts;

    static LogListing read(const Database &log, const LogQuery &query);
};

} // namespace kx47
