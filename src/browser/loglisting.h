#pragma once

#include "loglines.h"

#include <QSqlQuery>
#include <QVector>
#include <optional>

namespace kx47
{

class Database;
class LogQuery;

// One QSO read by its number for the listing: its line, its number, and whether the search of
// the listing finds it.
struct ListedQso {
    StoredLogLine line;
    qint32 count = 0;
    bool matches = false;
};

// The log as the browser lists it: one line per QSO in the order of the query, and the line
// index table that ties each line to its QSO.
struct LogListing {
    LogLines lines;
    // Entry i holds the number (count) of the QSO on line i. It has one entry more than the
    // whole table has rows, listed or not (while only the first lines of a longer listing are
    // there, one more than they); entries past the listed lines are 0.
    QVector<qint32> counts;

    static LogListing read(const Database &log, const LogQuery &query);
    // The first `lines` lines of read(); complete says whether they are all the lines there
    // are. The index is sized for the whole table when they are, and for the lines read when
    // not (the whole listing sizes it then), so that no count of the table comes first. With
    // withinMs, no lines at all (and not complete) when the engine cannot find them in that time,
    // as when the first key of the order is the same for a great many QSOs: the whole listing must
    // then be read.
    static LogListing readFirst(const Database &log, const LogQuery &query, int lines,
                                bool *complete, int withinMs = -1);
    // The QSO numbered `count` as the log holds it now; nothing when there is none.
    static std::optional<ListedQso> readQso(const Database &log, const LogQuery &query,
                                            qint64 count);

    // The line of the QSO numbered `count`; -1 when it is not listed.
    int lineOf(qint32 count) const;
    // Where a QSO goes in the order of the listing: the number of listed lines that come before
    // it, leaving out line `leaving` (the QSO's own line when it is listed already, or -1).
    int placeFor(const ListedQso &qso, const QVector<LogColumn> &order, int leaving = -1) const;

    // Text compared as the log compares it: byte by byte, with the letters A to Z taken as
    // a to z; a shorter text before a longer one that begins with it.
    static int compareIgnoringCase(QByteArrayView left, QByteArrayView right);

private:
    static LogListing readRows(const Database &log, QSqlQuery rows, int lines);
};

} // namespace kx47
