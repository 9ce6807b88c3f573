#include "adifimport.h"

#include "adifreader.h"

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

AdifImport::Result AdifImport::read(const QString &path, const MappingOptions &options,
                                    ImportPlan &plan, const Progress &progress,
                                    QString *error) const
{
    const QFileInfo info(path);
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = cannotRead(path, info.isDir() ? QStringLiteral("it is a folder")
                                                   : file.errorString());
        return Result::FileError;
    }
    const qint64 total = file.size();
    AdifReader reader(&file);
    MappingOptions fileOptions = options;
    fileOptions.lotwReport = reader.isLotwReport();
    fileOptions.kx47Export = reader.isKx47Export();
    plan.confirmationsOnly = options.confirmationsOnly;

    const PlaceLookup places(m_places);
    const GazetteerProvinces provinces(places);
    AdifRecord record;
    int sinceProgress = 0;
    while (reader.next(record)) {
        const MappedQso mapped = mapRecord(record, fileOptions, provinces);
        if (mapped.outcome == MapOutcome::Ok)
            plan.add(mapped.qso);
        else
            plan.skip(outcomeOf(mapped.outcome), record.number, mapped.reason);
        if (progress && ++sinceProgress == 512) {
            sinceProgress = 0;
            if (!progress(reader.bytesRead(), total))
                return Result::Cancelled;
        }
    }
    // A broken ADX file was reported as an unreadable record; only a failing device stops
    // the import.
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = cannotRead(path, file.errorString());
        return Result::FileError;
    }
    if (progress && !progress(total, total))
        return Result::Cancelled;
    return Result::Done;
}

AdifImport::Result AdifImport::preview(const QString &path, const MappingOptions &options,
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
    return read(path, options, plan, progress, error);
}

AdifImport::Result AdifImport::apply(const QString &path, const MappingOptions &options,
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
            result = read(path, options, plan, progress, &readError);
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
