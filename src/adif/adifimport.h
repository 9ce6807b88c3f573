#pragma once

#include "adifmapping.h"
#include "importplan.h"

#include "log/logchange.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryFile>
#include <functional>
#include <memory>

namespace kx47
{

class Database;

// The QSOs of a file as the import keeps them between reading the file and writing the log:
// their texts in UTF-8 one after the other, each after its length. Beyond a few megabytes they
// go to a temporary file, so that memory stays bounded whatever the size of the file; where no
// temporary file can be written they stay in memory.
class FileQsos
{
public:
    FileQsos();
    ~FileQsos();
    FileQsos(const FileQsos &) = delete;
    FileQsos &operator=(const FileQsos &) = delete;

    // What is kept in memory before it goes to the temporary file.
    static constexpr qsizetype memoryBytes = 1 << 20;

    // A QSO and the number of the record it came from.
    using Take = std::function<void(const QsoRecord &, qint64 recordNumber)>;

    void append(const QsoRecord &qso, qint64 recordNumber);
    // Gives each QSO in the order appended. Throws ReadBackError when the temporary file
    // cannot be read back whole.
    void forEach(const Take &take) const;
    int size() const { return m_count; }

    struct ReadBackError {
        QString reason;
    };

private:
    void spill();

    QByteArray m_texts; // those not in the temporary file
    std::unique_ptr<QTemporaryFile> m_spilled;
    qint64 m_spilledBytes = 0; // what the temporary file took whole
    bool m_spillRefused = false;
    int m_count = 0;
};

// Brings ADIF files and EDI contest logs into the log; an EDI file is told by its first line
// "[REG1TEST;1]", whatever its name, and its QSO lines are planned as ADIF records. preview() reads
// the file and tells what importing it would do, writing nothing; apply() reads it again, whole,
// before it takes the log's write lock, then plans its QSOs anew inside one transaction against the
// log as it stands (so the award rules hold even when the log changed since the preview) and writes
// all of it, or nothing when anything fails or the user cancels. The file is read in one pass each
// time; only the QSOs it brings are kept, compactly, between reading and writing.
//
// A file that is not ADIF at all (an HTML page, an empty or binary file), a folder, a device or
// a pipe is a FileError; a file with a header and no record is zero records.
class AdifImport
{
public:
    enum class Result {
        Done,
        Cancelled, // nothing written
        FileError, // the file cannot be read; nothing written
        LogError,  // the log cannot be written; nothing written
    };
    // How far reading has come, in bytes of the file; returns false to cancel.
    using Progress = std::function<bool(qint64 done, qint64 total)>;

    AdifImport(const Database &log, const Database &places) : m_log(log), m_places(places) {}

    // Fills plan with what the file would do to the log.
    Result preview(const QString &path, const MappingOptions &options, ImportPlan &plan,
                   const Progress &progress = {}, QString *error = nullptr) const;
    // Imports the file; plan tells what was done, change which QSOs changed.
    Result apply(const QString &path, const MappingOptions &options, ImportPlan &plan,
                 LogChange *change = nullptr, const Progress &progress = {},
                 QString *error = nullptr) const;
    // The same for several files at once, planned together as one file (a contest's logs of
    // each band): one preview, one transaction. Progress counts the bytes of all of them.
    Result preview(const QStringList &paths, const MappingOptions &options, ImportPlan &plan,
                   const Progress &progress = {}, QString *error = nullptr) const;
    Result apply(const QStringList &paths, const MappingOptions &options, ImportPlan &plan,
                 LogChange *change = nullptr, const Progress &progress = {},
                 QString *error = nullptr) const;

    // Whether the file at path is an EDI contest log (its first line is "[REG1TEST;1]").
    static bool isContestLog(const QString &path);

    // Called once, inside apply's transaction, just before the first change is written: an
    // import that changes nothing, or fails before writing, never calls it. Returning false
    // (with the reason in error) stops the import with nothing written (LogError).
    using BeforeWriting = std::function<bool(QString *error)>;
    void setBeforeWriting(BeforeWriting beforeWriting)
    {
        m_beforeWriting = std::move(beforeWriting);
    }

    // The engine's page cache, in KiB, while apply writes (see Database::PageCache): up to
    // 64 MB, less where the plan of a large import takes the memory, so that the two stay
    // within memoryBudgetKib, and never under 8 MB. Where the import may set the indexes aside,
    // building them anew sorts in as much memory again as the cache: the two then share what
    // the plan leaves, and the cache is never under 4 MB. setPageCacheKib(kib) sets a size of
    // its own instead; 0, fitted again.
    static constexpr int largestPageCacheKib = 64 * 1024;
    static constexpr int smallestPageCacheKib = 8 * 1024;
    static constexpr int smallestPageCacheAsideKib = 4 * 1024;
    static constexpr int memoryBudgetKib = 52 * 1024;
    void setPageCacheKib(int kib) { m_pageCacheKib = kib; }
    // The page cache fitted to a plan of so many QSOs (the log's and the file's).
    static int fittedPageCacheKib(qint64 qsos, bool indexesAside = false);

    // After how many new QSOs apply sets the log's indexes aside and builds them anew at the
    // end (LogStore::Batch::setIndexesAside): once the QSOs it adds are many beside those of
    // the log, building an index whole from the table costs less than keeping it in order for
    // each row. setIndexesAsideAfter(count) sets a number of its own instead: 0, fitted again;
    // below 0, never.
    static constexpr int fewestAppendsAside = 2000;
    void setIndexesAsideAfter(int appended) { m_asideAfter = appended; }
    static int fittedAsideAfter(qint64 logged);

    // The options as the command line and the window name them: "paper,lotw,eqsl". False for
    // an unknown kind.
    static bool parseConfirmations(const QString &text, Confirmations *kinds);

private:
    using Take = FileQsos::Take;
    // Reads the files: take() gets each record that is a QSO of the award, plan counts the
    // others.
    Result read(const QStringList &paths, const MappingOptions &options, ImportPlan &plan,
                const Take &take, const Progress &progress, QString *error) const;
    // Reads one of them; named: the reasons of unreadable records name the file.
    Result readFile(const QString &path, bool named, const MappingOptions &options,
                    const ProvinceLookup &provinces, ImportPlan &plan, const Take &take,
                    const std::function<bool(qint64 done)> &progress, QString *error) const;
    // The message of a log at its highest QSO number, counting the QSOs the file would add.
    QString numberLimitMessage(const FileQsos &qsos) const;

    const Database &m_log;
    const Database &m_places;
    BeforeWriting m_beforeWriting;
    int m_pageCacheKib = 0;
    int m_asideAfter = 0;
};

} // namespace kx47
