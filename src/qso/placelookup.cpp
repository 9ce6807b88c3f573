#include "placelookup.h"

#include "storage/database.h"

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

// The gazetteer only helps the typing: a gazetteer that cannot be read helps with nothing, and
// the user types on.
QStringList PlaceLookup::placesOf(const QString &letters) const
{
    QStringList places;
    try {
        QSqlQuery query = m_places.run(placesOfSql, {QStringLiteral("KX47") + letters});
        while (query.next())
            places << query.value(0).toString();
    } catch (const DatabaseError &error) {
        qWarning("KX47: the gazetteer cannot be read: %s", error.what());
    }
    return places;
}

QString PlaceLookup::provinceOf(const QString &place) const
{
    try {
        QSqlQuery query = m_places.run(provinceOfSql, {place});
        return query.next() ? query.value(0).toString() : QString();
    } catch (const DatabaseError &error) {
        qWarning("KX47: the gazetteer cannot be read: %s", error.what());
    }
    return QString();
}

QString PlaceLookup::provinceOf(const QString &place, const QString &letters) const
{
    QSqlQuery query =
        m_places.run(provinceInSubSquareSql, {place, QStringLiteral("KX47") + letters});
    return query.next() ? query.value(0).toString() : provinceOf(place);
}

} // namespace kx47
