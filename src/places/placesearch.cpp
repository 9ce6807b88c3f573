#include "placesearch.h"

#include "storage/databaseerror.h"
#include "text/fixedwidth.h"

namespace kx47
{

PlaceSearch::PlaceSearch(const Database &places) : m_gazetteer(places) {}

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
    return lines([&] { return m_gazetteer.entriesOf(letters); });
}

QStringList PlaceSearch::byPlace(const QString &name) const
{
    return lines([&] { return m_gazetteer.entriesNamed(name); });
}

QStringList PlaceSearch::lines(const std::function<QList<Gazetteer::Entry>()> &read)
{
    QList<Gazetteer::Entry> entries;
    try {
        entries = read();
    } catch (const DatabaseError &error) {
        // A gazetteer that cannot be read finds nothing; the log is not touched.
        qWarning("KX47: the gazetteer cannot be read: %s", error.what());
        return {};
    }
    QStringList result;
    for (const Gazetteer::Entry &entry : entries)
        result << line(entry.locator, entry.place, entry.province);
    return result;
}

} // namespace kx47
