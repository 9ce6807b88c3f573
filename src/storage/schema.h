#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace kx47
{

class Database;

// The versioned schema of the two database files, kept in schema.sql.
class Schema
{
public:
    enum class File { Log, Places }; // data.mdb, places.mdb

    static constexpr int version = 3;

    // The statements that make a new file of the current version, in order: those of version 1
    // and every numbered step after it.
    static QStringList statements(File file, int upTo = version);
    // The statements that bring a file from version step - 1 to version step; the last sets the
    // file's version.
    static QStringList stepStatements(File file, int step);
    // The version a file has (its user version).
    static int versionOf(const Database &db);
    static bool isCurrent(const Database &db);
    // Applies to db each step it lacks, each in one transaction of its own, so that a failure
    // leaves the file at the last version reached. Throws DatabaseError.
    static void upgrade(const Database &db, File file);
    // The tables a file must hold.
    static QStringList tables(File file);
    // Creates the tables of a file in one transaction, of the version upTo.
    static bool apply(QSqlDatabase db, File file, QString *error, int upTo = version);
    // Whether every table of the file exists in db.
    static bool hasTables(QSqlDatabase db, File file);
};

} // namespace kx47
