#pragma once

#include "qsorecord.h"

#include "log/logchange.h"

#include <QSet>
#include <QSqlQuery>
#include <QString>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace kx47
{

class Database;

// The one owner of table data: every change of a QSO (Insert, Edit, Delete in the browser, the
// award conversion, the import) goes through here, and so do the two award rules:
// - a sub-square that is accredited on a band and mode takes no further QSO there;
// - a sub-square holds at most one confirmed QSO per band and mode.
// The rules are checks the caller makes (and asks the user about) before it writes; inside a
// write they are checked again, in the same transaction as the change, so that two programs on
// one log cannot race past them.
//
// Every change is one transaction opened for writing at once (BEGIN IMMEDIATE, waiting for
// another program's lock up to the busy timeout); a failure throws DatabaseError and leaves the
// log as it was. The change is reported as a LogChange naming the QSO numbers added, changed
// and removed, for LogNotifier::notifyLogChanged(const LogChange &).
class LogStore
{
public:
    // The columns of a QSO, in the order recordAt() reads them.
    static constexpr const char *qsoColumns =
        "count, WWLocator, call, date, time, place, prov, mode, band, qsl";
    // The QSO on the current row of a query that selected qsoColumns.
    static QsoRecord recordAt(const QSqlQuery &query);

    // The changes and reads of one transaction. Only write() makes one.
    class Batch
    {
    public:
        // The QSO numbered `count` as the log holds it now; nothing when no row has that number.
        std::optional<QsoRecord> fetch(qint64 count) const;
        bool contains(qint64 count) const;

        // The rules, as LogStore's own (see there), read inside this transaction.
        bool accreditedExists(const QString &locator, const QString &band,
                              const QString &mode) const;
        std::optional<int> confirmedHolder(const QString &locator, const QString &band,
                                           const QString &mode,
                                           std::optional<qint64> excluded = std::nullopt) const;

        // Appends the record under the next number (the record's own count is ignored) and
        // returns that number. Throws DatabaseError of kind NumberLimit when the log holds the
        // highest number there is.
        int append(const QsoRecord &record);
        // Writes the record's values over the QSO numbered record.count. False, with nothing
        // changed, when that QSO is not in the log.
        bool rewrite(const QsoRecord &record);
        // Deletes the QSO numbered `count`; false when there was none.
        bool remove(qint64 count);
        // Raises the QSL state of the QSO numbered `count` to `qsl` ("c" or "a"), never lowers
        // it: worked < confirmed < accredited. False when the QSO is not in the log or already
        // holds that state or a higher one.
        bool upgradeQsl(qint64 count, const QString &qsl);

        // What this batch changed so far.
        const LogChange &change() const { return m_change; }

    private:
        friend class LogStore;
        explicit Batch(const Database &log) : m_log(log) {}

        // Runs one of LogStore's statements with these values; each statement is prepared
        // once in a batch, for an import runs the same few ones again and again.
        QSqlQuery &run(const QString &sql, const QVariantList &values) const;
        struct Prepared;

        const Database &m_log;
        LogChange m_change;
        mutable std::vector<std::pair<const QString *, QSqlQuery>> m_statements;
        // The numbers of m_change.added and m_change.changed, for a fast look-up.
        QSet<qint64> m_touched;
    };

    explicit LogStore(const Database &log) : m_log(log) {}

    // Runs `work` in one transaction opened for writing at once. Commits when work returns and
    // returns what it changed; rolls back when it throws (DatabaseError or any other exception)
    // and throws that on. A work that changes nothing commits nothing worth telling: the
    // LogChange is empty.
    LogChange write(const std::function<void(Batch &)> &work) const;

    // Reads outside a transaction, for the questions a window asks before it writes.
    std::optional<QsoRecord> fetch(qint64 count) const;
    bool contains(qint64 count) const;
    // True when the sub-square is accredited on the band and mode (letters in any case).
    bool accreditedExists(const QString &locator, const QString &band, const QString &mode) const;
    // The number of the confirmed QSO of the sub-square, band and mode, leaving out the QSO
    // numbered `excluded`; nothing when there is none. A new confirmed QSO there replaces it.
    std::optional<int> confirmedHolder(const QString &locator, const QString &band,
                                       const QString &mode,
                                       std::optional<qint64> excluded = std::nullopt) const;

    // One-change conveniences, each its own transaction.
    // Deletes the replaced QSO, if any, and appends the record under the next number, both or
    // neither.
    LogChange append(const QsoRecord &record, std::optional<qint64> replaced = std::nullopt) const;
    // Deletes the replaced QSO, if any, and rewrites the QSO numbered record.count, both or
    // neither; an empty change when that QSO is no longer in the log.
    LogChange rewrite(const QsoRecord &record, std::optional<qint64> replaced = std::nullopt) const;
    LogChange remove(qint64 count) const;
    // Raises every listed QSO to the QSL state, all of them or none.
    LogChange upgradeQsl(const QList<int> &counts, const QString &qsl) const;

private:
    const Database &m_log;
};

} // namespace kx47
