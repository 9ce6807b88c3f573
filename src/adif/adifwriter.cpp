#include "adifwriter.h"

#include "log/awardvocabulary.h"

#include <QSaveFile>
#include <QVarLengthArray>
#include <charconv>
#include <cstring>

namespace kx47
{

namespace
{

// The fields are put together in one buffer, without a text of their own: writing the log
// would otherwise spend more on short-lived texts than on reading it.

// Makes room for a field's tag "<NAME:length>", its value of valueBytes and the blank after it
// at the end of out; returns where the value goes.
char *appendTag(QByteArray &out, const char *name, qsizetype valueBytes)
{
    char length[24];
    const qsizetype lengthDigits =
        std::to_chars(length, length + sizeof length, valueBytes).ptr - length;
    const qsizetype nameLength = qsizetype(std::strlen(name));
    const qsizetype start = out.size();
    out.resize(start + nameLength + lengthDigits + valueBytes + 4);
    char *at = out.data() + start;
    *at++ = '<';
    std::memcpy(at, name, size_t(nameLength));
    at += nameLength;
    *at++ = ':';
    std::memcpy(at, length, size_t(lengthDigits));
    at += lengthDigits;
    *at++ = '>';
    at[valueBytes] = ' ';
    return at;
}

void appendField(QByteArray &out, const char *name, QByteArrayView value)
{
    std::memcpy(appendTag(out, name, value.size()), value.data(), size_t(value.size()));
}

bool isAscii(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

void appendField(QByteArray &out, const char *name, QStringView value)
{
    if (!isAscii(value)) {
        appendField(out, name, value.toUtf8());
        return;
    }
    // ASCII: one byte a character.
    char *text = appendTag(out, name, value.size());
    for (const QChar c : value)
        *text++ = char(c.unicode());
}

// "YYYYMMDD" of the log's "YYYY-MM-DD"; "HHMM" of "HH:MM".
void appendDigitsField(QByteArray &out, const char *name, QStringView text)
{
    QVarLengthArray<QChar, 32> digits;
    for (const QChar c : text) {
        if (c.isDigit())
            digits.append(c);
    }
    appendField(out, name, QStringView(digits.constData(), digits.size()));
}

// KX47 and the letters of the sub-square in capitals.
void appendGridsquareField(QByteArray &out, const QString &letters)
{
    if (!isAscii(letters)) {
        appendField(out, "GRIDSQUARE", QStringLiteral("KX47") + letters.toUpper());
        return;
    }
    QVarLengthArray<QChar, 16> square{u'K', u'X', u'4', u'7'};
    for (const QChar c : letters) {
        const char16_t u = c.unicode();
        square.append(QChar(u >= 'a' && u <= 'z' ? char16_t(u - 'a' + 'A') : u));
    }
    appendField(out, "GRIDSQUARE", QStringView(square.constData(), square.size()));
}

void appendRecord(QByteArray &out, const QsoRecord &qso)
{
    appendField(out, "CALL", qso.call);
    appendDigitsField(out, "QSO_DATE", qso.date);
    appendDigitsField(out, "TIME_ON", qso.time);
    appendGridsquareField(out, qso.locator);
    if (!qso.place.isEmpty())
        appendField(out, "QTH", qso.place);
    using namespace vocabulary;
    if (qso.band == QLatin1String(bands[1].name)) // 50 MHz
        appendField(out, "BAND", QByteArrayView("6m"));
    if (qso.mode == QLatin1String(modes[1]) || qso.mode == QLatin1String(modes[2])) // SSB, CW
        appendField(out, "MODE", qso.mode);
    if (qso.band == QLatin1String(bands[5].name)) // SAT
        appendField(out, "PROP_MODE", QByteArrayView("SAT"));
    if (isQsl(qso.qsl, QslState::Confirmed) || isQsl(qso.qsl, QslState::Accredited))
        appendField(out, "QSL_RCVD", QByteArrayView("Y"));
    appendField(out, "APP_KX47_BAND", qso.band);
    appendField(out, "APP_KX47_MODE", qso.mode);
    appendField(out, "APP_KX47_QSL", qso.qsl);
    appendField(out, "APP_KX47_PROV", qso.prov);
    out += "<EOR>\n";
}

} // namespace

bool AdiWriter::writeHeader(const QDateTime &created)
{
    QByteArray header = QByteArrayLiteral("KX47 Logbook export\n");
    appendField(header, "ADIF_VER", QByteArrayView("3.1.4"));
    appendField(header, "PROGRAMID", QByteArrayView("KX47"));
    appendField(header, "CREATED_TIMESTAMP",
                created.toUTC().toString(QStringLiteral("yyyyMMdd HHmmss")));
    header += "<EOH>\n";
    return m_device->write(header) == header.size();
}

QByteArray AdiWriter::record(const QsoRecord &qso)
{
    QByteArray out;
    out.reserve(256);
    appendRecord(out, qso);
    return out;
}

bool AdiWriter::write(const QsoRecord &qso)
{
    m_line.truncate(0);
    appendRecord(m_line, qso);
    return m_device->write(m_line) == m_line.size();
}

bool writeAdi(const QString &path, const QsoSource &source, QString *error, int *written,
              const QDateTime &created)
{
    int count = 0;
    if (written)
        *written = 0;
    QSaveFile file(path);
    auto failed = [&](const QString &reason) {
        if (error)
            *error = reason;
        if (written)
            *written = count;
        file.cancelWriting();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return failed(file.errorString());
    AdiWriter writer(&file);
    if (!writer.writeHeader(created))
        return failed(file.errorString());
    QsoRecord qso;
    while (source(qso)) {
        if (!writer.write(qso))
            return failed(file.errorString());
        ++count;
    }
    if (!file.commit())
        return failed(file.errorString());
    if (written)
        *written = count;
    return true;
}

} // namespace kx47
