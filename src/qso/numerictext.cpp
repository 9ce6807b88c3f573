#include "numerictext.h"

#include <QLocale>
#include <cmath>

namespace kx47
{

namespace
{

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Walks sign, mantissa and exponent; true when the whole text is used up.
bool readsAsNumber(const QString &text)
{
    int i = 0;
    const int n = text.size();
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    int digits = 0;
    bool point = false;
    for (; i < n; ++i) {
        if (isDigit(text[i])) {
            ++digits;
        } else if (text[i] == QLatin1Char('.') && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0)
        return false;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        ++i;
        if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
            ++i;
        int exponentDigits = 0;
        for (; i < n && isDigit(text[i]); ++i)
            ++exponentDigits;
        if (exponentDigits == 0)
            return false;
    }
    return i == n;
}

QString withoutBlanks(const QString &text)
{
    int first = 0;
    int last = text.size();
    while (first < last && isBlank(text[first]))
        ++first;
    while (last > first && isBlank(text[last - 1]))
        --last;
    return text.mid(first, last - first);
}

} // namespace

std::optional<double> numericValue(const QString &text)
{
    const QString number = withoutBlanks(text);
    if (!readsAsNumber(number))
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(number, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool isNumericText(const QString &text)
{
    return numericValue(text).has_value();
}

} // namespace kx47
