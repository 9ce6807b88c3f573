#pragma once

#include "adifrecord.h"

#include <QByteArray>
#include <QString>

class QIODevice;

namespace kx47
{

// Reads a VHF contest log in the EDI format of IARU Region 1 (REG1TEST): a header of
// "Key=Value" lines after the first line "[REG1TEST;1]", then the section "[QSORecords;N]" with
// one QSO per line, its fields apart by semicolons:
//
//     date(YYMMDD);time(HHMM);call;mode code;RST sent;number sent;RST received;
//     number received;exchange received;locator received;points;new exchange;new locator;
//     new DXCC;duplicate
//
// Each QSO line is handed out as an ADIF record, so that the ADIF import maps and plans it:
// the band from the header's PBand ("144 MHz", "1,3 GHz"), the century of the date from the
// header's TDate, the mode code as an ADIF mode (or, for the mixed codes 3 and 4, as the award
// mode MIXED). A line that cannot be read is handed out with its line number and the reason.
//
// The reader is bounded whatever the file holds: it reads line by line, keeps at most
// lineLimit bytes of a line (a longer QSO line is unreadable, a longer header line ignored),
// and keeps only the header values it uses.
class EdiReader
{
public:
    // The longest line kept, in bytes; real QSO lines are under 100.
    static constexpr int lineLimit = 1024;
    // How many lines before "[REG1TEST;1]" may be comments or blank (the mail robots of some
    // contests put their own "# SUBJECT :" lines first).
    static constexpr int leadingLinesAllowed = 16;

    // The device must be open for reading, at its start.
    explicit EdiReader(QIODevice *device) : m_device(device) {}

    // Whether the device holds an EDI log: its first line that is neither blank nor a "#"
    // comment is "[REG1TEST;1]" (any letter case). Only peeks: the device stays where it was.
    static bool isEdi(QIODevice *device);

    // Fills record with the next QSO line; false at the end of the file. record.number is the
    // line's number in the file (1 for the first line).
    bool next(AdifRecord &record);
    // Whether the QSO line last handed out is marked as a duplicate ("D" in its last field).
    bool isDuplicate() const { return m_duplicate; }

    // The header's values as written (empty until the QSO section has been reached).
    QString band() const { return m_band; }
    QString ownCall() const { return m_call; }
    QString ownLocator() const { return m_locator; }

    qint64 bytesRead() const { return m_bytesRead; }

    // The ADIF band name ("2m", "23cm") of an EDI band as written in PBand: a number with a
    // decimal comma or point and MHz or GHz; empty when it names no known band.
    static QString adifBand(const QString &ediBand);
    // The ADIF mode of an EDI mode code (1 SSB, 2 CW, 5 AM, 6 FM, 7 RTTY, 8 SSTV, 9 ATV); empty
    // for the mixed codes 3 and 4 and for an unknown code.
    static QString adifMode(const QString &code);

private:
    enum class Section { Header, Qsos, Other };
    // Reads the next line into m_line without its line break; false at the end of the file.
    // m_longLine tells whether the line was cut at lineLimit.
    bool readLine();
    void readHeaderLine();
    void readQsoLine(AdifRecord &record);

    QIODevice *m_device;
    QByteArray m_line;
    bool m_longLine = false;
    int m_lineNumber = 0;
    qint64 m_bytesRead = 0;
    bool m_started = false;
    Section m_section = Section::Header;
    bool m_duplicate = false;

    QString m_band;
    QString m_adifBand;
    QString m_call;
    QString m_locator;
    QString m_contest; // TName
    QString m_century; // "20" from TDate; empty when the header gives none
};

} // namespace kx47
