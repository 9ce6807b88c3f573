#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace kx47
{

// The versioned schema of the two database files, kept in schema.sql.
class Schema
{
public:
    enum class File { Log, Places }; // data.mdb, places.mdb

    static constexpr int version = 1;

    // The statements of one file, in order.
    static QStringList statements(File file);
    // The tables a file must hold.
    static QStringList tables(File file);
    // Creates the tables of a file in one transaction.
    static bool apply(QSqlDatabase db, File file, QString *error);
    // Whether every table of the file exists in db.
    static bool hasTables(QSqlDatabase db, File file);
};

} // namespace kx47
