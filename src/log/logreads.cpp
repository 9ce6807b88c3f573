#include "logreads.h"

#include "log/logquery.h"
#include "log/logstore.h"
#include "storage/database.h"

#include <QSqlDatabase>

namespace kx47
{

namespace
{

const QString qsoCountSql = QStringLiteral("select count(*) as contatore from data");
// Rows of the same sub-square, mode and band keep the order in which they were logged.
const QString bySubSquareSql =
    QStringLiteral("select %1 from data order by WWLocator, mode, band, count")
        .arg(QLatin1String(LogStore::qsoColumns));
const QString forMatchingSql =
    QStringLiteral("select count, WWLocator, call, date, time, mode, band, qsl, lotw, lotwDate, "
                   "eqsl, eqslDate from data");
// Both statements follow the index on (mode, band, qsl, WWLocator), so the engine groups
// without sorting.
const QString groupedOneBand =
    QStringLiteral("select band, qsl, WWLocator, count(*) as qsos from data where mode = ? and "
                   "band = ? group by band, qsl, WWLocator");
const QString groupedAllBands =
    QStringLiteral("select band, qsl, WWLocator, count(*) as qsos from data where mode = ? "
                   "group by band, qsl, WWLocator");
// Both follow the partial index of the QSOs confirmed by LoTW or eQSL.
const QString electronicOneBand =
    QStringLiteral("select band, WWLocator from data where mode = ? and band = ? and (lotw <> '' "
                   "or eqsl <> '') group by band, WWLocator");
const QString electronicAllBands =
    QStringLiteral("select band, WWLocator from data where mode = ? and (lotw <> '' or eqsl <> "
                   "'') group by band, WWLocator");
const QString qsosOneBand =
    QStringLiteral("select call, date, time, band, mode, qsl, lotw, eqsl from data where "
                   "WWLocator = ? and mode = ? and band = ? order by date, time, count");
const QString qsosAllBands =
    QStringLiteral("select call, date, time, band, mode, qsl, lotw, eqsl from data where "
                   "WWLocator = ? and mode = ? order by date, time, count");

} // namespace

int LogReads::qsoCount() const
{
    return m_log.count(qsoCountSql);
}

int LogReads::qsoCount(const QSqlDatabase &file)
{
    QSqlQuery query(file);
    if (!query.exec(qsoCountSql) || !query.next())
        return -1;
    return query.value(0).toInt();
}

int LogReads::qsoCount(const LogSearch &search) const
{
    const LogQuery query(LogOrderKey::Call, LogSecondaryOrder::None, false, search);
    return m_log.count(qsoCountSql + query.whereSearch(), query.values());
}

std::unique_ptr<EngineStatement> LogReads::qsoBytesByNumber(const LogSearch &search) const
{
    const LogQuery query(LogOrderKey::Call, LogSecondaryOrder::None, false, search);
    auto rows = std::make_unique<EngineStatement>(
        m_log, QStringLiteral("select %1 from data%2 order by count")
                   .arg(QLatin1String(LogStore::qsoColumns), query.whereSearch())
                   .toUtf8());
    for (int i = 0; i < query.values().size(); ++i)
        rows->bind(i + 1, query.values().at(i));
    return rows;
}

void LogReads::qsoBytesAt(const EngineStatement &row, QsoBytes &qso)
{
    qso.count = int(row.integer(0));
    int column = 1;
    for (QByteArrayView *text : {&qso.locator, &qso.call, &qso.date, &qso.time, &qso.place,
                                 &qso.prov, &qso.mode, &qso.band})
        *text = row.bytes(column++);
    qso.qsl = vocabulary::storedQslState(row.bytes(column++));
    for (QByteArrayView *text : {&qso.lotw, &qso.lotwDate, &qso.eqsl, &qso.eqslDate, &qso.kept})
        *text = row.bytes(column++);
}

QSqlQuery LogReads::qsosBySubSquare() const
{
    return m_log.run(bySubSquareSql);
}

QSqlQuery LogReads::qsosForMatching(const QStringList &bands) const
{
    if (bands.isEmpty())
        return m_log.run(forMatchingSql);
    QStringList marks;
    QVariantList values;
    for (const QString &band : bands) {
        marks << QStringLiteral("?");
        values << band;
    }
    return m_log.run(forMatchingSql + QStringLiteral(" where band in (%1) or band glob '*[^ -~]*'")
                                          .arg(marks.join(QLatin1Char(','))),
                     values);
}

QString LogReads::groupedSql(const QString &bandOrAll)
{
    return bandOrAll.isEmpty() ? groupedAllBands : groupedOneBand;
}

QVariantList LogReads::groupedValues(const QString &bandOrAll, const QString &mode)
{
    if (bandOrAll.isEmpty())
        return {mode};
    return {mode, bandOrAll};
}

QSqlQuery LogReads::grouped(const QString &bandOrAll, const QString &mode) const
{
    return m_log.run(groupedSql(bandOrAll), groupedValues(bandOrAll, mode));
}

QSqlQuery LogReads::electronicSubSquares(const QString &bandOrAll, const QString &mode) const
{
    return m_log.run(bandOrAll.isEmpty() ? electronicAllBands : electronicOneBand,
                     groupedValues(bandOrAll, mode));
}

QSqlQuery LogReads::qsosOfSubSquare(const QString &locator, const QString &bandOrAll,
                                    const QString &mode) const
{
    if (bandOrAll.isEmpty())
        return m_log.run(qsosAllBands, {locator, mode});
    return m_log.run(qsosOneBand, {locator, mode, bandOrAll});
}

} // namespace kx47
