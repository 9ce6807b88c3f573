#include "adifexport.h"

#include "adifwriter.h"

#include "log/logreads.h"
#include "log/logstore.h"

#include "platform/textforms.h"
#include "storage/database.h"
#include "storage/databaseerror.h"

#include <QDate>
#include <QDir>
#include <QSqlQuery>

namespace kx47
{

namespace
{

// Whether the log's "yyyy-mm-dd" names a day of the calendar.
bool isCalendarDay(const QString &date)
{
    const QStringList parts = date.split(QLatin1Char('-'));
    return parts.size() == 3 &&
           QDate(parts[0].toInt(), parts[1].toInt(), parts[2].toInt()).isValid();
}

// So many QSOs left out are named one by one; the rest are counted.
constexpr int namedAtMost = 20;

// Thrown out of the writer when the user cancels, so that the file is not put in place.
struct Cancelled {
};

} // namespace

AdifExport::Result AdifExport::write(const QString &path, const Progress &progress, QString *error,
                                     int *written, QStringList *notWritten) const
{
    int done = 0;
    try {
        const LogReads reads(m_log);
        const int total = reads.qsoCount();
        QSqlQuery query = reads.qsosByNumber();
        const QsoSource source = [&](QsoRecord &qso) {
            for (;;) {
                if (!query.next())
                    return false;
                qso = LogStore::recordAt(query);
                if (isCalendarDay(qso.date))
                    break;
                if (notWritten)
                    notWritten->append(QStringLiteral("QSO %1, %2, %3")
                                           .arg(qso.count)
                                           .arg(qso.call, dateText(qso.date)));
            }
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

QString AdifExport::summary(int written, const QString &path, const QStringList &notWritten)
{
    QString text =
        QStringLiteral("%1 QSOs written to %2").arg(written).arg(QDir::toNativeSeparators(path));
    if (notWritten.isEmpty())
        return text;
    text += QStringLiteral("\n%1 QSOs were not written: their dates do not exist in the calendar. "
                           "Correct them in Utility QSO and export again:")
                .arg(notWritten.size());
    for (int i = 0; i < notWritten.size() && i < namedAtMost; ++i)
        text += QStringLiteral("\n") + notWritten[i];
    if (notWritten.size() > namedAtMost)
        text += QStringLiteral("\nand %1 more").arg(notWritten.size() - namedAtMost);
    return text;
}

} // namespace kx47
