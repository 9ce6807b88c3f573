#pragma once

#include "adifrecord.h"
#include "log/qsorecord.h"
#include "text/textkey.h"

#include <QFlags>
#include <QHash>
#include <QString>
#include <QStringList>

namespace kx47
{

class PlaceLookup;

// The province of a place in a sub-square, as the gazetteer gives it.
class ProvinceLookup
{
public:
    virtual ~ProvinceLookup() = default;
    // letters: the two letters of the sub-square; place: the QSO's place (may be empty).
    // Empty when the gazetteer knows nothing of the sub-square.
    virtual QString provinceOf(const QString &letters, const QString &place) const = 0;
};

// The gazetteer as the entry form reads it: the province of the place when the sub-square has
// a place of that name, else the province of the sub-square's first place (in the order of the
// form's list). Remembers what it looked up, since an import asks for the same sub-squares
// again and again.
class GazetteerProvinces : public ProvinceLookup
{
public:
    explicit GazetteerProvinces(const PlaceLookup &places) : m_places(places) {}
    QString provinceOf(const QString &letters, const QString &place) const override;

private:
    const PlaceLookup &m_places;
    mutable QHash<TextKey, QStringList> m_placesOf;    // by letters
    mutable QHash<TextKey, QString> m_provinceOfPlace; // by letters and place
};

// The kinds of confirmation a user counts as confirmed. The award's rules count QSL cards only;
// an Award Manager may accept LoTW or eQSL too.
enum class Confirmation {
    Paper = 0x1, // QSL_RCVD Y or V, outside the files of LoTW and eQSL
    Lotw = 0x2,  // LOTW_QSL_RCVD Y or V; QSL_RCVD Y in a LoTW status report
    Eqsl = 0x4,  // EQSL_QSL_RCVD Y or V; every record of an eQSL inbox download
};
Q_DECLARE_FLAGS(Confirmations, Confirmation)
Q_DECLARE_OPERATORS_FOR_FLAGS(Confirmations)

// The kinds as the user reads them: "QSL cards", "QSL cards, LoTW", "nothing".
QString confirmationsText(Confirmations kinds);
// The kinds as the command line and the settings name them: "paper,lotw,eqsl"; empty for none.
QString confirmationWords(Confirmations kinds);
// False for an unknown word, *kinds then unchanged.
bool parseConfirmationWords(const QString &text, Confirmations *kinds);

struct MappingOptions {
    Confirmations accepted = Confirmation::Paper;
    bool mixed = false; // every QSO under the mode "MIXED"
    // Where the records come from: inside a LoTW report or an eQSL inbox download the
    // confirmation fields are the service's, never a QSL card. Set by the caller that knows
    // its source (a download from the service), or by AdifImport from what the file says
    // (AdifReader::isLotwReport(), isKx47Export()).
    bool lotwReport = false;
    bool eqslInbox = false;
    bool kx47Export = false;
    // Confirmations downloaded from a service: a record only confirms a QSO already in the log,
    // it never adds one.
    bool confirmationsOnly = false;
    // Every file must be an EDI contest log (the Database menu's contest log import); a file
    // named .edi must be one anyway.
    bool contestLog = false;
};

// What becomes of a record; only Ok records are QSOs of the log.
enum class MapOutcome {
    Ok,               // a QSO; without locator or with "KX47" alone its locator is empty
    OutsideKx47,      // a locator outside the square KX47
    BandOutsideAward, // 2190m, 630m, 560m, an unknown band, no band and no frequency
    Unreadable,       // see reason
};

struct MappedQso {
    MapOutcome outcome = MapOutcome::Unreadable;
    QsoRecord qso;  // filled for Ok (count 0: the log gives the number)
    QString reason; // for Unreadable: what is wrong with the record, in plain words
};

// A record as a QSO of the log:
// - sub-square from GRIDSQUARE (blanks ignored, any case): KX47 and two letters A-X; a record
//   without GRIDSQUARE, or with the square "KX47" alone, keeps an empty locator: it can only be
//   matched with a QSO of the log (ImportPlan);
// - band category from BAND, else from FREQ by the ADIF band edges; satellite QSOs (PROP_MODE
//   SAT or a SAT_NAME) are "SAT" whatever the band;
// - mode category: CW "CW"; SSB, AM, FM, DIGITALVOICE (and the old USB, LSB) and the digital
//   voice modes C4FM, DMR, DSTAR, FREEDV, M17 as mode or submode "SSB"; any other mode
//   "DIGITAL"; everything "MIXED" when options.mixed;
// - QSL "c" with a confirmation of an accepted kind, else "w"; the confirmations by LoTW and
//   eQSL, with their dates, kept in lotw, lotwDate, eqsl and eqslDate whatever is accepted;
// - call in capitals, at most 15 characters; date YYYYMMDD and time HHMM or HHMMSS into the
//   log's "YYYY-MM-DD" and "HH:MM"; the place (QTH_INTL, else QTH) in capitals and cut to 50
//   characters; the province from the gazetteer.
// A file this program exported (options.kx47Export) brings back its own values exactly: the
// band, mode, QSL state (accredited included) and province of its application fields, and
// call, place and date as written.
// Checks in this order: a record the reader could not read; the locator; the band (none at all
// is unreadable); call, date, time and mode.
MappedQso mapRecord(const AdifRecord &record, const MappingOptions &options,
                    const ProvinceLookup &provinces);

// The band category of an ADIF band name (any case), or of a frequency in MHz when the name is
// empty or unknown; empty when neither falls in a band of the award.
QString bandCategory(const QString &adifBand, const QString &frequency);

// The ADIF band name in lower case ("2m", "23cm") of a band name (any case) or, when the name is
// empty or unknown, of a frequency in MHz; empty when neither is an amateur band.
QString adifBandName(const QString &adifBand, const QString &frequency);

// The mode category of an ADIF mode and submode (any case); empty for no mode.
QString modeCategory(const QString &adifMode, const QString &adifSubmode = QString());

} // namespace kx47
