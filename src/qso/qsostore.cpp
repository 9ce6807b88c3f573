#include "qsostore.h"

#include "qsorecord.h"

#include "platform/database.h"
#include "platform/qsonumber.h"
#include "platform/transaction.h"

namespace kx47
{

namespace
{

const QString accreditedCountSql =
    QStringLiteral("select count(*) as contatore from data where WWLocator = ? and qsl = 'a' "
                   "and band = ? and mode = ?");
const QString sameQsoSql = QStringLiteral(
    "select count from data where mode = ? and band = ? and qsl = ? and WWLocator = ? limit 1");
const QString sameOtherQsoSql =
    QStringLiteral("select count from data where mode = ? and band = ? and qsl = ? and "
                   "WWLocator = ? and count <> ? limit 1");
const QString containsSql =
    QStringLiteral("select count(*) as contatore from data where count = ?");
const QString deleteSql = QStringLiteral("delete from data where count = ?");
const QString appendSql =
    QStringLiteral("insert into data (count, WWLocator, place, prov, mode, band, call, date, "
                   "time, qsl) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
const QString rewriteSql =
    QStringLiteral("update data set WWLocator = ?, place = ?, prov = ?, mode = ?, band = ?, "
                   "call = ?, date = ?, time = ?, qsl = ? where count = ?");

QVariantList rowValues(const QsoRecord &r)
{
    return {r.locator, r.place, r.prov, r.mode, r.band, r.call, r.date, r.time, r.qsl};
}

} // namespace

bool QsoStore::accreditedExists(const QString &locator, const QString &band,
                                const QString &mode) const
{
    return m_log.count(accreditedCountSql, {locator, band, mode}) > 0;
}

std::optional<int> QsoStore::qsoToReplace(const QsoRecord &record,
                                          std::optional<int> excluded) const
{
    QVariantList values{record.mode, record.band, record.qsl, record.locator};
    if (excluded)
        values << *excluded;
    QSqlQuery query = m_log.run(excluded ? sameOtherQsoSql : sameQsoSql, values);
    if (!query.next())
        return std::nullopt;
    return query.value(0).toInt();
}

bool QsoStore::contains(int count) const
{
    return m_log.count(containsSql, {count}) > 0;
}

void QsoStore::remove(int count) const
{
    m_log.run(deleteSql, {count});
}

int QsoStore::append(const QsoRecord &record, std::optional<int> replaced) const
{
    Transaction transaction(m_log);
    if (replaced)
        remove(*replaced);
    // The number is taken after the deletion: a replaced QSO that held the highest number
    // gives it to the new one.
    const int number = nextQsoNumber(m_log);
    m_log.run(appendSql, QVariantList{number} + rowValues(record));
    transaction.commit();
    return number;
}

bool QsoStore::rewrite(const QsoRecord &record, std::optional<int> replaced) const
{
    Transaction transaction(m_log);
    if (!contains(record.count))
        return false;
    if (replaced)
        remove(*replaced);
    m_log.run(rewriteSql, rowValues(record) + QVariantList{record.count});
    transaction.commit();
    return true;
}

} // namespace kx47
