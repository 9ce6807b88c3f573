#include "qsonumber.h"

#include "database.h"

namespace kx47
{

std::optional<int> nextQsoNumber(const Database &log)
{
    // max() on the unique index reads one entry instead of walking the whole log.
    QSqlQuery query = log.run(QStringLiteral("select max(count) as highest from data"));
    if (!query.next() || query.value(0).isNull())
        return 1;
    bool isNumber = false;
    const qint64 highest = query.value(0).toLongLong(&isNumber);
    if (!isNumber || highest >= highestQsoNumber)
        return std::nullopt;
    // A log whose numbers are all below 1 still starts at 1.
    return highest < 1 ? 1 : static_cast<int>(highest + 1);
}

} // namespace kx47
