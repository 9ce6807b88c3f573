// Reading ADIF (both forms, as untidy real files come), the mapping of a record to a QSO of the
// log, the export and the way back, and input that must not crash or hang the reader.
#include "fixture.h"

#include "adif/adifmapping.h"
#include "adif/adifreader.h"
#include "adif/adifwriter.h"
#include "gazetteer/placelookup.h"
#include "log/qsotexts.h"
#include "storage/database.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>
#include <random>

using namespace kx47;
using namespace kx47::test;

namespace
{

// A gazetteer that tells which sub-square and place it was asked for.
class EchoProvinces : public ProvinceLookup
{
public:
    QString provinceOf(const QString &letters, const QString &place) const override
    {
        return letters + QLatin1Char('/') + place;
    }
};

struct ReadFile {
    QList<AdifRecord> records;
    QString kind;
    QString fileError;
};

ReadFile readAll(QIODevice *device)
{
    ReadFile file;
    AdifReader reader(device);
    AdifRecord record;
    while (reader.next(record))
        file.records << record;
    // What the file is: a LoTW report, an eQSL inbox, no ADIF at all, refused, or its PROGRAMID.
    file.kind = reader.refused()        ? QStringLiteral("refused")
                : !reader.holdsAdif()   ? QStringLiteral("none")
                : reader.isLotwReport() ? QStringLiteral("lotw")
                : reader.isEqslInbox()  ? QStringLiteral("eqsl")
                                        : reader.programId();
    file.fileError = reader.fileError();
    return file;
}

// Text in UTF-16 (little-endian), with or without its byte order mark.
QByteArray utf16(const char *text, bool byteOrderMark)
{
    const QString s = QString::fromUtf8(text);
    const QByteArray wide(reinterpret_cast<const char *>(s.utf16()), s.size() * 2);
    return byteOrderMark ? QByteArray("\xFF\xFE") + wide : wide;
}

ReadFile readAll(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readAll(&buffer);
}

// A record as the tests compare it: the number, then "!" and the reason, or call and place.
QString summary(const AdifRecord &record)
{
    if (!record.error.isEmpty())
        return QStringLiteral("%1!%2").arg(record.number).arg(record.error);
    return QStringLiteral("%1:%2/%3").arg(record.number).arg(record.call, record.qth);
}

// Bytes without a terminating zero, so that tests can hold any byte.
QByteArray bytes(const char *text)
{
    return QByteArray(text);
}

// A sequential device of a given size that makes its bytes up as they are read: a header and a
// record whose NOTES field fills the rest, then a record with a call. Fails instead when
// failAt is reached.
class MadeUpDevice : public QIODevice
{
public:
    MadeUpDevice(qint64 fieldLength, qint64 failAt = -1) : m_failAt(failAt)
    {
        m_head = "<EOH><CALL:4>HUGE<NOTES:" + QByteArray::number(fieldLength) + '>';
        m_tail = "<EOR><CALL:5>AFTER<EOR>";
        m_size = m_head.size() + fieldLength + m_tail.size();
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_failAt >= 0 && m_pos >= m_failAt)
            return -1;
        qint64 n = 0;
        while (n < maxSize && m_pos < m_size) {
            const qint64 tailStart = m_size - m_tail.size();
            if (m_pos < m_head.size())
                data[n] = m_head.at(m_pos);
            else if (m_pos >= tailStart)
                data[n] = m_tail.at(m_pos - tailStart);
            else
                data[n] = 'x';
            ++n;
            ++m_pos;
        }
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_head;
    QByteArray m_tail;
    qint64 m_size = 0;
    qint64 m_pos = 0;
    qint64 m_failAt;
};

const QByteArray baseRecord = "<CALL:6>ik4abc <QSO_DATE:8>20041207 <TIME_ON:4>0930 "
                              "<GRIDSQUARE:6>KX47AB <BAND:3>20m <MODE:2>CW <QTH:8>BRANVOLE ";

QString outcomeText(const MappedQso &mapped)
{
    switch (mapped.outcome) {
    case MapOutcome::Ok:
        return QStringLiteral("ok");
    case MapOutcome::OutsideKx47:
        return QStringLiteral("outside KX47");
    case MapOutcome::BandOutsideAward:
        return QStringLiteral("band outside the award");
    case MapOutcome::Unreadable:
        break;
    }
    return QStringLiteral("unreadable: ") + mapped.reason;
}

QList<QsoRecord> roundTripLog()
{
    QList<QsoRecord> log;
    const QStringList bands = {QStringLiteral("HF"),  QStringLiteral("50 MHz"),
                               QStringLiteral("VHF"), QStringLiteral("UHF"),
                               QStringLiteral("SHF"), QStringLiteral("SAT")};
    const QStringList modes = {QStringLiteral("MIXED"), QStringLiteral("SSB"), QStringLiteral("CW"),
                               QStringLiteral("DIGITAL")};
    const QStringList states = {QStringLiteral("w"), QStringLiteral("c"), QStringLiteral("a")};
    const QStringList places = {QStringLiteral("BRANVOLE"), QStringLiteral("SANT'ERMINIO"),
                                QString(), QStringLiteral("CITTÀ DI CASTELLO <EOR> 5"),
                                QStringLiteral("a place in small letters")};
    int n = 0;
    for (const QString &band : bands) {
        for (const QString &mode : modes) {
            QsoRecord q;
            q.locator = QStringLiteral("%1%2").arg(QChar('A' + n % 24)).arg(QChar('X' - n % 24));
            q.call = n == 3 ? QStringLiteral("ik4low") : QStringLiteral("IK%1ABC/P").arg(n);
            q.date = n == 5 ? QStringLiteral("2004-02-31")
                            : QStringLiteral("2019-03-%1").arg(n + 1, 2, 10, QChar('0'));
            q.time = QStringLiteral("%1:%2")
                         .arg(n % 24, 2, 10, QChar('0'))
                         .arg(n * 2, 2, 10, QChar('0'));
            q.place = places.at(n % places.size());
            q.prov = n % 7 == 0 ? QString() : QStringLiteral("PG");
            q.mode = mode;
            q.band = band;
            q.qsl = vocabulary::storedQslState(states.at(n % 3));
            log << q;
            ++n;
        }
    }
    return log;
}

bool sameQso(const QsoRecord &a, const QsoRecord &b)
{
    return a.locator == b.locator && a.call == b.call && a.date == b.date && a.time == b.time &&
           a.place == b.place && a.prov == b.prov && a.mode == b.mode && a.band == b.band &&
           a.qsl == b.qsl;
}

} // namespace

class TestAdif : public QObject
{
    Q_OBJECT

private slots:
    void readsQuirks_data();
    void readsQuirks();
    void mapsRecords_data();
    void mapsRecords();
    void provincesFromGazetteer_data();
    void provincesFromGazetteer();
    void writesRecords_data();
    void writesRecords();
    void roundTrip();
    void exportFailureKeepsFile();
    void badFiles();
    void hugeFieldIsSkipped();
    void deviceFailureIsReported();
    void fuzz();
};

void TestAdif::readsQuirks_data()
{
    QTest::addColumn<QByteArray>("adif");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("file"); // the kind of file, as readAll() names it

    QTest::newRow("header and records")
        << bytes("Made by hand\n<ADIF_VER:5>3.1.4 <PROGRAMID:4>TEST <EOH>\n"
                 "<CALL:5>K1ABC <QTH:3>ABC <EOR>\n<CALL:5>K2ABC <EOR>\n")
        << QStringList{"1:K1ABC/ABC", "2:K2ABC/"} << "TEST";
    QTest::newRow("no header, CRLF, small letters, types")
        << bytes("<call:5:s>K1ABC\r\n<qth:3:S>ABC\r\n<eor>\r\n<Call:5>K2ABC<Eor>\r\n")
        << QStringList{"1:K1ABC/ABC", "2:K2ABC/"} << "";
    QTest::newRow("last EOR missing")
        << bytes("<EOH><CALL:5>K1ABC<EOR><CALL:5>K2ABC\n")
        << QStringList{"1:K1ABC/", "2!the file ends before the record's <EOR>"} << "";
    QTest::newRow("records without EOR are not merged")
        << bytes("<EOH><CALL:5>K1ABC<QTH:1>A\n<CALL:5>K2ABC<QTH:1>B\n")
        << QStringList{"1!the file ends before the record's <EOR>"} << "";
    QTest::newRow("length too short") << bytes("<EOH><BAND:2>40m<CALL:5>K1ABC<EOR><CALL:1>B<EOR>")
                                      << QStringList{"1!the length in <BAND:2> does not fit its "
                                                     "value",
                                                     "2:B/"}
                                      << "";
    QTest::newRow("length too long")
        << bytes("<EOH><CALL:7>K1ABC<QTH:3>ABC<EOR>")
        << QStringList{"1!the length in <CALL:7> does not fit its value"} << "";
    QTest::newRow("header, no records")
        << bytes("ARRL Logbook of the World Status Report\n<PROGRAMID:4>LoTW\n"
                 "<APP_LoTW_NUMREC:1>0\n<eoh>\n<APP_LoTW_EOF>\n")
        << QStringList{} << "lotw";
    QTest::newRow("eQSL inbox") << bytes("ADIF 3 Export from eQSL.cc\nReceived eQSLs for IK4ABC\n"
                                         "<PROGRAMID:21>eQSL.cc DownloadInBox\n<EOH>\n"
                                         "<CALL:5>K1ABC<QSL_RCVD:1>Y<EOR>")
                                << QStringList{"1:K1ABC/"} << "eqsl";
    QTest::newRow("empty file") << bytes("") << QStringList{} << "none";
    QTest::newRow("HTML page")
        << bytes("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"></head><body>"
                 "<a href=\"https://www.eqsl.cc/x:y\">Log in</a><svg:rect x=\"1\"/></body></html>")
        << QStringList{"1!the length in <svg:rect x=\"1\"/> is not a number"} << "none";
    QTest::newRow("binary") << QByteArray("\x7F"
                                          "ELF\x02\x01<\x01:\x00>\xFF\xFE<\x05",
                                          15)
                            << QStringList{} << "none";
    QTest::newRow("XHTML page") << bytes("<?xml version=\"1.0\"?><html><body>x</body></html>")
                                << QStringList{} << "none";
    QTest::newRow("UTF-16 ADI, no byte order mark")
        << utf16("<EOH><CALL:5>K1ABC<QTH:4>CAFÉ<EOR>", false) << QStringList{"1:K1ABC/CAFÉ"} << "";
    QTest::newRow("UTF-16 ADX") << utf16("<?xml version=\"1.0\" encoding=\"UTF-16\"?><ADX><RECORDS>"
                                         "<RECORD><CALL>K1ABC</CALL><QTH>CAFÉ</QTH></RECORD>"
                                         "</RECORDS></ADX>",
                                         true)
                                << QStringList{"1:K1ABC/CAFÉ"} << "";
    QTest::newRow("ADX in Latin-1")
        << bytes("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><ADX><RECORDS><RECORD>"
                 "<CALL>K1ABC</CALL><QTH>CAF\xC9</QTH></RECORD></RECORDS></ADX>")
        << QStringList{QStringLiteral("1:K1ABC/CAFÉ")} << "";
    QTest::newRow("ADX in an unknown encoding")
        << bytes("<?xml version=\"1.0\" encoding=\"X-NONE\"?><ADX><RECORDS><RECORD>"
                 "<CALL>K1ABC</CALL></RECORD></RECORDS></ADX>")
        << QStringList{} << "refused";
    QTest::newRow("ADX comments, CDATA, instructions, attributes, references")
        << bytes("<?xml version=\"1.0\"?><!DOCTYPE ADX [<!ENTITY p \"PLACE\"><!-- ]> -->]>"
                 "<ADX><!-- <RECORD><CALL>NO</CALL></RECORD> --><?pi <RECORD>?><RECORDS a=\"1\" "
                 "b='>'><RECORD><CALL><![CDATA[K1<>]]></CALL><QTH>A&amp;B&#67;&#x44; &p; &q;"
                 "</QTH></RECORD></RECORDS></ADX>")
        << QStringList{"1:K1<>/A&BCD PLACE &q;"} << "";
    // An entity repeated fills the kept beginning of the value only.
    QByteArray repeated = "<?xml version=\"1.0\"?><!DOCTYPE ADX [<!ENTITY k \"" +
                          QByteArray(4000, 'K') + "\">]><ADX><RECORDS><RECORD><CALL>";
    for (int i = 0; i < 2000; ++i)
        repeated += "&k;";
    QTest::newRow("ADX entity repeated")
        << repeated + "</CALL><QTH>A</QTH></RECORD></RECORDS></ADX>"
        << QStringList{"1:" + QString(AdifReader::keptValueLimit, 'K') + "/A"} << "";
    // A comment and a tag of attributes longer than a chunk of the reader.
    QByteArray attributes;
    for (int i = 0; i < 30000; ++i)
        attributes += " a" + QByteArray::number(i) + "=\"<RECORD>\"";
    QTest::newRow("ADX comment and attributes across chunks")
        << "<ADX><!--" + QByteArray(300000, '-').replace(1000, 8, "<RECORD>") +
               "x-->"
               "<RECORDS" +
               attributes + "><RECORD><CALL>K1ABC</CALL></RECORD></RECORDS></ADX>"
        << QStringList{"1:K1ABC/"} << "";
    // Entities of nothing nested eight deep; long names make each expansion cost more.
    auto entity = [](int level) { return "e" + QByteArray::number(level) + QByteArray(100, 'x'); };
    QByteArray nested = "<?xml version=\"1.0\"?><!DOCTYPE ADX [<!ENTITY " + entity(0) + " \"\">";
    for (int level = 1; level < 8; ++level)
        nested += "<!ENTITY " + entity(level) + " \"" +
                  ("&" + entity(level - 1) + ';').repeated(10) + "\">";
    QTest::newRow("ADX entities expand within a budget")
        << nested + "]><ADX><RECORDS><RECORD><CALL>&" + entity(7) +
               ";</CALL></RECORD></RECORDS></ADX>"
        << QStringList{"1!the XML is broken at line 1: its entities expand beyond 16777216 "
                       "characters"}
        << "";
    QTest::newRow("comments after values")
        << bytes("<EOH><STATE:2>MD // Maryland\n<CALL:5>K1ABC // the call\n<QTH:3>ABC<EOR>")
        << QStringList{"1:K1ABC/ABC"} << "";
    QTest::newRow("empty records are passed over")
        << bytes("<EOH><EOR><eor>\n<CALL:5>K1ABC<EOR><EOR>") << QStringList{"1:K1ABC/"} << "";
    QTest::newRow("a skipped value holds tags")
        << bytes("<EOH><NOTES:14>a <EOR> <b> c <CALL:5>K1ABC<EOR>") << QStringList{"1:K1ABC/"}
        << "";
    QTest::newRow("latin-1") << bytes("<EOH><QTH:4>CAF\xC9<CALL:1>A<EOR>")
                             << QStringList{QStringLiteral("1:A/CAFÉ")} << "";
    QTest::newRow("UTF-8 counted in bytes") << bytes("<EOH><QTH:5>CAF\xC3\x89<CALL:1>A<EOR>")
                                            << QStringList{QStringLiteral("1:A/CAFÉ")} << "";
    QTest::newRow("UTF-8 counted in bytes, then a comment")
        << bytes("<EOH><QTH:5>CAF\xC3\x89 // caf<CALL:1>A<EOR>")
        << QStringList{QStringLiteral("1:A/CAFÉ")} << "";
    QTest::newRow("UTF-8 counted in characters") << bytes("<EOH><QTH:4>CAF\xC3\x89<CALL:1>A<EOR>")
                                                 << QStringList{QStringLiteral("1:A/CAFÉ")} << "";
    QTest::newRow("UTF-8 counted in characters, accent first")
        << bytes("<EOH><QTH:5>\xC3\x89"
                 "COLE<CALL:1>A<EOR>")
        << QStringList{QStringLiteral("1:A/ÉCOLE")} << "";
    QTest::newRow("length not a number")
        << bytes("<EOH><CALL:x>K1ABC<EOR><CALL:5>K2ABC<EOR>")
        << QStringList{"1!the length in <CALL:x> is not a number", "2:K2ABC/"} << "";
    QTest::newRow("negative length")
        << bytes("<EOH><CALL:-5>K1ABC<EOR><CALL:5>K2ABC<EOR>")
        << QStringList{"1!the length in <CALL:-5> is not a number", "2:K2ABC/"} << "";
    QTest::newRow("length beyond any number")
        << bytes("<EOH><NOTES:99999999999999999999>x<EOR><CALL:5>K2ABC<EOR>")
        << QStringList{"1!the length in <NOTES:99999999999999999999> is not a number", "2:K2ABC/"}
        << "";
    QTest::newRow("length past the end")
        << bytes("<EOH><CALL:5>K1ABC<EOR><CALL:5>K2ABC<QTH:20>ABC")
        << QStringList{"1:K1ABC/", "2!the file ends inside the value of QTH"} << "";
    QTest::newRow("skipped length past the end")
        << bytes("<EOH><CALL:5>K1ABC<NOTES:999999999>ABC")
        << QStringList{"1!the file ends inside the value of a field"} << "";
    QTest::newRow("header without EOH is the first record")
        << bytes("\n<CALL:5>K1ABC<EOR><CALL:5>K2ABC<EOR>") << QStringList{"1:K1ABC/", "2:K2ABC/"}
        << "";
    QTest::newRow("LoTW report")
        << bytes("ARRL Logbook of the World Status Report\nGenerated at 2024-01-01\n"
                 "<PROGRAMID:4>LoTW\n<eoh>\n<CALL:5>K1ABC\n<QSL_RCVD:1>Y\n<eor>\n")
        << QStringList{"1:K1ABC/"} << "lotw";
    QTest::newRow("byte order mark, no header")
        << bytes("\xEF\xBB\xBF<CALL:5>K1ABC<EOR>") << QStringList{"1:K1ABC/"} << "";
    QTest::newRow("ADX")
        << bytes("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ADX><HEADER><ADIF_VER>3.1.4"
                 "</ADIF_VER><PROGRAMID>KX47</PROGRAMID></HEADER><RECORDS>\n<RECORD><CALL>K1ABC"
                 "</CALL><QTH>CAF\xC3\x89</QTH><USERDEF FIELDNAME=\"X\">1</USERDEF></RECORD>\n"
                 "<RECORD><CALL>K2ABC</CALL><APP PROGRAMID=\"KX47\" FIELDNAME=\"QSL\" "
                 "TYPE=\"S\">a</APP></RECORD></RECORDS></ADX>")
        << QStringList{"1:K1ABC/CAFÉ", "2:K2ABC/"} << "KX47";
    QTest::newRow("ADX broken inside a record")
        << bytes("<ADX><RECORDS><RECORD><CALL>K1ABC</CALL></RECORD><RECORD><CALL>K2</QTH>")
        << QStringList{"1:K1ABC/", "2!the XML is broken at line 1: Opening and ending tag "
                                   "mismatch."}
        << "";
}

void TestAdif::readsQuirks()
{
    QFETCH(QByteArray, adif);
    QFETCH(QStringList, expected);
    QFETCH(QString, file);

    const ReadFile read = readAll(adif);
    QStringList got;
    for (const AdifRecord &record : read.records)
        got << summary(record);
    QCOMPARE(got, expected);
    QCOMPARE(read.kind, file);
}

void TestAdif::mapsRecords_data()
{
    QTest::addColumn<QByteArray>("fields"); // written after the base record, replacing its fields
    QTest::addColumn<QString>("options");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected");

    // The base record as a whole.
    QTest::newRow("base") << QByteArray() << ""
                          << "all"
                          << "AB|IK4ABC|2004-12-07|09:30|BRANVOLE|AB/BRANVOLE|CW|HF|w";

    // Sub-squares.
    QTest::newRow("locator any case, blanks") << QByteArray("<GRIDSQUARE:8> kx47xx ") << ""
                                              << "locator"
                                              << "XX";
    QTest::newRow("blank inside the locator") << QByteArray("<GRIDSQUARE:7>KX47 LC") << ""
                                              << "locator"
                                              << "LC";
    QTest::newRow("locator of 8") << QByteArray("<GRIDSQUARE:8>KX47ab12") << ""
                                  << "locator"
                                  << "AB";
    // Without a sub-square a record can still be merged into a QSO of the log.
    QTest::newRow("four characters") << QByteArray("<GRIDSQUARE:4>kx47") << ""
                                     << "locator"
                                     << "";
    QTest::newRow("letter beyond X") << QByteArray("<GRIDSQUARE:6>KX47AY") << ""
                                     << "outcome"
                                     << "outside KX47";
    QTest::newRow("other square") << QByteArray("<GRIDSQUARE:6>JN63AB") << ""
                                  << "outcome"
                                  << "outside KX47";
    QTest::newRow("no locator") << QByteArray("<GRIDSQUARE:0>") << ""
                                << "locator"
                                << "";
    QTest::newRow("other square of four") << QByteArray("<GRIDSQUARE:4>JN63") << ""
                                          << "outcome"
                                          << "outside KX47";

    // Bands, by name and by frequency.
    const QList<std::pair<const char *, const char *>> bands = {
        {"160M", "HF"},   {"10m", "HF"},   {"60m", "HF"},     {"6m", "50 MHz"},
        {"8m", "VHF"},    {"5m", "VHF"},   {"4m", "VHF"},     {"2m", "VHF"},
        {"1.25m", "VHF"}, {"70CM", "UHF"}, {"33cm", "UHF"},   {"23cm", "UHF"},
        {"13cm", "UHF"},  {"9cm", "SHF"},  {"1.25cm", "SHF"}, {"submm", "SHF"},
    };
    for (const auto &[name, category] : bands) {
        const QByteArray band(name);
        QTest::newRow(("band " + band).constData())
            << "<BAND:" + QByteArray::number(band.size()) + '>' + band << ""
            << "band" << category;
    }
    const QList<std::pair<const char *, const char *>> frequencies = {
        {"1.840", "HF"},  {"29.7", "HF"},   {"50.313", "50 MHz"}, {"70.2", "VHF"},
        {"144.3", "VHF"}, {"432,1", "UHF"}, {"2320", "UHF"},      {"10368.1", "SHF"},
    };
    for (const auto &[mhz, category] : frequencies) {
        const QByteArray freq(mhz);
        QTest::newRow(("frequency " + freq).constData())
            << "<BAND:0><FREQ:" + QByteArray::number(freq.size()) + '>' + freq << ""
            << "band" << category;
    }
    QTest::newRow("band before frequency") << QByteArray("<BAND:2>2m<FREQ:6>14.074") << ""
                                           << "band"
                                           << "VHF";
    QTest::newRow("unknown band, frequency") << QByteArray("<BAND:3>11m<FREQ:6>14.074") << ""
                                             << "band"
                                             << "HF";
    QTest::newRow("satellite") << QByteArray("<PROP_MODE:3>sat") << ""
                               << "band"
                               << "SAT";
    QTest::newRow("satellite name") << QByteArray("<BAND:4>70cm<SAT_NAME:4>AO-7") << ""
                                    << "band"
                                    << "SAT";
    QTest::newRow("satellite on 630m") << QByteArray("<BAND:4>630m<PROP_MODE:3>SAT") << ""
                                       << "band"
                                       << "SAT";
    QTest::newRow("2190m") << QByteArray("<BAND:5>2190m") << ""
                           << "outcome"
                           << "band outside the award";
    QTest::newRow("630m") << QByteArray("<BAND:4>630M") << ""
                          << "outcome"
                          << "band outside the award";
    QTest::newRow("560m by frequency") << QByteArray("<BAND:0><FREQ:5>0.502") << ""
                                       << "outcome"
                                       << "band outside the award";
    QTest::newRow("between bands") << QByteArray("<BAND:0><FREQ:3>100") << ""
                                   << "outcome"
                                   << "band outside the award";
    QTest::newRow("no band") << QByteArray("<BAND:0>") << ""
                             << "outcome"
                             << "unreadable: no band (BAND or FREQ)";

    // Modes.
    const QList<std::pair<const char *, const char *>> modes = {
        {"cw", "CW"},          {"SSB", "SSB"},          {"AM", "SSB"},
        {"FM", "SSB"},         {"DIGITALVOICE", "SSB"}, {"RTTY", "DIGITAL"},
        {"FT8", "DIGITAL"},    {"MFSK", "DIGITAL"},     {"JT65", "DIGITAL"},
        {"OLIVIA", "DIGITAL"}, {"PSK", "DIGITAL"},      {"C4FM", "SSB"},
        {"DSTAR", "SSB"},      {"DMR", "SSB"},          {"FREEDV", "SSB"},
        {"M17", "SSB"},
    };
    for (const auto &[name, category] : modes) {
        const QByteArray mode(name);
        QTest::newRow(("mode " + mode).constData())
            << "<MODE:" + QByteArray::number(mode.size()) + '>' + mode << ""
            << "mode" << category;
    }
    QTest::newRow("digital voice as submode")
        << QByteArray("<MODE:12>DIGITALVOICE<SUBMODE:4>C4FM") << ""
        << "mode"
        << "SSB";
    QTest::newRow("mixed chosen") << QByteArray("<MODE:3>FT8") << "mixed"
                                  << "mode"
                                  << "MIXED";
    QTest::newRow("no mode") << QByteArray("<MODE:0>") << ""
                             << "outcome"
                             << "unreadable: no mode";
    QTest::newRow("no mode, mixed chosen") << QByteArray("<MODE:0>") << "mixed"
                                           << "mode"
                                           << "MIXED";

    // Confirmations.
    QTest::newRow("paper Y") << QByteArray("<QSL_RCVD:1>Y") << ""
                             << "qsl"
                             << "c";
    QTest::newRow("paper V") << QByteArray("<QSL_RCVD:1>v") << ""
                             << "qsl"
                             << "c";
    QTest::newRow("paper N") << QByteArray("<QSL_RCVD:1>N") << ""
                             << "qsl"
                             << "w";
    QTest::newRow("paper not accepted") << QByteArray("<QSL_RCVD:1>Y") << "lotw"
                                        << "qsl"
                                        << "w";
    // The award counts QSL cards only, unless the user says otherwise.
    QTest::newRow("LoTW by default") << QByteArray("<LOTW_QSL_RCVD:1>Y") << ""
                                     << "qsl"
                                     << "w";
    QTest::newRow("LoTW Y") << QByteArray("<LOTW_QSL_RCVD:1>Y") << "lotw"
                            << "qsl"
                            << "c";
    QTest::newRow("LoTW V") << QByteArray("<LOTW_QSL_RCVD:1>V") << "paper,lotw"
                            << "qsl"
                            << "c";
    QTest::newRow("LoTW not accepted") << QByteArray("<LOTW_QSL_RCVD:1>Y") << "paper,eqsl"
                                       << "qsl"
                                       << "w";
    QTest::newRow("LoTW report QSL_RCVD") << QByteArray("<QSL_RCVD:1>Y") << "lotw,report"
                                          << "qsl"
                                          << "c";
    // A LoTW report's QSL_RCVD is LoTW's, never a card.
    QTest::newRow("LoTW report, LoTW not accepted") << QByteArray("<QSL_RCVD:1>Y") << "paper,report"
                                                    << "qsl"
                                                    << "w";
    QTest::newRow("eQSL inbox, paper only") << QByteArray("<QSL_RCVD:1>Y") << "paper,inbox"
                                            << "qsl"
                                            << "w";
    QTest::newRow("eQSL inbox, eQSL accepted") << QByteArray() << "eqsl,inbox"
                                               << "qsl"
                                               << "c";
    // The confirmations by LoTW and eQSL are kept whatever counts.
    QTest::newRow("LoTW kept with its date")
        << QByteArray("<LOTW_QSL_RCVD:1>Y<LOTW_QSLRDATE:8>20240105<QSLRDATE:8>20230101") << ""
        << "electronic"
        << "Y 2024-01-05  ";
    QTest::newRow("LoTW report's date")
        << QByteArray("<QSL_RCVD:1>Y<QSLRDATE:8>20240105") << "paper,report"
        << "electronic"
        << "Y 2024-01-05  ";
    QTest::newRow("QSLRDATE of a card is no LoTW date")
        << QByteArray("<QSL_RCVD:1>Y<QSLRDATE:8>20240105<LOTW_QSL_RCVD:1>V") << ""
        << "electronic"
        << "Y   ";
    QTest::newRow("eQSL kept, impossible date left out")
        << QByteArray("<EQSL_QSL_RCVD:1>Y<EQSL_QSLRDATE:8>20230229") << ""
        << "electronic"
        << "  Y ";
    QTest::newRow("eQSL inbox") << QByteArray("<QSLRDATE:8>20240105") << "inbox"
                                << "electronic"
                                << "  Y 2024-01-05";
    QTest::newRow("LoTW not received") << QByteArray("<LOTW_QSL_RCVD:1>N<EQSL_QSL_RCVD:1>R") << ""
                                       << "electronic"
                                       << "   ";
    QTest::newRow("LoTW report, paper only") << QByteArray("<QSL_RCVD:1>Y") << "eqsl,report"
                                             << "qsl"
                                             << "w";
    QTest::newRow("eQSL by default") << QByteArray("<EQSL_QSL_RCVD:1>Y") << ""
                                     << "qsl"
                                     << "w";
    QTest::newRow("eQSL accepted") << QByteArray("<EQSL_QSL_RCVD:1>Y") << "eqsl"
                                   << "qsl"
                                   << "c";
    QTest::newRow("accredited from another program")
        << QByteArray("<APP_KX47_QSL:1>a<QSL_RCVD:1>Y") << ""
        << "qsl"
        << "c";
    QTest::newRow("accredited from this program") << QByteArray("<APP_KX47_QSL:1>a") << "kx47"
                                                  << "qsl"
                                                  << "a";
    QTest::newRow("own band") << QByteArray("<APP_KX47_BAND:6>50 MHz") << "kx47"
                              << "band"
                              << "50 MHz";
    QTest::newRow("own band elsewhere") << QByteArray("<APP_KX47_BAND:6>50 MHz") << ""
                                        << "band"
                                        << "HF";
    QTest::newRow("own mode") << QByteArray("<APP_KX47_MODE:5>MIXED") << "kx47"
                              << "mode"
                              << "MIXED";
    QTest::newRow("own province") << QByteArray("<APP_KX47_PROV:2>RN") << "kx47"
                                  << "prov"
                                  << "RN";

    // Call, date, time, place.
    QTest::newRow("call of 15") << QByteArray("<CALL:15>ik4abc/p/123456") << ""
                                << "call"
                                << "IK4ABC/P/123456";
    QTest::newRow("call of 16") << QByteArray("<CALL:16>IK4ABC/P/1234567") << ""
                                << "outcome"
                                << "unreadable: the call IK4ABC/P/1234567 is longer than 15 "
                                   "characters";
    QTest::newRow("no call") << QByteArray("<CALL:2>  ") << ""
                             << "outcome"
                             << "unreadable: no call";
    QTest::newRow("leap day") << QByteArray("<QSO_DATE:8>20240229") << ""
                              << "date"
                              << "2024-02-29";
    QTest::newRow("no leap day") << QByteArray("<QSO_DATE:8>20230229") << ""
                                 << "outcome"
                                 << "unreadable: the date 20230229 does not exist";
    QTest::newRow("month 13") << QByteArray("<QSO_DATE:8>20231301") << ""
                              << "outcome"
                              << "unreadable: the date 20231301 does not exist";
    QTest::newRow("short date") << QByteArray("<QSO_DATE:6>231201") << ""
                                << "outcome"
                                << "unreadable: the date 231201 does not exist";
    QTest::newRow("no date") << QByteArray("<QSO_DATE:0>") << ""
                             << "outcome"
                             << "unreadable: no date (QSO_DATE)";
    QTest::newRow("day the month lacks, own file") << QByteArray("<QSO_DATE:8>20040231") << "kx47"
                                                   << "date"
                                                   << "2004-02-31";
    QTest::newRow("time with seconds") << QByteArray("<TIME_ON:6>235959") << ""
                                       << "time"
                                       << "23:59";
    QTest::newRow("time 2400") << QByteArray("<TIME_ON:4>2400") << ""
                               << "outcome"
                               << "unreadable: the time 2400 does not exist";
    QTest::newRow("seconds 60") << QByteArray("<TIME_ON:6>120060") << ""
                                << "outcome"
                                << "unreadable: the time 120060 does not exist";
    QTest::newRow("time of 3") << QByteArray("<TIME_ON:3>930") << ""
                               << "outcome"
                               << "unreadable: the time 930 does not exist";
    QTest::newRow("no time") << QByteArray("<TIME_ON:0>") << ""
                             << "outcome"
                             << "unreadable: no time (TIME_ON)";
    QTest::newRow("place cut to 50")
        << QByteArray("<QTH:58> san martino in colle di sopra della valle del fiume lungo") << ""
        << "place"
        << "SAN MARTINO IN COLLE DI SOPRA DELLA VALLE DEL FIUM";
    QTest::newRow("QTH_INTL before QTH") << QByteArray("<QTH_INTL:6>Città") << ""
                                         << "place"
                                         << "CITTÀ";
    QTest::newRow("eQSL inbox, eQSL accepted") << QByteArray() << "eqsl,inbox"
                                               << "qsl"
                                               << "c";
    QTest::newRow("eQSL inbox: QSL_RCVD is no card") << QByteArray("<QSL_RCVD:1>Y") << "inbox"
                                                     << "qsl"
                                                     << "w";
    QTest::newRow("reader error first") << QByteArray("<GRIDSQUARE:x>") << ""
                                        << "outcome"
                                        << "unreadable: the length in <GRIDSQUARE:x> is not a "
                                           "number";
}

void TestAdif::mapsRecords()
{
    QFETCH(QByteArray, fields);
    QFETCH(QString, options);
    QFETCH(QString, field);
    QFETCH(QString, expected);

    const ReadFile read = readAll("<EOH>" + baseRecord + fields + "<EOR>");
    QCOMPARE(read.records.size(), 1);
    MappingOptions o;
    const QStringList words = options.split(QLatin1Char(','), Qt::SkipEmptyParts);
    o.mixed = words.contains(QLatin1String("mixed"));
    o.lotwReport = words.contains(QLatin1String("report"));
    o.eqslInbox = words.contains(QLatin1String("inbox"));
    o.kx47Export = words.contains(QLatin1String("kx47"));
    o.eqslInbox = words.contains(QLatin1String("inbox"));
    Confirmations accepted;
    if (words.contains(QLatin1String("paper")))
        accepted |= Confirmation::Paper;
    if (words.contains(QLatin1String("lotw")))
        accepted |= Confirmation::Lotw;
    if (words.contains(QLatin1String("eqsl")))
        accepted |= Confirmation::Eqsl;
    if (accepted)
        o.accepted = accepted;

    const MappedQso mapped = mapRecord(read.records.first(), o, EchoProvinces());
    if (field == QLatin1String("outcome")) {
        QCOMPARE(outcomeText(mapped), expected);
        return;
    }
    QCOMPARE(outcomeText(mapped), QStringLiteral("ok"));
    const QsoRecord &q = mapped.qso;
    const QString got =
        field == QLatin1String("locator") ? q.locator
        : field == QLatin1String("band")  ? q.band
        : field == QLatin1String("mode")  ? q.mode
        : field == QLatin1String("qsl")   ? QString(vocabulary::qslLetter(q.qsl))
        : field == QLatin1String("call")  ? q.call
        : field == QLatin1String("date")  ? q.date
        : field == QLatin1String("time")  ? q.time
        : field == QLatin1String("place") ? q.place
        : field == QLatin1String("prov")  ? q.prov
        : field == QLatin1String("electronic")
            ? QStringList{q.lotw, q.lotwDate, q.eqsl, q.eqslDate}.join(QLatin1Char(' '))
            : QStringList{q.locator, q.call,  q.date,
                          q.time,    q.place, q.prov,
                          q.mode,    q.band,  QString(vocabulary::qslLetter(q.qsl))}
                  .join(QLatin1Char('|'));
    QCOMPARE(got, expected);
}

void TestAdif::provincesFromGazetteer_data()
{
    QTest::addColumn<QString>("letters");
    QTest::addColumn<QString>("place");
    QTest::addColumn<QString>("province");

    QTest::newRow("the place") << "AB"
                               << "SANT'ERMINIO"
                               << "FC";
    QTest::newRow("the place, small letters") << "AB"
                                              << "altomira"
                                              << "AR";
    QTest::newRow("unknown place: the first") << "XX"
                                              << "NOWHERE"
                                              << "ZZ";
    QTest::newRow("no place: the first") << "AA"
                                         << ""
                                         << "PG";
    QTest::newRow("a place of another sub-square") << "AA"
                                                   << "MOSTIRANA"
                                                   << "PG";
    QTest::newRow("a sub-square without places") << "QQ"
                                                 << "BRANVOLE"
                                                 << "";
    // A name in two sub-squares, in different provinces.
    QTest::newRow("the place of this sub-square") << "XX"
                                                  << "SANT'ERMINIO"
                                                  << "RN";
}

void TestAdif::provincesFromGazetteer()
{
    QFETCH(QString, letters);
    QFETCH(QString, place);
    QFETCH(QString, province);

    ProgramFolder folder(ProgramFolder::defaultPlaces()
                         << PlaceRow{"SANT'ERMINIO", "KX47XX", "RN"});
    {
        OpenedFile places(folder.placesPath());
        const PlaceLookup lookup(places);
        const GazetteerProvinces provinces(lookup);
        QCOMPARE(provinces.provinceOf(letters, place), province);
        QCOMPARE(provinces.provinceOf(letters, place), province); // remembered
    }
}

void TestAdif::writesRecords_data()
{
    // "CALL LOCATOR DATE TIME PLACE PROV MODE BAND QSL", "-" for an empty value and "_" for a
    // blank.
    QTest::addColumn<QString>("qso");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QByteArray>("adx"); // where given, the same as ADX
    QTest::newRow("confirmed 50 MHz CW")
        << "IK4ABC/P ab 2019-03-01 09:05 BRANVOLE PG CW 50_MHz c"
        << QByteArray("<CALL:8>IK4ABC/P <QSO_DATE:8>20190301 <TIME_ON:4>0905 "
                      "<GRIDSQUARE:6>KX47AB <QTH:8>BRANVOLE <BAND:2>6m <MODE:2>CW <QSL_RCVD:1>Y "
                      "<APP_KX47_BAND:6>50 MHz <APP_KX47_MODE:2>CW <APP_KX47_QSL:1>c "
                      "<APP_KX47_PROV:2>PG <EOR>\n")
        << QByteArray("\n  <RECORD>\n   <CALL>IK4ABC/P</CALL>\n   <QSO_DATE>20190301</QSO_DATE>"
                      "\n   <TIME_ON>0905</TIME_ON>\n   <GRIDSQUARE>KX47AB</GRIDSQUARE>"
                      "\n   <QTH>BRANVOLE</QTH>\n   <BAND>6m</BAND>\n   <MODE>CW</MODE>"
                      "\n   <QSL_RCVD>Y</QSL_RCVD>"
                      "\n   <APP PROGRAMID=\"KX47\" FIELDNAME=\"BAND\" TYPE=\"S\">50 MHz</APP>"
                      "\n   <APP PROGRAMID=\"KX47\" FIELDNAME=\"MODE\" TYPE=\"S\">CW</APP>"
                      "\n   <APP PROGRAMID=\"KX47\" FIELDNAME=\"QSL\" TYPE=\"S\">c</APP>"
                      "\n   <APP PROGRAMID=\"KX47\" FIELDNAME=\"PROV\" TYPE=\"S\">PG</APP>"
                      "\n  </RECORD>");
    // XML's markup characters as entities; control characters XML cannot hold left out, tab
    // and line feed kept.
    QTest::newRow("markup and control characters")
        << QStringLiteral("I1XYZ AA 2004-02-01 23:59 A<B>&\"C\"\x01\tD\nE - CW HF w")
        << QByteArray("<CALL:5>I1XYZ <QSO_DATE:8>20040201 <TIME_ON:4>2359 <GRIDSQUARE:6>KX47AA "
                      "<QTH:13>A<B>&\"C\"\x01\tD\nE <MODE:2>CW <APP_KX47_BAND:2>HF "
                      "<APP_KX47_MODE:2>CW <APP_KX47_QSL:1>w <APP_KX47_PROV:0> <EOR>\n")
        << QByteArray("\n  <RECORD>\n   <CALL>I1XYZ</CALL>\n   <QSO_DATE>20040201</QSO_DATE>"
                      "\n   <TIME_ON>2359</TIME_ON>\n   <GRIDSQUARE>KX47AA</GRIDSQUARE>"
                      "\n   <QTH>A&lt;B&gt;&amp;&quot;C&quot;\tD\nE</QTH>\n   <MODE>CW</MODE>"
                      "\n   <APP PROGRAMID=\"KX47\" FIELDNAME=\"BAND\" TYPE=\"S\">HF</APP>"
                      "\n   <APP PROGRAMID=\"KX47\" FIELDNAME=\"MODE\" TYPE=\"S\">CW</APP>"
                      "\n   <APP PROGRAMID=\"KX47\" FIELDNAME=\"QSL\" TYPE=\"S\">w</APP>"
                      "\n   <APP PROGRAMID=\"KX47\" FIELDNAME=\"PROV\" TYPE=\"S\"></APP>"
                      "\n  </RECORD>");
    QTest::newRow("worked satellite QSO without place and province")
        << "I1XYZ XX 2004-02-31 23:59 - - DIGITAL SAT w"
        << QByteArray("<CALL:5>I1XYZ <QSO_DATE:8>20040231 <TIME_ON:4>2359 <GRIDSQUARE:6>KX47XX "
                      "<PROP_MODE:3>SAT <APP_KX47_BAND:3>SAT <APP_KX47_MODE:7>DIGITAL "
                      "<APP_KX47_QSL:1>w <APP_KX47_PROV:0> <EOR>\n")
        << QByteArray();
    // A capital letter in the log is written as the letter the import reads back.
    QTest::newRow("accredited in capitals, accented texts counted in bytes")
        << QStringLiteral("ÖH2Ä Cd 2020-12-31 00:00 CITTÀ_DI_CASTELLO PG SSB HF A")
        << QByteArray("<CALL:6>\xC3\x96H2\xC3\x84 <QSO_DATE:8>20201231 <TIME_ON:4>0000 "
                      "<GRIDSQUARE:6>KX47CD <QTH:18>CITT\xC3\x80 DI CASTELLO <MODE:3>SSB "
                      "<QSL_RCVD:1>Y <APP_KX47_BAND:2>HF <APP_KX47_MODE:3>SSB <APP_KX47_QSL:1>a "
                      "<APP_KX47_PROV:2>PG <EOR>\n")
        << QByteArray();
    QTest::newRow("accented letters of a sub-square in capitals")
        << QStringLiteral("K1ABC àb 2020-01-02 10:11 - - MIXED UHF w")
        << QByteArray("<CALL:5>K1ABC <QSO_DATE:8>20200102 <TIME_ON:4>1011 "
                      "<GRIDSQUARE:7>KX47\xC3\x80"
                      "B <APP_KX47_BAND:3>UHF <APP_KX47_MODE:5>MIXED "
                      "<APP_KX47_QSL:1>w <APP_KX47_PROV:0> <EOR>\n")
        << QByteArray();
}

void TestAdif::writesRecords()
{
    QFETCH(QString, qso);
    QFETCH(QByteArray, record);
    QStringList f = qso.split(QLatin1Char(' '));
    for (QString &value : f)
        value = value == QLatin1String("-") ? QString() : value.replace(QLatin1Char('_'), ' ');
    QsoRecord q;
    q.call = f.at(0);
    q.locator = f.at(1);
    q.date = f.at(2);
    q.time = f.at(3);
    q.place = f.at(4);
    q.prov = f.at(5);
    q.mode = f.at(6);
    q.band = f.at(7);
    q.qsl = vocabulary::storedQslState(f.at(8));
    QCOMPARE(AdiWriter::record(q), record);
    QFETCH(QByteArray, adx);
    if (!adx.isEmpty()) {
        // The same of the texts and of their bytes as the log holds them.
        QByteArray ofTexts;
        AdxWriter::appendTo(ofTexts, q);
        QCOMPARE(ofTexts, adx);
        QsoBytes bytes;
        bytes.qsl = q.qsl;
        std::array<QByteArray, 13> utf8;
        const auto texts = textsOf(q);
        const auto views = textsOf(bytes);
        for (std::size_t i = 0; i < utf8.size(); ++i) {
            utf8[i] = texts[i]->toUtf8();
            *views[i] = utf8[i];
        }
        QByteArray ofBytes;
        AdxWriter::appendTo(ofBytes, bytes);
        QCOMPARE(ofBytes, adx);
    }

    // Written one after another through a device, records come out the same.
    QBuffer device;
    device.open(QIODevice::WriteOnly);
    AdiWriter writer(&device);
    QVERIFY(writer.write(q) && writer.write(q));
    QCOMPARE(device.data(), record + record);
}

void TestAdif::roundTrip()
{
    const QList<QsoRecord> log = roundTripLog();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("log.adi"));
    int next = 0;
    QString error;
    int written = -1;
    QVERIFY2(
        writeAdi(
            path,
            [&](QsoRecord &q) { return next < log.size() ? (q = log.at(next++), true) : false; },
            &error, &written),
        qPrintable(error));
    QCOMPARE(written, log.size());

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    AdifReader reader(&file);
    QVERIFY(reader.isKx47Export());
    MappingOptions options;
    options.kx47Export = true;
    AdifRecord record;
    int n = 0;
    while (reader.next(record)) {
        QVERIFY(n < log.size());
        const MappedQso mapped = mapRecord(record, options, EchoProvinces());
        QCOMPARE(outcomeText(mapped), QStringLiteral("ok"));
        QsoRecord expected = log.at(n);
        expected.locator = expected.locator.toUpper();
        if (expected.prov.isEmpty()) // no province written: the gazetteer's
            expected.prov = expected.locator + QLatin1Char('/') + expected.place;
        QVERIFY2(sameQso(mapped.qso, expected), qPrintable(QString::number(n)));
        ++n;
    }
    QCOMPARE(n, log.size());
    QCOMPARE(reader.fileError(), QString());
    QCOMPARE(reader.bytesRead(), file.size());

    // Another program reads what ADIF can say: a confirmed 50 MHz CW QSO.
    options.kx47Export = false;
    QBuffer one;
    QsoRecord confirmed = log.at(6);
    confirmed.qsl = vocabulary::QslState::Confirmed;
    one.setData("<EOH>" + AdiWriter::record(confirmed));
    one.open(QIODevice::ReadOnly);
    AdifReader other(&one);
    QVERIFY(other.next(record));
    const MappedQso mapped = mapRecord(record, options, EchoProvinces());
    QCOMPARE(outcomeText(mapped), QStringLiteral("ok"));
    QCOMPARE(mapped.qso.band + QLatin1Char('|') + mapped.qso.mode + QLatin1Char('|') +
                 vocabulary::qslLetter(mapped.qso.qsl),
             QStringLiteral("50 MHz|CW|c"));
}

void TestAdif::exportFailureKeepsFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("log.adi"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("earlier export");
    old.close();
    // A file that cannot be replaced: the folder is taken by a file of the same name.
    QString error;
    QVERIFY(!writeAdi(
        dir.filePath(QStringLiteral("log.adi/x.adi")), [](QsoRecord &) { return false; }, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("earlier export"));
}

void TestAdif::badFiles()
{
    // A folder cannot be opened as a file.
    QTemporaryDir dir;
    QFile folder(dir.path());
    QVERIFY(!folder.open(QIODevice::ReadOnly));
    // A device that is not open is no crash either.
    AdifReader closed(&folder);
    AdifRecord record;
    QVERIFY(!closed.next(record));
    QVERIFY(!closed.fileError().isEmpty());

    for (const QByteArray &adif :
         {QByteArray(), QByteArray("<"), QByteArray("<EOH>"), QByteArray("<CALL:"),
          QByteArray("<CALL:5>K1"), QByteArray("<?xml version=\"1.0\"?>"), QByteArray("<ADX>"),
          QByteArray(5000, '<'), QByteArray(5000, '\0'),
          QByteArray("<?xml version=\"1.0\"?><ADX><RECORDS>") +
              QByteArray(20000, 'x').replace("x", "<R>") + "<RECORD><CALL>K1</CALL></RECORD>",
          QByteArray("<?xml version=\"1.0\"?><!DOCTYPE a [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
                     "\"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;"
                     "&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">]><ADX><RECORDS><RECORD>"
                     "<CALL>&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;</CALL></RECORD></RECORDS></ADX>")}) {
        const ReadFile read = readAll(adif);
        QVERIFY(read.records.size() <= 1);
        for (const AdifRecord &r : read.records)
            mapRecord(r, MappingOptions(), EchoProvinces());
    }
}

void TestAdif::hugeFieldIsSkipped()
{
    const qint64 hundredMegabytes = 100 * 1024 * 1024;
    MadeUpDevice device(hundredMegabytes);
    QVERIFY(device.open(QIODevice::ReadOnly));
    const ReadFile read = readAll(&device);
    QCOMPARE(read.records.size(), 2);
    QCOMPARE(summary(read.records.at(0)), QStringLiteral("1:HUGE/"));
    QCOMPARE(summary(read.records.at(1)), QStringLiteral("2:AFTER/"));

    // A kept field that long keeps its beginning only.
    QByteArray longCall = "<EOH><CALL:10000>" + QByteArray(10000, 'K') + "<EOR>";
    const ReadFile call = readAll(longCall);
    QCOMPARE(call.records.size(), 1);
    QCOMPARE(call.records.first().call.size(), AdifReader::keptValueLimit);
}

void TestAdif::deviceFailureIsReported()
{
    MadeUpDevice device(10 * 1024 * 1024, 3 * 1024 * 1024);
    QVERIFY(device.open(QIODevice::ReadOnly));
    const ReadFile read = readAll(&device);
    QCOMPARE(read.records.size(), 1);
    QVERIFY(!read.records.first().error.isEmpty());
    QVERIFY(read.fileError.startsWith(QLatin1String("the file could not be read")));
}

// Mutated and random files: the reader never crashes or hangs, and never hands out more records
// than the file has record ends, plus one for a last record without its end.
void TestAdif::fuzz()
{
    std::mt19937 random(4747);
    QList<QByteArray> seeds;
    for (int row = 0; row < 3; ++row) {
        QByteArray file = "<ADIF_VER:5>3.1.4<PROGRAMID:4>KX47<EOH>\n";
        for (const QsoRecord &q : roundTripLog())
            file += AdiWriter::record(q);
        seeds << file;
    }
    seeds << QByteArray("<?xml version=\"1.0\"?><ADX><HEADER><PROGRAMID>KX47</PROGRAMID></HEADER>"
                        "<RECORDS><RECORD><CALL>K1ABC</CALL><APP PROGRAMID=\"KX47\" "
                        "FIELDNAME=\"QSL\">a</APP></RECORD><RECORD><CALL>K2</CALL></RECORD>"
                        "</RECORDS></ADX>");
    const QByteArray alphabet = "<>:0123456789EORHeorh \r\n\xC3\xA9\xFF/";
    auto pick = [&](int n) { return int(random() % unsigned(std::max(1, n))); };

    for (int round = 0; round < 3000; ++round) {
        QByteArray input;
        if (round % 10 == 9) {
            input.resize(pick(400));
            for (char &c : input)
                c = round % 20 == 9 ? alphabet.at(pick(alphabet.size())) : char(random());
        } else {
            input = seeds.at(pick(seeds.size()));
            input = input.mid(pick(input.size() / 2), 300 + pick(3000));
            const int mutations = 1 + pick(8);
            for (int m = 0; m < mutations && !input.isEmpty(); ++m) {
                const int at = pick(input.size());
                switch (pick(5)) {
                case 0:
                    input[at] = alphabet.at(pick(alphabet.size()));
                    break;
                case 1:
                    input.insert(at, alphabet.at(pick(alphabet.size())));
                    break;
                case 2:
                    input.remove(at, pick(20));
                    break;
                case 3:
                    input.insert(at, input.mid(pick(input.size()), pick(60)));
                    break;
                default:
                    input.truncate(at);
                    break;
                }
            }
        }
        const ReadFile read = readAll(input);
        const QByteArray upper = input.toUpper();
        const int ends =
            int(upper.count("<EOR>") + upper.count("</RECORD>") + upper.count("<RECORD/>"));
        if (read.records.size() > ends + 1)
            QFAIL(qPrintable(QStringLiteral("%1 records from %2 record ends in: %3")
                                 .arg(read.records.size())
                                 .arg(ends)
                                 .arg(QString::fromLatin1(input.toPercentEncoding()))));
        for (const AdifRecord &r : read.records)
            mapRecord(r, MappingOptions(), EchoProvinces());
    }
}

QTEST_GUILESS_MAIN(TestAdif)
#include "tst_adif.moc"
