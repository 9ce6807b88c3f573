#include "placelookup.h"

#include "platform/database.h"

namespace kx47
{

namespace
{

const QString placesOfSql = QStringLiteral(
    "select distinct(place) as place from places where WWLocator = ? order by place asc");
const QString provinceOfSql = QStringLiteral("select prov from places where place = ? limit 1");
const QString provinceInSubSquareSql =
    QStringLiteral("select prov from places where place = ? and WWLocator = ? limit 1");

} // namespace

QStringList PlaceLookup::placesOf(const QString &letters) const
{
    QSqlQuery query = m_places.run(placesOfSql, {QStringLiteral("KX47") + letters});
    QStringList places;
    while (query.next())
        places << query.value(0).toString();
    return places;
}

QString PlaceLookup::provinceOf(const QString &place) const
{
    QSqlQuery query = m_places.run(provinceOfSql, {place});
    return query.next() ? query.value(0).toString() : QString();
}

QString PlaceLookup::provinceOf(const QString &place, const QString &letters) const
{
    QSqlQuery query =
        m_places.run(provinceInSubSquareSql, {place, QStringLiteral("KX47") + letters});
    return query.next() ? query.value(0).toString() : provinceOf(place);
}

} // namespace kx47
