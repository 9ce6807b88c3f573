#include "adifexport.h"

#include "adifwriter.h"

#include "log/logreads.h"
#include "log/logstore.h"

#include "storage/database.h"
#include "storage/databaseerror.h"

#include <QDir>
#include <QSqlQuery>

namespace kx47
{

namespace
{

// Thrown out of the writer when the user cancels, so that the file is not put in place.
struct Cancelled {
};

} // namespace

AdifExport::Result AdifExport::write(const QString &path, const Progress &progress, QString *error,
                                     int *written) const
{
    int done = 0;
    try {
        const LogReads reads(m_log);
        const int total = reads.qsoCount();
        QSqlQuery query = reads.qsosByNumber();
        const QsoSource source = [&](QsoRecord &qso) {
            if (!query.next())
                return false;
            qso = LogStore::recordAt(query);
            ++done;
            if (progress && done % 512 == 0 && !progress(done, total))
                throw Cancelled();
            return true;
        };
        QString writeError;
        if (!writeAdi(path, source, &writeError)) {
            if (error)
                *error = QStringLiteral("The file %1 could not be written: %2. No file was made; "
                                        "choose another folder or free some disk space.")
                             .arg(QDir::toNativeSeparators(path), writeError);
            return Result::Failed;
        }
        if (progress)
            progress(total, total);
    } catch (const Cancelled &) {
        return Result::Cancelled;
    } catch (const DatabaseError &e) {
        if (error)
            *error = e.plainMessage(DatabaseError::Work::Read);
        return Result::Failed;
    }
    if (written)
        *written = done;
    return Result::Done;
}

} // namespace kx47
