#pragma once

#include <QString>
#include <array>

namespace kx47
{

// One record of an ADIF file as the reader hands it out: only the fields this program uses, as
// written in the file (blanks and letter case kept); a field the record lacks is empty. Every
// other field is skipped unread.
struct AdifRecord {
    int number = 0; // 1 for the first record of the file, counting unreadable ones
    QString error;  // why the record could not be read; empty when it was read whole

    QString call;
    QString qsoDate; // YYYYMMDD
    QString timeOn;  // HHMM or HHMMSS
    QString gridsquare;
    QString band; // an ADIF band name: "20m", "70cm"...
    QString freq; // MHz
    QString mode;
    QString submode;
    QString propMode;
    QString satName;
    QString qth;
    QString qthIntl; // the place in any script (ADX)
    QString qslRcvd;
    QString lotwQslRcvd;
    QString eqslQslRcvd;
    QString qslRdate; // YYYYMMDD, as the three below
    QString lotwQslRdate;
    QString eqslQslRdate;
    // The values this program writes in its own application-defined fields.
    QString kx47Band;
    QString kx47Mode;
    QString kx47Qsl;
    QString kx47Prov;
    // The award's mode category when the file names it rather than an ADIF mode (an EDI log's
    // mixed mode codes).
    QString awardMode;

    // Empties every field, keeping the memory of the texts for the next record.
    void clear()
    {
        number = 0;
        for (QString *field : fields())
            field->truncate(0);
    }

    // Every text of the record, error included.
    std::array<QString *, 24> fields()
    {
        return {{&error,        &call,     &qsoDate,     &timeOn,      &gridsquare, &band,
                 &freq,         &mode,     &submode,     &propMode,    &satName,    &qth,
                 &qthIntl,      &qslRcvd,  &lotwQslRcvd, &eqslQslRcvd, &qslRdate,   &lotwQslRdate,
                 &eqslQslRdate, &kx47Band, &kx47Mode,    &kx47Qsl,     &kx47Prov,   &awardMode}};
    }
};

} // namespace kx47
