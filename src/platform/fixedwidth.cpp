#include "fixedwidth.h"

namespace kx47
{

QString fixedField(const QString &value, int width)
{
    return value.left(width).leftJustified(width, QLatin1Char(' '));
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
