#include "logquery.h"

#include <QStringList>

namespace kx47
{

namespace
{

const QString countAll = QStringLiteral("select count(*) as contatore from data");
const QString selectRows =
    QStringLiteral("select count, call, WWLocator, place, prov, mode, band, date, time, qsl");
// The text columns of the select list, in its order, after the count.
const QStringList textColumns{
    QStringLiteral("call"), QStringLiteral("WWLocator"), QStringLiteral("place"),
    QStringLiteral("prov"), QStringLiteral("mode"),      QStringLiteral("band"),
    QStringLiteral("date"), QStringLiteral("time"),      QStringLiteral("qsl")};
const QString fromData = QStringLiteral(" from data");

const QString where = QStringLiteral(" where ");
const QString whereCall = QStringLiteral("call = ?");
const QString whereWWLocator = QStringLiteral("WWLocator = ?");
const QString wherePlaceAndProv = QStringLiteral("place = ? and prov = ?");
const QString whereProv = QStringLiteral("prov = ?");
const QString wherePlace = QStringLiteral("place = ?");
const QString matchesAll = QStringLiteral("1");
const QString asMatches = QStringLiteral(" as matches");
const QString whereNumber = QStringLiteral(" from data where count = ?;");

// The unary + keeps the engine from walking an index to order the rows: sorting the rows as
// the table holds them is about twice as fast as fetching them one by one in index order. The
// column keeps its collation, so letter case is still ignored.
const QString orderBy = QStringLiteral(" order by +");
// The first lines alone are found fastest by walking an index in the order's own order.
const QString orderByIndex = QStringLiteral(" order by ");
const QString limitLines = QStringLiteral(" limit ?;");
const QString thenBandMode = QStringLiteral(", band, mode");
const QString thenModeBand = QStringLiteral(", mode, band");
const QString thenProv = QStringLiteral(", prov");
const QString thenModeBandProv = QStringLiteral(", mode, band, prov");
const QString thenModeProv = QStringLiteral(", mode, prov");
const QString thenModeLocatorProv = QStringLiteral(", mode, WWLocator, prov");
// Rows equal on every key come in the order they were logged.
const QString thenNumber = QStringLiteral(", count");
const QString endOfStatement = QStringLiteral(";");

LogColumn keyColumn(LogOrderKey key)
{
    switch (key) {
    case LogOrderKey::Call:
        return LogColumn::Call;
    case LogOrderKey::Place:
        return LogColumn::Place;
    case LogOrderKey::WWLocator:
        return LogColumn::WWLocator;
    case LogOrderKey::Band:
        break;
    }
    return LogColumn::Band;
}

QString columnName(LogColumn column)
{
    switch (column) {
    case LogColumn::Call:
        return QStringLiteral("call");
    case LogColumn::WWLocator:
        return QStringLiteral("WWLocator");
    case LogColumn::Place:
        return QStringLiteral("place");
    case LogColumn::Prov:
        return QStringLiteral("prov");
    case LogColumn::Mode:
        return QStringLiteral("mode");
    case LogColumn::Band:
        return QStringLiteral("band");
    case LogColumn::Count:
        break;
    }
    return QStringLiteral("count");
}

QString secondaryColumns(LogSecondaryOrder secondary, bool enabled)
{
    if (!enabled)
        return QString();
    switch (secondary) {
    case LogSecondaryOrder::BandMode:
        return thenBandMode;
    case LogSecondaryOrder::ModeBand:
        return thenModeBand;
    case LogSecondaryOrder::None:
        break;
    }
    return QString();
}

// The columns named in an order text such as ", band, mode,prov".
QVector<LogColumn> columnsOf(const QString &orderText)
{
    QVector<LogColumn> columns;
    for (const QString &name : orderText.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString trimmed = name.trimmed();
        for (LogColumn column : {LogColumn::Call, LogColumn::WWLocator, LogColumn::Place,
                                 LogColumn::Prov, LogColumn::Mode, LogColumn::Band}) {
            if (trimmed == columnName(column))
                columns << column;
        }
    }
    return columns;
}

} // namespace

LogQuery::LogQuery(LogOrderKey key, LogSecondaryOrder secondary, bool secondaryEnabled,
                   const LogSearch &search)
{
    // Which search is active: the call, else the sub-square, else place and/or province.
    enum class Filter { None, Call, WWLocator, PlaceAndProv, Prov, Place };
    Filter filter = Filter::None;
    QString condition;
    if (!search.call.isEmpty()) {
        filter = Filter::Call;
        condition = whereCall;
        m_values << LogSearch::typedText(search.call);
    } else if (!search.wwLocator.isEmpty()) {
        filter = Filter::WWLocator;
        condition = whereWWLocator;
        m_values << LogSearch::typedText(search.wwLocator);
    } else if (!search.place.isEmpty() && !search.prov.isEmpty()) {
        filter = Filter::PlaceAndProv;
        condition = wherePlaceAndProv;
        m_values << LogSearch::typedText(search.place) << LogSearch::typedText(search.prov);
    } else if (!search.prov.isEmpty()) {
        filter = Filter::Prov;
        condition = whereProv;
        m_values << LogSearch::typedText(search.prov);
    } else if (!search.place.isEmpty()) {
        filter = Filter::Place;
        condition = wherePlace;
        m_values << LogSearch::typedText(search.place);
    }

    // A search by place alone or province alone ignores the "And:" choice; ordering by band
    // never uses it.
    QString rest;
    if (key == LogOrderKey::Band)
        rest = filter == Filter::PlaceAndProv ? thenModeProv : thenModeLocatorProv;
    else if (filter == Filter::Prov || filter == Filter::Place)
        rest = thenModeBandProv;
    else
        rest = secondaryColumns(secondary, secondaryEnabled) + thenProv;

    m_condition = condition;
    m_order << keyColumn(key) << columnsOf(rest) << LogColumn::Count;
    m_from = fromData + (condition.isEmpty() ? QString() : where + condition);
    m_orderColumns = columnName(keyColumn(key)) + rest + thenNumber;
    m_rest = m_from + orderBy + m_orderColumns + endOfStatement;
}

QString LogQuery::sql() const
{
    return selectRows + m_rest;
}

QString LogQuery::storedBytesSql() const
{
    return selectBytes() + m_rest;
}

QString LogQuery::firstLinesSql() const
{
    return selectBytes() + m_from + orderByIndex + m_orderColumns + limitLines;
}

QVariantList LogQuery::firstLinesValues(int lines) const
{
    QVariantList values = m_values;
    values << lines;
    return values;
}

QString LogQuery::rowSql() const
{
    return selectBytes() + QStringLiteral(", (") +
           (m_condition.isEmpty() ? matchesAll : m_condition) + QStringLiteral(")") + asMatches +
           whereNumber;
}

QVariantList LogQuery::rowValues(qint64 count) const
{
    QVariantList values = m_values;
    values << count;
    return values;
}

QString LogQuery::selectBytes()
{
    // The byte columns have names of their own: under a column's own name the order would take
    // the bytes, compared case by case, instead of the column.
    QString select = QStringLiteral("select count");
    for (const QString &column : textColumns)
        select += QStringLiteral(", cast(%1 as blob) as %2").arg(column, bytesColumn(column));
    return select;
}

QString LogQuery::bytesColumn(const QString &column)
{
    return column + QStringLiteral("Bytes");
}

QString LogQuery::countAllSql()
{
    return countAll;
}

QString LogQuery::whereSearch() const
{
    return m_condition.isEmpty() ? QString() : where + m_condition;
}

} // namespace kx47
