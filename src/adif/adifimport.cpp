#include "adifimport.h"

#include "adifreader.h"
#include "edireader.h"

#include "gazetteer/placelookup.h"
#include "log/logreads.h"
#include "log/logstore.h"
#include "log/qsotexts.h"
#include "storage/database.h"
#include "storage/databaseerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kx47
{

namespace
{

// Thrown out of the transaction when the user cancels, so that it is rolled back.
struct Cancelled {
};
// The share of the progress bar that reading the file takes; writing takes the rest.
const qint64 readShare = 80;

// Opens a regular file for reading: a device (/dev/zero, /dev/urandom), a pipe or a socket
// would never end or would block, and a folder is no file. The file is opened before it is
// looked at, so that it cannot be swapped for a pipe in between.
bool openRegularFile(const QString &path, QFile &file, QString *reason)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *reason = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        *reason = S_ISDIR(info.st_mode) ? QStringLiteral("it is a folder")
                                        : QStringLiteral("it is not a file but a device or a "
                                                         "pipe, which KX47 does not read");
        ::close(fd);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        *reason = file.errorString();
        ::close(fd);
        return false;
    }
    return true;
}

// Thrown out of the transaction when what must come before the first change failed.
struct NotReady {
    QString reason;
};

ImportOutcome outcomeOf(MapOutcome outcome)
{
    switch (outcome) {
    case MapOutcome::OutsideKx47:
        return ImportOutcome::OutsideKx47;
    case MapOutcome::BandOutsideAward:
        return ImportOutcome::BandOutsideAward;
    case MapOutcome::Ok:
    case MapOutcome::Unreadable:
        break;
    }
    return ImportOutcome::Unreadable;
}

QString cannotRead(const QString &path, const QString &reason)
{
    return QStringLiteral("The file %1 cannot be read: %2. Nothing was imported.")
        .arg(QDir::toNativeSeparators(path), reason);
}

bool isDuplicate(const AdifReader &)
{
    return false;
}

bool isDuplicate(const EdiReader &reader)
{
    return reader.isDuplicate();
}

// Maps every record of reader: take() gets the QSOs of the award, plan counts the others and
// the lines a contest log marks as duplicates. False when progress asked to cancel.
template <class Reader>
bool mapRecords(Reader &reader, const MappingOptions &options, const ProvinceLookup &provinces,
                ImportPlan &plan, const FileQsos::Take &take,
                const std::function<bool(qint64 done)> &progress)
{
    AdifRecord record;
    int sinceProgress = 0;
    while (reader.next(record)) {
        if (isDuplicate(reader)) {
            plan.skipDuplicate();
        } else {
            const MappedQso mapped = mapRecord(record, options, provinces);
            if (mapped.outcome == MapOutcome::Ok)
                take(mapped.qso, record.number);
            else
                plan.skip(outcomeOf(mapped.outcome), record.number, mapped.reason);
        }
        if (progress && ++sinceProgress == 512) {
            sinceProgress = 0;
            if (!progress(reader.bytesRead()))
                return false;
        }
    }
    return true;
}

qint64 totalSize(const QStringList &paths)
{
    qint64 total = 0;
    for (const QString &path : paths)
        total += QFileInfo(path).size();
    return total;
}

} // namespace

bool AdifImport::isContestLog(const QString &path)
{
    QFile file;
    QString reason;
    return openRegularFile(path, file, &reason) && EdiReader::isEdi(&file);
}

bool AdifImport::parseConfirmations(const QString &text, Confirmations *kinds)
{
    return parseConfirmationWords(text, kinds);
}

AdifImport::Result
AdifImport::readFile(const QString &path, bool named, const MappingOptions &options,
                     const ProvinceLookup &provinces, ImportPlan &plan, const Take &take,
                     const std::function<bool(qint64 done)> &progress, QString *error) const
{
    QFile file;
    QString reason;
    if (!openRegularFile(path, file, &reason)) {
        if (error)
            *error = cannotRead(path, reason);
        return Result::FileError;
    }
    const bool edi = EdiReader::isEdi(&file);
    if (!edi && (options.contestLog || QFileInfo(path).suffix().compare(
                                           QLatin1String("edi"), Qt::CaseInsensitive) == 0)) {
        if (error)
            *error = QStringLiteral("The file %1 is not an EDI contest log: its first line is "
                                    "not [REG1TEST;1]. Nothing was imported.")
                         .arg(QDir::toNativeSeparators(path));
        return Result::FileError;
    }
    plan.setSource(named ? QFileInfo(path).fileName() : QString(),
                   edi ? QStringLiteral("line") : QStringLiteral("record"));
    bool finished = true;
    if (edi) {
        EdiReader reader(&file);
        finished = mapRecords(reader, options, provinces, plan, take, progress);
    } else {
        AdifReader reader(&file);
        MappingOptions fileOptions = options;
        // The caller may know the source already (a report downloaded from LoTW); else the
        // file tells.
        fileOptions.lotwReport = options.lotwReport || reader.isLotwReport();
        fileOptions.eqslInbox = options.eqslInbox || reader.isEqslInbox();
        fileOptions.kx47Export = reader.isKx47Export();
        if (reader.refused()) {
            if (error)
                *error = cannotRead(path, reader.fileError());
            return Result::FileError;
        }
        finished = mapRecords(reader, fileOptions, provinces, plan, take, progress);
        if (finished && file.error() == QFileDevice::NoError && !reader.holdsAdif()) {
            if (error)
                *error = QStringLiteral("This file holds no ADIF records: %1 is not an ADIF "
                                        "(.adi) or ADX (.adx) file. Nothing was imported.")
                             .arg(QDir::toNativeSeparators(path));
            return Result::FileError;
        }
    }
    if (!finished)
        return Result::Cancelled;
    // A broken ADX file was reported as an unreadable record; only a failing device stops
    // the import.
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = cannotRead(path, file.errorString());
        return Result::FileError;
    }
    return Result::Done;
}

AdifImport::Result AdifImport::read(const QStringList &paths, const MappingOptions &options,
                                    ImportPlan &plan, const Take &take, const Progress &progress,
                                    QString *error) const
{
    plan.confirmationsOnly = options.confirmationsOnly;
    plan.setCounted(confirmationsText(options.accepted));
    const qint64 total = totalSize(paths);
    const PlaceLookup places(m_places);
    const GazetteerProvinces provinces(places);
    qint64 before = 0;
    for (const QString &path : paths) {
        std::function<bool(qint64)> tick;
        if (progress)
            tick = [&](qint64 done) { return progress(before + done, total); };
        const Result result =
            readFile(path, paths.size() > 1, options, provinces, plan, take, tick, error);
        if (result != Result::Done)
            return result;
        before += QFileInfo(path).size();
    }
    if (progress && !progress(total, total))
        return Result::Cancelled;
    return Result::Done;
}

AdifImport::Result AdifImport::preview(const QString &path, const MappingOptions &options,
                                       ImportPlan &plan, const Progress &progress,
                                       QString *error) const
{
    return preview(QStringList{path}, options, plan, progress, error);
}

AdifImport::Result AdifImport::apply(const QString &path, const MappingOptions &options,
                                     ImportPlan &plan, LogChange *change, const Progress &progress,
                                     QString *error) const
{
    return apply(QStringList{path}, options, plan, change, progress, error);
}

AdifImport::Result AdifImport::preview(const QStringList &paths, const MappingOptions &options,
                                       ImportPlan &plan, const Progress &progress,
                                       QString *error) const
{
    try {
        plan.loadLog(m_log);
    } catch (const DatabaseError &e) {
        if (error)
            *error = e.plainMessage(DatabaseError::Work::Read);
        return Result::LogError;
    }
    return read(
        paths, options, plan,
        [&plan](const QsoRecord &qso, qint64 recordNumber) { plan.add(qso, recordNumber); },
        progress, error);
}

AdifImport::Result AdifImport::apply(const QStringList &paths, const MappingOptions &options,
                                     ImportPlan &plan, LogChange *change, const Progress &progress,
                                     QString *error) const
{
    // The whole file is read and mapped first, without the log's write lock: another program
    // may go on writing the log however long a file takes to read.
    FileQsos qsos;
    QSet<QString> bands;
    const Result read = this->read(
        paths, options, plan,
        [&qsos, &bands](const QsoRecord &qso, qint64 recordNumber) {
            qsos.append(qso, recordNumber);
            bands.insert(qso.band);
        },
        [&progress](qint64 done, qint64 total) {
            return !progress || progress(done * readShare / 100, total);
        },
        error);
    if (read != Result::Done)
        return read;
    const qint64 total = totalSize(paths);
    // Only the log's QSOs of the file's bands can match its records (a contest log has one).
    QStringList fileBands;
    for (const QString &band : std::as_const(bands))
        fileBands << band.toUpper();

    Result result = Result::Done;
    // The log's table and indexes stay in memory while the import writes, instead of being
    // written and read again, page by page, through the engine's 2 MB default.
    qint64 logged = 0;
    try {
        logged = LogReads(m_log).qsoCount();
    } catch (const DatabaseError &) {
        logged = 0; // the transaction below tells
    }
    const int asideAfter = m_asideAfter == 0 ? fittedAsideAfter(logged) : m_asideAfter;
    const int cacheKib =
        m_pageCacheKib > 0
            ? m_pageCacheKib
            : fittedPageCacheKib(logged + qsos.size(), asideAfter > 0 && qsos.size() >= asideAfter);
    const Database::PageCache cache(m_log, cacheKib);
    try {
        const LogChange done = LogStore(m_log).write([&](LogStore::Batch &batch) {
            // No list of the numbers added and changed where no one reads it.
            if (!change)
                batch.changeWholeLog();
            // Planned anew inside the transaction: the log cannot change under it.
            plan.loadLog(m_log, fileBands);
            bool ready = !m_beforeWriting;
            const auto beforeWriting = [&] {
                QString why;
                if (!ready && !m_beforeWriting(&why))
                    throw NotReady{why};
                ready = true;
            };
            int appended = 0;
            plan.append = [&](const QsoRecord &qso) {
                beforeWriting();
                if (asideAfter > 0 && ++appended == asideAfter)
                    batch.setIndexesAside();
                return batch.append(qso).count;
            };
            plan.confirm = [&batch, &beforeWriting](int count) {
                beforeWriting();
                batch.upgradeQsl(count, vocabulary::QslState::Confirmed);
            };
            plan.addElectronic = [&batch, &beforeWriting](int count,
                                                          const QsoRecord &confirmations) {
                beforeWriting();
                batch.addElectronic(count, confirmations);
            };
            int planned = 0;
            qsos.forEach([&](const QsoRecord &qso, qint64 recordNumber) {
                plan.add(qso, recordNumber);
                if (progress && ++planned % 512 == 0 &&
                    !progress(total * readShare / 100 +
                                  total * (100 - readShare) / 100 * planned / qsos.size(),
                              total))
                    throw Cancelled();
            });
            if (progress && !progress(total, total))
                throw Cancelled();
        });
        if (change)
            *change = done;
    } catch (const Cancelled &) {
        result = Result::Cancelled;
    } catch (const FileQsos::ReadBackError &failure) {
        if (error)
            *error = QStringLiteral("The QSOs read from the file could not be read back from "
                                    "their temporary file: %1. Nothing was imported.")
                         .arg(failure.reason);
        result = Result::FileError;
    } catch (const NotReady &notReady) {
        if (error)
            *error = notReady.reason;
        result = Result::LogError;
    } catch (const DatabaseError &e) {
        if (error)
            *error = e.kind() == DatabaseError::Kind::NumberLimit
                         ? numberLimitMessage(qsos)
                         : e.plainMessage(DatabaseError::Work::Change);
        result = Result::LogError;
    }
    plan.append = nullptr;
    plan.confirm = nullptr;
    plan.addElectronic = nullptr;
    return result;
}

int AdifImport::fittedPageCacheKib(qint64 qsos, bool indexesAside)
{
    const qint64 left = memoryBudgetKib - ImportPlan::bytesPerQso * qsos / 1024;
    if (indexesAside)
        return int(std::clamp<qint64>(left / 2, smallestPageCacheAsideKib, largestPageCacheKib));
    return int(std::clamp<qint64>(left, smallestPageCacheKib, largestPageCacheKib));
}

int AdifImport::fittedAsideAfter(qint64 logged)
{
    return int(std::clamp<qint64>(logged / 4, fewestAppendsAside, highestQsoNumber));
}

QString AdifImport::numberLimitMessage(const FileQsos &qsos) const
{
    // The transaction was rolled back: planned against the log as it is, the file would add
    // this many QSOs.
    ImportPlan plan;
    int added = 0;
    try {
        plan.loadLog(m_log);
        qsos.forEach([&plan](const QsoRecord &qso, qint64) { plan.add(qso); });
        for (ImportOutcome o :
             {ImportOutcome::NewWorked, ImportOutcome::NewConfirmed, ImportOutcome::StoredAsWorked})
            added += plan.count(o);
    } catch (const DatabaseError &) {
        added = 0;
    } catch (const FileQsos::ReadBackError &) {
        added = 0;
    }
    const QString what =
        added == 1  ? QStringLiteral("The new QSO of the file was not saved")
        : added > 1 ? QStringLiteral("The %1 new QSOs of the file were not saved").arg(added)
                    : QStringLiteral("The new QSOs of the file were not saved");
    return QStringLiteral("The log holds a QSO with the highest number KX47 can give. %1; "
                          "nothing was imported. Delete the QSO with the highest number or "
                          "start a new log.")
        .arg(what);
}

FileQsos::FileQsos() = default;
FileQsos::~FileQsos() = default;

void FileQsos::append(const QsoRecord &qso, qint64 recordNumber)
{
    m_texts.append(reinterpret_cast<const char *>(&recordNumber), sizeof recordNumber);
    m_texts += char(qso.qsl);
    for (const QString *text : textsOf(qso)) {
        const QByteArray bytes = text->toUtf8();
        // A length under 255 in one byte, any other in four after a byte 255.
        if (bytes.size() < 255) {
            m_texts += char(bytes.size());
        } else {
            const quint32 size = quint32(bytes.size());
            m_texts += char(255);
            m_texts.append(reinterpret_cast<const char *>(&size), sizeof size);
        }
        m_texts += bytes;
    }
    ++m_count;
    if (m_texts.size() >= memoryBytes && !m_spillRefused)
        spill();
}

void FileQsos::spill()
{
    if (!m_spilled) {
        m_spilled = std::make_unique<QTemporaryFile>();
        if (!m_spilled->open()) {
            m_spilled.reset();
            m_spillRefused = true;
            return;
        }
    }
    // A temporary file that cannot take them (a full disk) leaves them, and those after them,
    // in memory; what it took of them is not read back.
    if (!m_spilled->seek(m_spilledBytes) || m_spilled->write(m_texts) != m_texts.size() ||
        !m_spilled->flush()) {
        m_spillRefused = true;
        return;
    }
    m_spilledBytes += m_texts.size();
    m_texts.clear();
}

namespace
{

// Decodes one QSO and the number of its record at `at`; false, with `at` unmoved, when the
// bytes up to end do not hold it all.
bool decodeQso(const char *&at, const char *end, QsoRecord &qso, qint64 &recordNumber)
{
    const char *p = at;
    if (end - p < qsizetype(sizeof recordNumber))
        return false;
    std::memcpy(&recordNumber, p, sizeof recordNumber);
    p += sizeof recordNumber;
    if (p >= end)
        return false;
    qso.qsl = vocabulary::QslState(*p++);
    for (QString *text : textsOf(qso)) {
        if (p >= end)
            return false;
        quint32 size = quint8(*p++);
        if (size == 255) {
            if (end - p < qsizetype(sizeof size))
                return false;
            std::memcpy(&size, p, sizeof size);
            p += sizeof size;
        }
        if (end - p < qsizetype(size))
            return false;
        *text = QString::fromUtf8(p, qsizetype(size));
        p += size;
    }
    at = p;
    return true;
}

} // namespace

void FileQsos::forEach(const Take &take) const
{
    QsoRecord qso;
    qint64 recordNumber = 0;
    int given = 0;
    // One buffer, read into after the part of a QSO the last read cut short.
    QByteArray chunk;
    qsizetype used = 0;
    const auto giveFrom = [&] {
        const char *at = chunk.constData() + used;
        const char *const end = chunk.constData() + chunk.size();
        while (given < m_count && decodeQso(at, end, qso, recordNumber)) {
            ++given;
            take(qso, recordNumber);
        }
        used = at - chunk.constData();
    };
    if (m_spilled) {
        if (!m_spilled->seek(0))
            throw ReadBackError{m_spilled->errorString()};
        for (qint64 left = m_spilledBytes; left > 0;) {
            chunk.remove(0, used);
            used = 0;
            const qsizetype kept = chunk.size();
            chunk.resize(kept + qsizetype(std::min<qint64>(left, memoryBytes)));
            const qint64 read = m_spilled->read(chunk.data() + kept, chunk.size() - kept);
            if (read <= 0)
                throw ReadBackError{m_spilled->errorString()};
            chunk.resize(kept + qsizetype(read));
            left -= read;
            giveFrom();
        }
    }
    chunk.remove(0, used);
    used = 0;
    chunk += m_texts;
    giveFrom();
    if (given != m_count || used != chunk.size())
        throw ReadBackError{QStringLiteral("the QSOs kept in a temporary file came back cut "
                                           "short")};
}

} // namespace kx47
