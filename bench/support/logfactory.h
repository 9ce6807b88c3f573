#pragma once

#include <QString>

namespace kx47::bench
{

// Builds a program folder's data.mdb and places.mdb, with the program's own schema, holding a
// log of the kind a keen user gathers over years: every sub-square KX47AA..KX47XX, all bands,
// modes and QSL states, calls of 4 to 15 characters (a few stations worked again and again),
// places of up to 50 characters from the gazetteer with their provinces. The same number of
// QSOs and seed always give the same files.
class LogFactory
{
public:
    explicit LogFactory(int qsos = 100000, unsigned seed = 47);

    // Writes both files into folder, replacing any that are there. False, with the reason, when
    // they cannot be written.
    bool build(const QString &folder, QString *error = nullptr) const;

    int qsos() const { return m_qsos; }
    // The station the log holds most often (about a hundred QSOs in 100,000).
    static QString frequentCall();
    // A place of the gazetteer that the log holds, with its province.
    static QString frequentPlace();

private:
    int m_qsos;
    unsigned m_seed;
};

} // namespace kx47::bench
