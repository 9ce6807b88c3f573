#pragma once

#include "logsearch.h"

#include <QString>
#include <QVariantList>

namespace kx47
{

// The "Order by:" choice of the log browser.
enum class LogOrderKey { Call, Place, WWLocator, Band };
// The "And:" choice: band then mode, or mode then band.
enum class LogSecondaryOrder { BandMode, ModeBand, None };

// The one query that lists the log for an order and a search. Search values are bound, never
// put into the text; letter case is ignored by the columns themselves. QSOs that agree on every
// key of the order come by number.
class LogQuery
{
public:
    // secondaryEnabled: whether the "And:" choice is in force (it is not while ordering by band).
    LogQuery(LogOrderKey key, LogSecondaryOrder secondary, bool secondaryEnabled,
             const LogSearch &search);

    const QString &sql() const { return m_sql; }
    const QVariantList &values() const { return m_values; }

    // The whole table's row count, which sizes the line index of the listing.
    static QString countAllSql();

private:
    QString m_sql;
    QVariantList m_values;
};

} // namespace kx47
