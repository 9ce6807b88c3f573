#include "loglisting.h"

#include "logline.h"
#include "logquery.h"

#include "platform/database.h"

#include "platform/textforms.h"

#include <QHash>
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

    QSqlQuery rows = log.run(query.sql(), query.values());
    const QSqlRecord record = rows.record();
    const int countColumn = record.indexOf(QStringLiteral("count"));
    const int callColumn = record.indexOf(QStringLiteral("call"));
    const int locatorColumn = record.indexOf(QStringLiteral("WWLocator"));
    const int placeColumn = record.indexOf(QStringLiteral("place"));
    const int provColumn = record.indexOf(QStringLiteral("prov"));
    const int modeColumn = record.indexOf(QStringLiteral("mode"));
    const int bandColumn = record.indexOf(QStringLiteral("band"));
    const int dateColumn = record.indexOf(QStringLiteral("date"));
    const int timeColumn = record.indexOf(QStringLiteral("time"));
    const int qslColumn = record.indexOf(QStringLiteral("qsl"));

    // A log holds far fewer days and minutes than QSOs: each one is put in its text form once.
    QHash<QString, QString> dateTexts;
    QHash<QString, QString> timeTexts;
    const auto textOf = [](QHash<QString, QString> &texts, const QString &stored,
                           QString (*form)(const QString &)) {
        auto known = texts.constFind(stored);
        if (known == texts.constEnd())
            known = texts.insert(stored, form(stored));
        return *known;
    };

    LogLineFields fields;
    while (rows.next()) {
        fields.call = rows.value(callColumn).toString();
        fields.wwLocator = rows.value(locatorColumn).toString();
        fields.place = rows.value(placeColumn).toString();
        fields.prov = rows.value(provColumn).toString();
        fields.mode = rows.value(modeColumn).toString();
        fields.band = rows.value(bandColumn).toString();
        fields.date = rows.value(dateColumn).toString();
        fields.time = rows.value(timeColumn).toString();
        fields.qsl = rows.value(qslColumn).toString();
        const int line = listing.lines.size();
        // The table cannot grow between the count and the query; should it, the index grows.
        if (line + 1 >= listing.counts.size())
            listing.counts.resize(line + 2);
        listing.counts[line] = rows.value(countColumn).toInt();
        listing.lines.append(LogLine::text(fields, textOf(dateTexts, fields.date, &dateText),
                                           textOf(timeTexts, fields.time, &listTime)));
    }
    return listing;
}

} // namespace kx47
