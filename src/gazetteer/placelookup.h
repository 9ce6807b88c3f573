#pragma once

#include "gazetteer.h"

#include <QString>
#include <QStringList>

namespace kx47
{

class Database;

// What the entry form asks of the gazetteer while the user types (see Gazetteer). A gazetteer
// that cannot be read helps with nothing: the lookups answer empty and the user types on.
class PlaceLookup
{
public:
    explicit PlaceLookup(const Database &places) : m_gazetteer(places) {}

    QStringList placesOf(const QString &letters) const;
    QString provinceOf(const QString &place) const;
    // Throws DatabaseError when the gazetteer cannot be read.
    QString provinceOf(const QString &place, const QString &letters) const;
    QString sharedProvinceOf(const QString &letters) const;

private:
    Gazetteer m_gazetteer;
};

} // namespace kx47
