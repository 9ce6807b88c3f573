#include "databasefiles.h"

#include "storage/database.h"
#include "storage/databasecheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStorageInfo>
#include <QUrl>

namespace kx47
{

namespace
{

// How long the examination waits for another program to let go of the file.
constexpr int lockWaitMs = 2000;

// SQLite's primary result codes, as the Qt driver reports them.
enum SqliteCode {
    sqliteBusy = 5,
    sqliteLocked = 6,
    sqliteReadOnly = 8,
    sqliteIoError = 10,
    sqliteCorrupt = 11,
    sqliteFull = 13,
    sqliteCantOpen = 14,
    sqliteNotADatabase = 26,
};

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

int primaryCode(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? (code & 0xff) : -1;
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

// A connection that never writes to the file. In a folder that cannot be written, SQLite could
// not even keep its shared-memory index beside the file, so the file is read as unchanging.
QSqlDatabase openForReading(const QString &connection, const QString &path, bool folderWritable)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    QString options =
        QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=%1").arg(lockWaitMs);
    if (folderWritable) {
        db.setDatabaseName(path);
    } else {
        options += QStringLiteral(";QSQLITE_OPEN_URI");
        db.setDatabaseName(
            QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded) +
            QStringLiteral("?immutable=1"));
    }
    db.setConnectOptions(options);
    db.open();
    return db;
}

QString damaged(const QString &shown)
{
    return QStringLiteral("The database file %1 is damaged: KX47 cannot read it. Nothing has "
                          "been written to it; put a backup copy of it in its place (KX47 keeps "
                          "copies of the log in the folder Backups beside it).")
        .arg(shown);
}

// The words for an engine error met while examining or probing the file.
QString engineFault(const QString &shown, const QSqlError &error)
{
    switch (primaryCode(error)) {
    case sqliteBusy:
    case sqliteLocked:
        return QStringLiteral("The database file %1 is locked by another program. Nothing has "
                              "been changed; close the other program (or the other copy of "
                              "KX47) and start KX47 again.")
            .arg(shown);
    case sqliteCorrupt:
    case sqliteNotADatabase:
        return damaged(shown);
    case sqliteFull:
        return QStringLiteral("The disk that holds %1 is full. Nothing has been written; free "
                              "some space and start KX47 again.")
            .arg(shown);
    case sqliteReadOnly:
    case sqliteCantOpen:
        return QStringLiteral("The database file %1 cannot be read: it, or its folder, is "
                              "read-only and SQLite cannot open it for reading there.")
            .arg(shown);
    case sqliteIoError:
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
QString examine(const QString &path, const QString &shown, Schema::File file, bool folderWritable,
                const QString &connection)
{
    QString fault;
    {
        QSqlDatabase db = openForReading(connection, path, folderWritable);
        QSqlQuery check(db);
        QStringList findings;
        if (db.isOpen() && check.exec(QStringLiteral("pragma quick_check"))) {
            while (check.next())
                findings << check.value(0).toString();
        }
        const QSqlError error = db.isOpen() ? check.lastError() : db.lastError();
        if (error.isValid()) {
            fault = engineFault(shown, error) + QStringLiteral("\n\n") + error.text();
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

bool DatabaseFiles::open(Database &db, const QString &path, Schema::File file, QString *message,
                         Access *access)
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
    const QString foreign = foreignFormat(raw.read(100));
    raw.close();
    if (!foreign.isEmpty()) {
        *message = QStringLiteral("The file %1 is %2: KX47 cannot read it.").arg(shown, foreign);
        return false;
    }

    const QString folder = info.absolutePath();
    const bool folderWritable = QFileInfo(folder).isWritable();
    const bool fileWritable = info.isWritable();
    const QString journal = pendingJournal(path);
    if (!folderWritable && !journal.isEmpty()) {
        *message =
            QStringLiteral("The database file %1 cannot be read: its folder %2 is "
                           "read-only, and the journal %3 beside it holds changes that "
                           "must be put into the file first. Nothing has been changed; "
                           "make the folder writable and start KX47 again.")
                .arg(shown, QDir::toNativeSeparators(folder), QDir::toNativeSeparators(journal));
        return false;
    }

    const QString examination = db.connectionName() + QStringLiteral("-examination");
    *message = examine(path, shown, file, folderWritable, examination);
    if (!message->isEmpty())
        return false;

    const bool readOnly = file == Schema::File::Places || !fileWritable || !folderWritable;
    if (readOnly) {
        // The gazetteer is only read; a log that cannot be written is opened for reading only.
        QSqlDatabase reading = openForReading(db.connectionName(), path, folderWritable);
        if (!reading.isOpen()) {
            *message = engineFault(shown, reading.lastError());
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

    const qint64 free = freeBytes(folder);
    if (free >= 0 && free < minimumFreeBytes) {
        *message = QStringLiteral("The disk that holds the log %1 is full (%2 KB free): KX47 "
                                  "cannot save QSOs there. Nothing has been written; free some "
                                  "space and start KX47 again.")
                       .arg(shown)
                       .arg(free / 1024);
        return false;
    }

    QString engineText;
    if (!db.open(path, &engineText)) {
        *message =
            QStringLiteral("The database file %1 cannot be opened: %2").arg(shown, engineText);
        return false;
    }
    // Taking the write lock and letting it go writes nothing, and finds out whether another
    // program holds the log.
    QSqlQuery probe(db.handle());
    const bool locked = !probe.exec(QStringLiteral("pragma busy_timeout = %1").arg(lockWaitMs)) ||
                        !probe.exec(QStringLiteral("begin immediate"));
    if (locked) {
        *message = engineFault(shown, probe.lastError());
        db.handle().close();
        return false;
    }
    probe.exec(QStringLiteral("rollback"));
    return true;
}

} // namespace kx47
