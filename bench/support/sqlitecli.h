#pragma once

#include "timing.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace kx47
{
class Database;
}

namespace kx47::bench
{

// The sqlite3 command-line tool, to weigh the program's overhead against the engine's own
// time for the same statement on the same file.
class SqliteCli
{
public:
    static bool available();
    // The median times the tool reports (.timer on: "real", and "user" + "sys" as the processor
    // time) for the statement run the given number of times in one session, its rows written
    // to /dev/null; -1 when it cannot run. The tool gives the real time in whole milliseconds.
    static Timing::Run medianMs(const QString &databasePath, const QString &sql, int runs);
    // The same for a group of statements: each run is the sum of the group's times.
    static Timing::Run medianMs(const QString &databasePath, const QStringList &group, int runs);
    // The statement with its bound values written in as SQL literals.
    static QString withValues(QString sql, const QVariantList &values);
    // The wall time in ms of the tool running script on the database (which it may change),
    // from its start to its end; -1 when it cannot run or fails.
    static double scriptMs(const QString &databasePath, const QByteArray &script);
    // Writes the rows of the QSOs numbered above `from`, every column in the table's order, as
    // CSV at csvPath, and returns the tool's script that imports them in one transaction.
    static QByteArray importScript(const Database &log, int from, const QString &csvPath);
};

} // namespace kx47::bench
