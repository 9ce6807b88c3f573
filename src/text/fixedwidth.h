#pragma once

#include <QString>
#include <QStringList>

namespace kx47
{

// A stored value as lists and printouts show it: control characters and line breaks as blanks,
// without the invisible formatting characters (zero-width ones, the byte order mark, the marks
// that change the direction of text); a value written from right to left is set apart
// (first-strong isolate), so that it cannot reorder the text around it.
QString shownValue(const QString &value);

// Fixed-width columns for every list and printout in Courier New: each value, shown as
// shownValue shows it, stands left-aligned in a field of a fixed number of cells, filled with
// blanks on the right. Text is measured by what the eye sees, a grapheme cluster at a time: a
// letter with its combining accents takes one cell, a wide (East Asian) character or an emoji
// two. A value wider than its field is cut to the field between two clusters, so the columns
// of all lines stay aligned and no character is ever cut in half.
QString fixedField(const QString &value, int width);

// The cells a value takes as shownValue shows it in a fixed-width font.
int displayWidth(const QString &text);

// A text from a file as a message shows it: control characters, invisible formatting
// characters and broken UTF-16 written as \x01 or \u200b, so that the message shows what the
// file holds without being garbled by it.
QString escapedControls(const QString &text);

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
