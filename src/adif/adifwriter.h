#pragma once

#include "log/qsorecord.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>

class QIODevice;

namespace kx47
{

// Writes QSOs of the log as ADI (ADIF 3.1 tagged text): a header with ADIF_VER, PROGRAMID KX47
// and CREATED_TIMESTAMP, then per QSO CALL, QSO_DATE, TIME_ON, GRIDSQUARE (KX47 and the two
// letters), QTH, BAND where the category is one ADIF band (6m for 50 MHz), MODE where the category
// is one ADIF mode (CW, SSB), PROP_MODE SAT for satellite QSOs, QSL_RCVD Y for confirmed and
// accredited QSOs, LOTW_QSL_RCVD and EQSL_QSL_RCVD Y with LOTW_QSLRDATE and EQSL_QSLRDATE for the
// confirmations by LoTW and eQSL, and the log's own values in APP_KX47_BAND, APP_KX47_MODE,
// APP_KX47_QSL and APP_KX47_PROV, so that reading the file back gives the same QSOs.
//
// Text is written in UTF-8 and every length counts bytes, as the readers of LoTW and of most
// loggers expect; for ASCII text, which is all ADIF 3.1 allows in ADI, bytes and characters
// are the same. AdifReader takes lengths in bytes or in characters.
class AdiWriter
{
public:
    explicit AdiWriter(QIODevice *device) : m_device(device) {}

    bool writeHeader(const QDateTime &created = QDateTime::currentDateTimeUtc());
    bool write(const QsoRecord &qso);
    // The text of one QSO's record, ending with <EOR> and a line break.
    static QByteArray record(const QsoRecord &qso);
    // The same, appended to out.
    static void appendTo(QByteArray &out, const QsoRecord &qso);
    // The same of the QSO as the log holds it in UTF-8: the same bytes as its QsoRecord's.
    static void appendTo(QByteArray &out, const QsoBytes &qso);

private:
    QIODevice *m_device;
    QByteArray m_line; // the record being written, its memory kept for the next one
};

// Hands out the QSOs to export one by one: fills qso and returns true, or returns false when
// there are no more.
using QsoSource = std::function<bool(QsoRecord &qso)>;

// Writes every QSO of source into the file at path, replacing it only when the whole file is
// written (until then any earlier file stays as it was). False, with the reason in error, when
// the file cannot be written; written then tells how many QSOs the unfinished file had.
bool writeAdi(const QString &path, const QsoSource &source, QString *error = nullptr,
              int *written = nullptr, const QDateTime &created = QDateTime::currentDateTimeUtc());

// The same as ADX (ADIF's XML form) in UTF-8: an element per field, text outside ASCII in the
// _INTL field where ADIF has one (QTH_INTL), the log's own values in
// <APP PROGRAMID="KX47" FIELDNAME="BAND" TYPE="S"> elements. Characters XML cannot hold at all
// (control characters other than tab, line feed and carriage return; U+FFFE, U+FFFF) are left
// out.
class AdxWriter
{
public:
    static void appendTo(QByteArray &out, const QsoRecord &qso);
    static void appendTo(QByteArray &out, const QsoBytes &qso);
};

enum class AdifForm { Adi, Adx };

// Appends the next QSO's record (AdiWriter::appendTo or AdxWriter::appendTo, as the file's form)
// to out and returns true, or returns false when there are no more.
using RecordSource = std::function<bool(QByteArray &out)>;

// The same as writeAdi, of the records source appends, with the header and the end of the form.
bool writeAdifRecords(const QString &path, AdifForm form, const RecordSource &source,
                      QString *error = nullptr, int *written = nullptr,
                      const QDateTime &created = QDateTime::currentDateTimeUtc());

} // namespace kx47
