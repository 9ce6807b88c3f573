#pragma once

#include "qsorecord.h"

#include "log/awardvocabulary.h"
#include "log/logchange.h"
#include "log/logrules.h"
#include "log/qsonumber.h"

#include <QHash>
#include <QSet>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace kx47
{

class Database;
class EngineStatement;

// The one owner of table data: every change of a QSO (Insert, Edit, Delete in the browser, the
// award conversion, the import) goes through here, and so do the award's rules (logrules.h).
// The store keeps them itself: append, rewrite, remove and upgradeQsl refuse, with the rule that
// refuses, any change that would break one, in the same transaction as the change, so that two
// programs on one log cannot race past them. A window asks its questions from ruleAnswer() first.
//
// Every change is one transaction opened for writing at once (BEGIN IMMEDIATE, waiting for
// another program's lock up to the busy timeout); a failure throws DatabaseError and leaves the
// log as it was. The change is reported as a LogChange naming the QSO numbers added, changed
// and removed, for LogNotifier::notifyLogChanged(const LogChange &).
class LogStore
{
public:
    // What the award's rules say of a change, or why they refuse it.
    using Rule = logrules::Rule;
    // What a window asks about before it stores a QSO on a sub-square, band and mode.
    struct RuleAnswer {
        // An accredited QSO is there (the QSO being edited counts too).
        bool accredited = false;
        // For a confirmed QSO: the confirmed QSO there that it would replace, leaving out the
        // QSO being edited.
        std::optional<int> holder;
        bool operator==(const RuleAnswer &other) const
        {
            return accredited == other.accredited && holder == other.holder;
        }
        bool operator!=(const RuleAnswer &other) const { return !(*this == other); }
    };
    // What a change of one QSO did: its number (0 when nothing was written) and, when the
    // rules refused it, which one.
    struct Written {
        int count = 0;
        Rule refused = Rule::Kept;
        explicit operator bool() const { return count != 0; }
    };

    // The columns of a QSO, in the order recordAt() reads them.
    static constexpr const char *qsoColumns =
        "count, WWLocator, call, date, time, place, prov, mode, band, qsl, lotw, lotwDate, eqsl, "
        "eqslDate, kept";
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
        RuleAnswer ruleAnswer(const QsoRecord &record,
                              std::optional<qint64> edited = std::nullopt) const;

        // Appends the record under the next number (the record's own count is ignored) and
        // returns that number. Refused, with nothing written, on an accredited sub-square, band
        // and mode, or for a confirmed QSO where another one is confirmed. Throws DatabaseError
        // of kind NumberLimit when the log holds the highest number there is.
        Written append(const QsoRecord &record);
        // Writes the record's values over the QSO numbered record.count; the fields kept from
        // a file stay, less those a changed band or mode makes stale (record.kept is not
        // read). Nothing is changed when that QSO is not in the log, or when the rules refuse
        // (as for append, the QSO itself left out; an accredited QSO stays as it was sent).
        Written rewrite(const QsoRecord &record);
        // Deletes the QSO numbered `count`; nothing when there was none, refused for an
        // accredited QSO.
        Written remove(qint64 count);
        // Raises the QSL state of the QSO numbered `count` to `qsl` (confirmed or accredited),
        // never lowers it: worked < confirmed < accredited. Nothing is changed when the QSO is
        // not in the log or already holds that state or a higher one, or when the rules refuse
        // (another QSO of its sub-square, band and mode is confirmed, or for a confirmation,
        // accredited).
        Written upgradeQsl(qint64 count, vocabulary::QslState qsl);
        // Records the LoTW and eQSL confirmations that `confirmations` holds (its lotw, eqsl
        // and their dates) on the QSO numbered `count`, keeping those it has already; a date
        // is added to a confirmation that had none. False when nothing changed.
        bool addElectronic(qint64 count, const QsoRecord &confirmations);

        // Sets the log's indexes aside for the rest of the batch (every one but the unique
        // index of the QSO numbers) and builds them anew from the whole table before the batch
        // commits: for a batch that appends many QSOs (an import of a file that is large beside
        // the log), which then writes its rows without keeping every index in order row by
        // row. The rules' question is answered meanwhile from the QSOs that hold a sub-square,
        // band and mode, read once and kept with the batch's changes. A batch that fails
        // leaves the indexes as they were, with the rest of the log. Reads by anything but the
        // QSO's number walk the whole table meanwhile.
        void setIndexesAside();

        // What this batch changed so far.
        const LogChange &change() const { return m_change; }
        // The batch's change is the whole log (LogChange::everything()), the numbers of the
        // QSOs it adds and changes not listed: for an import of any size whose caller reads
        // the log afresh.
        void changeWholeLog();

        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;

    private:
        friend class LogStore;
        explicit Batch(const Database &log);

        // What stands on the sub-square, band and mode of `record`, leaving out the QSO
        // numbered `self` (the one being rewritten) and the one numbered `gone` (about to be
        // deleted).
        logrules::Holders holders(const QsoRecord &record, std::optional<qint64> self,
                                  std::optional<qint64> gone = std::nullopt) const;
        // Which rule, if any, storing `record` there would break.
        Rule check(const QsoRecord &record, std::optional<qint64> self,
                   std::optional<qint64> gone = std::nullopt) const;
        // Runs one of LogStore's statements with these values; each statement is prepared
        // once in a batch, for an import runs the same few ones again and again.
        QSqlQuery &run(const QString &sql, const QVariantList &values) const;
        struct Prepared;

        const Database &m_log;
        LogChange m_change;
        mutable std::vector<std::pair<const QString *, QSqlQuery>> m_statements;
        // The statements each appended QSO runs, bound by position on the engine's own handle
        // (EngineStatement): an import runs them for every QSO. Prepared when first run.
        mutable std::unique_ptr<EngineStatement> m_holders;
        std::unique_ptr<EngineStatement> m_insert;
        // The number the next append takes, once read: the batch makes the only changes of
        // its transaction, so it follows from the last append until a QSO is deleted.
        std::optional<int> m_nextNumber;
        bool m_nextNumberKnown = false;
        // The statements that build the indexes set aside.
        QStringList m_asideIndexes;
        bool m_indexesAside = false;
        // While they are aside: the QSOs that hold each sub-square, band and mode (its key of
        // holderKey()), confirmed or accredited.
        struct Holder {
            qint64 count;
            bool accredited;
        };
        QHash<QByteArray, QVector<Holder>> m_holdersKept;
        // The texts of a sub-square, band and mode as the log's columns compare them (letters
        // of ASCII in either case alike), apart by their lengths.
        static QByteArray holderKey(const QsoRecord &record);
        static QByteArray holderKey(QByteArrayView locator, QByteArrayView band,
                                    QByteArrayView mode);
        // Keeps the QSO numbered `count` as what `record` says it is now, or leaves it out.
        void keepHolder(const QsoRecord &record, qint64 count);
        void dropHolder(const QsoRecord &record, qint64 count);
        // Builds the indexes set aside anew.
        void restoreIndexes();
        // The numbers of m_change.added and of m_change.changed, for a fast look-up: those
        // appended follow each other, kept as runs.
        QsoNumberRuns m_added;
        QSet<qint64> m_changed;
        bool m_listed = true;

        // Lists a QSO that changed, once.
        void listChanged(qint64 count);
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
    // The rules for storing `record` (as a new QSO, or over the QSO numbered `edited`): whether
    // its sub-square, band and mode are accredited, and for a confirmed record the confirmed QSO
    // it would replace.
    RuleAnswer ruleAnswer(const QsoRecord &record,
                          std::optional<qint64> edited = std::nullopt) const;

    // One-change conveniences, each its own transaction.
    // Deletes the replaced QSO, if any, and appends the record under the next number, both or
    // neither.
    LogChange append(const QsoRecord &record, std::optional<qint64> replaced = std::nullopt) const;
    // Deletes the replaced QSO, if any, and rewrites the QSO numbered record.count, both or
    // neither; an empty change when that QSO is no longer in the log.
    LogChange rewrite(const QsoRecord &record, std::optional<qint64> replaced = std::nullopt) const;
    LogChange remove(qint64 count) const;
    // Raises every listed QSO to the QSL state, all of them or none; a QSO the rules keep from
    // it stays as it is.
    LogChange upgradeQsl(const QList<int> &counts, vocabulary::QslState qsl) const;

private:
    const Database &m_log;
};

} // namespace kx47
