// Makes the program's database files:
//   kx47_mkdb log <data.mdb>              an empty log, only where the file is absent
//   kx47_mkdb places <places.csv> <places.mdb>   the gazetteer from its CSV source
#include "storage/database.h"
#include "storage/schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTextStream>
#include <cstdio>

using kx47::Database;
using kx47::Schema;

namespace
{

int fail(const QString &text)
{
    std::fprintf(stderr, "kx47_mkdb: %s\n", qPrintable(text));
    return 1;
}

// Splits one CSV record; fields may be quoted, with "" standing for a quote.
QStringList splitCsv(const QString &line)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < line.size() && line.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            fields << field;
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field;
    return fields;
}

int makeLog(const QString &path)
{
    if (QFileInfo::exists(path)) {
        std::printf("kx47_mkdb: %s exists, left as it is\n", qPrintable(path));
        return 0;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString partial = path + QLatin1String(".new");
    QFile::remove(partial);
    QFile(partial).open(QIODevice::WriteOnly); // the engine opens only existing files
    QString error;
    {
        Database db(QStringLiteral("mkdb-log"));
        if (!db.open(partial, &error) || !Schema::apply(db.handle(), Schema::File::Log, &error))
            return fail(error);
    }
    if (!QFile::rename(partial, path))
        return fail(QStringLiteral("cannot write %1").arg(path));
    return 0;
}

int makePlaces(const QString &csvPath, const QString &path)
{
    QFile csv(csvPath);
    if (!csv.open(QIODevice::ReadOnly | QIODevice::Text))
        return fail(QStringLiteral("cannot read %1").arg(csvPath));
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString partial = path + QLatin1String(".new");
    QFile::remove(partial);
    QFile(partial).open(QIODevice::WriteOnly);
    QString error;
    int rows = 0;
    {
        Database db(QStringLiteral("mkdb-places"));
        if (!db.open(partial, &error) || !Schema::apply(db.handle(), Schema::File::Places, &error))
            return fail(error);
        db.beginTransaction();
        QSqlQuery insert(db.handle());
        insert.prepare(
            QStringLiteral("insert into places (place, WWLocator, prov) values (?, ?, ?)"));
        QTextStream in(&csv);
        in.setEncoding(QStringConverter::Utf8);
        bool header = true;
        while (!in.atEnd()) {
            const QString line = in.readLine();
            if (header || line.trimmed().isEmpty()) {
                header = false;
                continue;
            }
            const QStringList fields = splitCsv(line);
            if (fields.size() != 3)
                return fail(QStringLiteral("bad line in %1: %2").arg(csvPath, line));
            for (const QString &field : fields)
                insert.addBindValue(field);
            if (!insert.exec())
                return fail(QStringLiteral("cannot store %1").arg(line));
            ++rows;
        }
        db.commit();
    }
    QFile::remove(path);
    if (!QFile::rename(partial, path))
        return fail(QStringLiteral("cannot write %1").arg(path));
    std::printf("kx47_mkdb: %d places in %s\n", rows, qPrintable(path));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("log"))
        return makeLog(args[2]);
    if (args.size() == 4 && args[1] == QLatin1String("places"))
        return makePlaces(args[2], args[3]);
    return fail(
        QStringLiteral("usage: kx47_mkdb log <data.mdb> | places <places.csv> <places.mdb>"));
}
