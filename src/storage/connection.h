#pragma once

#include <QSqlDatabase>
#include <QString>

namespace kx47
{

// How a connection of the program is opened on a SQLite file. Every connection waits the same
// time for another program's lock (Database::busyTimeoutMs); nothing may change that later.
struct ConnectionOptions {
    // The file is only read: the engine opens it for reading.
    bool readOnly = false;
    // The file is read as unchanging: for a folder that cannot be written, where SQLite could
    // not keep its shared-memory index beside it. Implies readOnly.
    bool immutable = false;
};

// Opens the connection named `name` on the file at `path` (adding it when there is none of
// that name yet). The connection is invalid when Qt's SQLite driver is missing, and not open,
// with lastError() saying why, when the engine cannot open the file.
QSqlDatabase openConnection(const QString &name, const QString &path,
                            const ConnectionOptions &options = {});

// The file that a connection's database name names, and whether it is read as unchanging (a
// file: address with SQLite's immutable flag, as openConnection names such a file).
QString fileOfDatabaseName(const QString &databaseName, bool *unchanging = nullptr);

} // namespace kx47
