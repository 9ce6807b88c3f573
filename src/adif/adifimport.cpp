#include "adifimport.h"

#include "adifreader.h"
#include "edireader.h"

#include "log/logstore.h"
#include "qso/placelookup.h"
#include "storage/database.h"
#include "storage/databaseerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kx47
{

namespace
{

// Thrown out of the transaction when the user cancels, so that it is rolled back.
struct Cancelled {
};
// Thrown out of the transaction when the file fails while it is read.
struct FileFailed {
    QString reason;
};

ImportOutcome outcomeOf(MapOutcome outcome)
{
    switch (outcome) {
    case MapOutcome::OutsideKx47:
        return ImportOutcome::OutsideKx47;
    case MapOutcome::SubSquareUnknown:
        return ImportOutcome::SubSquareUnknown;
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

} // namespace

bool AdifImport::isContestLog(const QString &path)
{
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) && EdiReader::isEdi(&file);
}

bool AdifImport::parseConfirmations(const QString &text, Confirmations *kinds)
{
    Confirmations result;
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString kind = part.trimmed().toLower();
        if (kind == QLatin1String("paper"))
            result |= Confirmation::Paper;
        else if (kind == QLatin1String("lotw"))
            result |= Confirmation::Lotw;
        else if (kind == QLatin1String("eqsl"))
            result |= Confirmation::Eqsl;
        else
            return false;
    }
    *kinds = result;
    return true;
}

namespace
{

bool isDuplicate(const AdifReader &)
{
    return false;
}

bool isDuplicate(const EdiReader &reader)
{
    return reader.isDuplicate();
}

// Plans every record of reader; false when progress asked to cancel.
template <class Reader>
bool planRecords(Reader &reader, const MappingOptions &options, const ProvinceLookup &provinces,
                 ImportPlan &plan, const std::function<bool(qint64 done)> &progress)
{
    AdifRecord record;
    int sinceProgress = 0;
    while (reader.next(record)) {
        if (isDuplicate(reader)) {
            plan.skipDuplicate();
        } else {
            const MappedQso mapped = mapRecord(record, options, provinces);
            if (mapped.outcome == MapOutcome::Ok)
                plan.add(mapped.qso);
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

} // namespace

AdifImport::Result AdifImport::readFile(const QString &path, bool named,
                                        const MappingOptions &options,
                                        const ProvinceLookup &provinces, ImportPlan &plan,
                                        const std::function<bool(qint64 done)> &progress,
                                        QString *error) const
{
    const QFileInfo info(path);
    QFile file(path);
    QString refusal;
    if (info.isDir())
        refusal = QStringLiteral("it is a folder");
    else if (info.exists() && !info.isFile())
        refusal = QStringLiteral("it is not a regular file");
    else if (!file.open(QIODevice::ReadOnly))
        refusal = file.errorString();
    if (!refusal.isEmpty()) {
        if (error)
            *error = cannotRead(path, refusal);
        return Result::FileError;
    }

    const bool edi = EdiReader::isEdi(&file);
    if (!edi && (options.contestLog ||
                 info.suffix().compare(QLatin1String("edi"), Qt::CaseInsensitive) == 0)) {
        if (error)
            *error = QStringLiteral("The file %1 is not an EDI contest log: its first line is "
                                    "not [REG1TEST;1]. Nothing was imported.")
                         .arg(QDir::toNativeSeparators(path));
        return Result::FileError;
    }
    plan.setSource(named ? info.fileName() : QString(),
                   edi ? QStringLiteral("line") : QStringLiteral("record"));
    bool finished = true;
    if (edi) {
        EdiReader reader(&file);
        finished = planRecords(reader, options, provinces, plan, progress);
    } else {
        AdifReader reader(&file);
        MappingOptions fileOptions = options;
        fileOptions.lotwReport = reader.isLotwReport();
        fileOptions.kx47Export = reader.isKx47Export();
        finished = planRecords(reader, fileOptions, provinces, plan, progress);
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
                                    ImportPlan &plan, const Progress &progress,
                                    QString *error) const
{
    qint64 total = 0;
    for (const QString &path : paths)
        total += QFileInfo(path).size();
    const PlaceLookup places(m_places);
    const GazetteerProvinces provinces(places);
    qint64 before = 0;
    for (const QString &path : paths) {
        std::function<bool(qint64)> tick;
        if (progress)
            tick = [&](qint64 done) { return progress(before + done, total); };
        const Result result =
            readFile(path, paths.size() > 1, options, provinces, plan, tick, error);
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
    return read(paths, options, plan, progress, error);
}

AdifImport::Result AdifImport::apply(const QStringList &paths, const MappingOptions &options,
                                     ImportPlan &plan, LogChange *change, const Progress &progress,
                                     QString *error) const
{
    Result result = Result::Done;
    try {
        const LogChange done = LogStore(m_log).write([&](LogStore::Batch &batch) {
            // Planned anew inside the transaction: the log cannot change under it.
            plan.loadLog(m_log);
            plan.append = [&batch](const QsoRecord &qso) { return batch.append(qso).count; };
            plan.confirm = [&batch](int count) { batch.upgradeQsl(count, QStringLiteral("c")); };
            QString readError;
            result = read(paths, options, plan, progress, &readError);
            if (result == Result::Cancelled)
                throw Cancelled();
            if (result == Result::FileError)
                throw FileFailed{readError};
        });
        if (change)
            *change = done;
    } catch (const Cancelled &) {
        result = Result::Cancelled;
    } catch (const FileFailed &failed) {
        if (error)
            *error = failed.reason;
        result = Result::FileError;
    } catch (const DatabaseError &e) {
        if (error)
            *error = e.plainMessage(DatabaseError::Work::Change);
        result = Result::LogError;
    }
    plan.append = nullptr;
    plan.confirm = nullptr;
    return result;
}

} // namespace kx47
