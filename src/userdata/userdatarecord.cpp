#include "userdatarecord.h"

#include "storage/database.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

namespace kx47
{

namespace
{

// The first row of the table: the only one the program ever writes.
const QString selectFirstRow = QStringLiteral("select * from userData order by rowid asc limit 1");

} // namespace

UserDataRecord readUserData(const Database &log)
{
    UserDataRecord record;
    QSqlQuery query = log.run(selectFirstRow);
    if (!query.next())
        return record;

    const QSqlRecord columns = query.record();
    // A column that a hand-made table lacks reads as the empty text.
    const auto text = [&query, &columns](const QString &column) {
        const int index = columns.indexOf(column);
        return index < 0 ? QString() : query.value(index).toString();
    };
    record.present = true;
    record.category = text(QStringLiteral("OM/YL/SWL"));
    record.call = text(QStringLiteral("call"));
    record.fName = text(QStringLiteral("fName"));
    record.sName = text(QStringLiteral("sName"));
    record.address = text(QStringLiteral("address"));
    record.city = text(QStringLiteral("city"));
    record.prov = text(QStringLiteral("prov"));
    record.country = text(QStringLiteral("country"));
    record.zipCode = text(QStringLiteral("ZIPcode"));
    record.wwLocator = text(QStringLiteral("WWLocator"));
    record.email = text(QStringLiteral("email"));
    return record;
}

} // namespace kx47
