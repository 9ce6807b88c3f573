#include "schema.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>

namespace kx47
{

namespace
{

QString sectionMarker(Schema::File file)
{
    return file == Schema::File::Log ? QStringLiteral("-- [data.mdb]")
                                     : QStringLiteral("-- [places.mdb]");
}

} // namespace

QStringList Schema::statements(File file)
{
    QFile source(QStringLiteral(":/kx47/schema.sql"));
    if (!source.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    const QString text = QString::fromUtf8(source.readAll());

    // The file's section runs from its marker to the next marker or the end.
    QStringList lines;
    bool inSection = false;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1String("-- ["))) {
            inSection = trimmed == sectionMarker(file);
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

QStringList Schema::tables(File file)
{
    if (file == File::Log)
        return {QStringLiteral("data"), QStringLiteral("userData")};
    return {QStringLiteral("places")};
}

bool Schema::apply(QSqlDatabase db, File file, QString *error)
{
    const QStringList all = statements(file);
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
