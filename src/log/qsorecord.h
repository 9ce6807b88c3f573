#pragma once

#include "log/awardvocabulary.h"

#include <QByteArrayView>
#include <QString>

namespace kx47
{

// One row of table data: a QSO as the log stores it. date is "YYYY-MM-DD", time "HH:MM"; the
// QSL state is stored as its letter (awardvocabulary.h). Beside the QSL state, the confirmations by
// LoTW and eQSL: "Y" or empty, each with its date "YYYY-MM-DD" (empty when the service gave none).
struct QsoRecord {
    int count = 0;
    QString locator; // the two letters after "KX47"
    QString call;
    QString date;
    QString time;
    QString place;
    QString prov;
    QString mode;
    QString band;
    vocabulary::QslState qsl = vocabulary::QslState::Worked;
    QString lotw;
    QString lotwDate;
    QString eqsl;
    QString eqslDate;
    // What the file it came from said beyond the columns (keptfields.h); empty for a QSO typed
    // by hand.
    QString kept;
};

// The same QSO as its texts in UTF-8, each a view into a row of the log read by
// LogReads::qsoBytesAt (valid until the next row): an export writes them as they are, without
// a text of their own for each.
struct QsoBytes {
    int count = 0;
    QByteArrayView locator;
    QByteArrayView call;
    QByteArrayView date;
    QByteArrayView time;
    QByteArrayView place;
    QByteArrayView prov;
    QByteArrayView mode;
    QByteArrayView band;
    vocabulary::QslState qsl = vocabulary::QslState::Worked;
    QByteArrayView lotw;
    QByteArrayView lotwDate;
    QByteArrayView eqsl;
    QByteArrayView eqslDate;
    QByteArrayView kept;
};

} // namespace kx47
