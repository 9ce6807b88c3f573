#include "placesearch.h"

#include "storage/database.h"
#include "text/fixedwidth.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

namespace kx47
{

namespace
{

const QString square = QStringLiteral("KX47");

const QString placesOfSubSquare =
    QStringLiteral("select * from places where WWLocator = ? order by place asc");
const QString entriesOfPlace =
    QStringLiteral("select * from places where place = ? order by place asc");

} // namespace

PlaceSearch::PlaceSearch(const Database &places) : m_places(places) {}

QString PlaceSearch::header()
{
    return QStringLiteral(" WWLoc | Place                          | Prov |");
}

QString PlaceSearch::line(const QString &locator, const QString &place, const QString &prov)
{
    return fixedLine({{locator, 6}, {place, 30}, {prov, 3}});
}

QStringList PlaceSearch::bySubSquare(const QString &letters) const
{
    return lines(placesOfSubSquare, square + letters);
}

QStringList PlaceSearch::byPlace(const QString &name) const
{
    return lines(entriesOfPlace, name);
}

QStringList PlaceSearch::lines(const QString &sql, const QString &value) const
{
    QSqlQuery query;
    try {
        query = m_places.run(sql, {value});
    } catch (const DatabaseError &error) {
        // A gazetteer that cannot be read finds nothing; the log is not touched.
        qWarning("KX47: the gazetteer cannot be read: %s", error.what());
        return {};
    }
    const QSqlRecord columns = query.record();
    const int locator = columns.indexOf(QStringLiteral("WWLocator"));
    const int place = columns.indexOf(QStringLiteral("place"));
    const int prov = columns.indexOf(QStringLiteral("prov"));
    QStringList result;
    while (query.next())
        result << line(query.value(locator).toString(), query.value(place).toString(),
                       query.value(prov).toString());
    return result;
}

} // namespace kx47
