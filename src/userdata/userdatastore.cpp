#include "userdatastore.h"

#include "storage/database.h"
#include "storage/transaction.h"

#include <QVariantList>

namespace kx47
{

namespace
{

const QString countRows = QStringLiteral("select count(*) as contatore from userData");

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
    return readUserData(m_log);
}

int UserDataStore::rows() const
{
    return m_log.count(countRows);
}

} // namespace kx47
