#pragma once

#include "log/qsorecord.h"

#include <QString>
#include <QVector>
#include <optional>

namespace kx47
{

class Database;
class Dialogs;
class LogNotifier;

// One control of the Edit QSO window and the text the log browser writes into it.
struct EditField {
    QString control; // the control's objectName
    QString value;
};

// What the log browser does with the QSO of the selected line: open it for editing or delete
// it. The QSO is read afresh from the log by its number for every action, so a QSO that became
// accredited after the list was built is refused all the same.
class QsoActions
{
public:
    static const QString editRefusal;
    static const QString deleteRefusal;
    static const QString deleteQuestion;

    QsoActions(const Database &log, Dialogs &dialogs, LogNotifier &logNotifier);

    // The QSO numbered `count` as the log holds it now; nothing when no row has that number.
    std::optional<QsoRecord> fetch(qint32 count) const;

    // The QSO to open in Edit QSO. Nothing when it is accredited (the user is told so) or no
    // longer in the log.
    std::optional<QsoRecord> qsoToEdit(qint32 count) const;

    // Deletes the QSO once the user has answered OK and tells the windows that follow the log.
    // An accredited QSO is refused; Cancel or a QSO no longer in the log change nothing. True
    // when the QSO was deleted.
    bool deleteQso(qint32 count) const;

    // The text controls of the Edit QSO window in the order they are filled, with the QSO's
    // values: sub-square, call, time as four digits, day, month, two-digit year, place,
    // province, mode, band. The province comes after the place, so that the QSO's own province
    // stays even where the gazetteer gives the place another.
    static QVector<EditField> editFields(const QsoRecord &qso);
    // The option button selected for the QSO's QSL state: "confirmed" or "worked".
    static QString qslOption(const QsoRecord &qso);

private:
    bool refusedIfAccredited(const QsoRecord &qso, const QString &refusal) const;

    const Database &m_log;
    Dialogs &m_dialogs;
    LogNotifier &m_logNotifier;
};

} // namespace kx47
