#pragma once

#include "databaseerror.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

namespace kx47
{

// One open SQLite file, shared by every window for the whole run. Statements are prepared with
// bound values; a statement the engine refuses throws a DatabaseError, which the window's action
// reports (guardLogWork) while the program goes on.
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
    // is never created. The connection waits up to busyTimeoutMs for a lock.
    bool open(const QString &path, QString *error, Access access = Access::ReadWrite);
    bool isOpen() const;
    QSqlDatabase handle() const;
    QString connectionName() const { return m_connectionName; }
    // Runs a statement with its values bound in order; the query is positioned before its first
    // row, forward only. Throws DatabaseError when the engine refuses it.
    QSqlQuery run(const QString &sql, const QVariantList &values = {}) const;
    // Runs a one-row count whose column is named "contatore" and returns it.
    int count(const QString &sql, const QVariantList &values = {}) const;

    // A group of changes that is stored as a whole or not at all (see Transaction). begin opens
    // it for writing at once (BEGIN IMMEDIATE), waiting for another program's lock up to the busy
    // timeout; a log that cannot be written is refused here (DatabaseError, kind ReadOnly).
    // commit stores it and then folds the write-ahead journal into the file, so that the file
    // alone holds every saved change. rollback never throws.
    void beginTransaction() const;
    void commit() const;
    void rollback() const noexcept;

    // Whether the log may be changed. A log found read-only at start-up is set not writable:
    // the windows that would change it say why they cannot, and every transaction is refused.
    bool isWritable() const { return m_writable; }
    void setWritable(bool writable) { m_writable = writable; }
    // Finds out, without changing anything, whether the engine can write the open file: true
    // when a write transaction can be opened (and is rolled back at once).
    bool probeWritable() const;

    // Folds the write-ahead journal into the database file as far as no reader needs it; never
    // waits and never throws. Does nothing for a file without a journal.
    void checkpoint() const noexcept;

    // Throws a DatabaseError of kind Other with this text.
    [[noreturn]] static void fail(const QString &engineText);

private:
    void execute(const QString &statement) const;

    QString m_connectionName;
    bool m_writable = true;
};

class Dialogs;

// What a window that would change a read-only log says instead.
extern const QString readOnlyLogMessage;

// True, after telling the user why, when the log is not writable; false otherwise.
bool refusedAsReadOnly(const Database &log, Dialogs &dialogs);

} // namespace kx47
