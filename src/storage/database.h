#pragma once

#include "databaseerror.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <functional>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace kx47
{

// One open SQLite file, shared by every window for the whole run. Statements are prepared with
// bound values; a statement the engine refuses throws a DatabaseError, which the window's action
// reports (guardLogWork) while the program goes on.
class JournalFolder;

class Database
{
public:
    // How long a statement waits for a lock held by another program before it fails.
    static constexpr int busyTimeoutMs = 5000;

    explicit Database(const QString &connectionName);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    enum class Access { ReadWrite, ReadOnly };

    // Opens an existing file, for reading and writing unless ReadOnly is asked; a missing file
    // is never created. The connection waits up to busyTimeoutMs for a lock. path may be a
    // file: address with SQLite's flags (as the connection of a log read as unchanging names it).
    bool open(const QString &path, QString *error, Access access = Access::ReadWrite);
    bool isOpen() const;
    QSqlDatabase handle() const;
    QString connectionName() const { return m_connectionName; }
    // Runs a statement with its values bound in order; the query is positioned before its first
    // row, forward only. Throws DatabaseError when the engine refuses it.
    QSqlQuery run(const QString &sql, const QVariantList &values = {}) const;
    // A statement prepared once, to be run many times with exec(), forward only. Throws
    // DatabaseError when the engine refuses it.
    QSqlQuery prepare(const QString &sql) const;
    // Runs a prepared statement with its values bound in order; the query is positioned before
    // its first row. Throws DatabaseError when the engine refuses it.
    static void exec(QSqlQuery &query, const QVariantList &values = {});
    // Runs a one-row count whose column is named "contatore" and returns it.
    int count(const QString &sql, const QVariantList &values = {}) const;

    // A group of changes that is stored as a whole or not at all (see Transaction). begin opens
    // it for writing at once (BEGIN IMMEDIATE), waiting for another program's lock up to the busy
    // timeout; a log that cannot be written is refused here (DatabaseError, kind ReadOnly).
    // commit stores it and then has the write-ahead journal folded into the file, so that the
    // file alone holds every saved change. rollback never throws.
    void beginTransaction() const;
    void commit() const;
    void rollback() const noexcept;

    // Work that must be done before the log is changed (a check of the whole file that runs in
    // the background): beginTransaction runs it before the transaction opens. It may throw a
    // DatabaseError, which refuses the change.
    void setBeforeWrite(std::function<void()> work) { m_beforeWrite = std::move(work); }

    // Whether the log may be changed. A log found read-only at start-up is set not writable:
    // the windows that would change it say why they cannot, and every transaction is refused.
    bool isWritable() const { return m_writable; }
    void setWritable(bool writable) { m_writable = writable; }
    // Finds out, without changing anything, whether the engine can write the open file: true
    // when a write transaction can be opened (and is rolled back at once).
    bool probeWritable() const;

    // Keeps the log's changes in a write-ahead journal first: a saved QSO then does not wait
    // for the disk at commit, and a power failure can cost at most the last changes, never the
    // file. After each commit the journal is folded into the file on a thread of its own
    // (JournalFolder), and at the end when the log is closed.
    void useWriteAheadJournal();
    // Waits until the journal holds nothing that the file lacks (as far as no reader of
    // another program needs it). Returns at once without a journal.
    void waitUntilJournalFolded() const;

    // Folds the write-ahead journal into the database file here and now, as far as no reader
    // needs it; never waits for a lock and never throws. Does nothing without a journal.
    void checkpoint() const noexcept;

    // The engine's page cache of this connection set to kib KiB for as long as it lives (a large
    // import's transaction, which would otherwise write and read the same pages again and
    // again), then given back its former size. Never throws.
    class PageCache
    {
    public:
        PageCache(const Database &db, int kib) noexcept;
        ~PageCache();
        PageCache(const PageCache &) = delete;
        PageCache &operator=(const PageCache &) = delete;

    private:
        const Database &m_db;
        QString m_former;
    };

    // The engine's own handle of a connection, for what Qt's driver does not offer (a progress
    // handler); null when the connection is not an open SQLite one.
    static sqlite3 *engineHandle(const QSqlDatabase &db);

    // Throws a DatabaseError of kind Other with this text.
    [[noreturn]] static void fail(const QString &engineText);

private:
    void execute(const QString &statement) const;

    QString m_connectionName;
    bool m_writable = true;
    std::function<void()> m_beforeWrite;
    std::unique_ptr<JournalFolder> m_journalFolder;
};

// A statement prepared on the engine's own handle of the connection, its values bound by
// position straight from the texts and its columns read as the engine holds them: for the few
// statements an import runs for every QSO and the rows an export reads, where Qt's binding (a
// QVariant made, copied and looked up by name for each value, and a record of the columns for
// each run) and reading (a QVariant and a text of its own for each value) cost more than the
// engine's own work. A bound text
// stays the caller's: it must live until the statement has run. A failure throws
// DatabaseError as Database::run() does, and the statement is ready to be bound and run again.
class EngineStatement
{
public:
    EngineStatement(const Database &db, const QByteArray &sql);
    ~EngineStatement();
    EngineStatement(const EngineStatement &) = delete;
    EngineStatement &operator=(const EngineStatement &) = delete;

    // Positions count from 1, as the engine's do. A null text is bound as an empty one.
    void bind(int position, const QString &text);
    void bind(int position, QLatin1String text);
    void bind(int position, qint64 number);
    // A number as a number, anything else as its text (copied).
    void bind(int position, const QVariant &value);
    // Runs the statement to its next row: true when there is one. After the last row (and
    // after finish()) it can be bound and run again.
    bool next();
    void finish();
    // Of the current row.
    bool isNull(int column) const;
    qint64 integer(int column) const;
    QString text(int column) const;
    // The column's text in UTF-8, valid until the next row.
    QByteArrayView bytes(int column) const;

private:
    [[noreturn]] void fail(int code);

    sqlite3 *m_engine = nullptr;
    sqlite3_stmt *m_statement = nullptr;
    QByteArray m_sql;
};

class Dialogs;

// What a window that would change a read-only log says instead.
extern const QString readOnlyLogMessage;

// True, after telling the user why, when the log is not writable; false otherwise.
bool refusedAsReadOnly(const Database &log, Dialogs &dialogs);

} // namespace kx47
