#include "reportcheck.h"

#include <QIODevice>
#include <QRegularExpression>

namespace kx47
{

namespace
{

const QByteArray lotwFirstLine = QByteArrayLiteral("arrl logbook of the world status report");
const QByteArray lotwEnd = QByteArrayLiteral("<app_lotw_eof>");
const QByteArray recordEnd = QByteArrayLiteral("<eor>");
const QByteArray headerEnd = QByteArrayLiteral("<eoh>");
// Fields whose value is the day a confirmation was received: QSLRDATE (YYYYMMDD) in each record
// and, in a LoTW report's header, the time of its newest confirmation (YYYY-MM-DD HH:MM:SS).
const QByteArray receivedField = QByteArrayLiteral("<qslrdate:8>");
const QByteArray lastQslField = QByteArrayLiteral("<app_lotw_lastqsl:19>");
constexpr qint64 chunkSize = 1 << 16;
// Bytes kept from one chunk for the next: the longest field name and value searched for.
constexpr int overlap = 48;
constexpr qint64 tailSize = 256;

QByteArray lowerTrimmed(const QByteArray &bytes)
{
    return bytes.trimmed().toLower();
}

// The first bytes of an answer, to tell a report from a web page.
bool isWebPage(const QByteArray &start)
{
    const QByteArray lower = start.toLower();
    return lower.contains("<html") || lower.contains("<!doctype") || lower.contains("<head") ||
           lower.contains("<body");
}

// Reads the whole answer once: counts its records and finds the newest day of confirmation.
bool scan(QIODevice &file, ReportCheck &check, QByteArray *start, QByteArray *tail)
{
    if (!file.seek(0))
        return false;
    QByteArray carry;
    QDate newest;
    while (true) {
        const QByteArray chunk = file.read(chunkSize);
        if (chunk.isEmpty() && file.bytesAvailable() == 0 && !file.atEnd())
            return false;
        const bool last = chunk.size() < chunkSize;
        if (start->size() < 1024)
            start->append(chunk.left(1024 - start->size()));
        const QByteArray buffer = carry + chunk.toLower();
        // Matches that start in the kept bytes are found with the next chunk.
        const qsizetype limit = last ? buffer.size() : qMax<qsizetype>(0, buffer.size() - overlap);
        for (qsizetype at = buffer.indexOf(recordEnd); at >= 0 && at < limit;
             at = buffer.indexOf(recordEnd, at + 1))
            ++check.records;
        for (const QByteArray &field : {receivedField, lastQslField}) {
            for (qsizetype at = buffer.indexOf(field); at >= 0 && at < limit;
                 at = buffer.indexOf(field, at + 1)) {
                const QByteArray value =
                    buffer.mid(at + field.size(), field == receivedField ? 8 : 10);
                const QDate day =
                    QDate::fromString(QString::fromLatin1(value),
                                      field == receivedField ? QStringLiteral("yyyyMMdd")
                                                             : QStringLiteral("yyyy-MM-dd"));
                if (day.isValid() && (!newest.isValid() || day > newest))
                    newest = day;
            }
        }
        carry = buffer.mid(limit);
        if (last)
            break;
    }
    if (file.size() > tailSize && !file.seek(file.size() - tailSize))
        return false;
    if (file.size() <= tailSize && !file.seek(0))
        return false;
    *tail = lowerTrimmed(file.read(tailSize));
    check.lastConfirmation = newest;
    return true;
}

// Scans a report and, when it could be read, has judge give the verdict from its first bytes,
// its tail (trimmed, lower case) and the records counted.
template <class Judge> ReportCheck checked(QIODevice &report, Judge judge)
{
    ReportCheck check;
    QByteArray start;
    QByteArray tail;
    if (scan(report, check, &start, &tail))
        check.verdict = judge(start, tail, check.records);
    return check;
}

} // namespace

ReportCheck checkLotwReport(QIODevice &report)
{
    return checked(report, [](const QByteArray &start, const QByteArray &tail, int) {
        if (!lowerTrimmed(start).startsWith(lotwFirstLine))
            return isWebPage(start) ? ReportCheck::Verdict::WebPage : ReportCheck::Verdict::Foreign;
        return tail.endsWith(lotwEnd) ? ReportCheck::Verdict::Whole : ReportCheck::Verdict::Cut;
    });
}

ReportCheck checkEqslFile(QIODevice &file)
{
    return checked(file, [](const QByteArray &start, const QByteArray &tail, int records) {
        if (isWebPage(start))
            return ReportCheck::Verdict::WebPage;
        if (!start.toLower().contains(headerEnd) && records == 0)
            return ReportCheck::Verdict::Foreign;
        if (tail.endsWith(recordEnd) || (records == 0 && tail.endsWith(headerEnd)))
            return ReportCheck::Verdict::Whole;
        return ReportCheck::Verdict::Cut;
    });
}

EqslPage readEqslPage(const QByteArray &page, const QUrl &pageAddress)
{
    EqslPage result;
    const QString html = QString::fromUtf8(page);
    static const QRegularExpression link(
        QStringLiteral("href\\s*=\\s*[\"']?([^\"'\\s>]+\\.adi)[\"'\\s>]"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch found = link.match(html);
    if (found.hasMatch())
        result.file = pageAddress.resolved(QUrl(found.captured(1)));

    // The text as a reader sees it: markup and entities out, one line per block.
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    QString text = html;
    text.replace(tags, QStringLiteral("\n"));
    text.replace(QLatin1String("&nbsp;"), QLatin1String(" "));
    QStringList lines;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QString simple = line.simplified();
        if (simple.isEmpty())
            continue;
        lines << simple;
        const int at = simple.indexOf(QLatin1String("Error:"), 0, Qt::CaseInsensitive);
        if (at >= 0 && result.error.isEmpty())
            result.error = simple.mid(at + 6).trimmed();
    }
    result.text = lines.mid(0, 5).join(QLatin1Char('\n')).left(400);
    return result;
}

} // namespace kx47
