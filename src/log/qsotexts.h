#pragma once

#include <array>

namespace kx47
{

// The texts of a QSO in the order of the log's columns, as pointers to its members: the same for
// a QsoRecord (QString) and a QsoBytes (QByteArrayView), so that one can be copied into the other
// or written field by field.
template <typename Qso> auto textsOf(Qso &qso) -> std::array<decltype(&qso.call), 13>
{
    return {{&qso.locator, &qso.call, &qso.date, &qso.time, &qso.place, &qso.prov, &qso.mode,
             &qso.band, &qso.lotw, &qso.lotwDate, &qso.eqsl, &qso.eqslDate, &qso.kept}};
}

} // namespace kx47
