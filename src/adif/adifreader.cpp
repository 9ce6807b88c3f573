#include "adifreader.h"

#include <QIODevice>
#include <QXmlStreamReader>
#include <algorithm>
#include <cstring>

namespace kx47
{

namespace
{

const qsizetype chunkSize = 256 * 1024;
// A tag longer than this (name, length and type) is taken for text, not for a tag.
const qsizetype longestTag = 128;
const QByteArray lotwFirstLine = QByteArrayLiteral("ARRL Logbook of the World Status Report");
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
    {"PROGRAMID", 9, ProgramId},
};

inline char upper(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

FieldId fieldIdOf(const char *name, qsizetype length)
{
    for (const KeptField &field : keptFields) {
        if (field.length != length)
            continue;
        qsizetype i = 0;
        while (i < length && upper(name[i]) == field.name[i])
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
        if (upper(text[i]) != word[i])
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

} // namespace

// The tagged-text form, read from a buffer that is refilled from the device chunk by chunk.
class AdifReader::Adi
{
public:
    Adi(QIODevice *device, QByteArray start) : m_device(device), m_buffer(std::move(start))
    {
        m_end = m_buffer.size();
        m_deviceBytes = m_end;
        if (m_buffer.startsWith("\xEF\xBB\xBF"))
            m_pos = 3;
    }

    // Reads the header, if there is one. A file whose first character is '<' has none. A
    // "header" that ends with <EOR> was the first record of a file without header: it is kept
    // for the first call of next().
    void readHeader(bool &lotw, QString &programId)
    {
        lotw = m_buffer.mid(m_pos, lotwFirstLine.size()) == lotwFirstLine;
        if (m_pos < m_end && m_buffer.at(m_pos) == '<')
            return;
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

    qint64 consumed() const { return m_deviceBytes - (m_end - m_pos); }
    QString deviceError() const { return m_deviceError; }

private:
    enum class Ending { Nothing, Record, Header };

    qsizetype available() const { return m_end - m_pos; }
    const char *at() const { return m_buffer.constData() + m_pos; }

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
        const qsizetype wanted = std::max(need, chunkSize);
        if (m_buffer.size() < wanted)
            m_buffer.resize(wanted);
        while (m_end < need) {
            const qint64 got = m_device->read(m_buffer.data() + m_end, m_buffer.size() - m_end);
            if (got < 0) {
                m_deviceError = m_device->errorString();
                m_atEnd = true;
                break;
            }
            if (got == 0) {
                if (m_device->isSequential() && !m_device->atEnd() &&
                    m_device->waitForReadyRead(30000))
                    continue;
                m_atEnd = true;
                break;
            }
            m_end += got;
            m_deviceBytes += got;
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

    // Reads tags up to the end of a record (<EOR>), of the header (<EOH>) or of the file.
    // Nothing: the file ended with no field since the last record.
    Ending readFields(AdifRecord &record)
    {
        bool any = false;
        for (;;) {
            const char *found =
                static_cast<const char *>(std::memchr(at(), '<', size_t(available())));
            if (!found) {
                m_pos = m_end;
                if (!fill(1))
                    return any ? Ending::Record : Ending::Nothing;
                continue;
            }
            m_pos = found - m_buffer.constData();
            fill(longestTag);
            const char *tag = at() + 1;
            const qsizetype room = std::min(available() - 1, longestTag);
            const char *close = static_cast<const char *>(std::memchr(tag, '>', size_t(room)));
            if (!close || std::memchr(tag, '<', size_t(close - tag))) {
                ++m_pos; // a '<' in text, not a tag
                continue;
            }
            const qsizetype tagLength = close - tag;
            const char *colon = static_cast<const char *>(std::memchr(tag, ':', size_t(tagLength)));
            if (!colon) {
                m_pos += tagLength + 2;
                if (equalsIgnoringCase(tag, tagLength, "EOR")) {
                    if (any)
                        return Ending::Record;
                    if (m_inHeader)
                        return Ending::Nothing;
                } else if (equalsIgnoringCase(tag, tagLength, "EOH")) {
                    return Ending::Header;
                }
                continue; // another bare tag: text
            }
            any = true;
            const FieldId id = fieldIdOf(tag, colon - tag);
            const qint64 length = lengthOf(colon + 1, close);
            if (length < 0) {
                if (record.error.isEmpty()) {
                    record.error = QStringLiteral("the length in <%1> is not a number")
                                       .arg(decoded(tag, tagLength));
                }
                m_pos += tagLength + 2;
                continue;
            }
            m_pos += tagLength + 2;
            if (!readValue(record, id, length)) {
                if (record.error.isEmpty()) {
                    record.error = QStringLiteral("the file ends inside the value of %1")
                                       .arg(id == NotKept ? QStringLiteral("a field")
                                                          : QLatin1String(nameOf(id)));
                }
                m_pos = m_end;
                return Ending::Record;
            }
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
            return skip(length);
        const qsizetype kept = qsizetype(std::min<qint64>(length, keptValueLimit));
        if (!fill(kept))
            return false;
        const char *value = at();
        bool ascii = true;
        for (qsizetype i = 0; i < kept && ascii; ++i)
            ascii = static_cast<unsigned char>(value[i]) < 0x80;
        if (ascii) {
            assignAscii(*target, value, kept);
            m_pos += kept;
            return skip(length - kept);
        }
        qsizetype taken = kept;
        if (kept == length) {
            // Some writers count characters of UTF-8 text, others bytes. Counted in characters,
            // the value runs further, and the bytes-count end falls inside a character or in
            // the value's text; counted in bytes, the bytes-count end is followed by the next
            // tag, a blank or a line break.
            fill(4 * kept + 1);
            value = at();
            const qsizetype characters = utf8Bytes(value, available(), length);
            if (characters > kept) {
                const unsigned char after = static_cast<unsigned char>(value[kept]);
                const bool insideCharacter = isContinuation(after);
                const bool tagBetween =
                    std::memchr(value + kept, '<', size_t(characters - kept)) != nullptr;
                const bool separator =
                    after == '<' || after == ' ' || after == '\r' || after == '\n' || after == '\t';
                if (insideCharacter || (!tagBetween && !separator))
                    taken = characters;
            }
        }
        *target = decoded(value, taken);
        m_pos += taken;
        return skip(length - kept);
    }

    QIODevice *m_device;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    qsizetype m_end = 0;
    qint64 m_deviceBytes = 0;
    bool m_atEnd = false;
    QString m_deviceError;
    bool m_inHeader = false;
    QString m_programId;
    AdifRecord m_pending;
    bool m_hasPending = false;
    int m_records = 0;
};

// The XML form, fed to the XML reader chunk by chunk.
class AdifReader::Adx
{
public:
    Adx(QIODevice *device, const QByteArray &start) : m_device(device)
    {
        m_xml.addData(start);
        m_fed = start.size();
    }

    // Reads up to the first record; the header's PROGRAMID is taken on the way.
    void readHeader(QString &programId)
    {
        while (!m_done) {
            const QXmlStreamReader::TokenType token = nextToken();
            if (token == QXmlStreamReader::StartElement) {
                const QString name = m_xml.name().toString().toUpper();
                if (name == QLatin1String("RECORD")) {
                    m_atRecord = true;
                    return;
                }
                if (name == QLatin1String("PROGRAMID")) {
                    readText(&programId);
                }
            } else if (token == QXmlStreamReader::Invalid ||
                       token == QXmlStreamReader::EndDocument) {
                m_done = true;
            }
        }
    }

    bool next(AdifRecord &record, QString &fileError)
    {
        record.clear();
        while (!m_atRecord && !m_done) {
            const QXmlStreamReader::TokenType token = nextToken();
            if (token == QXmlStreamReader::StartElement &&
                m_xml.name().compare(QLatin1String("RECORD"), Qt::CaseInsensitive) == 0)
                m_atRecord = true;
            else if (token == QXmlStreamReader::Invalid || token == QXmlStreamReader::EndDocument)
                m_done = true;
        }
        if (m_xml.hasError() && fileError.isEmpty())
            fileError = brokenXml();
        if (!m_atRecord)
            return false;
        m_atRecord = false;
        record.number = ++m_records;
        // The fields of the record, up to its end.
        while (!m_done) {
            const QXmlStreamReader::TokenType token = nextToken();
            if (token == QXmlStreamReader::EndElement)
                return true;
            if (token == QXmlStreamReader::StartElement) {
                readText(fieldOf(record, idOfElement()));
            } else if (token == QXmlStreamReader::Invalid ||
                       token == QXmlStreamReader::EndDocument) {
                m_done = true;
            }
        }
        fileError = brokenXml();
        record.error = fileError;
        return true;
    }

    qint64 consumed() const { return m_fed; }

private:
    QString brokenXml() const
    {
        if (!m_xml.hasError())
            return QStringLiteral("the file ends inside a record");
        return QStringLiteral("the XML is broken at line %1: %2")
            .arg(m_xml.lineNumber())
            .arg(m_xml.errorString());
    }

    // The next token, feeding the XML reader from the device as it needs more.
    QXmlStreamReader::TokenType nextToken()
    {
        for (;;) {
            const QXmlStreamReader::TokenType token = m_xml.readNext();
            if (token != QXmlStreamReader::Invalid ||
                m_xml.error() != QXmlStreamReader::PrematureEndOfDocumentError)
                return token;
            const QByteArray chunk = m_device->read(chunkSize);
            if (chunk.isEmpty())
                return token;
            m_fed += chunk.size();
            m_xml.addData(chunk);
        }
    }

    // The field of the element the reader stands on: a field named by its element, or an
    // application-defined field <APP PROGRAMID="KX47" FIELDNAME="BAND">.
    FieldId idOfElement() const
    {
        QByteArray name = m_xml.name().toLatin1();
        if (name.compare("APP", Qt::CaseInsensitive) == 0) {
            const QXmlStreamAttributes attributes = m_xml.attributes();
            name = QByteArrayLiteral("APP_") +
                   attributes.value(QLatin1String("PROGRAMID")).toLatin1() + '_' +
                   attributes.value(QLatin1String("FIELDNAME")).toLatin1();
        }
        const FieldId id = fieldIdOf(name.constData(), name.size());
        return id == ProgramId ? NotKept : id;
    }

    // Reads the text of the element the reader stands on, up to its end, into target (at most
    // keptValueLimit characters) or nowhere; elements inside it are passed over.
    void readText(QString *target)
    {
        int depth = 1;
        while (depth > 0 && !m_done) {
            const QXmlStreamReader::TokenType token = nextToken();
            switch (token) {
            case QXmlStreamReader::StartElement:
                ++depth;
                break;
            case QXmlStreamReader::EndElement:
                --depth;
                break;
            case QXmlStreamReader::Characters:
                if (target && depth == 1 && target->size() < keptValueLimit)
                    target->append(m_xml.text().left(keptValueLimit - target->size()));
                break;
            case QXmlStreamReader::Invalid:
            case QXmlStreamReader::EndDocument:
                m_done = true;
                break;
            default:
                break;
            }
        }
        if (target)
            *target = target->trimmed();
    }

    QIODevice *m_device;
    QXmlStreamReader m_xml;
    qint64 m_fed = 0;
    bool m_done = false;
    bool m_atRecord = false;
    int m_records = 0;
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
        return;
    }
    const QByteArray first = m_device->read(chunkSize);
    // ADX begins with an XML declaration or the ADX element, perhaps after blanks.
    qsizetype i = first.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (i < first.size() && QChar::isSpace(uchar(first.at(i))))
        ++i;
    const QByteArray opening = first.mid(i, 5).toUpper();
    m_adx = opening.startsWith("<?XML") || opening.startsWith("<ADX");
    if (m_adx) {
        m_adxReader = std::make_unique<Adx>(m_device, first);
        m_adxReader->readHeader(m_programId);
    } else {
        m_adi = std::make_unique<Adi>(m_device, first);
        m_adi->readHeader(m_lotw, m_programId);
    }
}

bool AdifReader::next(AdifRecord &record)
{
    start();
    bool read = false;
    if (m_adxReader) {
        read = m_adxReader->next(record, m_fileError);
    } else if (m_adi) {
        read = m_adi->next(record);
        if (m_fileError.isEmpty() && !m_adi->deviceError().isEmpty())
            m_fileError = QStringLiteral("the file could not be read to its end: %1")
                              .arg(m_adi->deviceError());
    }
    if (!read)
        record.clear();
    return read;
}

bool AdifReader::isLotwReport()
{
    start();
    return m_lotw;
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

qint64 AdifReader::bytesRead() const
{
    if (m_adi)
        return m_adi->consumed();
    if (m_adxReader)
        return m_adxReader->consumed();
    return 0;
}

} // namespace kx47
