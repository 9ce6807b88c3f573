#pragma once

#include "log/qsorecord.h"
#include "platform/textkey.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>
#include <array>
#include <functional>

namespace kx47
{

class Database;

// What an imported record does to the log, in the order the summary lists them.
enum class ImportOutcome {
    NewWorked,
    NewConfirmed,
    ConfirmationAdded,
    AlreadyInLog,
    OutsideKx47,
    SubSquareUnknown,
    BandOutsideAward,
    RefusedAccredited,
    StoredAsWorked,
    Unreadable,
    NotInLog, // confirmations only: no logged QSO to confirm
};

// Decides, record by record and without writing, what an import does to the log: which records
// are QSOs already logged (the same call, sub-square, band and mode within 30 minutes, the
// nearest one), which logged QSOs they confirm, which are new and with what QSL state, and
// which the award rules refuse. The log's QSOs are read once; the records of the file see each
// other as they are planned, so a QSO twice in a file is added once.
class ImportPlan
{
public:
    // The outcomes every summary lists; a download's summary lists NotInLog after them.
    static constexpr int outcomeCount = 10;
    // How far apart the date and time of a record and of a logged QSO may lie for the two to be
    // the same QSO.
    static constexpr int matchMinutes = 30;
    // How many reasons of unreadable records the summary names.
    static constexpr int reasonsShown = 10;

    // Whether records only confirm QSOs already logged (a download from a service) instead of
    // adding new ones.
    bool confirmationsOnly = false;

    // The QSOs of the log, read in one query.
    void loadLog(const Database &log);
    // One QSO of the log (for loadLog and for tests).
    void addLogQso(const QsoRecord &qso);

    // Plans one record of the file that is a QSO of the award; its qsl is "w", "c" or, from a
    // file this program wrote, "a". Returns what it does.
    ImportOutcome add(const QsoRecord &record);
    // Counts a record that does not become a QSO; reason and record number are kept for the
    // first unreadable ones.
    void skip(ImportOutcome outcome, qint64 recordNumber = 0, const QString &reason = QString());
    // Counts a line of a contest log marked as a duplicate: a QSO the contest log holds twice,
    // which adds nothing.
    void skipDuplicate() { ++m_duplicates; }
    int duplicates() const { return m_duplicates; }
    // How the reasons of unreadable records name them from now on: by "record" (ADIF) or
    // "line" (EDI) number, after the file's name when an import reads several files.
    void setSource(const QString &fileName, const QString &unit);

    int count(ImportOutcome outcome) const { return m_counts[static_cast<int>(outcome)]; }
    // The summary: one line per outcome, "caption: number" ("not in the log" only for
    // confirmations only), the duplicates of contest logs when there are any, then the first
    // reasons.
    QStringList summaryLines() const;
    QString summary() const { return summaryLines().join(QLatin1Char('\n')); }
    static QString caption(ImportOutcome outcome);

    // Whether the records planned so far change the log.
    bool changesLog() const;

    // Where the plan writes while it is made, when it is applied rather than previewed: a new
    // QSO is appended at once and gets its number; a QSO becomes confirmed by its number (a
    // logged one, or one appended above from the same file). Without them nothing is written.
    std::function<int(const QsoRecord &qso)> append;
    std::function<void(int count)> confirm;

private:
    // A QSO of the log or a new one of the file, as the matching sees it: a few numbers, its
    // key kept once for all the entries that share it.
    struct Entry {
        int count;    // the log's number; for a new QSO the number it was appended under, or 0
        int previous; // the entry before it of the same key's hash; -1
        int keyAt;    // where its key is in m_keyTexts
        bool isNew;   // a QSO of this file
        char qsl;
        qint64 when; // minutes since the start of the calendar; -1 when unknown
    };
    // One sub-square, band and mode of the award.
    struct Slot {
        bool accredited = false; // in the log before the import
        int holder = -1;         // the entry that is confirmed or accredited there
    };
    // The entries of one hash of the QSO key (a call, sub-square, band and mode, or rarely
    // more than one), from the last one back by previous.
    struct Chain {
        int last = -1;
    };
    // A key of the matching: the texts in capitals, apart by a separator.
    using Key = TextKey;

    // Fills m_slotKey (sub-square, band, mode) and m_qsoKey (call and the same) of a QSO.
    void makeKeys(const QsoRecord &r);
    static qint64 minutesOf(const QString &date, const QString &time);
    // The entry nearest in time to when among those of the QSO key at hand.
    int nearest(qint64 when) const;
    // Whether the key at keyAt in m_keyTexts is the QSO key at hand.
    bool isQsoKey(int keyAt) const;
    int addEntry(const QsoRecord &r, int count, bool isNew);

    std::array<int, outcomeCount + 1> m_counts{};
    int m_duplicates = 0;
    QStringList m_reasons;
    QString m_reasonStart = QStringLiteral("record");
    QVector<Entry> m_entries;
    QHash<quint64, Chain> m_byQso; // hash of call, sub-square, band, mode -> entries
    // The QSO keys, each once, in UTF-8 after its length.
    QByteArray m_keyTexts;
    QHash<Key, Slot> m_slots; // sub-square, band, mode -> slot
    // The keys of the QSO at hand, their memory kept from one QSO to the next.
    QString m_qsoText;
    QByteArray m_qsoKey;
    quint64 m_qsoHash = 0;
    Key m_slotKey;
};

} // namespace kx47
