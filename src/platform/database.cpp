#include "database.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlRecord>
#include <cstdio>
#include <cstdlib>

namespace kx47
{

namespace
{

Database::FailureHandler &failureHandler()
{
    static Database::FailureHandler handler;
    return handler;
}

} // namespace

Database::Database(const QString &connectionName) : m_connectionName(connectionName) {}

Database::~Database()
{
    if (QSqlDatabase::contains(m_connectionName)) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_connectionName);
    }
}

bool Database::open(const QString &path, QString *error)
{
    if (!QFileInfo(path).isFile()) {
        if (error)
            *error = QStringLiteral("The file cannot be found.");
        return false;
    }
    QSqlDatabase db = QSqlDatabase::contains(m_connectionName)
                          ? QSqlDatabase::database(m_connectionName, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    if (!db.isValid()) {
        if (error)
            *error = QStringLiteral("The SQLite driver of Qt is not installed.");
        return false;
    }
    db.setDatabaseName(path);
    if (!db.open()) {
        if (error)
            *error = db.lastError().text();
        return false;
    }
    return true;
}

bool Database::isOpen() const
{
    return QSqlDatabase::contains(m_connectionName) &&
           QSqlDatabase::database(m_connectionName, false).isOpen();
}

QSqlDatabase Database::handle() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

QSqlQuery Database::run(const QString &sql, const QVariantList &values) const
{
    QSqlQuery query(handle());
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        fail(query.lastError().text() + QLatin1String("\n") + sql);
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        fail(query.lastError().text() + QLatin1String("\n") + sql);
    return query;
}

int Database::count(const QString &sql, const QVariantList &values) const
{
    QSqlQuery query = run(sql, values);
    if (!query.next())
        fail(QStringLiteral("A count gave no row.\n") + sql);
    return query.value(QStringLiteral("contatore")).toInt();
}

void Database::beginTransaction() const
{
    QSqlDatabase db = handle();
    if (!db.transaction())
        fail(db.lastError().text());
}

void Database::commit() const
{
    QSqlDatabase db = handle();
    if (!db.commit())
        fail(db.lastError().text());
}

void Database::rollback() const
{
    handle().rollback();
}

void Database::setFailureHandler(FailureHandler handler)
{
    failureHandler() = std::move(handler);
}

void Database::fail(const QString &engineText)
{
    if (failureHandler())
        failureHandler()(engineText);
    // A handler that returns does not make the failure go away.
    std::fprintf(stderr, "KX47: database failure: %s\n", qPrintable(engineText));
    std::abort();
}

} // namespace kx47
