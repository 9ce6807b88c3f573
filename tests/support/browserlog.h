#pragma once

#include "fixture.h"

#include <QList>
#include <QStringList>
#include <QVector>

class QAbstractItemView;

namespace kx47::test
{

// A small log for the browser's tests. No two QSOs share band, mode and province, so every
// order the browser offers puts them in one way only. It holds a call and a place with an
// apostrophe, a call and a sub-square stored in small letters, and a place in small letters.
QList<QsoRow> browserLog();
// Its numbers by call, band, mode and province, as the browser first lists it.
extern const QVector<qint32> byCallBandMode;

// The numbers (count) of the first rows of a line index, as many as there are lines.
QVector<qint32> listedCounts(const QVector<qint32> &listCounts, int lines);

// The lines a list shows, top to bottom.
QStringList listedLines(const QAbstractItemView *list);

} // namespace kx47::test
