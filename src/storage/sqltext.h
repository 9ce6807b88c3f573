#pragma once

#include <QString>

namespace kx47
{

// Doubles every apostrophe of a typed value, as it must stand between apostrophes in SQL
// text. Field lengths of the log are measured on this form.
QString quoteSql(const QString &value);

} // namespace kx47
