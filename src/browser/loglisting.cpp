#include "loglisting.h"

#include "log/logquery.h"

#include "storage/database.h"
#include "storage/engineprogresshandler.h"
#include "text/asciicase.h"

#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace kx47
{

namespace
{

// The columns of a listing's rows, looked up once.
struct Columns {
    explicit Columns(const QSqlRecord &record)
        : count(record.indexOf(QStringLiteral("count"))), call(of(record, "call")),
          wwLocator(of(record, "WWLocator")), place(of(record, "place")), prov(of(record, "prov")),
          mode(of(record, "mode")), band(of(record, "band")), date(of(record, "date")),
          time(of(record, "time")), qsl(of(record, "qsl"))
    {
    }

    static int of(const QSqlRecord &record, const char *name)
    {
        return record.indexOf(LogQuery::bytesColumn(QLatin1String(name)));
    }

    StoredLogLine line(const QSqlQuery &rows) const
    {
        return {rows.value(call).toByteArray(),  rows.value(wwLocator).toByteArray(),
                rows.value(place).toByteArray(), rows.value(prov).toByteArray(),
                rows.value(mode).toByteArray(),  rows.value(band).toByteArray(),
                rows.value(date).toByteArray(),  rows.value(time).toByteArray(),
                rows.value(qsl).toByteArray()};
    }

    int count, call, wwLocator, place, prov, mode, band, date, time, qsl;
};

// Virtual machine steps between two looks at the clock while the first lines are sought.
constexpr int deadlineSteps = 100;

// The fewest lines a whole listing keeps room for beyond its own.
constexpr int listingRoom = 1024;

int foldedLetter(char byte)
{
    return ascii::lower(int(static_cast<unsigned char>(byte)));
}

} // namespace

LogListing LogListing::read(const Database &log, const LogQuery &query)
{
    return readRows(log, log.run(query.storedBytesSql(), query.values()), -1);
}

LogListing LogListing::readFirst(const Database &log, const LogQuery &query, int lines,
                                 bool *complete, int withinMs)
{
    // While it lives, the engine looks at the clock every few steps and gives up once the time
    // has passed.
    class Deadline
    {
    public:
        Deadline(const Database &db, int ms)
        {
            m_clock.start();
            if (ms >= 0)
                m_handler.emplace(db.handle(), deadlineSteps, [this, ms] {
                    m_passed = m_clock.elapsed() >= ms;
                    return m_passed;
                });
        }
        bool passed() const { return m_passed; }

    private:
        QElapsedTimer m_clock;
        bool m_passed = false;
        std::optional<EngineProgressHandler> m_handler;
    };

    LogListing listing;
    {
        const Deadline deadline(log, withinMs);
        try {
            // One row more than asked tells whether there are more.
            listing = readRows(
                log, log.run(query.firstLinesSql(), query.firstLinesValues(lines + 1)), lines);
        } catch (const DatabaseError &) {
            if (!deadline.passed())
                throw;
            *complete = false;
            listing.counts = QVector<qint32>(1, 0);
            return listing;
        }
    }
    *complete = listing.lines.size() <= lines;
    if (!*complete) {
        // Sized from the whole table when the whole listing arrives.
        listing.lines.remove(lines);
        listing.counts.resize(lines + 1);
        listing.counts[lines] = 0;
    } else {
        listing.counts.resize(qMax(log.count(LogQuery::countAllSql()), listing.lines.size()) + 1);
    }
    return listing;
}

LogListing LogListing::readRows(const Database &log, QSqlQuery rows, int lines)
{
    LogListing listing;
    // The first lines do not wait for a count of the whole table.
    const int tableRows = lines >= 0 ? lines + 1 : log.count(LogQuery::countAllSql());
    // A whole listing keeps room for the QSOs logged while it is shown: a line added to a
    // full list would copy the whole list, tens of milliseconds at a million lines.
    const int room = lines >= 0 ? 0 : qMax(listingRoom, tableRows / 64);
    listing.counts.reserve(tableRows + 1 + room);
    listing.counts.resize(tableRows + 1);
    listing.lines.reserve(tableRows + room);

    // The rows come with their text as the stored bytes; the lines decode them when shown.
    const Columns columns(rows.record());
    while (rows.next()) {
        const int line = listing.lines.size();
        // The table cannot grow between the count and the query; should it, the index grows.
        if (line + 1 >= listing.counts.size())
            listing.counts.resize(line + 2);
        listing.counts[line] = rows.value(columns.count).toInt();
        listing.lines.append(columns.line(rows));
    }
    // A read the engine broke off (a damaged page, an interruption) is not a shorter log.
    if (rows.lastError().isValid())
        throw DatabaseError::fromSqlError(rows.lastError(), rows.lastQuery());
    listing.lines.keepRoom(room);
    return listing;
}

std::optional<ListedQso> LogListing::readQso(const Database &log, const LogQuery &query,
                                             qint64 count)
{
    QSqlQuery row = log.run(query.rowSql(), query.rowValues(count));
    if (!row.next())
        return std::nullopt;
    const QSqlRecord record = row.record();
    const Columns columns(record);
    return ListedQso{columns.line(row), row.value(columns.count).toInt(),
                     row.value(record.indexOf(QStringLiteral("matches"))).toInt() != 0};
}

int LogListing::lineOf(qint32 count) const
{
    const int listed = lines.size();
    for (int line = 0; line < listed; ++line) {
        if (counts[line] == count)
            return line;
    }
    return -1;
}

int LogListing::placeFor(const ListedQso &qso, const QVector<LogColumn> &order, int leaving) const
{
    // Whether the line at a position (counted without the line leaving) comes before the QSO.
    const auto before = [&](int position) {
        const int line = leaving >= 0 && position >= leaving ? position + 1 : position;
        for (LogColumn column : order) {
            if (column == LogColumn::Count)
                return counts[line] < qso.count;
            const int compared =
                compareIgnoringCase(lines.value(line, column), qso.line.value(column));
            if (compared != 0)
                return compared < 0;
        }
        return false;
    };
    int low = 0;
    int high = lines.size() - (leaving >= 0 ? 1 : 0);
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (before(middle))
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

int LogListing::compareIgnoringCase(QByteArrayView left, QByteArrayView right)
{
    const qsizetype common = qMin(left.size(), right.size());
    for (qsizetype i = 0; i < common; ++i) {
        const int difference = foldedLetter(left[i]) - foldedLetter(right[i]);
        if (difference != 0)
            return difference;
    }
    return left.size() < right.size() ? -1 : (left.size() > right.size() ? 1 : 0);
}

} // namespace kx47
