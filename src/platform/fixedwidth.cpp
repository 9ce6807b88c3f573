#include "fixedwidth.h"

#include "typedtext.h"

#include <algorithm>

namespace kx47
{

namespace
{

// Printable ASCII, which shownValue keeps as it is: no control characters, no direction marks,
// nothing written from right to left. Most stored values are made of it alone.
bool isPrintableAscii(const QString &value)
{
    return std::all_of(value.cbegin(), value.cend(),
                       [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7F; });
}

// Appends the value as fixedField gives it.
void appendField(QString &line, const QString &value, int width)
{
    if (isPrintableAscii(value)) {
        const qsizetype kept = std::min<qsizetype>(value.size(), width);
        line.append(value.constData(), kept);
        line.resize(line.size() + width - kept, QLatin1Char(' '));
        return;
    }
    line += fixedField(value, width);
}

QString withPlainCharacters(const QString &value)
{
    QString plain;
    plain.reserve(value.size());
    for (const QChar c : value) {
        if (!isHiddenFormatting(c))
            plain += c;
        else if (c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line ||
                 c.category() == QChar::Separator_Paragraph)
            plain += QLatin1Char(' ');
    }
    return plain;
}

// Set apart where it holds text written from right to left; the isolate's marks take no room.
QString isolated(const QString &plain)
{
    if (std::none_of(plain.cbegin(), plain.cend(), isRightToLeft))
        return plain;
    return QChar(0x2068) + plain + QChar(0x2069);
}

} // namespace

QString shownValue(const QString &value)
{
    return isolated(withPlainCharacters(value));
}

QString fixedField(const QString &value, int width)
{
    const QString plain = withPlainCharacters(value).left(width);
    return isolated(plain) + QString(width - plain.size(), QLatin1Char(' '));
}

QString fixedLine(std::initializer_list<FixedColumn> columns)
{
    const QString separator = fieldSeparator();
    qsizetype size = 0;
    for (const FixedColumn &column : columns)
        size += column.width + separator.size();
    QString line;
    line.reserve(size);
    bool first = true;
    for (const FixedColumn &column : columns) {
        if (!first)
            line += separator;
        appendField(line, column.value, column.width);
        first = false;
    }
    return line;
}

} // namespace kx47
