#include "userdatastore.h"

#include "storage/database.h"
#include "storage/transaction.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <QVariantList>

namespace kx47
{

namespace
{

const QString insertRow = QStringLiteral(
    "insert into userData (\"OM/YL/SWL\", call, address, country, city, email, fName, sName, "
    "ZIPcode, prov, WWLocator, count) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1)");

// Only the first row is replaced; the program never writes a second one.
const QString replaceFirstRow = QStringLiteral(
    "update userData set \"OM/YL/SWL\" = ?, call = ?, address = ?, country = ?, city = ?, "
    "email = ?, fName = ?, sName = ?, ZIPcode = ?, prov = ?, WWLocator = ? "
    "where rowid = (select min(rowid) from userData)");

// An empty value is written as the empty text, never as NULL.
QVariant stored(const QString &value)
{
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}

} // namespace

UserDataStore::UserDataStore(const Database &log) : m_log(log) {}

void UserDataStore::write(const UserDataRecord &typed) const
{
    // The table holds no empty e-mail: the applicant without one gets a blank.
    const QString email = typed.email.isEmpty() ? QStringLiteral(" ") : typed.email;
    QVariantList values;
    for (const QString &value :
         {typed.category, typed.call, typed.address, typed.country, typed.city, email, typed.fName,
          typed.sName, typed.zipCode, typed.prov, typed.wwLocator})
        values << stored(value);
    // Whether a row exists is read in the same transaction that writes it.
    Transaction transaction(m_log);
    m_log.run(rows() == 0 ? insertRow : replaceFirstRow, values);
    transaction.commit();
}

UserDataRecord UserDataStore::read() const
{
    UserDataRecord record;
    // The first row of the table: the only one the program ever writes.
    QSqlQuery query =
        m_log.run(QStringLiteral("select * from userData order by rowid asc limit 1"));
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

int UserDataStore::rows() const
{
    return m_log.count(QStringLiteral("select count(*) as contatore from userData"));
}

QString UserDataStore::firstCall() const
{
    QSqlQuery calls = m_log.run(QStringLiteral("select call from userData"));
    return calls.next() ? calls.value(0).toString() : QString();
}

int UserDataStore::rowsWithACall() const
{
    return m_log.count(QStringLiteral("select count(call) as contatore from userData"));
}

} // namespace kx47
