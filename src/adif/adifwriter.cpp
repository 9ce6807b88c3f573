#include "adifwriter.h"

#include "platform/awardvocabulary.h"

#include <QSaveFile>

namespace kx47
{

namespace
{

void appendField(QByteArray &out, const char *name, const QByteArray &value)
{
    out += '<';
    out += name;
    out += ':';
    out += QByteArray::number(value.size());
    out += '>';
    out += value;
    out += ' ';
}

void appendField(QByteArray &out, const char *name, const QString &value)
{
    appendField(out, name, value.toUtf8());
}

// "YYYYMMDD" of the log's "YYYY-MM-DD"; "HHMM" of "HH:MM".
QString digitsOnly(const QString &text)
{
    QString digits;
    digits.reserve(text.size());
    for (const QChar c : text) {
        if (c.isDigit())
            digits += c;
    }
    return digits;
}

} // namespace

bool AdiWriter::writeHeader(const QDateTime &created)
{
    QByteArray header = QByteArrayLiteral("KX47 Logbook export\n");
    appendField(header, "ADIF_VER", QByteArrayLiteral("3.1.4"));
    appendField(header, "PROGRAMID", QByteArrayLiteral("KX47"));
    appendField(header, "CREATED_TIMESTAMP",
                created.toUTC().toString(QStringLiteral("yyyyMMdd HHmmss")));
    header += "<EOH>\n";
    return m_device->write(header) == header.size();
}

QByteArray AdiWriter::record(const QsoRecord &qso)
{
    QByteArray out;
    out.reserve(256);
    appendField(out, "CALL", qso.call);
    appendField(out, "QSO_DATE", digitsOnly(qso.date));
    appendField(out, "TIME_ON", digitsOnly(qso.time));
    appendField(out, "GRIDSQUARE", QStringLiteral("KX47") + qso.locator.toUpper());
    if (!qso.place.isEmpty())
        appendField(out, "QTH", qso.place);
    using namespace vocabulary;
    if (qso.band == QLatin1String(bands[1].name)) // 50 MHz
        appendField(out, "BAND", QByteArrayLiteral("6m"));
    if (qso.mode == QLatin1String(modes[1]) || qso.mode == QLatin1String(modes[2])) // SSB, CW
        appendField(out, "MODE", qso.mode);
    if (qso.band == QLatin1String(bands[5].name)) // SAT
        appendField(out, "PROP_MODE", QByteArrayLiteral("SAT"));
    if (isQsl(qso.qsl, QslState::Confirmed) || isQsl(qso.qsl, QslState::Accredited))
        appendField(out, "QSL_RCVD", QByteArrayLiteral("Y"));
    appendField(out, "APP_KX47_BAND", qso.band);
    appendField(out, "APP_KX47_MODE", qso.mode);
    appendField(out, "APP_KX47_QSL", qso.qsl);
    appendField(out, "APP_KX47_PROV", qso.prov);
    out += "<EOR>\n";
    return out;
}

bool AdiWriter::write(const QsoRecord &qso)
{
    const QByteArray text = record(qso);
    return m_device->write(text) == text.size();
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
