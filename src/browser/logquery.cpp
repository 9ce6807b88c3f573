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

const QString whereCall = QStringLiteral(" where call = ?");
const QString whereWWLocator = QStringLiteral(" where WWLocator = ?");
const QString wherePlaceAndProv = QStringLiteral(" where place = ? and prov = ?");
const QString whereProv = QStringLiteral(" where prov = ?");
const QString wherePlace = QStringLiteral(" where place = ?");

// The unary + keeps the engine from walking an index to order the rows: sorting the rows as
// the table holds them is about twice as fast as fetching them one by one in index order. The
// column keeps its collation, so letter case is still ignored.
const QString orderBy = QStringLiteral(" order by +");
const QString thenBandMode = QStringLiteral(", band, mode");
const QString thenModeBand = QStringLiteral(", mode, band");
const QString thenProv = QStringLiteral(", prov");
const QString thenModeBandProv = QStringLiteral(", mode, band, prov");
const QString thenModeProv = QStringLiteral(", mode, prov");
const QString thenModeLocatorProv = QStringLiteral(", mode, WWLocator, prov");
// Rows equal on every key come in the order they were logged.
const QString thenNumber = QStringLiteral(", count;");

QString keyColumn(LogOrderKey key)
{
    switch (key) {
    case LogOrderKey::Call:
        return QStringLiteral("call");
    case LogOrderKey::Place:
        return QStringLiteral("place");
    case LogOrderKey::WWLocator:
        return QStringLiteral("WWLocator");
    case LogOrderKey::Band:
        break;
    }
    return QStringLiteral("band");
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

} // namespace

LogQuery::LogQuery(LogOrderKey key, LogSecondaryOrder secondary, bool secondaryEnabled,
                   const LogSearch &search)
{
    // Which search is active: the call, else the sub-square, else place and/or province.
    enum class Filter { None, Call, WWLocator, PlaceAndProv, Prov, Place };
    Filter filter = Filter::None;
    QString where;
    if (!search.call.isEmpty()) {
        filter = Filter::Call;
        where = whereCall;
        m_values << LogSearch::typedText(search.call);
    } else if (!search.wwLocator.isEmpty()) {
        filter = Filter::WWLocator;
        where = whereWWLocator;
        m_values << LogSearch::typedText(search.wwLocator);
    } else if (!search.place.isEmpty() && !search.prov.isEmpty()) {
        filter = Filter::PlaceAndProv;
        where = wherePlaceAndProv;
        m_values << LogSearch::typedText(search.place) << LogSearch::typedText(search.prov);
    } else if (!search.prov.isEmpty()) {
        filter = Filter::Prov;
        where = whereProv;
        m_values << LogSearch::typedText(search.prov);
    } else if (!search.place.isEmpty()) {
        filter = Filter::Place;
        where = wherePlace;
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

    m_rest = fromData + where + orderBy + keyColumn(key) + rest + thenNumber;
}

QString LogQuery::sql() const
{
    return selectRows + m_rest;
}

QString LogQuery::storedBytesSql() const
{
    // The byte columns have names of their own: under a column's own name the order would take
    // the bytes, compared case by case, instead of the column.
    QString select = QStringLiteral("select count");
    for (const QString &column : textColumns)
        select += QStringLiteral(", cast(%1 as blob) as %2").arg(column, bytesColumn(column));
    return select + m_rest;
}

QString LogQuery::bytesColumn(const QString &column)
{
    return column + QStringLiteral("Bytes");
}

QString LogQuery::countAllSql()
{
    return countAll;
}

} // namespace kx47
