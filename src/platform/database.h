#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <functional>

namespace kx47
{

// One open SQLite file, shared by every window for the whole run. Statements are prepared with
// bound values; a statement the engine refuses goes to the failure handler, which tells the
// user and ends the program.
class Database
{
public:
    using FailureHandler = std::function<void(const QString &engineText)>;

    explicit Database(const QString &connectionName);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Opens an existing file for reading and writing; a missing file is never created.
    bool open(const QString &path, QString *error);
    bool isOpen() const;
    QSqlDatabase handle() const;
    QString connectionName() const { return m_connectionName; }
    // Whether the log may be changed: false for a log that can only be read (a read-only file
    // or folder), which is opened for browsing, counting and printing only.
    void setWritable(bool writable) { m_writable = writable; }
    bool isWritable() const { return m_writable; }

    // Runs a statement with its values bound in order; the query is positioned before its first
    // row, forward only.
    QSqlQuery run(const QString &sql, const QVariantList &values = {}) const;
    // Runs a one-row count whose column is named "contatore" and returns it.
    int count(const QString &sql, const QVariantList &values = {}) const;

    // A group of changes that is stored as a whole or not at all.
    void beginTransaction() const;
    void commit() const;
    void rollback() const;

    // What happens when the engine refuses a statement. The default handler prints the engine's
    // text and aborts; the application installs one that tells the user first.
    static void setFailureHandler(FailureHandler handler);
    [[noreturn]] static void fail(const QString &engineText);

private:
    QString m_connectionName;
    bool m_writable = true;
};

} // namespace kx47
