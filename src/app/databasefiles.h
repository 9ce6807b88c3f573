#pragma once

#include "storage/schema.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <functional>

namespace kx47
{

class Database;

// Opens one of the program's database files. Before anything is written to a file it is
// examined through a connection that only reads: a missing file is never created, and a file
// that is foreign, damaged, locked, incomplete or on a full disk is reported in words and left
// exactly as it was.
class DatabaseFiles
{
public:
    enum class Access { ReadWrite, ReadOnly };
    // How much of the file is examined before it is opened: SQLite's check of every page, or
    // only what costs no more than reading the schema (the header against the file's length,
    // the tables and their columns).
    enum class Examination { Whole, Schema };

    // Opens path into db. On a failure that stops the start returns false with the message for
    // the user. A file or folder that cannot be written is opened for reading only: returns
    // true with *access ReadOnly and *message telling the user so; otherwise *message is empty.
    static bool open(Database &db, const QString &path, Schema::File file, QString *message,
                     Access *access = nullptr, Examination examination = Examination::Whole);

    // Whether a SQLite file is shorter than its header says it is (cut off by a copy, a full
    // disk or a crash of the disk).
    static bool cutShort(const QByteArray &header, qint64 size);

    // What a file that is not a SQLite database is, judged by its first bytes; empty for a
    // SQLite database.
    static QString foreignFormat(const QByteArray &header);

    // A log is refused when its disk has less room than this.
    static constexpr qint64 minimumFreeBytes = 1024 * 1024;
    // The free bytes on the disk of a folder. Tests replace it to stand for a full disk; an
    // empty probe restores the real one.
    using FreeSpaceProbe = std::function<qint64(const QString &folder)>;
    static void setFreeSpaceProbe(FreeSpaceProbe probe);
};

} // namespace kx47
