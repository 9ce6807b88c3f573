#pragma once

#include <QString>
#include <optional>

namespace kx47
{

// A text is numeric when, apart from blanks before and after, it reads as one number: an
// optional sign, digits with at most one decimal point, an optional exponent. The empty text,
// a lone point and a number too large to hold are not numeric.
bool isNumericText(const QString &text);

// The value of a numeric text (08 is 8, -1 is -1); nothing for a text that is not numeric.
std::optional<double> numericValue(const QString &text);

} // namespace kx47
