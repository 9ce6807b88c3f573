#include "adifexport.h"

#include "adifwriter.h"

#include "log/logreads.h"

#include "storage/database.h"
#include "storage/databaseerror.h"
#include "text/textforms.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <cstring>

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

// The same of the log's date in UTF-8: the usual "yyyy-mm-dd" without a text of its own.
bool isCalendarDay(QByteArrayView date)
{
    const auto digits = [&](qsizetype from, qsizetype count) {
        int value = 0;
        for (qsizetype i = from; i < from + count; ++i) {
            if (date[i] < '0' || date[i] > '9')
                return -1;
            value = value * 10 + (date[i] - '0');
        }
        return value;
    };
    if (date.size() != 10 || date[4] != '-' || date[7] != '-')
        return isCalendarDay(QString::fromUtf8(date));
    const int year = digits(0, 4);
    const int month = digits(5, 2);
    const int day = digits(8, 2);
    if (year < 0 || month < 0 || day < 0)
        return isCalendarDay(QString::fromUtf8(date));
    return QDate(year, month, day).isValid();
}

// So many QSOs left out are named one by one; the rest are counted.
constexpr int namedAtMost = 20;

// Thrown out of the writer when the user cancels, so that the file is not put in place.
struct ExportCancelled {
};

// How much of an existing file is read to judge what it is.
constexpr qint64 sampleBytes = 64 * 1024;

const char *const journalSuffixes[] = {"-wal", "-shm", "-journal"};

QString logFileOf(const Database &log)
{
    const QString name = log.handle().databaseName();
    return name.startsWith(QLatin1String("file:")) ? QUrl(name).toLocalFile() : name;
}

// The same file, also through another name or a link.
bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo first(a);
    const QFileInfo second(b);
    const QString canonicalA = first.canonicalFilePath();
    return canonicalA.isEmpty() ? first.absoluteFilePath() == second.absoluteFilePath()
                                : canonicalA == second.canonicalFilePath();
}

// What an existing file's first bytes say it is, when it is not ADIF or ADX text.
QString notAdif(const QByteArray &sample)
{
    if (sample.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return QStringLiteral("a database (a log, the gazetteer or a backup)");
    QString text;
    if (sample.startsWith("\xff\xfe") || sample.startsWith("\xfe\xff")) {
        const bool little = sample.startsWith("\xff\xfe");
        for (qsizetype i = 2; i + 1 < sample.size(); i += 2) {
            const uchar first = uchar(sample[i]), second = uchar(sample[i + 1]);
            text += QChar(char16_t(little ? first | second << 8 : second | first << 8));
        }
    } else {
        for (const char c : sample) {
            const uchar u = uchar(c);
            if (u < 0x20 && u != '\t' && u != '\n' && u != '\r' && u != '\f')
                return QStringLiteral("not text (a database, a journal, a picture or a "
                                      "document)");
        }
        text = QString::fromLatin1(sample);
    }
    for (const char *mark : {"<eoh>", "<eor>", "<adx"}) {
        if (text.contains(QLatin1String(mark), Qt::CaseInsensitive))
            return QString();
    }
    return QStringLiteral("text, but not ADIF");
}

} // namespace

QString AdifExport::refusal(const QString &path, const Database &log)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QString logFile = logFileOf(log);
    const QString refused =
        QStringLiteral("The export cannot be written to %1: %2. Nothing was written; choose "
                       "another name for the ADIF file.");
    if (!logFile.isEmpty()) {
        if (sameFile(path, logFile))
            return refused.arg(shown, QStringLiteral("it is the log itself"));
        for (const char *suffix : journalSuffixes) {
            if (sameFile(path, logFile + QLatin1String(suffix)))
                return refused.arg(shown, QStringLiteral("it is a journal file of the log"));
        }
    }
    for (const char *suffix : journalSuffixes) {
        if (path.endsWith(QLatin1String(suffix)) &&
            QFileInfo(path.chopped(qsizetype(std::strlen(suffix)))).isFile())
            return refused.arg(shown, QStringLiteral("it is the journal file of a database"));
    }
    const QFileInfo info(path);
    if (!info.exists())
        return QString();
    if (!info.isFile())
        return refused.arg(shown, info.isDir() ? QStringLiteral("it is a folder")
                                               : QStringLiteral("it is not a plain file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused.arg(
            shown, QStringLiteral("what it holds cannot be read (%1)").arg(file.errorString()));
    const QByteArray sample = file.read(sampleBytes);
    const QString kind = sample.isEmpty() ? QString() : notAdif(sample);
    if (!kind.isEmpty())
        return refused.arg(shown, QStringLiteral("it already exists and is %1").arg(kind));
    return QString();
}

AdifExport::Result AdifExport::write(const QString &path, const Progress &progress, QString *error,
                                     int *written, QStringList *notWritten) const
{
    int done = 0;
    const QString refused = refusal(path, m_log);
    if (!refused.isEmpty()) {
        if (error)
            *error = refused;
        return Result::Failed;
    }
    try {
        const LogReads reads(m_log);
        const bool whole = m_search == LogSearch();
        const int total = whole ? reads.qsoCount() : reads.qsoCount(m_search);
        // The file is written of the rows as the log holds them in UTF-8, without a text of its
        // own for each column.
        const AdifForm form = isAdxName(path) ? AdifForm::Adx : AdifForm::Adi;
        const auto append = [form](QByteArray &out, const auto &qso) {
            if (form == AdifForm::Adx)
                AdxWriter::appendTo(out, qso);
            else
                AdiWriter::appendTo(out, qso);
        };
        // Each column is read as the engine's bytes in UTF-8, whatever the file's encoding.
        const std::unique_ptr<EngineStatement> rows = reads.qsoBytesByNumber(m_search);
        QsoBytes qso;
        const RecordSource bytesSource = [&](QByteArray &out) {
            for (;;) {
                if (!rows->next())
                    return false;
                LogReads::qsoBytesAt(*rows, qso);
                if (isCalendarDay(qso.date)) {
                    append(out, qso);
                    break;
                }
                if (notWritten)
                    notWritten->append(QStringLiteral("QSO %1, %2, %3")
                                           .arg(qso.count)
                                           .arg(QString::fromUtf8(qso.call),
                                                dateText(QString::fromUtf8(qso.date))));
            }
            ++done;
            if (progress && done % 512 == 0 && !progress(done, total))
                throw ExportCancelled();
            return true;
        };
        QString writeError;
        const bool ok = writeAdifRecords(path, form, bytesSource, &writeError);
        if (!ok) {
            if (error)
                *error = QStringLiteral("The file %1 could not be written: %2. No file was made; "
                                        "choose another folder or free some disk space.")
                             .arg(QDir::toNativeSeparators(path), writeError);
            return Result::Failed;
        }
        if (progress)
            progress(total, total);
    } catch (const ExportCancelled &) {
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

bool AdifExport::isAdxName(const QString &path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("adx"), Qt::CaseInsensitive) == 0;
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
