#include "adifwriter.h"

#include "adifmapping.h"

#include "log/awardvocabulary.h"
#include "log/keptfields.h"
#include "log/qsotexts.h"
#include "text/asciicase.h"

#include <QBuffer>
#include <QSaveFile>
#include <QVarLengthArray>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <iterator>
#include <type_traits>

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

void appendField(QByteArray &out, const char *name, QStringView value)
{
    if (!ascii::isAscii(value)) {
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
    if (!ascii::isAscii(letters)) {
        appendField(out, "GRIDSQUARE", QStringLiteral("KX47") + letters.toUpper());
        return;
    }
    QVarLengthArray<QChar, 16> square{u'K', u'X', u'4', u'7'};
    for (const QChar c : letters)
        square.append(ascii::upper(c));
    appendField(out, "GRIDSQUARE", QStringView(square.constData(), square.size()));
}

// A record's texts as visitRecord reads them: QsoRecord's own, or QsoBytes' UTF-8 of a record
// all in ASCII, where a byte is a character.
bool same(const QString &text, const char *name)
{
    return text == QLatin1String(name);
}

bool same(QByteArrayView text, const char *name)
{
    return text == QByteArrayView(name);
}

QString textOf(QStringView text)
{
    return text.toString();
}

QString textOf(QByteArrayView text)
{
    return QString::fromLatin1(text);
}

// A confirmation by LoTW or eQSL: Y and, where known, its date.
template <class Sink, class Text>
void visitConfirmation(Sink &sink, const char *name, const char *dateName, const Text &confirmed,
                       const Text &date)
{
    if (confirmed.isEmpty())
        return;
    sink.text(name, QStringView(u"Y"));
    if (!date.isEmpty())
        sink.digits(dateName, date);
}

// The fields of one QSO, handed to a sink in the order they are written: text(name, value),
// digits(name, text) for the digits of a date or time, gridsquare(letters), and the same text
// for the log's own values under their APP_KX47_ names.
template <class Sink, class Qso> void visitRecord(Sink &sink, const Qso &qso)
{
    using View = std::conditional_t<std::is_same_v<Qso, QsoBytes>, QByteArrayView, QStringView>;
    sink.text("CALL", qso.call);
    sink.digits("QSO_DATE", qso.date);
    sink.digits("TIME_ON", qso.time);
    sink.gridsquare(qso.locator);
    if (!qso.place.isEmpty())
        sink.text("QTH", qso.place);
    // What the file the QSO came from said, then BAND, MODE and PROP_MODE from the award's
    // band and mode where the file did not name them and they name one band or mode.
    bool band = false;
    bool mode = false;
    bool propMode = false;
    View frequency;
    keptfields::forEach(qso.kept, [&](int field, View value) {
        sink.text(keptfields::names[size_t(field)], value);
        band = band || field == keptfields::Band;
        mode = mode || field == keptfields::Mode;
        propMode = propMode || field == keptfields::PropMode;
        if (field == keptfields::Freq)
            frequency = value;
    });
    using namespace vocabulary;
    if (!band && !frequency.isEmpty()) {
        const QString ofFrequency = adifBandName(QString(), textOf(frequency));
        band = !ofFrequency.isEmpty();
        if (band)
            sink.text("BAND", ofFrequency);
    }
    if (!band && same(qso.band, bands[1].name)) // 50 MHz
        sink.text("BAND", QStringView(u"6m"));
    if (!mode && (same(qso.mode, modes[1]) || same(qso.mode, modes[2]))) // SSB, CW
        sink.text("MODE", qso.mode);
    if (!propMode && same(qso.band, bands[5].name)) // SAT
        sink.text("PROP_MODE", QStringView(u"SAT"));
    if (qso.qsl != QslState::Worked)
        sink.text("QSL_RCVD", QStringView(u"Y"));
    visitConfirmation(sink, "LOTW_QSL_RCVD", "LOTW_QSLRDATE", qso.lotw, qso.lotwDate);
    visitConfirmation(sink, "EQSL_QSL_RCVD", "EQSL_QSLRDATE", qso.eqsl, qso.eqslDate);
    sink.text("APP_KX47_BAND", qso.band);
    sink.text("APP_KX47_MODE", qso.mode);
    sink.text("APP_KX47_QSL", QString(qslLetter(qso.qsl)));
    sink.text("APP_KX47_PROV", qso.prov);
}

// ADI: "<NAME:bytes>value " into one buffer.
struct AdiSink {
    QByteArray &out;
    void text(const char *name, QStringView value) { appendField(out, name, value); }
    void digits(const char *name, QStringView value) { appendDigitsField(out, name, value); }
    void gridsquare(const QString &letters) { appendGridsquareField(out, letters); }
    // The same of ASCII bytes.
    void text(const char *name, QByteArrayView value) { appendField(out, name, value); }
    void digits(const char *name, QByteArrayView value)
    {
        char *at = appendTag(out, name, std::count_if(value.begin(), value.end(), isDigit));
        std::copy_if(value.begin(), value.end(), at, isDigit);
    }
    void gridsquare(QByteArrayView letters)
    {
        char *at = appendTag(out, "GRIDSQUARE", 4 + letters.size());
        std::memcpy(at, "KX47", 4);
        std::transform(letters.begin(), letters.end(), at + 4,
                       [](char c) { return ascii::upper(c); });
    }
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }
};

template <class Qso> void appendRecord(QByteArray &out, const Qso &qso)
{
    AdiSink sink{out};
    visitRecord(sink, qso);
    out += "<EOR>\n";
}

bool isAscii(QByteArrayView text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return uchar(c) < 0x80; });
}

// The fields ADIF gives an _INTL twin for text outside ASCII.
bool hasIntlTwin(const char *name)
{
    for (const char *twin : {"QTH", "NAME", "COMMENT", "NOTES", "ADDRESS", "COUNTRY", "RIG",
                             "QSLMSG", "SIG", "SIG_INFO", "MY_NAME", "MY_CITY", "MY_COUNTRY"}) {
        if (std::strcmp(name, twin) == 0)
            return true;
    }
    return false;
}

// ADX is written straight into the chunk, as QXmlStreamWriter laid it out (an element a line,
// indented by one blank a level): that writer spent five times as long on a log's records as the
// rest of the export together.

// Appends UTF-8 text as XML character data, or as an attribute's value: the five markup
// characters as entities; tab, line feed and carriage return as they are in text and as
// character references in an attribute; what XML cannot hold left out.
void appendXmlEscaped(QByteArray &out, QByteArrayView utf8, bool attribute)
{
    const auto plain = [](uchar c) {
        return c >= 0x20 && c != '<' && c != '>' && c != '&' && c != '"' && c != 0xef;
    };
    const char *at = utf8.data();
    const char *const end = at + utf8.size();
    while (at < end) {
        const char *run = at;
        while (at < end && plain(uchar(*at)))
            ++at;
        out.append(run, at - run);
        if (at == end)
            break;
        switch (uchar(*at)) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\t':
            out += attribute ? "&#9;" : "\t";
            break;
        case '\n':
            out += attribute ? "&#10;" : "\n";
            break;
        case '\r':
            out += attribute ? "&#13;" : "\r";
            break;
        case 0xef: // U+FFFE and U+FFFF are EF BF BE and EF BF BF
            if (end - at >= 3 && uchar(at[1]) == 0xbf && (uchar(at[2]) & 0xfe) == 0xbe) {
                at += 2;
                break;
            }
            out += *at;
            break;
        default: // another control character
            break;
        }
        ++at;
    }
}

// ADX: an element per field, the log's own values as <APP PROGRAMID="KX47" FIELDNAME=...>.
struct AdxSink {
    QByteArray &out;
    void text(const char *name, QByteArrayView utf8)
    {
        static constexpr QByteArrayView appPrefix("APP_KX47_");
        const QByteArrayView field(name);
        if (field.startsWith(appPrefix)) {
            out += "\n   <APP PROGRAMID=\"KX47\" FIELDNAME=\"";
            out += field.sliced(appPrefix.size());
            out += "\" TYPE=\"S\">";
            appendXmlEscaped(out, utf8, false);
            out += "</APP>";
            return;
        }
        // Text outside ASCII goes into the _INTL twin, where ADIF allows it.
        const bool intl = !isAscii(utf8) && hasIntlTwin(name);
        out += "\n   <";
        out += field;
        if (intl)
            out += "_INTL";
        out += '>';
        appendXmlEscaped(out, utf8, false);
        out += "</";
        out += field;
        if (intl)
            out += "_INTL";
        out += '>';
    }
    void text(const char *name, QStringView value) { text(name, QByteArrayView(value.toUtf8())); }
    void digits(const char *name, QStringView value)
    {
        QString only;
        for (const QChar c : value) {
            if (c.isDigit())
                only += c;
        }
        text(name, only);
    }
    void gridsquare(const QString &letters)
    {
        text("GRIDSQUARE", QString(QStringLiteral("KX47") + letters.toUpper()));
    }
    // The same of ASCII bytes.
    void digits(const char *name, QByteArrayView value)
    {
        QVarLengthArray<char, 32> only;
        std::copy_if(value.begin(), value.end(), std::back_inserter(only), AdiSink::isDigit);
        text(name, QByteArrayView(only.constData(), only.size()));
    }
    void gridsquare(QByteArrayView letters)
    {
        QVarLengthArray<char, 16> square{'K', 'X', '4', '7'};
        for (const char c : letters)
            square.append(ascii::upper(c));
        text("GRIDSQUARE", QByteArrayView(square.constData(), square.size()));
    }
};

template <class Qso> void appendAdxRecord(QByteArray &out, const Qso &qso)
{
    out += "\n  <RECORD>";
    AdxSink sink{out};
    visitRecord(sink, qso);
    out += "\n  </RECORD>";
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

void AdiWriter::appendTo(QByteArray &out, const QsoRecord &qso)
{
    appendRecord(out, qso);
}

namespace
{

// Writes a QSO as the log holds it in UTF-8 by appendOne: of its bytes where all are ASCII,
// otherwise (a byte is no character there) of the texts the log holds.
template <class AppendOne>
void appendOfBytes(QByteArray &out, const QsoBytes &qso, AppendOne appendOne)
{
    const auto bytes = textsOf(qso);
    if (std::all_of(bytes.begin(), bytes.end(),
                    [](const QByteArrayView *text) { return isAscii(*text); })) {
        appendOne(out, qso);
        return;
    }
    QsoRecord record;
    record.count = qso.count;
    record.qsl = qso.qsl;
    const auto texts = textsOf(record);
    for (std::size_t i = 0; i < texts.size(); ++i)
        *texts[i] = QString::fromUtf8(*bytes[i]);
    appendOne(out, record);
}

} // namespace

void AdiWriter::appendTo(QByteArray &out, const QsoBytes &qso)
{
    appendOfBytes(out, qso, [](QByteArray &to, const auto &one) { appendRecord(to, one); });
}

void AdxWriter::appendTo(QByteArray &out, const QsoRecord &qso)
{
    appendAdxRecord(out, qso);
}

void AdxWriter::appendTo(QByteArray &out, const QsoBytes &qso)
{
    appendOfBytes(out, qso, [](QByteArray &to, const auto &one) { appendAdxRecord(to, one); });
}

bool AdiWriter::write(const QsoRecord &qso)
{
    m_line.truncate(0);
    appendRecord(m_line, qso);
    return m_device->write(m_line) == m_line.size();
}

namespace
{

// The records are written in chunks of this size, each checked.
constexpr qsizetype chunkBytes = 256 * 1024;

// Writes all of bytes, or fails with the system's reason (a short write is retried, and its
// reason is read where the system left it: Qt's own text of it may say only "Unknown error").
bool writeAll(QSaveFile &file, QByteArrayView bytes, QString *reason)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 wanted = bytes.size() - done;
        errno = 0;
        const qint64 written = file.write(bytes.data() + done, wanted);
        const int failure = errno;
        if (written == wanted)
            return true;
        if (written <= 0 || failure != 0) {
            *reason =
                failure != 0 ? QString::fromLocal8Bit(std::strerror(failure)) : file.errorString();
            return false;
        }
        done += written;
    }
    return true;
}

// What a write of a file tells its caller: how many records it wrote and, when it failed, why.
// A failed write leaves the file as it was.
struct Outcome {
    QSaveFile &file;
    const int &count;
    QString *error;
    int *written;

    bool failed(const QString &reason) const
    {
        if (error)
            *error = reason;
        if (written)
            *written = count;
        file.cancelWriting();
        return false;
    }
    bool done() const
    {
        if (written)
            *written = count;
        return true;
    }
};

} // namespace

bool writeAdi(const QString &path, const QsoSource &source, QString *error, int *written,
              const QDateTime &created)
{
    QsoRecord qso;
    return writeAdifRecords(
        path, AdifForm::Adi,
        [&](QByteArray &out) {
            if (!source(qso))
                return false;
            AdiWriter::appendTo(out, qso);
            return true;
        },
        error, written, created);
}

bool writeAdifRecords(const QString &path, AdifForm form, const RecordSource &source,
                      QString *error, int *written, const QDateTime &created)
{
    int count = 0;
    if (written)
        *written = 0;
    QSaveFile file(path);
    const Outcome outcome{file, count, error, written};
    // Unbuffered: each chunk goes to the system at once, and each write is checked here.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return outcome.failed(file.errorString());
    QByteArray chunk;
    chunk.reserve(chunkBytes + 4096);
    if (form == AdifForm::Adi) {
        QBuffer header(&chunk);
        header.open(QIODevice::WriteOnly);
        AdiWriter(&header).writeHeader(created);
    } else {
        chunk += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ADX>\n <HEADER>\n  "
                 "<ADIF_VER>3.1.4</ADIF_VER>\n  <PROGRAMID>KX47</PROGRAMID>\n  <CREATED_TIMESTAMP>";
        chunk += created.toUTC().toString(QStringLiteral("yyyyMMdd HHmmss")).toLatin1();
        chunk += "</CREATED_TIMESTAMP>\n </HEADER>\n <RECORDS>";
    }
    QString reason;
    while (source(chunk)) {
        ++count;
        if (chunk.size() >= chunkBytes) {
            if (!writeAll(file, chunk, &reason))
                return outcome.failed(reason);
            chunk.truncate(0);
        }
    }
    if (form == AdifForm::Adx) {
        if (count == 0) {
            chunk.chop(1); // an empty <RECORDS/>
            chunk += "/>";
        } else {
            chunk += "\n </RECORDS>";
        }
        chunk += "\n</ADX>\n";
    }
    if (!writeAll(file, chunk, &reason))
        return outcome.failed(reason);
    if (!file.commit())
        return outcome.failed(file.errorString());
    return outcome.done();
}

} // namespace kx47
