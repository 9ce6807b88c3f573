#include "schema.h"

#include "database.h"
#include "transaction.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>

namespace kx47
{

namespace
{

QString fileMarker(Schema::File file)
{
    return file == Schema::File::Log ? QStringLiteral("data.mdb") : QStringLiteral("places.mdb");
}

// The statements of one section of schema.sql: from its marker "-- [name]" to the next marker.
QStringList section(const QString &name)
{
    QFile source(QStringLiteral(":/kx47/schema.sql"));
    if (!source.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    const QString text = QString::fromUtf8(source.readAll());
    const QString marker = QStringLiteral("-- [%1]").arg(name);

    QStringList lines;
    bool inSection = false;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1String("-- ["))) {
            inSection = trimmed == marker;
            continue;
        }
        if (inSection && !trimmed.startsWith(QLatin1String("--")))
            lines << line;
    }
    QStringList result;
    for (const QString &statement : lines.join(QLatin1Char('\n')).split(QLatin1Char(';'))) {
        if (!statement.trimmed().isEmpty())
            result << statement.trimmed();
    }
    return result;
}

} // namespace

QStringList Schema::statements(File file, int upTo)
{
    QStringList all = section(fileMarker(file));
    if (all.isEmpty())
        return {};
    for (int step = 2; step <= upTo; ++step)
        all << stepStatements(file, step);
    return all;
}

QStringList Schema::stepStatements(File file, int step)
{
    return section(QStringLiteral("%1 step %2").arg(fileMarker(file)).arg(step));
}

int Schema::versionOf(const Database &db)
{
    QSqlQuery query = db.run(QStringLiteral("pragma user_version"));
    return query.next() ? query.value(0).toInt() : 0;
}

bool Schema::isCurrent(const Database &db)
{
    return versionOf(db) >= version;
}

void Schema::upgrade(const Database &db, File file)
{
    for (int step = versionOf(db) + 1; step <= version; ++step) {
        const QStringList statements = stepStatements(file, step);
        if (statements.isEmpty())
            Database::fail(QStringLiteral("Step %1 of the schema is missing.").arg(step));
        Transaction transaction(db);
        for (const QString &statement : statements)
            db.run(statement);
        transaction.commit();
    }
}

QStringList Schema::tables(File file)
{
    if (file == File::Log)
        return {QStringLiteral("data"), QStringLiteral("userData")};
    return {QStringLiteral("places")};
}

bool Schema::apply(QSqlDatabase db, File file, QString *error, int upTo)
{
    const QStringList all = statements(file, upTo);
    if (all.isEmpty()) {
        if (error)
            *error = QStringLiteral("The schema is missing.");
        return false;
    }
    if (!db.transaction()) {
        if (error)
            *error = db.lastError().text();
        return false;
    }
    for (const QString &statement : all) {
        QSqlQuery query(db);
        if (!query.exec(statement)) {
            if (error)
                *error = query.lastError().text();
            db.rollback();
            return false;
        }
    }
    if (!db.commit()) {
        if (error)
            *error = db.lastError().text();
        return false;
    }
    return true;
}

bool Schema::hasTables(QSqlDatabase db, File file)
{
    const QStringList present = db.tables();
    for (const QString &table : tables(file)) {
        if (!present.contains(table, Qt::CaseInsensitive))
            return false;
    }
    return true;
}

} // namespace kx47
