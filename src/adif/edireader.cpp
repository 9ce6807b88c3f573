#include "edireader.h"

#include "adifmapping.h"

#include "log/awardvocabulary.h"

#include <QIODevice>
#include <QList>

namespace kx47
{

namespace
{

const QByteArray ediFirstLine = QByteArrayLiteral("[REG1TEST;1]");
// The fields of a QSO line up to the received locator, the last one the import needs.
constexpr int fieldsNeeded = 10;
constexpr int fieldsOfALine = 15;

bool startsWithNoCase(const QByteArray &line, const char *start)
{
    const QByteArray prefix(start);
    return line.size() >= prefix.size() &&
           qstrnicmp(line.constData(), prefix.constData(), prefix.size()) == 0;
}

bool allDigits(const QByteArray &text)
{
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return !text.isEmpty();
}

QString text(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes).trimmed();
}

} // namespace

bool EdiReader::isEdi(QIODevice *device)
{
    const QByteArray start = device->peek(lineLimit * (leadingLinesAllowed + 1));
    const QList<QByteArray> lines = start.split('\n');
    for (int i = 0; i < lines.size() && i <= leadingLinesAllowed; ++i) {
        QByteArray line = lines.at(i).trimmed();
        if (i == 0 && line.startsWith("\xEF\xBB\xBF"))
            line = line.mid(3);
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        return line.compare(ediFirstLine, Qt::CaseInsensitive) == 0;
    }
    return false;
}

QString EdiReader::adifBand(const QString &ediBand)
{
    QString band = ediBand.trimmed();
    const QString asAdif = adifBandName(band, QString());
    if (!asAdif.isEmpty())
        return asAdif;
    band.replace(QLatin1Char(','), QLatin1Char('.'));
    int numberEnd = 0;
    while (numberEnd < band.size() &&
           (band.at(numberEnd).isDigit() || band.at(numberEnd) == QLatin1Char('.')))
        ++numberEnd;
    bool ok = false;
    double mhz = band.left(numberEnd).toDouble(&ok);
    if (!ok)
        return QString();
    const QString unit = band.mid(numberEnd).trimmed().toUpper();
    if (unit == QLatin1String("GHZ"))
        mhz *= 1000;
    else if (unit == QLatin1String("KHZ"))
        mhz /= 1000;
    else if (!unit.isEmpty() && unit != QLatin1String("MHZ"))
        return QString();
    return adifBandName(QString(), QString::number(mhz, 'f', 3));
}

QString EdiReader::adifMode(const QString &code)
{
    static const char *const modes[] = {nullptr, "SSB", "CW",   nullptr, nullptr,
                                        "AM",    "FM",  "RTTY", "SSTV",  "ATV"};
    const QString c = code.trimmed();
    if (c.size() != 1 || !c.at(0).isDigit())
        return QString();
    const char *mode = modes[c.at(0).digitValue()];
    return mode ? QString::fromLatin1(mode) : QString();
}

bool EdiReader::readLine()
{
    char buffer[lineLimit + 2];
    qint64 size = m_device->readLine(buffer, sizeof buffer);
    if (size <= 0)
        return false;
    m_bytesRead += size;
    ++m_lineNumber;
    m_longLine = false;
    m_line = QByteArray(buffer, int(size));
    // The rest of a line longer than the limit is passed over unkept.
    while (size > lineLimit && buffer[size - 1] != '\n') {
        m_longLine = true;
        size = m_device->readLine(buffer, sizeof buffer);
        if (size <= 0)
            break;
        m_bytesRead += size;
    }
    while (!m_line.isEmpty() && (m_line.endsWith('\n') || m_line.endsWith('\r')))
        m_line.chop(1);
    return true;
}

void EdiReader::readHeaderLine()
{
    const int equals = m_line.indexOf('=');
    if (equals <= 0 || m_longLine)
        return;
    const QByteArray key = m_line.left(equals).trimmed();
    const QString value = text(m_line.mid(equals + 1));
    if (key.compare("PBand", Qt::CaseInsensitive) == 0) {
        m_band = value;
        m_adifBand = adifBand(value);
    } else if (key.compare("TName", Qt::CaseInsensitive) == 0) {
        m_contest = value;
    } else if (key.compare("PCall", Qt::CaseInsensitive) == 0) {
        m_call = value;
    } else if (key.compare("PWWLo", Qt::CaseInsensitive) == 0) {
        m_locator = value;
    } else if (key.compare("TDate", Qt::CaseInsensitive) == 0) {
        const QString start = value.left(8);
        bool digits = start.size() == 8;
        for (const QChar c : start)
            digits = digits && c.isDigit();
        m_century = digits ? start.left(2) : QString();
    }
}

void EdiReader::readQsoLine(AdifRecord &record)
{
    record.number = m_lineNumber;
    if (m_longLine) {
        record.error = QStringLiteral("the line is longer than %1 characters").arg(lineLimit);
        return;
    }
    const QList<QByteArray> fields = m_line.split(';');
    if (fields.size() < fieldsNeeded) {
        record.error = QStringLiteral("%1 fields where a QSO line has %2")
                           .arg(fields.size())
                           .arg(fieldsOfALine);
        return;
    }
    m_duplicate = fields.size() >= fieldsOfALine &&
                  fields.at(fieldsOfALine - 1).trimmed().compare("D", Qt::CaseInsensitive) == 0;

    const QByteArray date = fields.at(0).trimmed();
    if (date.size() != 6 || !allDigits(date)) {
        record.error = QStringLiteral("the date %1 is not YYMMDD").arg(text(date.left(40)));
        return;
    }
    QString century = m_century;
    if (century.isEmpty())
        century = date.left(2).toInt() < 80 ? QStringLiteral("20") : QStringLiteral("19");
    record.qsoDate = century + QString::fromLatin1(date);
    record.timeOn = text(fields.at(1));
    record.call = text(fields.at(2));
    record.gridsquare = text(fields.at(9));

    const QString code = text(fields.at(3));
    if (code == QLatin1String("3") || code == QLatin1String("4")) {
        record.awardMode = QLatin1String(vocabulary::modes[0]);
    } else {
        record.mode = adifMode(code);
        if (record.mode.isEmpty()) {
            record.error =
                code.isEmpty() || code == QLatin1String("0")
                    ? QStringLiteral("no mode code")
                    : QStringLiteral("the mode code %1 is not one of 1 to 9").arg(code.left(40));
            return;
        }
    }
    if (m_adifBand.isEmpty()) {
        record.error =
            m_band.isEmpty()
                ? QStringLiteral("the file names no band (PBand)")
                : QStringLiteral("the file's band PBand=%1 is not known").arg(m_band.left(40));
        return;
    }
    record.band = m_adifBand;
    record.rstSent = text(fields.at(4));
    record.stx = text(fields.at(5));
    record.rstRcvd = text(fields.at(6));
    record.srx = text(fields.at(7));
    record.stationCallsign = m_call;
    record.myGridsquare = m_locator;
    record.contestId = m_contest;
}

bool EdiReader::next(AdifRecord &record)
{
    record.clear();
    m_duplicate = false;
    while (readLine()) {
        if (!m_started) {
            // Comments and blank lines, then the first line, as isEdi() found them.
            if (m_line.trimmed().isEmpty() || m_line.trimmed().startsWith('#'))
                continue;
            m_started = true;
            continue;
        }
        const QByteArray trimmed = m_line.trimmed();
        if (trimmed.startsWith('[')) {
            m_section = startsWithNoCase(trimmed, "[QSORECORDS") ? Section::Qsos : Section::Other;
            continue;
        }
        switch (m_section) {
        case Section::Header:
            readHeaderLine();
            break;
        case Section::Qsos:
            if (trimmed.isEmpty() && !m_longLine)
                break;
            readQsoLine(record);
            return true;
        case Section::Other:
            break;
        }
    }
    return false;
}

} // namespace kx47
