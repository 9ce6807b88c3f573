#include "databasefiles.h"

#include "storage/connection.h"
#include "storage/database.h"
#include "storage/databasecheck.h"
#include "storage/transaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStorageInfo>
#include <sqlite3.h>

namespace kx47
{

namespace
{

DatabaseFiles::FreeSpaceProbe &freeSpaceProbe()
{
    static DatabaseFiles::FreeSpaceProbe probe;
    return probe;
}

qint64 freeBytes(const QString &folder)
{
    if (freeSpaceProbe())
        return freeSpaceProbe()(folder);
    const QStorageInfo storage(folder);
    return storage.isValid() ? storage.bytesAvailable() : -1;
}

int engineCode(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? code : -1;
}

// A journal beside the file that holds changes not yet in the file itself.
QString pendingJournal(const QString &path)
{
    for (const char *suffix : {"-wal", "-journal"}) {
        const QFileInfo journal(path + QLatin1String(suffix));
        if (journal.exists() && journal.size() > 0)
            return journal.filePath();
    }
    return QString();
}

// A connection that only reads the file. Opened as unchanging (SQLite's immutable flag), the
// engine creates nothing beside it: no journal, no shared-memory index. That is how a file that
// is only read is opened (the gazetteer in a folder that cannot be written, a log that cannot be
// changed); a log about to be written is examined plainly, and may get its journal.
QSqlDatabase openForReading(const QString &connection, const QString &path, bool unchanging)
{
    ConnectionOptions options;
    options.readOnly = true;
    options.immutable = unchanging;
    return openConnection(connection, path, options);
}

// The journal files SQLite keeps beside a database file.
const char *const journalSuffixes[] = {"-wal", "-shm", "-journal"};

// A journal file beside a log about to be written that the program cannot write (left by an
// earlier session, or by another user) would keep the engine from opening the log. The owner's
// write permission is given back to it, which changes none of its bytes: the engine then folds a
// journal that holds changes into the file. Returns the file that stays unwritable, or an empty
// text.
QString unwritableJournal(const QString &path)
{
    for (const char *suffix : journalSuffixes) {
        const QString journal = path + QLatin1String(suffix);
        const QFileInfo info(journal);
        if (!info.exists() || info.isWritable())
            continue;
        QFile::setPermissions(journal, info.permissions() | QFileDevice::WriteOwner);
        if (!QFileInfo(journal).isWritable())
            return journal;
    }
    return QString();
}

QString fullDisk(const QString &shown, qint64 free)
{
    return QStringLiteral("The disk that holds the log %1 is full (%2 KB free): KX47 cannot save "
                          "QSOs there. Nothing has been written; free some space and start KX47 "
                          "again.")
        .arg(shown)
        .arg(free / 1024);
}

QString damaged(const QString &shown)
{
    return QStringLiteral("The database file %1 is damaged: KX47 cannot read it. Nothing has "
                          "been written to it; put a backup copy of it in its place (KX47 keeps "
                          "copies of the log in the folder Backups beside it).")
        .arg(shown);
}

// The words for an engine error (its result code, -1 for none) met while examining or probing
// the file.
QString engineFault(const QString &shown, int code)
{
    switch (code < 0 ? code : code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("The database file %1 is locked by another program. Nothing has "
                              "been changed; close the other program (or the other copy of "
                              "KX47) and start KX47 again.")
            .arg(shown);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return damaged(shown);
    case SQLITE_FULL:
        return QStringLiteral("The disk that holds %1 is full. Nothing has been written; free "
                              "some space and start KX47 again.")
            .arg(shown);
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
        return QStringLiteral("The database file %1 cannot be read: it, or its folder, is "
                              "read-only and SQLite cannot open it for reading there.")
            .arg(shown);
    case SQLITE_IOERR:
        return QStringLiteral("The database file %1 cannot be read from the disk: it may be "
                              "damaged, or the disk may be failing. Nothing has been written "
                              "to it.")
            .arg(shown);
    default:
        return QStringLiteral("The database file %1 cannot be opened.").arg(shown);
    }
}

// Examines the file through a connection that only reads. Returns an empty text when the file
// holds every table and column the program needs.
QString examine(const QString &path, const QString &shown, Schema::File file, bool unchanging,
                const QString &connection, DatabaseFiles::Examination examination)
{
    QString fault;
    {
        QSqlDatabase db = openForReading(connection, path, unchanging);
        QSqlQuery check(db);
        QStringList findings{QStringLiteral("ok")};
        if (db.isOpen() && examination == DatabaseFiles::Examination::Whole) {
            findings.clear();
            if (check.exec(QStringLiteral("pragma quick_check"))) {
                while (check.next())
                    findings << check.value(0).toString();
            }
        } else if (db.isOpen()) {
            // Reads the schema, and with it the first page.
            check.exec(QStringLiteral("pragma schema_version"));
        }
        const QSqlError error = db.isOpen() ? check.lastError() : db.lastError();
        if (error.isValid()) {
            fault = engineFault(shown, engineCode(error)) + QStringLiteral("\n\n") + error.text();
        } else if (findings != QStringList{QStringLiteral("ok")}) {
            fault = damaged(shown) + QStringLiteral("\n\n") +
                    findings.mid(0, 5).join(QLatin1Char('\n'));
        } else if (!Schema::hasTables(db, file)) {
            fault = QStringLiteral("The database file %1 does not hold the tables %2 of KX47: "
                                   "KX47 cannot read it.")
                        .arg(shown, Schema::tables(file).join(QStringLiteral(", ")));
        } else {
            const QStringList missing = DatabaseCheck::missingColumns(db, file);
            if (!missing.isEmpty()) {
                fault = QStringLiteral("The tables of the database file %1 lack the columns %2 "
                                       "that KX47 needs: KX47 cannot read it.")
                            .arg(shown, missing.join(QStringLiteral(", ")));
            }
        }
        check.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return fault;
}

} // namespace

QString DatabaseFiles::foreignFormat(const QByteArray &header)
{
    if (header.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return QString();
    const QByteArray jet = header.mid(4, 15);
    if (jet == "Standard Jet DB" || jet == "Standard ACE DB")
        return QStringLiteral("a Microsoft Access database");
    if (header.isEmpty())
        return QStringLiteral("an empty file");
    return QStringLiteral("not a SQLite database");
}

void DatabaseFiles::setFreeSpaceProbe(FreeSpaceProbe probe)
{
    freeSpaceProbe() = std::move(probe);
}

bool DatabaseFiles::cutShort(const QByteArray &header, qint64 size)
{
    if (header.size() < 100)
        return false;
    const auto number = [&header](int at, int bytes) {
        quint32 value = 0;
        for (int i = 0; i < bytes; ++i)
            value = (value << 8) | quint8(header[at + i]);
        return value;
    };
    const quint32 pageSize = number(16, 2) == 1 ? 65536 : number(16, 2);
    const quint32 pages = number(28, 4);
    // The page count is trusted only when the version that wrote it also wrote the header's
    // change counter.
    if (pageSize < 512 || pages == 0 || number(24, 4) != number(92, 4))
        return false;
    return qint64(pages) * pageSize > size;
}

bool DatabaseFiles::open(Database &db, const QString &path, Schema::File file, QString *message,
                         Access *access, Examination examination)
{
    message->clear();
    if (access)
        *access = Access::ReadWrite;
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    if (!info.exists()) {
        *message = QStringLiteral("The database file %1 cannot be found.").arg(shown);
        return false;
    }
    QFile raw(path);
    if (!info.isFile() || !raw.open(QIODevice::ReadOnly)) {
        *message = QStringLiteral("The database file %1 cannot be opened.").arg(shown);
        return false;
    }
    const QByteArray header = raw.read(100);
    raw.close();
    const QString foreign = foreignFormat(header);
    if (!foreign.isEmpty()) {
        *message = QStringLiteral("The file %1 is %2: KX47 cannot read it.").arg(shown, foreign);
        return false;
    }

    const QString folder = info.absolutePath();
    const bool folderWritable = QFileInfo(folder).isWritable();
    const bool fileWritable = info.isWritable();
    // The gazetteer is only read; a log that cannot be written is opened for reading only.
    const bool readOnly = file == Schema::File::Places || !fileWritable || !folderWritable;
    // What is only read is read as unchanging, so that nothing is left beside it; the gazetteer
    // in a folder that can be written is read as before, journal included.
    const bool unchanging = !folderWritable || (readOnly && file == Schema::File::Log);
    const QString journal = pendingJournal(path);
    if (unchanging && !journal.isEmpty()) {
        *message =
            QStringLiteral("The database file %1 cannot be read: %2 is read-only, and the "
                           "journal %3 beside it holds changes that must be put into the file "
                           "first. Nothing has been changed; make %2 writable and start KX47 "
                           "again.")
                .arg(shown, QDir::toNativeSeparators(folderWritable ? path : folder),
                     QDir::toNativeSeparators(journal));
        return false;
    }
    if (!readOnly) {
        // A full disk is told before the file is examined: the examination itself may need a
        // few bytes beside the log, and would take the refusal for damage.
        const qint64 free = freeBytes(folder);
        if (free >= 0 && free < minimumFreeBytes) {
            *message = fullDisk(shown, free);
            return false;
        }
        const QString stale = unwritableJournal(path);
        if (!stale.isEmpty()) {
            *message = QStringLiteral("The log %1 cannot be opened: the journal file %2 beside "
                                      "it cannot be written. Nothing has been changed; make %2 "
                                      "writable (or, when it is empty, remove it) and start "
                                      "KX47 again.")
                           .arg(shown, QDir::toNativeSeparators(stale));
            return false;
        }
    }

    // While a journal holds changes, the file may be shorter than its header says until they are
    // put into it.
    if (journal.isEmpty() && cutShort(header, info.size())) {
        *message = damaged(shown) + QStringLiteral("\n\nThe file is shorter than its header says.");
        return false;
    }

    const QString connection = db.connectionName() + QStringLiteral("-examination");
    *message = examine(path, shown, file, unchanging, connection, examination);
    if (!message->isEmpty()) {
        // A disk that filled up meanwhile is told as full, not as damage.
        const qint64 free = readOnly ? -1 : freeBytes(folder);
        if (free >= 0 && free < minimumFreeBytes)
            *message = fullDisk(shown, free);
        return false;
    }

    if (readOnly) {
        QSqlDatabase reading = openForReading(db.connectionName(), path, unchanging);
        if (!reading.isOpen()) {
            *message = engineFault(shown, engineCode(reading.lastError()));
            return false;
        }
        if (file == Schema::File::Places)
            return true;
        if (access)
            *access = Access::ReadOnly;
        *message = QStringLiteral("The log %1 is read-only (%2). KX47 opens it for browsing, "
                                  "counting and printing only: no QSO can be saved, changed or "
                                  "deleted. To change the log, make %3 writable and start KX47 "
                                  "again.")
                       .arg(shown,
                            fileWritable ? QStringLiteral("its folder cannot be written")
                                         : QStringLiteral("the file cannot be written"),
                            QDir::toNativeSeparators(fileWritable ? folder : path));
        return true;
    }

    QString engineText;
    if (!db.open(path, &engineText)) {
        *message =
            QStringLiteral("The database file %1 cannot be opened: %2").arg(shown, engineText);
        return false;
    }
    // Opening a write transaction and rolling it back writes nothing, and finds out whether
    // another program holds the log; it waits for the lock as every change of the program does.
    try {
        const Transaction probe(db);
    } catch (const DatabaseError &error) {
        *message = engineFault(shown, error.engineCode());
        db.handle().close();
        return false;
    }
    return true;
}

} // namespace kx47
