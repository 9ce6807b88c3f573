#pragma once

#include "gazetteer/gazetteer.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace kx47
{

class Database;

// Looks things up in the gazetteer (table places): the places of one sub-square, or the
// entries of one place name, each as a fixed-width line "sub-square | place | province".
class PlaceSearch
{
public:
    explicit PlaceSearch(const Database &places);

    // The column header above the lines (48 characters).
    static QString header();
    // One result line (45 characters): sub-square 6, place 30, province 3, joined by " | ".
    static QString line(const QString &locator, const QString &place, const QString &prov);

    // The places of the sub-square "KX47" followed by the typed letters, ordered by name.
    QStringList bySubSquare(const QString &letters) const;
    // The entries whose place is the whole typed name, whatever its letter case; one line per
    // sub-square that lists it.
    QStringList byPlace(const QString &name) const;

private:
    static QStringList lines(const std::function<QList<Gazetteer::Entry>()> &read);

    Gazetteer m_gazetteer;
};

} // namespace kx47
