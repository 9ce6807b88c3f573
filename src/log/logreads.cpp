#include "logreads.h"

#include "log/logquery.h"
#include "log/logstore.h"
#include "storage/database.h"

#include <QSqlDatabase>
#include <array>
#include <cstring>

namespace kx47
{

namespace
{

const QString qsoCountSql = QStringLiteral("select count(*) as contatore from data");
const QString byNumberSql =
    QStringLiteral("select %1 from data order by count").arg(QLatin1String(LogStore::qsoColumns));
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

// The columns of LogStore::qsoColumns after count, as qsoBytesByNumber packs them: their texts
// one after the other, apart by the separator, then the sum of their lengths in bytes. The
// engine's printf ends a text at a NUL character and gives a NULL as an empty text: a value
// shorter than the sum, or holding the separator more often, is read column by column.
const char *const packedColumns[] = {"WWLocator", "call", "date",     "time", "place",
                                     "prov",      "mode", "band",     "qsl",  "lotw",
                                     "lotwDate",  "eqsl", "eqslDate", "kept"};
constexpr int packedCount = int(sizeof packedColumns / sizeof *packedColumns);
constexpr char packedSeparator = 0x1e;

QString packedSelect()
{
    QStringList texts;
    QStringList lengths;
    for (const char *column : packedColumns) {
        texts << QStringLiteral("%s");
        lengths << QStringLiteral("length(cast(%1 as blob))").arg(QLatin1String(column));
    }
    return QStringLiteral("select count, cast(printf('%1', %2) as blob), %3 from data")
        .arg(texts.join(QChar(packedSeparator)),
             QString::fromLatin1(LogStore::qsoColumns).section(QLatin1Char(','), 1),
             lengths.join(QStringLiteral(" + ")));
}

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

QSqlQuery LogReads::qsosByNumber() const
{
    return m_log.run(byNumberSql);
}

int LogReads::qsoCount(const LogSearch &search) const
{
    const LogQuery query(LogOrderKey::Call, LogSecondaryOrder::None, false, search);
    return m_log.count(qsoCountSql + query.whereSearch(), query.values());
}

QSqlQuery LogReads::qsosByNumber(const LogSearch &search) const
{
    const LogQuery query(LogOrderKey::Call, LogSecondaryOrder::None, false, search);
    return m_log.run(QStringLiteral("select %1 from data%2 order by count")
                         .arg(QLatin1String(LogStore::qsoColumns), query.whereSearch()),
                     query.values());
}

QSqlQuery LogReads::qsoBytesByNumber(const LogSearch &search) const
{
    static const QString select = packedSelect();
    const LogQuery query(LogOrderKey::Call, LogSecondaryOrder::None, false, search);
    return m_log.run(select + query.whereSearch() + QStringLiteral(" order by count"),
                     query.values());
}

bool LogReads::qsoBytesAt(const QSqlQuery &query, QsoBytes &qso, QByteArray &row)
{
    qso.count = query.value(0).toInt();
    row = query.value(1).toByteArray();
    if (row.isNull() || row.size() != query.value(2).toLongLong() + packedCount - 1)
        return false;
    std::array<QByteArrayView, packedCount> texts;
    const char *at = row.constData();
    const char *const end = at + row.size();
    const auto apart = [&] {
        return static_cast<const char *>(std::memchr(at, packedSeparator, size_t(end - at)));
    };
    for (int i = 0; i + 1 < packedCount; ++i) {
        const char *const next = apart();
        if (next == nullptr)
            return false;
        texts[size_t(i)] = QByteArrayView(at, next - at);
        at = next + 1;
    }
    if (apart() != nullptr)
        return false;
    texts[packedCount - 1] = QByteArrayView(at, end - at);
    qso.locator = texts[0];
    qso.call = texts[1];
    qso.date = texts[2];
    qso.time = texts[3];
    qso.place = texts[4];
    qso.prov = texts[5];
    qso.mode = texts[6];
    qso.band = texts[7];
    qso.qsl = vocabulary::storedQslState(texts[8]);
    qso.lotw = texts[9];
    qso.lotwDate = texts[10];
    qso.eqsl = texts[11];
    qso.eqslDate = texts[12];
    qso.kept = texts[13];
    return true;
}

bool LogReads::storesUtf8() const
{
    QSqlQuery query = m_log.run(QStringLiteral("pragma encoding"));
    return query.next() && query.value(0).toString() == QLatin1String("UTF-8");
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
