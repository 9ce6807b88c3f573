#include "gazetteer.h"

#include "storage/database.h"

#include <QVariant>

namespace kx47
{

namespace
{

const QLatin1String square("KX47");

const char *const statementText[] = {
    "select distinct(place) as place from places where WWLocator = ? order by place asc",
    "select prov from places where place = ? limit 1",
    "select prov from places where place = ? and WWLocator = ? limit 1",
    "select distinct prov from places where WWLocator = ? limit 2",
    "select WWLocator, place, prov from places where WWLocator = ? order by place asc",
    "select WWLocator, place, prov from places where place = ? order by place asc",
};

} // namespace

Gazetteer::Gazetteer(const Database &places) : m_places(places) {}

Gazetteer::~Gazetteer() = default;

QSqlQuery &Gazetteer::run(Statement which, const QVariantList &values) const
{
    std::optional<QSqlQuery> &statement = m_statements[which];
    if (!statement)
        statement = m_places.prepare(QLatin1String(statementText[which]));
    // A statement left on a row keeps the file's read lock: let it go before it runs again.
    statement->finish();
    Database::exec(*statement, values);
    return *statement;
}

QString Gazetteer::firstText(Statement which, const QVariantList &values) const
{
    QSqlQuery &query = run(which, values);
    const QString text = query.next() ? query.value(0).toString() : QString();
    query.finish();
    return text;
}

QStringList Gazetteer::placesOf(const QString &letters) const
{
    QSqlQuery &query = run(PlacesOf, {square + letters});
    QStringList places;
    while (query.next())
        places << query.value(0).toString();
    return places;
}

QString Gazetteer::provinceOf(const QString &place) const
{
    return firstText(ProvinceOf, {place});
}

QString Gazetteer::provinceOf(const QString &place, const QString &letters) const
{
    QSqlQuery &query = run(ProvinceInSubSquare, {place, square + letters});
    if (!query.next())
        return provinceOf(place);
    const QString province = query.value(0).toString();
    query.finish();
    return province;
}

QString Gazetteer::sharedProvinceOf(const QString &letters) const
{
    QSqlQuery &query = run(ProvincesInSubSquare, {square + letters});
    if (!query.next())
        return QString();
    const QString province = query.value(0).toString();
    const bool more = query.next();
    query.finish();
    return more ? QString() : province;
}

QList<Gazetteer::Entry> Gazetteer::entries(Statement which, const QString &value) const
{
    QSqlQuery &query = run(which, {value});
    QList<Entry> found;
    while (query.next())
        found.append(
            {query.value(0).toString(), query.value(1).toString(), query.value(2).toString()});
    return found;
}

QList<Gazetteer::Entry> Gazetteer::entriesOf(const QString &letters) const
{
    return entries(EntriesOf, square + letters);
}

QList<Gazetteer::Entry> Gazetteer::entriesNamed(const QString &name) const
{
    return entries(EntriesNamed, name);
}

QStringList Gazetteer::locatorsWithPlaces() const
{
    QSqlQuery query =
        m_places.run(QStringLiteral("select WWLocator from places group by WWLocator"));
    QStringList locators;
    while (query.next())
        locators << query.value(0).toString();
    return locators;
}

} // namespace kx47
