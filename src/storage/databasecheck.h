#pragma once

#include "schema.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace kx47
{

// Checks of a database file that only read it: whether SQLite finds it whole, and whether its
// tables hold every column the program needs.
class DatabaseCheck
{
public:
    // The columns of schema.sql that the tables in db lack, as "table.column".
    static QStringList missingColumns(QSqlDatabase db, Schema::File file);
    // Whether db passes SQLite's quick check; the engine's findings in *problem otherwise.
    static bool quickCheck(QSqlDatabase db, QString *problem);
};

} // namespace kx47
