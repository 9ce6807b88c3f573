#include "logrestore.h"

#include "storage/database.h"
#include "storage/schema.h"
#include "storage/transaction.h"

#include <QSqlQuery>
#include <QStringList>

namespace kx47
{

namespace
{

// The schema name the backup is attached under while it is copied.
const QString backupSchema = QStringLiteral("backup");

// The columns of table in the log that the backup has too, quoted, in the log's order.
QString sharedColumns(const Database &log, const QString &table)
{
    QStringList inBackup;
    QSqlQuery backup =
        log.run(QStringLiteral("pragma %1.table_info(\"%2\")").arg(backupSchema, table));
    while (backup.next())
        inBackup << backup.value(QStringLiteral("name")).toString();
    QStringList columns;
    QSqlQuery main = log.run(QStringLiteral("pragma main.table_info(\"%1\")").arg(table));
    while (main.next()) {
        const QString name = main.value(QStringLiteral("name")).toString();
        if (inBackup.contains(name, Qt::CaseInsensitive))
            columns << QLatin1Char('"') + name + QLatin1Char('"');
    }
    return columns.join(QStringLiteral(", "));
}

// The backup attached to the log's connection for as long as it lives.
class AttachedBackup
{
public:
    AttachedBackup(const Database &log, const QString &path) : m_log(log)
    {
        m_log.run(QStringLiteral("attach database ? as %1").arg(backupSchema), {path});
    }
    ~AttachedBackup()
    {
        try {
            m_log.run(QStringLiteral("detach database %1").arg(backupSchema));
        } catch (const DatabaseError &) {
            // Detached with the connection at the latest; the log itself is whole either way.
        }
    }
    AttachedBackup(const AttachedBackup &) = delete;
    AttachedBackup &operator=(const AttachedBackup &) = delete;

private:
    const Database &m_log;
};

} // namespace

void restoreLogTables(const Database &log, const QString &backupPath)
{
    const AttachedBackup attached(log, backupPath);
    Transaction transaction(log);
    for (const QString &table : Schema::tables(Schema::File::Log)) {
        const QString columns = sharedColumns(log, table);
        log.run(QStringLiteral("delete from main.\"%1\"").arg(table));
        log.run(QStringLiteral("insert into main.\"%1\" (%2) select %2 from %3.\"%1\"")
                    .arg(table, columns, backupSchema));
    }
    transaction.commit();
}

} // namespace kx47
