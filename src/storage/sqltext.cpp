#include "sqltext.h"

namespace kx47
{

QString quoteSql(const QString &value)
{
    QString quoted = value;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return quoted;
}

} // namespace kx47
