#include "logstore.h"

#include "platform/awardvocabulary.h"
#include "platform/database.h"
#include "platform/qsonumber.h"
#include "platform/transaction.h"

#include <QSqlRecord>

namespace kx47
{

QsoRecord LogStore::recordAt(const QSqlQuery &query)
{
    QsoRecord qso;
    qso.count = query.value(0).toInt();
    qso.locator = query.value(1).toString();
    qso.call = query.value(2).toString();
    qso.date = query.value(3).toString();
    qso.time = query.value(4).toString();
    qso.place = query.value(5).toString();
    qso.prov = query.value(6).toString();
    qso.mode = query.value(7).toString();
    qso.band = query.value(8).toString();
    qso.qsl = query.value(9).toString();
    return qso;
}

namespace
{

const QString fetchSql =
    QStringLiteral("select %1 from data where count = ?").arg(QLatin1String(LogStore::qsoColumns));
const QString containsSql =
    QStringLiteral("select count(*) as contatore from data where count = ?");
const QString accreditedCountSql =
    QStringLiteral("select count(*) as contatore from data where WWLocator = ? and qsl = 'a' "
                   "and band = ? and mode = ?");
const QString confirmedHolderSql = QStringLiteral(
    "select count from data where mode = ? and band = ? and qsl = 'c' and WWLocator = ? limit 1");
const QString otherConfirmedHolderSql =
    QStringLiteral("select count from data where mode = ? and band = ? and qsl = 'c' and "
                   "WWLocator = ? and count <> ? limit 1");
const QString deleteSql = QStringLiteral("delete from data where count = ?");
const QString appendSql =
    QStringLiteral("insert into data (count, WWLocator, place, prov, mode, band, call, date, "
                   "time, qsl) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
const QString rewriteSql =
    QStringLiteral("update data set WWLocator = ?, place = ?, prov = ?, mode = ?, band = ?, "
                   "call = ?, date = ?, time = ?, qsl = ? where count = ?");
// The states in rising order; a state is replaced only by a higher one.
const QString upgradeToConfirmedSql =
    QStringLiteral("update data set qsl = 'c' where count = ? and qsl not in ('c', 'a')");
const QString upgradeToAccreditedSql =
    QStringLiteral("update data set qsl = 'a' where count = ? and qsl <> 'a'");

// The columns of table data never hold NULL: a value a file left out is stored as empty text.
QVariant text(const QString &value)
{
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}

QVariantList rowValues(const QsoRecord &r)
{
    return {text(r.locator), text(r.place), text(r.prov), text(r.mode), text(r.band),
            text(r.call),    text(r.date),  text(r.time), text(r.qsl)};
}

int changedRows(const QSqlQuery &query)
{
    return query.numRowsAffected();
}

std::optional<QsoRecord> fetchQso(const Database &log, qint64 count)
{
    QSqlQuery query = log.run(fetchSql, {count});
    if (!query.next())
        return std::nullopt;
    return LogStore::recordAt(query);
}

bool containsQso(const Database &log, qint64 count)
{
    return log.count(containsSql, {count}) > 0;
}

bool accredited(const Database &log, const QString &locator, const QString &band,
                const QString &mode)
{
    return log.count(accreditedCountSql, {locator, band, mode}) > 0;
}

std::optional<int> holder(const Database &log, const QString &locator, const QString &band,
                          const QString &mode, std::optional<qint64> excluded)
{
    QVariantList values{mode, band, locator};
    if (excluded)
        values << *excluded;
    QSqlQuery query = log.run(excluded ? otherConfirmedHolderSql : confirmedHolderSql, values);
    if (!query.next())
        return std::nullopt;
    return query.value(0).toInt();
}

} // namespace

// ---- Batch

std::optional<QsoRecord> LogStore::Batch::fetch(qint64 count) const
{
    return fetchQso(m_log, count);
}

bool LogStore::Batch::contains(qint64 count) const
{
    return containsQso(m_log, count);
}

bool LogStore::Batch::accreditedExists(const QString &locator, const QString &band,
                                       const QString &mode) const
{
    return accredited(m_log, locator, band, mode);
}

std::optional<int> LogStore::Batch::confirmedHolder(const QString &locator, const QString &band,
                                                    const QString &mode,
                                                    std::optional<qint64> excluded) const
{
    return holder(m_log, locator, band, mode, excluded);
}

int LogStore::Batch::append(const QsoRecord &record)
{
    const std::optional<int> number = nextQsoNumber(m_log);
    if (!number)
        throw DatabaseError(DatabaseError::Kind::NumberLimit,
                            QStringLiteral("The log holds QSO number %1, the highest there is.")
                                .arg(highestQsoNumber));
    m_log.run(appendSql, QVariantList{*number} + rowValues(record));
    // A number freed in this batch and taken again names a QSO that changed.
    if (m_change.removed.removeAll(*number) > 0)
        m_change.changed << *number;
    else
        m_change.added << *number;
    return *number;
}

bool LogStore::Batch::rewrite(const QsoRecord &record)
{
    if (!contains(record.count))
        return false;
    m_log.run(rewriteSql, rowValues(record) + QVariantList{record.count});
    m_change.changed << record.count;
    return true;
}

bool LogStore::Batch::remove(qint64 count)
{
    if (changedRows(m_log.run(deleteSql, {count})) <= 0)
        return false;
    m_change.removed << count;
    m_change.added.removeAll(count);
    m_change.changed.removeAll(count);
    return true;
}

bool LogStore::Batch::upgradeQsl(qint64 count, const QString &qsl)
{
    const std::optional<vocabulary::QslState> state = vocabulary::qslStateOf(qsl);
    if (!state || *state == vocabulary::QslState::Worked)
        return false;
    const QString *sql = *state == vocabulary::QslState::Accredited ? &upgradeToAccreditedSql
                                                                    : &upgradeToConfirmedSql;
    if (changedRows(m_log.run(*sql, {count})) <= 0)
        return false;
    if (!m_change.added.contains(count) && !m_change.changed.contains(count))
        m_change.changed << count;
    return true;
}

// ---- LogStore

LogChange LogStore::write(const std::function<void(Batch &)> &work) const
{
    Transaction transaction(m_log);
    Batch batch(m_log);
    work(batch);
    transaction.commit();
    return batch.m_change;
}

std::optional<QsoRecord> LogStore::fetch(qint64 count) const
{
    return fetchQso(m_log, count);
}

bool LogStore::contains(qint64 count) const
{
    return containsQso(m_log, count);
}

bool LogStore::accreditedExists(const QString &locator, const QString &band,
                                const QString &mode) const
{
    return accredited(m_log, locator, band, mode);
}

std::optional<int> LogStore::confirmedHolder(const QString &locator, const QString &band,
                                             const QString &mode,
                                             std::optional<qint64> excluded) const
{
    return holder(m_log, locator, band, mode, excluded);
}

LogChange LogStore::append(const QsoRecord &record, std::optional<qint64> replaced) const
{
    return write([&](Batch &batch) {
        if (replaced)
            batch.remove(*replaced);
        // The number is taken after the deletion: a replaced QSO that held the highest number
        // gives it to the new one.
        batch.append(record);
    });
}

LogChange LogStore::rewrite(const QsoRecord &record, std::optional<qint64> replaced) const
{
    return write([&](Batch &batch) {
        if (!batch.contains(record.count))
            return;
        if (replaced)
            batch.remove(*replaced);
        batch.rewrite(record);
    });
}

LogChange LogStore::remove(qint64 count) const
{
    return write([&](Batch &batch) { batch.remove(count); });
}

LogChange LogStore::upgradeQsl(const QList<int> &counts, const QString &qsl) const
{
    return write([&](Batch &batch) {
        for (const int count : counts)
            batch.upgradeQsl(count, qsl);
    });
}

} // namespace kx47
