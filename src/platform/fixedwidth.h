#pragma once

#include <QString>
#include <QStringList>

namespace kx47
{

// A stored value as lists and printouts show it: control characters and line breaks as blanks,
// without the invisible marks that change the direction of text; a value written from right to
// left is set apart (first-strong isolate), so that it cannot reorder the text around it.
QString shownValue(const QString &value);

// Fixed-width columns for every list and printout in Courier New: each value, shown as
// shownValue shows it, stands left-aligned in a field of a fixed number of characters, filled
// with blanks on the right. A value longer than its field is cut to the field, so the columns
// of all lines stay aligned.
QString fixedField(const QString &value, int width);

// The separator between the fields of a line.
inline QString fieldSeparator()
{
    return QStringLiteral(" | ");
}

struct FixedColumn {
    QString value;
    int width;
};

// The fields joined by " | ", each at its width.
QString fixedLine(std::initializer_list<FixedColumn> columns);

} // namespace kx47
