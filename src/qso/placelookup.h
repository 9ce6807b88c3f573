#pragma once

#include <QString>
#include <QStringList>

namespace kx47
{

class Database;

// What the entry form asks of the gazetteer while the user types.
class PlaceLookup
{
public:
    explicit PlaceLookup(const Database &places) : m_places(places) {}

    // Each place of the sub-square "KX47" + letters once, in ascending order.
    QStringList placesOf(const QString &letters) const;

    // The province the gazetteer gives for a whole place name (the first row that carries it);
    // empty when the name is not there.
    QString provinceOf(const QString &place) const;

    // The province of the place in sub-square "KX47" + letters where the place lies there (a
    // name may stand in several sub-squares, in different provinces); otherwise as above.
    QString provinceOf(const QString &place, const QString &letters) const;

    // The province that every place of sub-square "KX47" + letters lies in; empty when they lie
    // in more than one, or the sub-square has none.
    QString sharedProvinceOf(const QString &letters) const;

private:
    const Database &m_places;
};

} // namespace kx47
