#pragma once

#include "log/logrules.h"
#include "log/qsorecord.h"
#include "text/textkey.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>
#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace kx47
{

class Database;

// What an imported record does to the log, in the order the summary lists them.
enum class ImportOutcome {
    NewWorked,
    NewConfirmed,
    ConfirmationAdded,
    ElectronicAdded, // a logged QSO keeps its QSL state and gains a LoTW or eQSL confirmation
    AlreadyInLog,
    OutsideKx47,
    SubSquareUnknown,
    SubSquareDiffers, // the record names another sub-square than the QSO logged
    BandOutsideAward,
    RefusedAccredited,
    StoredAsWorked,
    Unreadable,
    NotInLog, // confirmations only: no logged QSO to confirm
};

// Decides, record by record and without writing, what an import does to the log: which records
// are QSOs already logged (the same call, sub-square, band and mode within 30 minutes, the
// nearest one), which logged QSOs they confirm, which are new and with what QSL state, and
// which the award rules refuse. A record that names no sub-square (no locator, or the square
// "KX47" alone, as in a LoTW report) is the logged QSO of the same call, band and mode within
// 30 minutes, in whatever sub-square; one that names another sub-square than such a QSO is
// neither merged nor added. The confirmations by LoTW and eQSL of a record are kept on the QSO
// it matches. The log's QSOs are read once; the records of the file see each other as they are
// planned, so a QSO twice in a file is added once.
class ImportPlan
{
public:
    // The outcomes every summary lists; a download's summary lists NotInLog after them.
    static constexpr int outcomeCount = 12;
    // How far apart the date and time of a record and of a logged QSO may lie for the two to be
    // the same QSO.
    static constexpr int matchMinutes = 30;
    // How many reasons of unreadable records, and how many records whose sub-square differs
    // from the log, the summary names.
    static constexpr int reasonsShown = 10;

    // What the plan holds for each QSO, at most: an entry, its place in the table of call keys
    // and its call.
    static constexpr int bytesPerQso = 48;

    // Whether records only confirm QSOs already logged (a download from a service) instead of
    // adding new ones.
    bool confirmationsOnly = false;

    // The QSOs of the log, read in one query; given the bands of the file's records (in
    // capitals), only those of the log's QSOs that can match them: every key holds the band.
    void loadLog(const Database &log, const QStringList &bands = {});
    // One QSO of the log (for loadLog and for tests).
    void addLogQso(const QsoRecord &qso);

    // Plans one record of the file that is a QSO of the award; its QSL state is worked,
    // confirmed or, from a file this program wrote, accredited; its locator is empty when the
    // record names no sub-square. Returns what it does.
    ImportOutcome add(const QsoRecord &record, qint64 recordNumber = 0);
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
    // What counted as confirmed, for the summary's first line (confirmationsText()).
    void setCounted(const QString &kinds) { m_counted = kinds; }
    // The summary: what counted as confirmed, one line per outcome, "caption: number" ("not in
    // the log" only for confirmations only), the duplicates of contest logs when there are any,
    // then the first reasons and the first records whose sub-square differs.
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
    // Records on the QSO numbered `count` the LoTW and eQSL confirmations of `record`.
    std::function<void(int count, const QsoRecord &record)> addElectronic;

private:
    // A QSO of the log or a new one of the file, as the matching sees it: a few numbers in 24
    // bytes, its call kept once for all the entries of the same call key.
    struct Entry {
        int count;      // the log's number; for a new QSO the number it was appended under, or 0
        int previous;   // the entry before it of the same call key; -1
        int callAt;     // where its call is in m_calls
        int slot;       // in m_slotList
        int day;        // of when, the Julian day
        quint16 minute; // of when, hours * 60 + minutes
        unsigned char qsl : 2; // vocabulary::QslState
        unsigned char hasWhen : 1;
        unsigned char isNew : 1; // a QSO of this file
        unsigned char lotw : 1;  // confirmed by LoTW, with a date when dated
        unsigned char lotwDated : 1;
        unsigned char eqsl : 1;
        unsigned char eqslDated : 1;

        vocabulary::QslState qslState() const { return vocabulary::QslState(qsl); }
        // Minutes since the start of the calendar; -1 when unknown.
        qint64 when() const { return hasWhen ? qint64(day) * 1440 + minute : -1; }
    };
    // One sub-square, band and mode of the award: what stands there, for the rules to judge.
    struct Slot {
        QString letters;
        int bandMode = -1;       // its band and mode, in m_bandModes
        bool accredited = false; // in the log before the import
        int holder = -1;         // the entry that is confirmed or accredited there
        logrules::Holders holders() const { return {accredited, holder >= 0}; }
    };
    // A key of the matching: the texts in capitals, apart by a separator.
    using Key = TextKey;

    // Fills the keys of a QSO: m_slotKey (sub-square, band, mode) and its slot if there is one,
    // the call in capitals in UTF-8 and its band and mode if known.
    void makeKeys(const QsoRecord &r);
    static qint64 minutesOf(const QString &date, const QString &time);
    // The entry nearest in time to when among those of the QSO at hand's call key, of its
    // sub-square too unless ofCall; -1 for none within matchMinutes.
    int nearest(qint64 when, bool ofCall) const;
    int addEntry(const QsoRecord &r, int count, bool isNew);
    int slotOf(const QsoRecord &r);
    // Plans a record that matches no QSO as a new one, as the rules let it: the outcome.
    ImportOutcome addNew(const QsoRecord &record);
    // Takes the record's confirmations into a matched entry: the outcome.
    ImportOutcome merge(const QsoRecord &record, int match);

    Entry &entry(int index) { return m_entries[size_t(index) >> entryShift][index & entryMask]; }
    const Entry &entry(int index) const
    {
        return m_entries[size_t(index) >> entryShift][index & entryMask];
    }
    // The call stored at `at` in m_calls.
    QByteArrayView callAt(int at) const;
    int storeCall(QByteArrayView call);
    // Where the call key of the call at hand and bandMode stands in m_chains, or the free place
    // for it.
    size_t chainPlace(int bandMode) const;
    void growChains();

    std::array<int, outcomeCount + 1> m_counts{};
    QString m_counted;
    int m_duplicates = 0;
    QStringList m_reasons;
    QString m_reasonStart = QStringLiteral("record");
    QStringList m_differing;
    // The entries in blocks that stay where they are while more are added: growing never
    // holds the old and the new copy at once.
    static constexpr qsizetype callBlockBytes = 1 << 20;
    static constexpr int entryShift = 14;
    static constexpr int entryMask = (1 << entryShift) - 1;
    std::vector<std::unique_ptr<Entry[]>> m_entries;
    int m_entryCount = 0;
    // The calls in capitals, in UTF-8 after their length, in blocks of calls; a call is kept
    // once for the entries of its call key. At: the block's index times blockBytes plus where
    // the call starts in it.
    std::vector<std::unique_ptr<char[]>> m_calls;
    int m_callsUsed = 0; // in the last block
    // For each call key (call, band and mode) the last of its entries, -1 where none: an
    // open hash table, found by the key's hash and told apart by the entry's call and slot.
    std::vector<int> m_chains;
    int m_chainCount = 0;
    QHash<Key, int> m_slots; // sub-square, band, mode -> m_slotList
    QVector<Slot> m_slotList;
    QHash<QString, int> m_bandModes; // band and mode in capitals -> its number
    // The keys of the QSO at hand, their memory kept from one QSO to the next.
    QString m_keyText;
    QByteArray m_call;
    size_t m_callHash = 0;
    int m_slot = -1;     // its slot, where there is one
    int m_bandMode = -1; // its band and mode, where known
    Key m_slotKey;
};

} // namespace kx47
