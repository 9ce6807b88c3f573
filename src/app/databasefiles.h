#pragma once

#include "platform/schema.h"

#include <QString>

namespace kx47
{

class Database;

// Opens one of the program's database files as it lies in the program folder. A missing file
// is never created, and a file this program cannot read is never written to.
class DatabaseFiles
{
public:
    // Opens path into db; on failure returns false with the message for the user.
    static bool open(Database &db, const QString &path, Schema::File file, QString *message);

    // What a file that is not a SQLite database is, judged by its first bytes; empty for a
    // SQLite database.
    static QString foreignFormat(const QByteArray &header);
};

} // namespace kx47
