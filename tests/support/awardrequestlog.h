#pragma once

#include "fixture.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace kx47::test
{

// QSOs of one band, mode and QSL state in distinct sub-squares, for the award requests' tests.
// The sub-squares are taken in order from a starting index (0 is AA, 1 AB, ... 24 BA), but the
// QSOs are numbered in the reverse order, so that the order of the numbers is never the
// sub-square order. Each QSO has its own call "C<band><mode><index>", time and place.
QList<QsoRow> awardQsos(int firstCount, int quantity, const QString &band, const QString &mode,
                        const QString &qsl, int firstSquare = 0);

// The two letters of the sub-square of an index: 0 AA, 1 AB, ... 23 AX, 24 BA.
QString squareLetters(int index);

// The numbers (count) of the QSOs of the log in a QSL state, ascending.
QList<int> countsInState(const ProgramFolder &folder, const QString &qsl);

// The calls of the QSOs of the log in a QSL state, in sub-square order.
QStringList callsInState(const ProgramFolder &folder, const QString &qsl);

} // namespace kx47::test
