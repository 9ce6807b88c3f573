#include "loglisting.h"

#include "logquery.h"

#include "platform/database.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace kx47
{

LogListing LogListing::read(const Database &log, const LogQuery &query)
{
    LogListing listing;
    const int tableRows = log.count(LogQuery::countAllSql());
    listing.counts = QVector<qint32>(tableRows + 1, 0);
    listing.lines.reserve(tableRows);

    // The rows come with their text as the stored bytes; the lines decode them when shown.
    QSqlQuery rows = log.run(query.storedBytesSql(), query.values());
    const QSqlRecord record = rows.record();
    const auto columnOf = [&record](const char *name) {
        return record.indexOf(LogQuery::bytesColumn(QLatin1String(name)));
    };
    const int countColumn = record.indexOf(QStringLiteral("count"));
    const int callColumn = columnOf("call");
    const int locatorColumn = columnOf("WWLocator");
    const int placeColumn = columnOf("place");
    const int provColumn = columnOf("prov");
    const int modeColumn = columnOf("mode");
    const int bandColumn = columnOf("band");
    const int dateColumn = columnOf("date");
    const int timeColumn = columnOf("time");
    const int qslColumn = columnOf("qsl");

    while (rows.next()) {
        const int line = listing.lines.size();
        // The table cannot grow between the count and the query; should it, the index grows.
        if (line + 1 >= listing.counts.size())
            listing.counts.resize(line + 2);
        listing.counts[line] = rows.value(countColumn).toInt();
        listing.lines.append(
            {rows.value(callColumn).toByteArray(), rows.value(locatorColumn).toByteArray(),
             rows.value(placeColumn).toByteArray(), rows.value(provColumn).toByteArray(),
             rows.value(modeColumn).toByteArray(), rows.value(bandColumn).toByteArray(),
             rows.value(dateColumn).toByteArray(), rows.value(timeColumn).toByteArray(),
             rows.value(qslColumn).toByteArray()});
    }
    return listing;
}

} // namespace kx47
