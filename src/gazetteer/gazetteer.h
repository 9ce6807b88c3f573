#pragma once

#include <QList>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace kx47
{

class Database;

// The gazetteer: the places of the square's sub-squares and the province of each (table places
// of places.mdb, which nothing else reads). Names and locators compare without regard to ASCII
// letter case, as the table's columns do. Each statement is prepared once for the gazetteer's
// life: the entry form and an import ask the same few questions again and again. Every read
// throws DatabaseError when the file cannot be read.
class Gazetteer
{
public:
    struct Entry {
        QString locator;
        QString place;
        QString province;
    };

    explicit Gazetteer(const Database &places);
    ~Gazetteer();
    Gazetteer(const Gazetteer &) = delete;
    Gazetteer &operator=(const Gazetteer &) = delete;

    // Each place of the sub-square "KX47" + letters once, in ascending order.
    QStringList placesOf(const QString &letters) const;
    // The province of the first row that carries the whole place name; empty when the name is
    // not there.
    QString provinceOf(const QString &place) const;
    // The province of the place in sub-square "KX47" + letters where the place lies there (a
    // name may stand in several sub-squares, in different provinces); otherwise as above.
    QString provinceOf(const QString &place, const QString &letters) const;
    // The province that every place of sub-square "KX47" + letters lies in; empty when they lie
    // in more than one, or the sub-square has none.
    QString sharedProvinceOf(const QString &letters) const;
    // The entries of sub-square "KX47" + letters, ordered by place.
    QList<Entry> entriesOf(const QString &letters) const;
    // The entries whose place is the whole name; one per sub-square that lists it.
    QList<Entry> entriesNamed(const QString &name) const;
    // Each sub-square that has a place once, as the table writes its locator.
    QStringList locatorsWithPlaces() const;

private:
    enum Statement {
        PlacesOf,
        ProvinceOf,
        ProvinceInSubSquare,
        ProvincesInSubSquare,
        EntriesOf,
        EntriesNamed,
        StatementCount
    };
    QSqlQuery &run(Statement which, const QVariantList &values) const;
    QString firstText(Statement which, const QVariantList &values) const;
    QList<Entry> entries(Statement which, const QString &value) const;

    const Database &m_places;
    mutable std::array<std::optional<QSqlQuery>, StatementCount> m_statements;
};

} // namespace kx47
