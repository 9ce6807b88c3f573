#include "fixedwidth.h"

#include "typedtext.h"

#include <algorithm>

namespace kx47
{

namespace
{

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
    QString line;
    bool first = true;
    for (const FixedColumn &column : columns) {
        if (!first)
            line += fieldSeparator();
        line += fixedField(column.value, column.width);
        first = false;
    }
    return line;
}

} // namespace kx47
