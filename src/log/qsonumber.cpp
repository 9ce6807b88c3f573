#include "qsonumber.h"

#include "storage/database.h"

namespace kx47
{

// max() on the unique index reads one entry instead of walking the whole log.
const QString highestQsoNumberSql = QStringLiteral("select max(count) as highest from data");

std::optional<int> nextQsoNumber(const Database &log)
{
    QSqlQuery query = log.run(highestQsoNumberSql);
    return nextQsoNumber(query);
}

std::optional<int> nextQsoNumber(QSqlQuery &query)
{
    const bool found = query.next();
    const QVariant value = found ? query.value(0) : QVariant();
    query.finish();
    if (!found || value.isNull())
        return 1;
    bool isNumber = false;
    const qint64 highest = value.toLongLong(&isNumber);
    if (!isNumber || highest >= highestQsoNumber)
        return std::nullopt;
    // A log whose numbers are all below 1 still starts at 1.
    return highest < 1 ? 1 : static_cast<int>(highest + 1);
}

} // namespace kx47
