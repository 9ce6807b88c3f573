#pragma once

#include "logsearch.h"

#include <QString>
#include <QVariantList>
#include <QVector>

namespace kx47
{

// The columns the browser orders by, as the order names them.
enum class LogColumn { Call, WWLocator, Place, Prov, Mode, Band, Count };

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
    // The search alone, " where ..." with values(), or empty when nothing is searched for.
    QString whereSearch() const;
    // The first rows of storedBytesSql() alone, as many as firstLinesValues() asks for.
    QString firstLinesSql() const;
    QVariantList firstLinesValues(int lines) const;

    // The columns of the order, first to last; the QSO number (count) is always the last, so
    // no two rows are equal. Text columns compare as the log does: letter case ignored.
    const QVector<LogColumn> &order() const { return m_order; }
    // One QSO by its number, in the columns of storedBytesSql() and a column "matches" that is
    // 1 when the QSO is one the search finds; no row when the log holds no such QSO.
    QString rowSql() const;
    QVariantList rowValues(qint64 count) const;

    // The whole table's row count, which sizes the line index of the listing.
    static QString countAllSql();

private:
    static QString selectBytes();

    // Everything after the select list: " from data", the search and the order.
    QString m_rest;
    // " from data" and the search; the columns of the order, without " order by".
    QString m_from;
    QString m_orderColumns;
    // The condition of the search, empty when none.
    QString m_condition;
    QVariantList m_values;
    QVector<LogColumn> m_order;
};

} // namespace kx47
