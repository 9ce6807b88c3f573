#include "databasecheck.h"

#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

namespace kx47
{

QStringList DatabaseCheck::missingColumns(QSqlDatabase db, Schema::File file)
{
    const QString reference = QStringLiteral("kx47-schema-reference");
    // A file of an earlier version lacks what the later steps add: it is checked against its
    // own version, and brought up to date afterwards.
    int fileVersion = Schema::version;
    {
        QSqlQuery query(db);
        if (query.exec(QStringLiteral("pragma user_version")) && query.next())
            fileVersion = std::clamp(query.value(0).toInt(), 1, Schema::version);
    }
    QStringList missing;
    {
        QSqlDatabase wanted = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), reference);
        wanted.setDatabaseName(QStringLiteral(":memory:"));
        if (wanted.open() && Schema::apply(wanted, file, nullptr, fileVersion)) {
            for (const QString &table : Schema::tables(file)) {
                auto columnsOf = [&table](QSqlDatabase of) {
                    QStringList columns;
                    QSqlQuery query(of);
                    if (query.exec(QStringLiteral("pragma table_info(\"%1\")").arg(table))) {
                        while (query.next())
                            columns << query.value(QStringLiteral("name")).toString();
                    }
                    return columns;
                };
                const QStringList present = columnsOf(db);
                for (const QString &column : columnsOf(wanted)) {
                    if (!present.contains(column, Qt::CaseInsensitive))
                        missing << table + QLatin1Char('.') + column;
                }
            }
        }
        wanted.close();
    }
    QSqlDatabase::removeDatabase(reference);
    return missing;
}

bool DatabaseCheck::quickCheck(QSqlDatabase db, QString *problem)
{
    QSqlQuery query(db);
    QStringList findings;
    if (query.exec(QStringLiteral("pragma quick_check"))) {
        while (query.next())
            findings << query.value(0).toString();
    }
    if (query.lastError().isValid()) {
        *problem = query.lastError().text();
        return false;
    }
    if (findings == QStringList{QStringLiteral("ok")})
        return true;
    *problem = findings.isEmpty() ? QStringLiteral("The check gave no result.")
                                  : findings.mid(0, 5).join(QLatin1Char('\n'));
    return false;
}

} // namespace kx47
