#include "placelookup.h"

#include "storage/databaseerror.h"

namespace kx47
{

namespace
{

template <typename Read> auto quietly(Read read) -> decltype(read())
{
    try {
        return read();
    } catch (const DatabaseError &error) {
        qWarning("KX47: the gazetteer cannot be read: %s", error.what());
    }
    return {};
}

} // namespace

QStringList PlaceLookup::placesOf(const QString &letters) const
{
    return quietly([&] { return m_gazetteer.placesOf(letters); });
}

QString PlaceLookup::provinceOf(const QString &place) const
{
    return quietly([&] { return m_gazetteer.provinceOf(place); });
}

QString PlaceLookup::provinceOf(const QString &place, const QString &letters) const
{
    return m_gazetteer.provinceOf(place, letters);
}

QString PlaceLookup::sharedProvinceOf(const QString &letters) const
{
    return quietly([&] { return m_gazetteer.sharedProvinceOf(letters); });
}

} // namespace kx47
