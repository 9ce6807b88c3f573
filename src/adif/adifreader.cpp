#include "adifreader.h"
#include "text/asciicase.h"

#include <QHash>
#include <QIODevice>
#include <QStringDecoder>
#include <algorithm>
#include <cstring>
#include <optional>

namespace kx47
{

namespace
{

const qsizetype chunkSize = 256 * 1024;
// A tag longer than this (name, length and type) is taken for text, not for a tag.
const qsizetype longestTag = 128;
const QByteArray lotwFirstLine = QByteArrayLiteral("ARRL Logbook of the World Status Report");
// An eQSL.cc inbox download names itself in its header text and in its PROGRAMID.
const QByteArray eqslInboxText = QByteArrayLiteral("Received eQSLs for");
const QString eqslInboxProgram = QStringLiteral("DownloadInBox");
// Of an ADX file: how deep elements may nest, how much the entities its document type declares
// may hold, and how many characters their expansion may visit in all. Only the first
// characters of a kept field are expanded at all, so a file of repeated references costs no
// more than its size; the cap ends files whose entities nest to astronomic sizes.
const int deepestElement = 256;
const qsizetype longestEntity = 64 * 1024;
const qsizetype entitiesHeld = 1024 * 1024;
const qint64 expansionBudget = 16 * 1024 * 1024;
const int deepestExpansion = 8;
const QString kx47ProgramId = QStringLiteral("KX47");

// The fields the reader keeps; every other field is skipped by its length.
enum FieldId {
    NotKept = -1,
    Call,
    QsoDate,
    TimeOn,
    Gridsquare,
    Band,
    Freq,
    Mode,
    Submode,
    PropMode,
    SatName,
    Qth,
    QthIntl,
    QslRcvd,
    LotwQslRcvd,
    EqslQslRcvd,
    QslRdate,
    LotwQslRdate,
    EqslQslRdate,
    Kx47Band,
    Kx47Mode,
    Kx47Qsl,
    Kx47Prov,
    RstSent,
    RstRcvd,
    Stx,
    Srx,
    Comment,
    Name,
    Operator,
    StationCallsign,
    MyGridsquare,
    ContestId,
    CommentIntl,
    NameIntl,
    ProgramId, // in the header only
};

struct KeptField {
    const char *name;
    int length;
    FieldId id;
};

constexpr KeptField keptFields[] = {
    {"CALL", 4, Call},
    {"QSO_DATE", 8, QsoDate},
    {"TIME_ON", 7, TimeOn},
    {"GRIDSQUARE", 10, Gridsquare},
    {"BAND", 4, Band},
    {"FREQ", 4, Freq},
    {"MODE", 4, Mode},
    {"SUBMODE", 7, Submode},
    {"PROP_MODE", 9, PropMode},
    {"SAT_NAME", 8, SatName},
    {"QTH", 3, Qth},
    {"QTH_INTL", 8, QthIntl},
    {"QSL_RCVD", 8, QslRcvd},
    {"LOTW_QSL_RCVD", 13, LotwQslRcvd},
    {"EQSL_QSL_RCVD", 13, EqslQslRcvd},
    {"QSLRDATE", 8, QslRdate},
    {"LOTW_QSLRDATE", 13, LotwQslRdate},
    {"EQSL_QSLRDATE", 13, EqslQslRdate},
    {"APP_KX47_BAND", 13, Kx47Band},
    {"APP_KX47_MODE", 13, Kx47Mode},
    {"APP_KX47_QSL", 12, Kx47Qsl},
    {"APP_KX47_PROV", 13, Kx47Prov},
    {"RST_SENT", 8, RstSent},
    {"RST_RCVD", 8, RstRcvd},
    {"STX", 3, Stx},
    {"SRX", 3, Srx},
    {"COMMENT", 7, Comment},
    {"NAME", 4, Name},
    {"OPERATOR", 8, Operator},
    {"STATION_CALLSIGN", 16, StationCallsign},
    {"MY_GRIDSQUARE", 13, MyGridsquare},
    {"CONTEST_ID", 10, ContestId},
    {"COMMENT_INTL", 12, CommentIntl},
    {"NAME_INTL", 9, NameIntl},
    {"PROGRAMID", 9, ProgramId},
};

FieldId fieldIdOf(const char *name, qsizetype length)
{
    for (const KeptField &field : keptFields) {
        if (field.length != length)
            continue;
        qsizetype i = 0;
        while (i < length && ascii::upper(name[i]) == field.name[i])
            ++i;
        if (i == length)
            return field.id;
    }
    return NotKept;
}

const char *nameOf(FieldId id)
{
    for (const KeptField &field : keptFields) {
        if (field.id == id)
            return field.name;
    }
    return "";
}

QString *fieldOf(AdifRecord &record, FieldId id)
{
    switch (id) {
    case Call:
        return &record.call;
    case QsoDate:
        return &record.qsoDate;
    case TimeOn:
        return &record.timeOn;
    case Gridsquare:
        return &record.gridsquare;
    case Band:
        return &record.band;
    case Freq:
        return &record.freq;
    case Mode:
        return &record.mode;
    case Submode:
        return &record.submode;
    case PropMode:
        return &record.propMode;
    case SatName:
        return &record.satName;
    case Qth:
        return &record.qth;
    case QthIntl:
        return &record.qthIntl;
    case QslRcvd:
        return &record.qslRcvd;
    case LotwQslRcvd:
        return &record.lotwQslRcvd;
    case EqslQslRcvd:
        return &record.eqslQslRcvd;
    case QslRdate:
        return &record.qslRdate;
    case LotwQslRdate:
        return &record.lotwQslRdate;
    case EqslQslRdate:
        return &record.eqslQslRdate;
    case Kx47Band:
        return &record.kx47Band;
    case Kx47Mode:
        return &record.kx47Mode;
    case Kx47Qsl:
        return &record.kx47Qsl;
    case Kx47Prov:
        return &record.kx47Prov;
    case RstSent:
        return &record.rstSent;
    case RstRcvd:
        return &record.rstRcvd;
    case Stx:
        return &record.stx;
    case Srx:
        return &record.srx;
    case Comment:
        return &record.comment;
    case Name:
        return &record.name;
    case Operator:
        return &record.operatorCall;
    case StationCallsign:
        return &record.stationCallsign;
    case MyGridsquare:
        return &record.myGridsquare;
    case ContestId:
        return &record.contestId;
    case CommentIntl:
        return &record.commentIntl;
    case NameIntl:
        return &record.nameIntl;
    case ProgramId:
    case NotKept:
        break;
    }
    return nullptr;
}

bool equalsIgnoringCase(const char *text, qsizetype length, const char *word)
{
    const qsizetype wordLength = qsizetype(std::strlen(word));
    if (length != wordLength)
        return false;
    for (qsizetype i = 0; i < length; ++i) {
        if (ascii::upper(text[i]) != word[i])
            return false;
    }
    return true;
}

// Puts ASCII text into a string, reusing the string's memory.
void assignAscii(QString &target, const char *text, qsizetype length)
{
    target.resize(length);
    QChar *out = target.data();
    for (qsizetype i = 0; i < length; ++i)
        out[i] = QLatin1Char(text[i]);
}

// The length of the UTF-8 sequence that starts with lead, 0 when lead cannot start one.
int utf8SequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

bool isContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

// Whether text is valid UTF-8 throughout.
bool isUtf8(const char *text, qsizetype length)
{
    qsizetype i = 0;
    while (i < length) {
        const int sequence = utf8SequenceLength(static_cast<unsigned char>(text[i]));
        if (sequence == 0 || i + sequence > length)
            return false;
        for (int k = 1; k < sequence; ++k) {
            if (!isContinuation(static_cast<unsigned char>(text[i + k])))
                return false;
        }
        i += sequence;
    }
    return true;
}

// The number of bytes that characters UTF-8 characters take from text, or -1 when the text is
// not UTF-8 or ends before them.
qsizetype utf8Bytes(const char *text, qsizetype available, qint64 characters)
{
    qsizetype i = 0;
    for (qint64 c = 0; c < characters; ++c) {
        if (i >= available)
            return -1;
        const int sequence = utf8SequenceLength(static_cast<unsigned char>(text[i]));
        if (sequence == 0 || i + sequence > available)
            return -1;
        for (int k = 1; k < sequence; ++k) {
            if (!isContinuation(static_cast<unsigned char>(text[i + k])))
                return -1;
        }
        i += sequence;
    }
    return i;
}

QString decoded(const char *text, qsizetype length)
{
    return isUtf8(text, length) ? QString::fromUtf8(text, length)
                                : QString::fromLatin1(text, length);
}

// What may follow a value: the next tag, a blank, a line break or the end of the file. Anything
// else means that the length was wrong (<BAND:2>40m).
bool isSeparator(char c)
{
    return c == '<' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// A field name as ADIF allows it (letters, digits, underscores, and the blanks and signs of
// user-defined names), not the first word of an HTML or XML tag with attributes.
bool isFieldName(const char *name, qsizetype length)
{
    if (length == 0 || name[0] == ' ' || name[length - 1] == ' ')
        return false;
    for (qsizetype i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c < 0x20 || c >= 0x7F || std::strchr(",{}\"'=/", c))
            return false;
    }
    return true;
}

// The encoding a file announces by its first bytes: a byte order mark of UTF-16 or UTF-32, or
// UTF-16 text without one (every other byte zero). Nothing for UTF-8 and 8-bit text.
std::optional<QStringConverter::Encoding> wideEncodingOf(const QByteArray &start)
{
    if (start.startsWith(QByteArrayLiteral("\xFF\xFE\x00\x00")))
        return QStringConverter::Utf32LE;
    if (start.startsWith(QByteArrayLiteral("\x00\x00\xFE\xFF")))
        return QStringConverter::Utf32BE;
    if (start.startsWith("\xFF\xFE"))
        return QStringConverter::Utf16LE;
    if (start.startsWith("\xFE\xFF"))
        return QStringConverter::Utf16BE;
    const qsizetype n = std::min<qsizetype>(start.size(), 256) & ~qsizetype(1);
    int evenZeros = 0;
    int oddZeros = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (start.at(i) == '\0')
            ++(i % 2 ? oddZeros : evenZeros);
    }
    if (n >= 8 && oddZeros * 4 > n && evenZeros == 0)
        return QStringConverter::Utf16LE;
    if (n >= 8 && evenZeros * 4 > n && oddZeros == 0)
        return QStringConverter::Utf16BE;
    return std::nullopt;
}

// The encoding an XML declaration names (<?xml version="1.0" encoding="ISO-8859-1"?>); empty
// when it names none.
QByteArray declaredEncoding(const QByteArray &start)
{
    const qsizetype open = start.indexOf("<?");
    const qsizetype close = start.indexOf("?>");
    if (open < 0 || close < open)
        return QByteArray();
    const QByteArray declaration = start.mid(open, close - open);
    const qsizetype at = declaration.indexOf("encoding");
    if (at < 0)
        return QByteArray();
    qsizetype i = declaration.indexOf('=', at);
    while (i >= 0 && ++i < declaration.size() && declaration.at(i) == ' ') {
    }
    if (i < 0 || i >= declaration.size())
        return QByteArray();
    const char quote = declaration.at(i);
    const qsizetype end = declaration.indexOf(quote, i + 1);
    return end < 0 ? QByteArray() : declaration.mid(i + 1, end - i - 1).trimmed();
}

} // namespace

// The bytes of the file, chunk by chunk, in a buffer that never holds more than a chunk and
// what the reader asked to see at once. A file in UTF-16 or another encoding is turned into
// UTF-8 as it is read, so that both forms are read from UTF-8 (or 8-bit) text only.
class AdifReader::Input
{
public:
    Input(QIODevice *device, QByteArray start) : m_device(device), m_buffer(std::move(start))
    {
        m_end = m_buffer.size();
        m_deviceBytes = m_end;
    }

    // Reads the file from here on through decoder, the bytes read so far included.
    void transcode(QStringDecoder decoder)
    {
        m_decoder.emplace(std::move(decoder));
        const QByteArray raw = m_buffer.mid(m_pos, m_end - m_pos);
        m_buffer = QString(m_decoder->decode(raw)).toUtf8();
        m_pos = 0;
        m_end = m_buffer.size();
    }

    qsizetype available() const { return m_end - m_pos; }
    const char *at() const { return m_buffer.constData() + m_pos; }
    void advance(qsizetype count) { m_pos += count; }
    void advanceToEnd() { m_pos = m_end; }
    QString deviceError() const { return m_deviceError; }

    // How far reading has come, in bytes of the device.
    qint64 consumed() const { return m_decoder ? m_deviceBytes : m_deviceBytes - available(); }

    // Makes at least need bytes available from the current position, unless the file ends
    // first; false then. Pointers into the buffer are no longer valid after a call.
    bool fill(qsizetype need)
    {
        if (available() >= need)
            return true;
        if (m_atEnd)
            return false;
        if (m_pos > 0) {
            std::memmove(m_buffer.data(), m_buffer.constData() + m_pos, size_t(available()));
            m_end -= m_pos;
            m_pos = 0;
        }
        while (m_end < need) {
            if (!readMore()) {
                m_atEnd = true;
                break;
            }
        }
        return available() >= need;
    }

    // Passes over count bytes; false when the file ends first.
    bool skip(qint64 count)
    {
        while (count > 0) {
            if (available() == 0 && !fill(1))
                return false;
            const qsizetype step = qsizetype(std::min<qint64>(count, available()));
            m_pos += step;
            count -= step;
        }
        return true;
    }

private:
    // Appends the next bytes of the device to the buffer; false at its end or on a failure.
    bool readMore()
    {
        for (;;) {
            if (m_buffer.size() < m_end + chunkSize)
                m_buffer.resize(m_end + chunkSize);
            qint64 got = 0;
            if (m_decoder) {
                QByteArray raw(chunkSize, Qt::Uninitialized);
                got = m_device->read(raw.data(), chunkSize);
                if (got > 0) {
                    raw.resize(got);
                    m_deviceBytes += got;
                    const QByteArray text = QString(m_decoder->decode(raw)).toUtf8();
                    if (m_buffer.size() < m_end + text.size())
                        m_buffer.resize(m_end + text.size());
                    std::memcpy(m_buffer.data() + m_end, text.constData(), size_t(text.size()));
                    m_end += text.size();
                    if (text.isEmpty())
                        continue; // the start of a character only
                }
            } else {
                got = m_device->read(m_buffer.data() + m_end, m_buffer.size() - m_end);
                if (got > 0) {
                    m_end += got;
                    m_deviceBytes += got;
                }
            }
            if (got < 0) {
                m_deviceError = m_device->errorString();
                return false;
            }
            if (got == 0) {
                if (m_device->isSequential() && !m_device->atEnd() &&
                    m_device->waitForReadyRead(30000))
                    continue;
                return false;
            }
            return true;
        }
    }

    QIODevice *m_device;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    qsizetype m_end = 0;
    qint64 m_deviceBytes = 0;
    bool m_atEnd = false;
    QString m_deviceError;
    std::optional<QStringDecoder> m_decoder;
};

// The tagged-text form.
class AdifReader::Adi
{
public:
    explicit Adi(Input &input) : m_in(input)
    {
        if (m_in.available() >= 3 && std::memcmp(m_in.at(), "\xEF\xBB\xBF", 3) == 0)
            m_in.advance(3);
    }

    // Reads the header, if there is one. A file whose first character is '<' has none. A
    // "header" that ends with <EOR> was the first record of a file without header: it is kept
    // for the first call of next().
    void readHeader(bool &lotw, bool &eqslInbox, QString &programId)
    {
        m_in.fill(chunkSize);
        const QByteArray start = QByteArray::fromRawData(m_in.at(), m_in.available());
        lotw = start.startsWith(lotwFirstLine);
        if (m_in.available() > 0 && *m_in.at() == '<')
            return;
        const qsizetype headerText = start.indexOf('<');
        eqslInbox = QByteArray::fromRawData(start.constData(), headerText < 0 ? 0 : headerText)
                        .contains(eqslInboxText);
        m_inHeader = true;
        m_pending.clear();
        const Ending ending = readFields(m_pending);
        m_inHeader = false;
        if (ending == Ending::Header) {
            programId = m_programId;
            m_pending.clear();
            return;
        }
        m_hasPending = ending != Ending::Nothing;
        if (m_hasPending)
            m_pending.number = ++m_records;
    }

    bool next(AdifRecord &record)
    {
        if (m_hasPending) {
            m_hasPending = false;
            std::swap(record, m_pending);
            return true;
        }
        for (;;) {
            record.clear();
            const Ending ending = readFields(record);
            if (ending == Ending::Nothing)
                return false;
            if (ending == Ending::Header)
                continue; // a second <EOH> ends nothing; what came before it is no record
            record.number = ++m_records;
            return true;
        }
    }

    bool holdsAdif() const { return m_holdsAdif; }

private:
    enum class Ending { Nothing, Record, Header };

    // Reads tags up to the end of a record (<EOR>), of the header (<EOH>) or of the file.
    // Nothing: the file ended with no field since the last record.
    Ending readFields(AdifRecord &record)
    {
        bool any = false;
        for (;;) {
            const char *found =
                static_cast<const char *>(std::memchr(m_in.at(), '<', size_t(m_in.available())));
            if (!found) {
                m_in.advanceToEnd();
                if (m_in.fill(1))
                    continue;
                if (!any)
                    return Ending::Nothing;
                // Fields after the last <EOR>: a record cut short, or records whose <EOR> is
                // missing; either way what they hold cannot be told apart.
                if (record.error.isEmpty())
                    record.error = QStringLiteral("the file ends before the record's <EOR>");
                return Ending::Record;
            }
            m_in.advance(found - m_in.at());
            m_in.fill(longestTag);
            const char *tag = m_in.at() + 1;
            const qsizetype room = std::min(m_in.available() - 1, longestTag);
            const char *close = static_cast<const char *>(std::memchr(tag, '>', size_t(room)));
            if (!close || std::memchr(tag, '<', size_t(close - tag))) {
                m_in.advance(1); // a '<' in text, not a tag
                continue;
            }
            const qsizetype tagLength = close - tag;
            const char *colon = static_cast<const char *>(std::memchr(tag, ':', size_t(tagLength)));
            if (!colon) {
                m_in.advance(tagLength + 2);
                if (equalsIgnoringCase(tag, tagLength, "EOR")) {
                    if (any) {
                        m_holdsAdif = true;
                        return Ending::Record;
                    }
                    if (m_inHeader)
                        return Ending::Nothing;
                } else if (equalsIgnoringCase(tag, tagLength, "EOH")) {
                    m_holdsAdif = true;
                    return Ending::Header;
                }
                continue; // another bare tag: text
            }
            if (!isFieldName(tag, colon - tag)) {
                m_in.advance(1); // markup of another kind (<a href="http://...">): text
                continue;
            }
            any = true;
            const FieldId id = fieldIdOf(tag, colon - tag);
            const qint64 length = lengthOf(colon + 1, close);
            if (length < 0) {
                if (record.error.isEmpty()) {
                    record.error = QStringLiteral("the length in <%1> is not a number")
                                       .arg(decoded(tag, tagLength));
                }
                m_in.advance(tagLength + 2);
                continue;
            }
            m_holdsAdif = true;
            const QString tagText =
                id == NotKept ? QString() : QLatin1Char('<') + decoded(tag, tagLength) + '>';
            m_in.advance(tagLength + 2);
            if (!readValue(record, id, length)) {
                if (record.error.isEmpty()) {
                    record.error = QStringLiteral("the file ends inside the value of %1")
                                       .arg(id == NotKept ? QStringLiteral("a field")
                                                          : QLatin1String(nameOf(id)));
                }
                m_in.advanceToEnd();
                return Ending::Record;
            }
            if (id != NotKept && record.error.isEmpty() && m_in.fill(1) && !isSeparator(*m_in.at()))
                record.error =
                    QStringLiteral("the length in %1 does not fit its value").arg(tagText);
        }
    }

    // The length of a data specifier "5" or "5:S" (from just after the first colon to the
    // closing '>'); -1 when it is not a number. Lengths beyond any file are kept as they are:
    // the value then runs past the end of the file.
    static qint64 lengthOf(const char *from, const char *close)
    {
        while (from < close && *from == ' ')
            ++from;
        qint64 length = 0;
        int digits = 0;
        while (from < close && *from >= '0' && *from <= '9') {
            if (digits < 18)
                length = length * 10 + (*from - '0');
            ++digits;
            ++from;
        }
        while (from < close && *from == ' ')
            ++from;
        if (digits == 0 || digits > 18 || (from < close && *from != ':'))
            return -1;
        return length;
    }

    // Reads a value of length bytes (or characters) into the field id, or skips it; false when
    // the file ends inside it.
    bool readValue(AdifRecord &record, FieldId id, qint64 length)
    {
        QString *target =
            id == ProgramId ? (m_inHeader ? &m_programId : nullptr) : fieldOf(record, id);
        if (!target)
            return m_in.skip(length);
        const qsizetype kept = qsizetype(std::min<qint64>(length, keptValueLimit));
        if (!m_in.fill(kept))
            return false;
        const char *value = m_in.at();
        bool ascii = true;
        for (qsizetype i = 0; i < kept && ascii; ++i)
            ascii = static_cast<unsigned char>(value[i]) < 0x80;
        if (ascii) {
            assignAscii(*target, value, kept);
            m_in.advance(kept);
            return m_in.skip(length - kept);
        }
        qsizetype taken = kept;
        if (kept == length) {
            // Some writers count characters of UTF-8 text, others bytes. Counted in characters,
            // the value runs further, and the bytes-count end falls inside a character or in
            // the value's text; counted in bytes, the bytes-count end is followed by the next
            // tag, a blank or a line break.
            m_in.fill(4 * kept + 1);
            value = m_in.at();
            const qsizetype characters = utf8Bytes(value, m_in.available(), length);
            if (characters > kept) {
                const unsigned char after = static_cast<unsigned char>(value[kept]);
                const bool insideCharacter = isContinuation(after);
                const bool tagBetween =
                    std::memchr(value + kept, '<', size_t(characters - kept)) != nullptr;
                if (insideCharacter || (!tagBetween && !isSeparator(char(after))))
                    taken = characters;
            }
        }
        *target = decoded(value, taken);
        m_in.advance(taken);
        return m_in.skip(length - kept);
    }

    Input &m_in;
    bool m_inHeader = false;
    bool m_holdsAdif = false;
    QString m_programId;
    AdifRecord m_pending;
    bool m_hasPending = false;
    int m_records = 0;
};

// The XML form, read by a small streaming reader of its own: comments, CDATA sections,
// processing instructions, the document type and attributes are passed over as they stream by,
// entities are expanded only into the kept beginning of a field and within a budget, and the
// nesting of elements is checked. (QXmlStreamReader holds a whole comment or text in memory,
// expands every entity reference of a text however long, and starts a token over each time a
// chunk ends inside it, so a hostile file took minutes or gigabytes.)
class AdifReader::Adx
{
public:
    explicit Adx(Input &input) : m_in(input)
    {
        if (m_in.fill(3) && std::memcmp(m_in.at(), "\xEF\xBB\xBF", 3) == 0)
            m_in.advance(3);
    }

    // Reads up to the first record; the header's PROGRAMID is taken on the way.
    void readHeader(QString &programId)
    {
        const Tag root = nextTag(nullptr);
        if (root != Tag::Start || !equalsIgnoringCase(m_name.constData(), m_name.size(), "ADX")) {
            m_done = true;
            return;
        }
        m_holdsAdif = true;
        while (!m_done) {
            const Tag tag = nextTag(nullptr);
            if (tag == Tag::Start && isNamed("RECORD")) {
                m_atRecord = true;
                return;
            }
            if (tag == Tag::Start && isNamed("PROGRAMID")) {
                readText(&m_raw);
                programId = decoded(m_raw.constData(), m_raw.size()).trimmed();
            } else if (tag == Tag::EndOfFile || tag == Tag::Broken) {
                m_done = true;
            }
        }
    }

    bool next(AdifRecord &record, QString &fileError)
    {
        for (;;) {
            record.clear();
            while (!m_atRecord && !m_done) {
                const Tag tag = nextTag(nullptr);
                if (tag == Tag::Start && isNamed("RECORD"))
                    m_atRecord = true;
                else if (tag == Tag::EndOfFile || tag == Tag::Broken)
                    m_done = true;
            }
            if (!m_error.isEmpty() && fileError.isEmpty())
                fileError = brokenXml();
            if (!m_atRecord)
                return false;
            m_atRecord = false;
            if (m_selfClosing)
                continue; // <RECORD/>: no field
            // The fields of the record, up to its end.
            bool any = false;
            while (!m_done) {
                const Tag tag = nextTag(nullptr);
                if (tag == Tag::End)
                    break;
                if (tag == Tag::Start) {
                    any = true;
                    QString *field = fieldOf(record, idOfElement());
                    readText(field ? &m_raw : nullptr);
                    if (field)
                        *field =
                            decoded(m_raw.constData(), m_raw.size()).left(keptValueLimit).trimmed();
                } else if (tag == Tag::EndOfFile || tag == Tag::Broken) {
                    m_done = true;
                }
            }
            if (!m_done && !any)
                continue; // <RECORD></RECORD>: no field
            record.number = ++m_records;
            if (m_done) {
                fileError = brokenXml();
                record.error = fileError;
            }
            return true;
        }
    }

    bool holdsAdif() const { return m_holdsAdif; }

private:
    enum class Tag { Start, End, EndOfFile, Broken };

    QString brokenXml() const
    {
        if (m_error.isEmpty())
            return QStringLiteral("the file ends inside a record");
        return QStringLiteral("the XML is broken at line %1: %2").arg(m_line).arg(m_error);
    }

    Tag broken(const QString &error)
    {
        if (m_error.isEmpty())
            m_error = error;
        return Tag::Broken;
    }

    bool isNamed(const char *name) const
    {
        return equalsIgnoringCase(m_name.constData(), m_name.size(), name);
    }

    // Passes over count bytes that are in the buffer, counting the lines.
    void pass(qsizetype count)
    {
        m_line += std::count(m_in.at(), m_in.at() + count, '\n');
        m_in.advance(count);
    }

    // Passes over everything up to and including end; false when the file ends first.
    bool passBeyond(const char *end)
    {
        const qsizetype length = qsizetype(std::strlen(end));
        for (;;) {
            if (!m_in.fill(length)) {
                pass(m_in.available());
                return false;
            }
            const char *from = m_in.at();
            const char *last = from + m_in.available() - length;
            for (const char *p = from; p <= last; ++p) {
                p = static_cast<const char *>(std::memchr(p, end[0], size_t(last - p + 1)));
                if (!p)
                    break;
                if (std::memcmp(p, end, size_t(length)) == 0) {
                    pass(p - from + length);
                    return true;
                }
            }
            pass(m_in.available() - (length - 1));
        }
    }

    // Whether the next bytes are text (in any case for letters); they are not passed over.
    bool startsWith(const char *text)
    {
        const qsizetype length = qsizetype(std::strlen(text));
        return m_in.fill(length) && equalsIgnoringCase(m_in.at(), length, text);
    }

    void passBlanks()
    {
        while (m_in.fill(1) && (*m_in.at() == ' ' || *m_in.at() == '\t' || *m_in.at() == '\r' ||
                                *m_in.at() == '\n'))
            pass(1);
    }

    // Reads a name up to a blank or a sign; its first 256 bytes are kept.
    void readName(QByteArray &name)
    {
        name.truncate(0);
        while (m_in.fill(1)) {
            const char c = *m_in.at();
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '>' || c == '/' ||
                c == '=' || c == '<' || c == '"' || c == '\'' || c == ';')
                return;
            if (name.size() < 256)
                name += c;
            pass(1);
        }
    }

    // Reads a quoted value; its first limit bytes go into value (when there is one). False when
    // there is no quote or the file ends inside it.
    bool readQuoted(QByteArray *value, qsizetype limit)
    {
        if (value)
            value->truncate(0);
        if (!m_in.fill(1) || (*m_in.at() != '"' && *m_in.at() != '\''))
            return false;
        const char quote = *m_in.at();
        pass(1);
        while (m_in.fill(1)) {
            const char *from = m_in.at();
            const char *end =
                static_cast<const char *>(std::memchr(from, quote, size_t(m_in.available())));
            const qsizetype run = end ? end - from : m_in.available();
            if (value && value->size() < limit)
                value->append(from, std::min(run, limit - value->size()));
            pass(run);
            if (end) {
                pass(1);
                return true;
            }
        }
        return false;
    }

    // The document type: only the general entities of its internal subset are kept, within
    // bounds; everything else of it is passed over.
    bool readDoctype()
    {
        for (;;) {
            if (!m_in.fill(1))
                return false;
            const char c = *m_in.at();
            if (c == '>') {
                pass(1);
                return true;
            }
            if (c == '"' || c == '\'') {
                readQuoted(nullptr, 0);
            } else if (c == '[') {
                pass(1);
                if (!readInternalSubset())
                    return false;
            } else {
                pass(1);
            }
        }
    }

    bool readInternalSubset()
    {
        for (;;) {
            passBlanks();
            if (!m_in.fill(1))
                return false;
            if (*m_in.at() == ']') {
                pass(1);
                return true;
            }
            if (startsWith("<!--")) {
                if (!passBeyond("-->"))
                    return false;
            } else if (startsWith("<?")) {
                if (!passBeyond("?>"))
                    return false;
            } else if (startsWith("<!ENTITY")) {
                pass(8);
                passBlanks();
                const bool parameter = m_in.fill(1) && *m_in.at() == '%';
                if (parameter) {
                    pass(1);
                    passBlanks();
                }
                QByteArray name;
                readName(name);
                passBlanks();
                QByteArray value;
                const bool internal = m_in.fill(1) && (*m_in.at() == '"' || *m_in.at() == '\'');
                if (internal && !readQuoted(&value, longestEntity))
                    return false;
                if (internal && !parameter && !name.isEmpty() && !m_entities.contains(name) &&
                    m_entitiesHeld + value.size() <= entitiesHeld) {
                    m_entitiesHeld += value.size() + name.size();
                    m_entities.insert(name, value);
                }
                if (!passDeclarationEnd())
                    return false;
            } else if (startsWith("<")) {
                pass(1);
                if (!passDeclarationEnd())
                    return false;
            } else {
                pass(1); // a parameter entity reference or stray text
            }
        }
    }

    // Passes over the rest of a declaration, quoted texts included, up to its '>'.
    bool passDeclarationEnd()
    {
        while (m_in.fill(1)) {
            const char c = *m_in.at();
            if (c == '"' || c == '\'') {
                if (!readQuoted(nullptr, 0))
                    return false;
                continue;
            }
            pass(1);
            if (c == '>')
                return true;
        }
        return false;
    }

    // The attributes of a start tag up to its end; only those of an application-defined field
    // are kept. False when the tag is broken.
    bool readAttributes()
    {
        m_programIdAttribute.truncate(0);
        m_fieldNameAttribute.truncate(0);
        QByteArray name;
        for (;;) {
            passBlanks();
            if (!m_in.fill(1))
                return false;
            const char c = *m_in.at();
            if (c == '>') {
                pass(1);
                return true;
            }
            if (c == '/') {
                if (!m_in.fill(2) || m_in.at()[1] != '>')
                    return false;
                pass(2);
                m_selfClosing = true;
                return true;
            }
            readName(name);
            if (name.isEmpty())
                return false;
            passBlanks();
            if (!m_in.fill(1) || *m_in.at() != '=')
                return false;
            pass(1);
            passBlanks();
            QByteArray *kept = nullptr;
            if (equalsIgnoringCase(name.constData(), name.size(), "PROGRAMID"))
                kept = &m_programIdAttribute;
            else if (equalsIgnoringCase(name.constData(), name.size(), "FIELDNAME"))
                kept = &m_fieldNameAttribute;
            if (!readQuoted(kept, longestTag))
                return false;
        }
    }

    // Passes over text, comments, CDATA sections, processing instructions and the document
    // type up to the next start or end tag, which it reads. The text on the way goes into text
    // (its first bytes, entities expanded) when there is one.
    Tag nextTag(QByteArray *text)
    {
        for (;;) {
            if (!m_in.fill(1))
                return Tag::EndOfFile;
            if (*m_in.at() != '<') {
                readCharacters(text);
                continue;
            }
            if (startsWith("<!--")) {
                if (!passBeyond("-->"))
                    return broken(QStringLiteral("a comment is not closed"));
            } else if (startsWith("<![CDATA[")) {
                pass(9);
                if (!readCdata(text))
                    return broken(QStringLiteral("a CDATA section is not closed"));
            } else if (startsWith("<?")) {
                if (!passBeyond("?>"))
                    return broken(QStringLiteral("a processing instruction is not closed"));
            } else if (startsWith("<!DOCTYPE")) {
                pass(9);
                if (!readDoctype())
                    return broken(QStringLiteral("the document type is not closed"));
            } else if (startsWith("</")) {
                pass(2);
                readName(m_name);
                passBlanks();
                if (!m_in.fill(1) || *m_in.at() != '>')
                    return broken(QStringLiteral("an end tag is not closed"));
                pass(1);
                if (m_open.isEmpty() || m_open.last() != m_name)
                    return broken(QStringLiteral("Opening and ending tag mismatch."));
                m_open.removeLast();
                return Tag::End;
            } else {
                pass(1);
                readName(m_name);
                if (m_name.isEmpty())
                    return broken(QStringLiteral("a '<' that starts no tag"));
                m_selfClosing = false;
                if (!readAttributes())
                    return broken(QStringLiteral("a start tag is not closed"));
                if (!m_selfClosing) {
                    if (m_open.size() >= deepestElement)
                        return broken(
                            QStringLiteral("the elements nest deeper than %1").arg(deepestElement));
                    m_open.append(m_name);
                }
                return Tag::Start;
            }
        }
    }

    // Whether text takes more bytes: a kept value holds at most as many bytes as its
    // characters may take.
    static bool hasRoom(const QByteArray *text)
    {
        return text && text->size() < 4 * keptValueLimit;
    }

    // Text up to the next '<'.
    void readCharacters(QByteArray *text)
    {
        while (m_in.fill(1)) {
            const char *from = m_in.at();
            const qsizetype available = m_in.available();
            const char *lt = static_cast<const char *>(std::memchr(from, '<', size_t(available)));
            const qsizetype run = lt ? lt - from : available;
            if (!hasRoom(text)) {
                pass(run);
            } else {
                const char *amp = static_cast<const char *>(std::memchr(from, '&', size_t(run)));
                const qsizetype plain = amp ? amp - from : run;
                text->append(from, std::min(plain, 4 * keptValueLimit - text->size()));
                pass(plain);
                if (amp) {
                    readReference(text);
                    continue;
                }
            }
            if (lt)
                return;
        }
    }

    // A CDATA section's text, up to its end.
    bool readCdata(QByteArray *text)
    {
        if (!hasRoom(text))
            return passBeyond("]]>");
        for (;;) {
            if (!m_in.fill(3)) {
                pass(m_in.available());
                return false;
            }
            if (std::memcmp(m_in.at(), "]]>", 3) == 0) {
                pass(3);
                return true;
            }
            if (!hasRoom(text))
                return passBeyond("]]>");
            text->append(*m_in.at());
            pass(1);
        }
    }

    // An entity or character reference in text: &amp; &#233; &#xE9; or a declared entity.
    void readReference(QByteArray *text)
    {
        pass(1);
        QByteArray name;
        if (m_in.fill(1) && *m_in.at() == '#') {
            name = "#";
            pass(1);
        }
        QByteArray rest;
        readName(rest);
        name += rest;
        if (!m_in.fill(1) || *m_in.at() != ';') {
            text->append('&').append(name); // not a reference: kept as written
            return;
        }
        pass(1);
        expand(name, text, 0);
    }

    // Appends what the reference to name stands for, as long as text has room.
    void expand(const QByteArray &name, QByteArray *text, int depth)
    {
        static const std::pair<const char *, const char *> predefined[] = {
            {"lt", "<"}, {"gt", ">"}, {"amp", "&"}, {"quot", "\""}, {"apos", "'"}};
        for (const auto &[entity, character] : predefined) {
            if (name == entity) {
                text->append(character);
                return;
            }
        }
        if (name.startsWith('#')) {
            bool ok = false;
            const uint code = name.startsWith("#x") || name.startsWith("#X")
                                  ? name.mid(2).toUInt(&ok, 16)
                                  : name.mid(1).toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF)) {
                const char32_t character = code;
                text->append(QString::fromUcs4(&character, 1).toUtf8());
            }
            return;
        }
        const auto found = m_entities.constFind(name);
        if (found == m_entities.constEnd() || depth >= deepestExpansion) {
            text->append('&').append(name).append(';');
            return;
        }
        // Each expansion costs the characters of its value, however little of it is kept.
        const QByteArray &value = *found;
        m_expanded += value.size() + 1;
        if (m_expanded > expansionBudget) {
            broken(QStringLiteral("its entities expand beyond %1 characters").arg(expansionBudget));
            m_done = true;
            return;
        }
        for (qsizetype i = 0; i < value.size() && hasRoom(text) && !m_done; ++i) {
            if (value.at(i) != '&') {
                text->append(value.at(i));
                continue;
            }
            const qsizetype end = value.indexOf(';', i);
            if (end < 0) {
                text->append(value.mid(i));
                return;
            }
            expand(value.mid(i + 1, end - i - 1), text, depth + 1);
            i = end;
        }
    }

    // Reads the text of the element that just started, up to its end, into text (its first
    // bytes) or nowhere; elements inside it are passed over.
    void readText(QByteArray *text)
    {
        if (text)
            text->truncate(0);
        if (m_selfClosing)
            return;
        int depth = 1;
        while (depth > 0 && !m_done) {
            switch (nextTag(depth == 1 ? text : nullptr)) {
            case Tag::Start:
                if (!m_selfClosing)
                    ++depth;
                break;
            case Tag::End:
                --depth;
                break;
            case Tag::EndOfFile:
            case Tag::Broken:
                m_done = true;
                break;
            }
        }
    }

    // The field of the element the reader stands on: a field named by its element, or an
    // application-defined field <APP PROGRAMID="KX47" FIELDNAME="BAND">.
    FieldId idOfElement() const
    {
        QByteArray name = m_name;
        if (isNamed("APP"))
            name = QByteArrayLiteral("APP_") + m_programIdAttribute + '_' + m_fieldNameAttribute;
        const FieldId id = fieldIdOf(name.constData(), name.size());
        return id == ProgramId ? NotKept : id;
    }

    Input &m_in;
    qint64 m_line = 1;
    QString m_error;
    bool m_done = false;
    bool m_atRecord = false;
    bool m_holdsAdif = false;
    int m_records = 0;
    // The tag read last.
    QByteArray m_name;
    bool m_selfClosing = false;
    QByteArray m_programIdAttribute;
    QByteArray m_fieldNameAttribute;
    QList<QByteArray> m_open; // the elements open, outermost first
    QByteArray m_raw;         // the kept text of a field, in the file's bytes
    QHash<QByteArray, QByteArray> m_entities;
    qsizetype m_entitiesHeld = 0;
    qint64 m_expanded = 0;
};

AdifReader::AdifReader(QIODevice *device) : m_device(device) {}

AdifReader::~AdifReader() = default;

void AdifReader::start()
{
    if (m_started)
        return;
    m_started = true;
    if (!m_device || !m_device->isReadable()) {
        m_fileError = QStringLiteral("the file is not open for reading");
        m_refused = true;
        return;
    }
    QByteArray first = m_device->read(chunkSize);
    m_input = std::make_unique<Input>(m_device, first);
    if (const auto wide = wideEncodingOf(first)) {
        m_input->transcode(QStringDecoder(*wide));
        first = QByteArray(m_input->at(), std::min<qsizetype>(m_input->available(), 4096));
    }
    // ADX begins with an XML declaration or the ADX element, perhaps after blanks.
    qsizetype i = first.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (i < first.size() && QChar::isSpace(uchar(first.at(i))))
        ++i;
    const QByteArray opening = first.mid(i, 5).toUpper();
    m_adx = opening.startsWith("<?XML") || opening.startsWith("<ADX");
    if (m_adx) {
        const QByteArray encoding = declaredEncoding(first.left(1024));
        const QByteArray name = encoding.toUpper();
        if (!encoding.isEmpty() && name != "UTF-8" && name != "UTF8" && name != "US-ASCII" &&
            !name.startsWith("UTF-16") && !name.startsWith("UTF-32")) {
            QStringDecoder decoder(encoding.constData());
            if (!decoder.isValid()) {
                m_fileError = QStringLiteral("it is written in the encoding %1, which KX47 "
                                             "cannot read; save it as UTF-8 and import it again")
                                  .arg(QString::fromLatin1(encoding.left(40)));
                m_refused = true;
                return;
            }
            m_input->transcode(std::move(decoder));
        }
        m_adxReader = std::make_unique<Adx>(*m_input);
        m_adxReader->readHeader(m_programId);
    } else {
        m_adi = std::make_unique<Adi>(*m_input);
        m_adi->readHeader(m_lotw, m_eqslInbox, m_programId);
    }
    if (m_programId.contains(eqslInboxProgram, Qt::CaseInsensitive))
        m_eqslInbox = true;
}

bool AdifReader::next(AdifRecord &record)
{
    start();
    bool read = false;
    if (m_adxReader) {
        read = m_adxReader->next(record, m_fileError);
    } else if (m_adi) {
        read = m_adi->next(record);
    }
    if (m_fileError.isEmpty() && m_input && !m_input->deviceError().isEmpty())
        m_fileError =
            QStringLiteral("the file could not be read to its end: %1").arg(m_input->deviceError());
    if (!read)
        record.clear();
    return read;
}

bool AdifReader::isLotwReport()
{
    start();
    return m_lotw;
}

bool AdifReader::isEqslInbox()
{
    start();
    return m_eqslInbox;
}

QString AdifReader::programId()
{
    start();
    return m_programId;
}

bool AdifReader::isKx47Export()
{
    return programId().trimmed().compare(kx47ProgramId, Qt::CaseInsensitive) == 0;
}

bool AdifReader::isAdx()
{
    start();
    return m_adx;
}

bool AdifReader::holdsAdif() const
{
    if (m_adi)
        return m_adi->holdsAdif();
    return m_adxReader && m_adxReader->holdsAdif();
}

qint64 AdifReader::bytesRead() const
{
    return m_input ? m_input->consumed() : 0;
}

} // namespace kx47
