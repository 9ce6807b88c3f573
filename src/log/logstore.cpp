#include "logstore.h"

#include "keptfields.h"

#include "log/awardvocabulary.h"
#include "log/qsonumber.h"
#include "storage/database.h"
#include "storage/transaction.h"

#include <QSqlRecord>
#include <algorithm>

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
    qso.qsl = vocabulary::storedQslState(query.value(9).toString());
    qso.lotw = query.value(10).toString();
    qso.lotwDate = query.value(11).toString();
    qso.eqsl = query.value(12).toString();
    qso.eqslDate = query.value(13).toString();
    qso.kept = query.value(14).toString();
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
// The QSOs that keep a sub-square, band and mode for themselves, leaving out two numbers.
const char *const holdersSql =
    "select count, qsl from data where mode = ? and band = ? and qsl in ('c', 'a') and "
    "WWLocator = ? and count not in (?, ?)";
const QString deleteSql = QStringLiteral("delete from data where count = ?");
const char *const appendSql =
    "insert into data (count, WWLocator, place, prov, mode, band, call, date, time, qsl, kept, "
    "lotw, lotwDate, eqsl, eqslDate) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
// An edit rewrites what the form shows and keeps the electronic confirmations.
const QString rewriteSql =
    QStringLiteral("update data set WWLocator = ?, place = ?, prov = ?, mode = ?, band = ?, "
                   "call = ?, date = ?, time = ?, qsl = ?, kept = ? where count = ?");
// The states in rising order; a state is replaced only by a higher one.
const QString upgradeToConfirmedSql =
    QStringLiteral("update data set qsl = 'c' where count = ? and qsl not in ('c', 'a')");
const QString upgradeToAccreditedSql =
    QStringLiteral("update data set qsl = 'a' where count = ? and qsl <> 'a'");
// A confirmation is never taken away; a date is only added where there was none.
const QString addLotwSql = QStringLiteral(
    "update data set lotw = 'Y', lotwDate = case when lotwDate = '' then ? else lotwDate end "
    "where count = ? and (lotw = '' or (lotwDate = '' and ? <> ''))");
const QString addEqslSql = QStringLiteral(
    "update data set eqsl = 'Y', eqslDate = case when eqslDate = '' then ? else eqslDate end "
    "where count = ? and (eqsl = '' or (eqslDate = '' and ? <> ''))");

// The columns of table data never hold NULL: a value a file left out is stored as empty text.
QVariant text(const QString &value)
{
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}

QVariantList rowValues(const QsoRecord &r)
{
    return {text(r.locator), text(r.place), text(r.prov),
            text(r.mode),    text(r.band),  text(r.call),
            text(r.date),    text(r.time),  QString(vocabulary::qslLetter(r.qsl)),
            text(r.kept)};
}

// The helpers below run their statements through run(sql, values), which gives the query
// positioned before its first row: anew each time outside a batch, prepared once inside one.
// A query that was read is finished, so that a prepared one holds no cursor open.

template <typename Run> int countOf(const Run &run, const QString &sql, const QVariantList &values)
{
    auto &&query = run(sql, values);
    if (!query.next())
        Database::fail(QStringLiteral("A count gave no row.\n") + sql);
    const int counted = query.value(QStringLiteral("contatore")).toInt();
    query.finish();
    return counted;
}

template <typename Run>
int changedRows(const Run &run, const QString &sql, const QVariantList &values)
{
    return run(sql, values).numRowsAffected();
}

template <typename Run> std::optional<QsoRecord> fetchQso(const Run &run, qint64 count)
{
    auto &&query = run(fetchSql, {count});
    if (!query.next())
        return std::nullopt;
    const QsoRecord qso = LogStore::recordAt(query);
    query.finish();
    return qso;
}

template <typename Run> bool containsQso(const Run &run, qint64 count)
{
    return countOf(run, containsSql, {count}) > 0;
}

template <typename Run>
bool accredited(const Run &run, const QString &locator, const QString &band, const QString &mode)
{
    return countOf(run, accreditedCountSql, {locator, band, mode}) > 0;
}

template <typename Run>
std::optional<int> holder(const Run &run, const QString &locator, const QString &band,
                          const QString &mode, std::optional<qint64> excluded)
{
    QVariantList values{mode, band, locator};
    if (excluded)
        values << *excluded;
    auto &&query = run(excluded ? otherConfirmedHolderSql : confirmedHolderSql, values);
    if (!query.next())
        return std::nullopt;
    const int number = query.value(0).toInt();
    query.finish();
    return number;
}

// Runs each statement anew, outside a batch.
struct RunOnce {
    const Database &log;
    QSqlQuery operator()(const QString &sql, const QVariantList &values) const
    {
        return log.run(sql, values);
    }
};

} // namespace

// The answer of a store or a batch.
template <typename Reads>
LogStore::RuleAnswer answerOf(const Reads &reads, const QsoRecord &record,
                              std::optional<qint64> edited)
{
    LogStore::RuleAnswer answer;
    answer.accredited = reads.accreditedExists(record.locator, record.band, record.mode);
    if (logrules::holdsSlot(record.qsl))
        answer.holder = reads.confirmedHolder(record.locator, record.band, record.mode, edited);
    return answer;
}

// ---- Batch

// The batch's run() for the helpers above.
struct LogStore::Batch::Prepared {
    const Batch &batch;
    QSqlQuery &operator()(const QString &sql, const QVariantList &values) const
    {
        return batch.run(sql, values);
    }
};

LogStore::Batch::Batch(const Database &log) : m_log(log) {}

LogStore::Batch::~Batch() = default;

QSqlQuery &LogStore::Batch::run(const QString &sql, const QVariantList &values) const
{
    auto prepared = std::find_if(m_statements.begin(), m_statements.end(),
                                 [&sql](const auto &statement) { return statement.first == &sql; });
    if (prepared == m_statements.end()) {
        m_statements.emplace_back(&sql, m_log.prepare(sql));
        prepared = m_statements.end() - 1;
    }
    Database::exec(prepared->second, values);
    return prepared->second;
}

std::optional<QsoRecord> LogStore::Batch::fetch(qint64 count) const
{
    return fetchQso(Prepared{*this}, count);
}

bool LogStore::Batch::contains(qint64 count) const
{
    return containsQso(Prepared{*this}, count);
}

bool LogStore::Batch::accreditedExists(const QString &locator, const QString &band,
                                       const QString &mode) const
{
    return accredited(Prepared{*this}, locator, band, mode);
}

std::optional<int> LogStore::Batch::confirmedHolder(const QString &locator, const QString &band,
                                                    const QString &mode,
                                                    std::optional<qint64> excluded) const
{
    return holder(Prepared{*this}, locator, band, mode, excluded);
}

LogStore::RuleAnswer LogStore::Batch::ruleAnswer(const QsoRecord &record,
                                                 std::optional<qint64> edited) const
{
    return answerOf(*this, record, edited);
}

logrules::Holders LogStore::Batch::holders(const QsoRecord &record, std::optional<qint64> self,
                                           std::optional<qint64> gone) const
{
    if (m_indexesAside) {
        logrules::Holders standing;
        const auto kept = m_holdersKept.constFind(holderKey(record));
        if (kept == m_holdersKept.constEnd())
            return standing;
        for (const Holder &holder : *kept) {
            if (holder.count == self.value_or(-1) || holder.count == gone.value_or(-1))
                continue;
            standing.held = true;
            if (holder.accredited && !m_added.contains(holder.count))
                standing.accredited = true;
        }
        return standing;
    }
    if (!m_holders)
        m_holders = std::make_unique<EngineStatement>(m_log, holdersSql);
    EngineStatement &found = *m_holders;
    found.bind(1, record.mode);
    found.bind(2, record.band);
    found.bind(3, record.locator);
    found.bind(4, self.value_or(-1));
    found.bind(5, gone.value_or(-1));
    logrules::Holders standing;
    while (found.next()) {
        standing.held = true;
        // An accredited QSO this batch appended (a file that brings its history along) does
        // not close its sub-square to the QSOs of the same batch.
        if (vocabulary::isQsl(found.text(1), vocabulary::QslState::Accredited) &&
            !m_added.contains(found.integer(0)))
            standing.accredited = true;
    }
    return standing;
}

LogStore::Rule LogStore::Batch::check(const QsoRecord &record, std::optional<qint64> self,
                                      std::optional<qint64> gone) const
{
    return logrules::storing(holders(record, self, gone), record.qsl);
}

LogStore::Written LogStore::Batch::append(const QsoRecord &record)
{
    if (const Rule rule = check(record, std::nullopt); rule != Rule::Kept)
        return {0, rule};
    if (!m_nextNumberKnown) {
        m_nextNumber = nextQsoNumber(run(highestQsoNumberSql, {}));
        m_nextNumberKnown = true;
    }
    if (!m_nextNumber)
        throw DatabaseError(DatabaseError::Kind::NumberLimit,
                            QStringLiteral("The log holds QSO number %1, the highest there is.")
                                .arg(highestQsoNumber));
    const int number = *m_nextNumber;
    if (!m_insert)
        m_insert = std::make_unique<EngineStatement>(m_log, appendSql);
    EngineStatement &insert = *m_insert;
    insert.bind(1, qint64(number));
    int at = 2;
    for (const QString *value : {&record.locator, &record.place, &record.prov, &record.mode,
                                 &record.band, &record.call, &record.date, &record.time})
        insert.bind(at++, *value);
    insert.bind(at++, vocabulary::qslLetter(record.qsl));
    for (const QString *value :
         {&record.kept, &record.lotw, &record.lotwDate, &record.eqsl, &record.eqslDate})
        insert.bind(at++, *value);
    insert.next();
    keepHolder(record, number);
    m_nextNumber = number < highestQsoNumber ? std::optional<int>(number + 1) : std::nullopt;
    // A number freed in this batch and taken again names a QSO that changed.
    if (m_change.removed.removeAll(number) > 0) {
        listChanged(number);
    } else {
        if (m_listed)
            m_change.added << number;
        m_added.insert(number);
    }
    return {number, Rule::Kept};
}

LogStore::Written LogStore::Batch::rewrite(const QsoRecord &record)
{
    const std::optional<QsoRecord> stored = fetch(record.count);
    if (!stored)
        return {};
    if (const Rule rule = logrules::changing(stored->qsl); rule != Rule::Kept)
        return {0, rule};
    if (const Rule rule = check(record, record.count); rule != Rule::Kept)
        return {0, rule};
    QsoRecord edited = record;
    edited.kept = keptfields::afterEdit(stored->kept, stored->band != record.band,
                                        stored->mode != record.mode);
    run(rewriteSql, rowValues(edited) + QVariantList{record.count});
    dropHolder(*stored, record.count);
    keepHolder(edited, record.count);
    if (m_listed) {
        m_change.changed << record.count;
        m_changed.insert(record.count);
    }
    return {record.count, Rule::Kept};
}

LogStore::Written LogStore::Batch::remove(qint64 count)
{
    const std::optional<QsoRecord> stored = fetch(count);
    if (!stored)
        return {};
    if (const Rule rule = logrules::changing(stored->qsl); rule != Rule::Kept)
        return {0, rule};
    if (changedRows(Prepared{*this}, deleteSql, {count}) <= 0)
        return {};
    dropHolder(*stored, count);
    // A deleted highest number is taken again by the next append.
    m_nextNumberKnown = false;
    m_change.removed << count;
    m_change.added.removeAll(count);
    m_change.changed.removeAll(count);
    m_added.remove(count);
    m_changed.remove(count);
    return {int(count), Rule::Kept};
}

LogStore::Written LogStore::Batch::upgradeQsl(qint64 count, vocabulary::QslState state)
{
    if (state == vocabulary::QslState::Worked)
        return {};
    std::optional<QsoRecord> qso = fetch(count);
    if (!qso)
        return {};
    const vocabulary::QslState now = qso->qsl;
    if (now >= state)
        return {};
    qso->qsl = state;
    if (const Rule rule = logrules::raising(holders(*qso, count), now, state); rule != Rule::Kept)
        return {0, rule};
    const QString *sql = state == vocabulary::QslState::Accredited ? &upgradeToAccreditedSql
                                                                   : &upgradeToConfirmedSql;
    if (changedRows(Prepared{*this}, *sql, {count}) <= 0)
        return {};
    dropHolder(*qso, count);
    keepHolder(*qso, count);
    if (!m_added.contains(count))
        listChanged(count);
    return {int(count), Rule::Kept};
}

bool LogStore::Batch::addElectronic(qint64 count, const QsoRecord &confirmations)
{
    int changed = 0;
    if (!confirmations.lotw.isEmpty())
        changed += changedRows(Prepared{*this}, addLotwSql,
                               {text(confirmations.lotwDate), count, text(confirmations.lotwDate)});
    if (!confirmations.eqsl.isEmpty())
        changed += changedRows(Prepared{*this}, addEqslSql,
                               {text(confirmations.eqslDate), count, text(confirmations.eqslDate)});
    if (changed == 0)
        return false;
    if (!m_added.contains(count))
        listChanged(count);
    return true;
}

void LogStore::Batch::setIndexesAside()
{
    if (m_indexesAside)
        return;
    // The QSOs the rules read, before their index goes.
    EngineStatement held(m_log, "select count, qsl, WWLocator, band, mode from data where qsl in "
                                "('c', 'a')");
    while (held.next())
        m_holdersKept[holderKey(held.bytes(2), held.bytes(3), held.bytes(4))].append(
            {held.integer(0),
             vocabulary::storedQslState(held.bytes(1)) == vocabulary::QslState::Accredited});
    // The unique index of the numbers has no statement of its own (it is the column's).
    QSqlQuery listed =
        m_log.run(QStringLiteral("select name, sql from sqlite_master where type = 'index' and "
                                 "tbl_name = 'data' and sql is not null"));
    QStringList names;
    while (listed.next()) {
        names << listed.value(0).toString();
        m_asideIndexes << listed.value(1).toString();
    }
    listed.finish();
    for (const QString &name : std::as_const(names))
        m_log.run(QStringLiteral("drop index \"%1\"")
                      .arg(QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\""))));
    m_indexesAside = true;
}

QByteArray LogStore::Batch::holderKey(QByteArrayView locator, QByteArrayView band,
                                      QByteArrayView mode)
{
    QByteArray key;
    for (const QByteArrayView text : {locator, band, mode}) {
        const qint32 size = qint32(text.size());
        key.append(reinterpret_cast<const char *>(&size), sizeof size);
        const qsizetype at = key.size();
        key.append(text.data(), text.size());
        for (qsizetype i = at; i < key.size(); ++i) {
            if (key[i] >= 'a' && key[i] <= 'z')
                key[i] = char(key[i] - 'a' + 'A');
        }
    }
    return key;
}

QByteArray LogStore::Batch::holderKey(const QsoRecord &record)
{
    return holderKey(record.locator.toUtf8(), record.band.toUtf8(), record.mode.toUtf8());
}

void LogStore::Batch::keepHolder(const QsoRecord &record, qint64 count)
{
    if (m_indexesAside && logrules::holdsSlot(record.qsl))
        m_holdersKept[holderKey(record)].append(
            {count, record.qsl == vocabulary::QslState::Accredited});
}

void LogStore::Batch::dropHolder(const QsoRecord &record, qint64 count)
{
    if (!m_indexesAside)
        return;
    const auto kept = m_holdersKept.find(holderKey(record));
    if (kept == m_holdersKept.end())
        return;
    kept->removeIf([count](const Holder &holder) { return holder.count == count; });
    if (kept->isEmpty())
        m_holdersKept.erase(kept);
}

void LogStore::Batch::restoreIndexes()
{
    for (const QString &sql : std::as_const(m_asideIndexes))
        m_log.run(sql);
    m_asideIndexes.clear();
    m_holdersKept.clear();
    m_indexesAside = false;
}

void LogStore::Batch::listChanged(qint64 count)
{
    if (m_listed && !m_changed.contains(count)) {
        m_change.changed << count;
        m_changed.insert(count);
    }
}

void LogStore::Batch::changeWholeLog()
{
    m_change.added.clear();
    m_change.changed.clear();
    m_changed.clear();
    m_listed = false;
}

// ---- LogStore

LogChange LogStore::write(const std::function<void(Batch &)> &work) const
{
    Transaction transaction(m_log);
    Batch batch(m_log);
    work(batch);
    batch.restoreIndexes();
    transaction.commit();
    return batch.m_listed ? batch.m_change : LogChange::everything();
}

std::optional<QsoRecord> LogStore::fetch(qint64 count) const
{
    return fetchQso(RunOnce{m_log}, count);
}

bool LogStore::contains(qint64 count) const
{
    return containsQso(RunOnce{m_log}, count);
}

bool LogStore::accreditedExists(const QString &locator, const QString &band,
                                const QString &mode) const
{
    return accredited(RunOnce{m_log}, locator, band, mode);
}

std::optional<int> LogStore::confirmedHolder(const QString &locator, const QString &band,
                                             const QString &mode,
                                             std::optional<qint64> excluded) const
{
    return holder(RunOnce{m_log}, locator, band, mode, excluded);
}

LogStore::RuleAnswer LogStore::ruleAnswer(const QsoRecord &record,
                                          std::optional<qint64> edited) const
{
    return answerOf(*this, record, edited);
}

LogChange LogStore::append(const QsoRecord &record, std::optional<qint64> replaced) const
{
    return write([&](Batch &batch) {
        // Nothing is deleted for a QSO the rules would refuse.
        if (batch.check(record, std::nullopt, replaced) != Rule::Kept ||
            (replaced && batch.remove(*replaced).refused != Rule::Kept))
            return;
        // The number is taken after the deletion: a replaced QSO that held the highest number
        // gives it to the new one.
        batch.append(record);
    });
}

LogChange LogStore::rewrite(const QsoRecord &record, std::optional<qint64> replaced) const
{
    return write([&](Batch &batch) {
        const std::optional<QsoRecord> stored = batch.fetch(record.count);
        if (!stored || logrules::changing(stored->qsl) != Rule::Kept ||
            batch.check(record, record.count, replaced) != Rule::Kept ||
            (replaced && batch.remove(*replaced).refused != Rule::Kept))
            return;
        batch.rewrite(record);
    });
}

LogChange LogStore::remove(qint64 count) const
{
    return write([&](Batch &batch) { batch.remove(count); });
}

LogChange LogStore::upgradeQsl(const QList<int> &counts, vocabulary::QslState qsl) const
{
    return write([&](Batch &batch) {
        for (const int count : counts)
            batch.upgradeQsl(count, qsl);
    });
}

} // namespace kx47
