#include "qsonumber.h"

#include "database.h"

namespace kx47
{

int nextQsoNumber(const Database &log)
{
    // max() on the unique index reads one entry instead of walking the whole log.
    QSqlQuery query = log.run(QStringLiteral("select max(count) as highest from data"));
    if (!query.next() || query.value(0).isNull())
        return 1;
    return query.value(0).toInt() + 1;
}

} // namespace kx47
