#include "adifgenerator.h"

#include <QByteArray>
#include <QFile>
#include <random>

namespace kx47::bench
{

namespace
{

struct Band {
    const char *name;
    double mhz;
    int weight;
};

// Every ADIF band with a frequency inside it; the weights follow an everyday HF-heavy log.
const Band fileBands[] = {
    {"2190m", 0.1365, 1},   {"630m", 0.4745, 1},    {"560m", 0.502, 1},     {"160m", 1.84, 20},
    {"80m", 3.573, 60},     {"60m", 5.357, 10},     {"40m", 7.074, 120},    {"30m", 10.136, 60},
    {"20m", 14.074, 200},   {"17m", 18.1, 60},      {"15m", 21.074, 80},    {"12m", 24.915, 30},
    {"10m", 28.074, 80},    {"8m", 40.68, 2},       {"6m", 50.313, 40},     {"5m", 60.1, 2},
    {"4m", 70.154, 5},      {"2m", 144.174, 40},    {"1.25m", 222.1, 3},    {"70cm", 432.174, 20},
    {"33cm", 903.1, 2},     {"23cm", 1296.2, 5},    {"13cm", 2320.2, 3},    {"9cm", 3400.1, 2},
    {"6cm", 5760.1, 2},     {"3cm", 10368.2, 3},    {"1.25cm", 24048.2, 1}, {"6mm", 47088.1, 1},
    {"4mm", 76032.1, 1},    {"2.5mm", 122250.1, 1}, {"2mm", 134928.1, 1},   {"1mm", 241920.1, 1},
    {"submm", 300001.0, 1},
};

struct Mode {
    const char *mode;
    const char *submode; // may be empty
    int weight;
};

const Mode fileModes[] = {
    {"CW", "", 150},     {"SSB", "USB", 150},     {"SSB", "LSB", 40}, {"AM", "", 5},
    {"FM", "", 30},      {"DIGITALVOICE", "", 5}, {"FT8", "", 300},   {"MFSK", "FT4", 80},
    {"RTTY", "", 30},    {"PSK", "PSK31", 20},    {"JT65", "", 10},   {"OLIVIA", "OLIVIA 8/500", 5},
    {"MFSK", "JS8", 10}, {"JT9", "", 3},          {"SSTV", "", 3},    {"FST4", "", 2},
};

const char *const names[] = {"JOHN", "MARIO", "ANNA", "HANS", "YUKI", "PIERRE", "OLGA", "JOSE"};
const char *const countries[] = {
    "ITALY",    "UNITED STATES OF AMERICA", "GERMANY", "JAPAN", "FRANCE", "SPAIN", "BRAZIL",
    "AUSTRALIA"};
const char *const qths[] = {"BRANVOLE",    "ALTOMIRA",    "SANT'ERMINIO", "COLLEVARO",
                            "MOSTIRANA",   "SPRINGFIELD", "BERLIN",       "OSAKA",
                            "CHAMPAGNOLE", "SAN MARTINO"};
const char *const states[] = {"MD", "VA", "CA", "TX", "NY"};
const char *const stateNames[] = {"Maryland", "Virginia", "California", "Texas", "New York"};

class Writer
{
public:
    Writer(const AdifGenerator::Options &options, std::mt19937 &random)
        : m_options(options), m_random(random)
    {
    }

    int pick(int n) { return int(m_random() % unsigned(n)); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(m_random) < p; }

    template <typename T, size_t N> const T &weighted(const T (&items)[N])
    {
        int total = 0;
        for (const T &item : items)
            total += item.weight;
        int r = pick(total);
        for (const T &item : items) {
            if (r < item.weight)
                return item;
            r -= item.weight;
        }
        return items[0];
    }

    // One field, its tag in the record's letter case and maybe with a type indicator.
    void field(QByteArray &out, const char *name, const QByteArray &value, int length = -1)
    {
        if (value.isEmpty())
            return;
        out += '<';
        out += m_lower ? QByteArray(name).toLower() : QByteArray(name);
        out += ':';
        out += QByteArray::number(length < 0 ? value.size() : length);
        if (m_typed)
            out += ":S";
        out += '>';
        out += value;
        out += m_lineBreak ? m_newline : QByteArray(" ");
    }

    QByteArray call()
    {
        static const char *const prefixes[] = {"IK", "IZ", "K",  "W",  "DL", "JA",
                                               "F",  "EA", "PY", "VK", "I",  "N"};
        QByteArray c = prefixes[pick(12)];
        c += char('0' + pick(10));
        const int letters = 1 + pick(3);
        for (int i = 0; i < letters; ++i)
            c += char('A' + pick(26));
        if (chance(0.03))
            c += "/P";
        return c;
    }

    QByteArray locator(bool kx47)
    {
        QByteArray l;
        if (kx47) {
            l = "KX47";
        } else {
            l += char('A' + pick(18));
            l += char('A' + pick(18));
            if (l == "KX")
                l = "JN";
            l += char('0' + pick(10));
            l += char('0' + pick(10));
        }
        l += char('A' + pick(24));
        l += char('A' + pick(24));
        if (chance(0.1)) {
            l += char('0' + pick(10));
            l += char('0' + pick(10));
        }
        return m_lower && chance(0.5) ? l.toLower() : l;
    }

    QByteArray record(int index)
    {
        const bool quirks = m_options.quirks;
        m_lower = quirks && chance(0.2);
        m_typed = quirks && chance(0.1);
        m_lineBreak = !quirks || chance(0.5);
        m_newline = quirks && chance(0.3) ? QByteArray("\r\n") : QByteArray("\n");

        QByteArray out;
        out.reserve(700);
        const double where = std::uniform_real_distribution<double>(0, 1)(m_random);
        const bool kx47 = where < m_options.kx47Share;
        if (kx47)
            ++kx47Count;
        const Band &band = weighted(fileBands);
        const Mode &mode = weighted(fileModes);
        const int year = 1995 + pick(30);
        int month = 1 + pick(12);
        int day = 1 + pick(28);
        if (quirks && chance(0.001)) {
            month = 2;
            day = 30; // a day February lacks
        }
        QByteArray c = call();
        if (quirks && chance(0.001))
            c += "/QRP/MM/TOOLONG";

        field(out, "CALL", c);
        field(out, "QSO_DATE", QByteArray::number(year * 10000 + month * 100 + day));
        const int time = pick(24) * 10000 + pick(60) * 100 + pick(60);
        field(out, "TIME_ON", QByteArray::number(time).rightJustified(6, '0'));
        field(out, "TIME_OFF", QByteArray::number(time + 1).rightJustified(6, '0'));
        if (!quirks || !chance(0.05))
            field(out, "BAND", band.name);
        field(out, "FREQ", QByteArray::number(band.mhz, 'f', 6));
        field(out, "MODE", mode.mode);
        field(out, "SUBMODE", mode.submode);
        if (chance(0.01)) {
            field(out, "PROP_MODE", "SAT");
            field(out, "SAT_NAME", chance(0.5) ? "AO-7" : "QO-100");
        }
        const QByteArray rst = mode.mode[0] == 'C' ? "599" : mode.mode[1] == 'T' ? "-10" : "59";
        field(out, "RST_SENT", rst);
        field(out, "RST_RCVD", rst);
        if (kx47) {
            field(out, "GRIDSQUARE", locator(true));
        } else if (chance(0.005)) {
            field(out, "GRIDSQUARE", "KX47"); // the square only
        } else if (chance(0.8)) {
            field(out, "GRIDSQUARE", locator(false));
        }
        field(out, "NAME", names[pick(8)]);
        QByteArray qth = qths[pick(10)];
        int qthLength = -1;
        if (quirks && chance(0.02)) {
            qth = "CAF\xC9"; // Latin-1
        } else if (quirks && chance(0.02)) {
            qth = "CITT\xC3\x80 ALTA"; // UTF-8, counted in characters
            qthLength = 10;
        }
        field(out, "QTH", qth, qthLength);
        field(out, "COUNTRY", countries[pick(8)]);
        field(out, "DXCC", QByteArray::number(1 + pick(500)));
        field(out, "CQZ", QByteArray::number(1 + pick(40)));
        field(out, "ITUZ", QByteArray::number(1 + pick(90)));
        if (quirks && chance(0.05)) {
            const int s = pick(5);
            out += "<STATE:2>";
            out += states[s];
            out += " // ";
            out += stateNames[s];
            out += m_newline;
        }
        field(out, "STATION_CALLSIGN", "IK4XYZ");
        field(out, "MY_GRIDSQUARE", "JN54MM");
        field(out, "TX_PWR", QByteArray::number(5 + pick(100)));
        if (m_options.lotwReport) {
            field(out, "QSL_RCVD", chance(0.7) ? "Y" : "N");
            field(out, "QSLRDATE", "20240101");
        } else {
            field(out, "QSL_SENT", chance(0.5) ? "Y" : "N");
            field(out, "QSL_RCVD", chance(0.15) ? "Y" : chance(0.05) ? "V" : "N");
            field(out, "LOTW_QSL_SENT", "Y");
            field(out, "LOTW_QSL_RCVD", chance(0.3) ? "Y" : "N");
            field(out, "EQSL_QSL_RCVD", chance(0.2) ? "Y" : "N");
        }
        if (chance(0.1)) {
            field(out, "COMMENT", "tnx fer QSO, 73 and gl");
        }
        if (quirks && chance(0.0005))
            out += "<NOTES:x>broken ";
        if (!(quirks && index == m_options.records - 1))
            out += m_lower ? "<eor>" : "<EOR>";
        out += m_newline;
        return out;
    }

    int kx47Count = 0;

private:
    const AdifGenerator::Options &m_options;
    std::mt19937 &m_random;
    bool m_lower = false;
    bool m_typed = false;
    bool m_lineBreak = true;
    QByteArray m_newline = "\n";
};

} // namespace

bool AdifGenerator::write(const QString &path, QString *error) const
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    std::mt19937 random(m_options.seed);
    Writer writer(m_options, random);
    QByteArray chunk;
    if (m_options.lotwReport) {
        chunk = "ARRL Logbook of the World Status Report\nGenerated at 2024-01-01 00:00:00\n"
                "for ik4xyz\nQuery:\n    QSL ONLY: YES\n\n<PROGRAMID:4>LoTW\n<APP_LoTW_NUMREC:" +
                QByteArray::number(QByteArray::number(m_options.records).size()) + '>' +
                QByteArray::number(m_options.records) + "\n\n<eoh>\n";
    } else {
        chunk = "Exported by an everyday logger\n<ADIF_VER:5>3.1.4\n<PROGRAMID:7>LOGGER1\n"
                "<CREATED_TIMESTAMP:15>20240101 000000\n<EOH>\n";
    }
    for (int i = 0; i < m_options.records; ++i) {
        chunk += writer.record(i);
        if (chunk.size() > (1 << 20)) {
            if (file.write(chunk) != chunk.size())
                break;
            chunk.clear();
        }
    }
    file.write(chunk);
    m_kx47 = writer.kx47Count;
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace kx47::bench
