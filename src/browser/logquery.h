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

    // The statement with the text columns as text.
    QString sql() const;
    // The same rows in the same order, with the text columns as the UTF-8 bytes the log stores
    // (the listing decodes them itself: the engine's conversion to UTF-16 of every value costs
    // more than reading all the rows).
    QString storedBytesSql() const;
    // The names of the byte columns of storedBytesSql(); the count keeps its name.
    static QString bytesColumn(const QString &column);
    const QVariantList &values() const { return m_values; }

    // The whole table's row count, which sizes the line index of the listing.
    static QString countAllSql();

private:
    // Everything after the select list: " from data", the search and the order.
    QString m_rest;
    QVariantList m_values;
};

} // namespace kx47
