#include "adifmapping.h"

#include "gazetteer/placelookup.h"
#include "log/awardvocabulary.h"
#include "log/keptfields.h"

#include <QDate>
#include <QTime>
#include <algorithm>

namespace kx47
{

namespace
{

// The award's band, mode and QSL texts as the log stores them.
const QString bandHf = QLatin1String(vocabulary::bands[0].name);
const QString band50 = QLatin1String(vocabulary::bands[1].name);
const QString bandVhf = QLatin1String(vocabulary::bands[2].name);
const QString bandUhf = QLatin1String(vocabulary::bands[3].name);
const QString bandShf = QLatin1String(vocabulary::bands[4].name);
const QString bandSat = QLatin1String(vocabulary::bands[5].name);
const QString modeMixed = QLatin1String(vocabulary::modes[0]);
const QString modeSsb = QLatin1String(vocabulary::modes[1]);
const QString modeCw = QLatin1String(vocabulary::modes[2]);
const QString modeDigital = QLatin1String(vocabulary::modes[3]);

const int longestCall = 15;
const int longestPlace = 50;

// The ADIF bands with their edges in MHz, and the award's category of each (empty: not an
// award band).
struct AdifBand {
    const char *name;
    double lower;
    double upper;
    const QString *category;
};

const AdifBand adifBands[] = {
    {"2190M", 0.1357, 0.1378, nullptr},
    {"630M", 0.472, 0.479, nullptr},
    {"560M", 0.501, 0.504, nullptr},
    {"160M", 1.8, 2.0, &bandHf},
    {"80M", 3.5, 4.0, &bandHf},
    {"60M", 5.06, 5.45, &bandHf},
    {"40M", 7.0, 7.3, &bandHf},
    {"30M", 10.1, 10.15, &bandHf},
    {"20M", 14.0, 14.35, &bandHf},
    {"17M", 18.068, 18.168, &bandHf},
    {"15M", 21.0, 21.45, &bandHf},
    {"12M", 24.89, 24.99, &bandHf},
    {"10M", 28.0, 29.7, &bandHf},
    {"8M", 40.0, 45.0, &bandVhf},
    {"6M", 50.0, 54.0, &band50},
    {"5M", 54.000001, 69.9, &bandVhf},
    {"4M", 70.0, 71.0, &bandVhf},
    {"2M", 144.0, 148.0, &bandVhf},
    {"1.25M", 222.0, 225.0, &bandVhf},
    {"70CM", 420.0, 450.0, &bandUhf},
    {"33CM", 902.0, 928.0, &bandUhf},
    {"23CM", 1240.0, 1300.0, &bandUhf},
    {"13CM", 2300.0, 2450.0, &bandUhf},
    {"9CM", 3300.0, 3500.0, &bandShf},
    {"6CM", 5650.0, 5925.0, &bandShf},
    {"3CM", 10000.0, 10500.0, &bandShf},
    {"1.25CM", 24000.0, 24250.0, &bandShf},
    {"6MM", 47000.0, 47200.0, &bandShf},
    {"4MM", 75500.0, 81000.0, &bandShf},
    {"2.5MM", 119980.0, 123000.0, &bandShf},
    {"2MM", 134000.0, 149000.0, &bandShf},
    {"1MM", 241000.0, 250000.0, &bandShf},
    {"SUBMM", 300000.0, 7500000.0, &bandShf},
};

bool isYes(const QString &value, bool verifiedToo)
{
    const QString v = value.trimmed();
    if (v.compare(QLatin1String("Y"), Qt::CaseInsensitive) == 0)
        return true;
    return verifiedToo && v.compare(QLatin1String("V"), Qt::CaseInsensitive) == 0;
}

QString logDate(const QString &adifDate, bool lenient);

// The confirmations a record carries, of each kind, whether the user counts them or not.
Confirmations confirmationsOf(const AdifRecord &record, const MappingOptions &options)
{
    Confirmations kinds;
    if (isYes(record.lotwQslRcvd, true) || (options.lotwReport && isYes(record.qslRcvd, false)))
        kinds |= Confirmation::Lotw;
    if (isYes(record.eqslQslRcvd, true) || options.eqslInbox)
        kinds |= Confirmation::Eqsl;
    if (!options.lotwReport && !options.eqslInbox && isYes(record.qslRcvd, true))
        kinds |= Confirmation::Paper;
    return kinds;
}

// The date of a confirmation by LoTW or eQSL: its own field, else, in the service's own file,
// QSLRDATE.
QString confirmationDate(const QString &own, const QString &qslRdate, bool servicesFile)
{
    const QString date = logDate(own, false);
    return date.isEmpty() && servicesFile ? logDate(qslRdate, false) : date;
}

bool isLetterAtoX(QChar c)
{
    const char16_t u = c.toUpper().unicode();
    return u >= u'A' && u <= u'X';
}

bool allDigits(QStringView text)
{
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

// "YYYY-MM-DD" of an ADIF date, empty when it is no date. A file this program wrote may hold
// a day the month lacks, as the log keeps what was typed: it comes back as it went out.
QString logDate(const QString &adifDate, bool lenient)
{
    if (adifDate.isEmpty())
        return QString();
    const QStringView d = QStringView(adifDate).trimmed();
    if (d.size() != 8 || !allDigits(d))
        return QString();
    const int year = d.left(4).toInt();
    const int month = d.mid(4, 2).toInt();
    const int day = d.mid(6, 2).toInt();
    const bool valid = lenient ? (month >= 1 && month <= 12 && day >= 1 && day <= 31 && year >= 1)
                               : (QDate(year, month, day).isValid() && year >= 1930);
    if (!valid)
        return QString();
    QString date;
    date.reserve(10);
    date.append(d.left(4)).append(QLatin1Char('-')).append(d.mid(4, 2));
    return date.append(QLatin1Char('-')).append(d.mid(6, 2));
}

// "HH:MM" of an ADIF time, empty when it is no time of day.
QString logTime(const QString &adifTime)
{
    const QStringView t = QStringView(adifTime).trimmed();
    if ((t.size() != 4 && t.size() != 6) || !allDigits(t))
        return QString();
    const int seconds = t.size() == 6 ? t.mid(4, 2).toInt() : 0;
    if (!QTime(t.left(2).toInt(), t.mid(2, 2).toInt(), seconds).isValid())
        return QString();
    QString time;
    time.reserve(5);
    return time.append(t.left(2)).append(QLatin1Char(':')).append(t.mid(2, 2));
}

MappedQso unreadable(const QString &reason)
{
    MappedQso mapped;
    mapped.outcome = MapOutcome::Unreadable;
    mapped.reason = reason;
    return mapped;
}

MappedQso outcome(MapOutcome kind)
{
    MappedQso mapped;
    mapped.outcome = kind;
    return mapped;
}

} // namespace

namespace
{

// Each kind of confirmation as the user reads it and as the command line names it.
struct ConfirmationKind {
    Confirmation kind;
    const char *text;
    const char *word;
};
const ConfirmationKind confirmationKinds[] = {
    {Confirmation::Paper, "QSL cards", "paper"},
    {Confirmation::Lotw, "LoTW", "lotw"},
    {Confirmation::Eqsl, "eQSL", "eqsl"},
};

QStringList namesOf(Confirmations kinds, bool words)
{
    QStringList names;
    for (const ConfirmationKind &k : confirmationKinds) {
        if (kinds.testFlag(k.kind))
            names << QLatin1String(words ? k.word : k.text);
    }
    return names;
}

} // namespace

QString confirmationsText(Confirmations kinds)
{
    const QStringList names = namesOf(kinds, false);
    return names.isEmpty() ? QStringLiteral("nothing") : names.join(QStringLiteral(", "));
}

QString confirmationWords(Confirmations kinds)
{
    return namesOf(kinds, true).join(QLatin1Char(','));
}

bool parseConfirmationWords(const QString &text, Confirmations *kinds)
{
    Confirmations result;
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString word = part.trimmed().toLower();
        const auto known = std::find_if(
            std::begin(confirmationKinds), std::end(confirmationKinds),
            [&word](const ConfirmationKind &k) { return word == QLatin1String(k.word); });
        if (known == std::end(confirmationKinds))
            return false;
        result |= known->kind;
    }
    *kinds = result;
    return true;
}

QString GazetteerProvinces::provinceOf(const QString &letters, const QString &place) const
{
    const TextKey lettersKey(letters);
    auto known = m_placesOf.constFind(lettersKey);
    if (known == m_placesOf.constEnd())
        known = m_placesOf.insert(lettersKey, m_places.placesOf(letters));
    const QStringList &places = *known;
    if (places.isEmpty())
        return QString();
    QString name = places.first();
    for (const QString &p : places) {
        if (p.compare(place, Qt::CaseInsensitive) == 0) {
            name = p;
            break;
        }
    }
    // A name may stand in several sub-squares, in different provinces: the one of this
    // sub-square counts.
    const TextKey nameKey(letters + QChar(0x1f) + name);
    auto province = m_provinceOfPlace.constFind(nameKey);
    if (province == m_provinceOfPlace.constEnd())
        province = m_provinceOfPlace.insert(nameKey, m_places.provinceOf(name, letters));
    return *province;
}

namespace
{

// The ADIF band of a name, else of a frequency in MHz; null when neither names one.
const AdifBand *adifBandOf(const QString &adifBand, const QString &frequency)
{
    const QString name = adifBand.trimmed();
    if (!name.isEmpty()) {
        for (const AdifBand &band : adifBands) {
            if (name.compare(QLatin1String(band.name), Qt::CaseInsensitive) == 0)
                return &band;
        }
    }
    QString mhzText = frequency.trimmed();
    mhzText.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double mhz = mhzText.toDouble(&ok);
    if (!ok)
        return nullptr;
    for (const AdifBand &band : adifBands) {
        if (mhz >= band.lower && mhz <= band.upper)
            return &band;
    }
    return nullptr;
}

} // namespace

QString adifBandName(const QString &adifBand, const QString &frequency)
{
    const AdifBand *band = adifBandOf(adifBand, frequency);
    return band ? QString::fromLatin1(band->name).toLower() : QString();
}

QString bandCategory(const QString &adifBand, const QString &frequency)
{
    const QString name = adifBand.trimmed();
    if (!name.isEmpty()) {
        for (const AdifBand &band : adifBands) {
            if (name.compare(QLatin1String(band.name), Qt::CaseInsensitive) == 0)
                return band.category ? *band.category : QString();
        }
    }
    QString mhzText = frequency.trimmed();
    mhzText.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double mhz = mhzText.toDouble(&ok);
    if (!ok)
        return QString();
    for (const AdifBand &band : adifBands) {
        if (mhz >= band.lower && mhz <= band.upper)
            return band.category ? *band.category : QString();
    }
    return QString();
}

QString modeCategory(const QString &adifMode, const QString &adifSubmode)
{
    const QString mode = adifMode.trimmed().toUpper();
    if (mode.isEmpty())
        return QString();
    if (mode == QLatin1String("CW"))
        return modeCw;
    // The voice modes, the digital ones too whether written as the mode or as a submode of
    // DIGITALVOICE.
    static const QStringList voice = {
        QStringLiteral("SSB"),    QStringLiteral("AM"),  QStringLiteral("FM"),
        QStringLiteral("USB"),    QStringLiteral("LSB"), QStringLiteral("DIGITALVOICE"),
        QStringLiteral("C4FM"),   QStringLiteral("DMR"), QStringLiteral("DSTAR"),
        QStringLiteral("FREEDV"), QStringLiteral("M17")};
    if (voice.contains(mode) || voice.contains(adifSubmode.trimmed().toUpper()))
        return modeSsb;
    return modeDigital;
}

MappedQso mapRecord(const AdifRecord &record, const MappingOptions &options,
                    const ProvinceLookup &provinces)
{
    if (!record.error.isEmpty())
        return unreadable(record.error);

    // The sub-square, blanks inside it ignored ("KX47 LC"); none is known without a locator or
    // with the square alone.
    QString locator = record.gridsquare.toUpper();
    locator.removeIf([](QChar c) { return c.isSpace(); });
    const bool subSquareKnown = !locator.isEmpty() && locator != QLatin1String("KX47");
    if (subSquareKnown && (locator.size() < 6 || !locator.startsWith(QLatin1String("KX47")) ||
                           !isLetterAtoX(locator.at(4)) || !isLetterAtoX(locator.at(5))))
        return outcome(MapOutcome::OutsideKx47);

    const bool own = options.kx47Export;
    const QString ownBand = record.kx47Band.trimmed();
    const QString ownMode = record.kx47Mode.trimmed();
    const QString ownQsl = record.kx47Qsl.trimmed();

    // The band.
    QString band;
    if (own && vocabulary::bandIndex(ownBand) >= 0) {
        band = ownBand;
    } else if (record.propMode.trimmed().compare(QLatin1String("SAT"), Qt::CaseInsensitive) == 0 ||
               !record.satName.trimmed().isEmpty()) {
        band = bandSat;
    } else {
        if (record.band.trimmed().isEmpty() && record.freq.trimmed().isEmpty())
            return unreadable(QStringLiteral("no band (BAND or FREQ)"));
        band = bandCategory(record.band, record.freq);
    }
    if (band.isEmpty())
        return outcome(MapOutcome::BandOutsideAward);

    // Call, date and time, mode.
    const QString call = own ? record.call : record.call.trimmed().toUpper();
    if (call.trimmed().isEmpty())
        return unreadable(QStringLiteral("no call"));
    if (call.size() > longestCall)
        return unreadable(QStringLiteral("the call %1 is longer than %2 characters")
                              .arg(call.left(40))
                              .arg(longestCall));
    if (record.qsoDate.trimmed().isEmpty())
        return unreadable(QStringLiteral("no date (QSO_DATE)"));
    const QString date = logDate(record.qsoDate, own);
    if (date.isEmpty())
        return unreadable(
            QStringLiteral("the date %1 does not exist").arg(record.qsoDate.left(40)));
    if (record.timeOn.trimmed().isEmpty())
        return unreadable(QStringLiteral("no time (TIME_ON)"));
    const QString time = logTime(record.timeOn);
    if (time.isEmpty())
        return unreadable(QStringLiteral("the time %1 does not exist").arg(record.timeOn.left(40)));
    QString mode;
    if (own && vocabulary::modeIndex(ownMode) >= 0)
        mode = ownMode;
    else if (options.mixed)
        mode = modeMixed;
    else if (vocabulary::modeIndex(record.awardMode) >= 0)
        mode = record.awardMode;
    else
        mode = modeCategory(record.mode, record.submode);
    if (mode.isEmpty())
        return unreadable(QStringLiteral("no mode"));

    MappedQso mapped;
    mapped.outcome = MapOutcome::Ok;
    QsoRecord &qso = mapped.qso;
    qso.locator = subSquareKnown ? locator.mid(4, 2) : QString();
    qso.call = call;
    qso.date = date;
    qso.time = time;
    const QString &place = record.qthIntl.trimmed().isEmpty() ? record.qth : record.qthIntl;
    qso.place =
        own ? place.left(longestPlace) : place.trimmed().toUpper().left(longestPlace).trimmed();
    if (own && !record.kx47Prov.isEmpty())
        qso.prov = record.kx47Prov;
    else if (subSquareKnown)
        qso.prov = provinces.provinceOf(qso.locator, qso.place);
    qso.mode = mode;
    qso.band = band;
    const Confirmations kinds = confirmationsOf(record, options);
    if (const std::optional<vocabulary::QslState> state = vocabulary::qslStateOf(ownQsl);
        own && state && vocabulary::qslLetters().contains(ownQsl))
        qso.qsl = *state;
    else
        qso.qsl = (kinds & options.accepted) ? vocabulary::QslState::Confirmed
                                             : vocabulary::QslState::Worked;
    const bool servicesFile = options.lotwReport || options.eqslInbox;
    if (kinds.testFlag(Confirmation::Lotw)) {
        qso.lotw = QStringLiteral("Y");
        qso.lotwDate = confirmationDate(record.lotwQslRdate, record.qslRdate, servicesFile);
    }
    if (kinds.testFlag(Confirmation::Eqsl)) {
        qso.eqsl = QStringLiteral("Y");
        qso.eqslDate = confirmationDate(record.eqslQslRdate, record.qslRdate, servicesFile);
    }
    // What the file said beyond the log's columns stays with the QSO.
    int field = 0;
    for (const QString *value :
         {&record.freq, &record.band, &record.mode, &record.submode, &record.rstSent,
          &record.rstRcvd, &record.stx, &record.srx,
          record.commentIntl.trimmed().isEmpty() ? &record.comment : &record.commentIntl,
          record.nameIntl.trimmed().isEmpty() ? &record.name : &record.nameIntl,
          &record.operatorCall, &record.stationCallsign, &record.myGridsquare, &record.propMode,
          &record.satName, &record.contestId})
        keptfields::append(qso.kept, field++, *value);
    return mapped;
}

} // namespace kx47
