#include "qsoactions.h"

#include "log/awardvocabulary.h"
#include "log/lognotifier.h"
#include "log/logrules.h"
#include "log/logstore.h"
#include "platform/dialogs.h"
#include "storage/database.h"
#include "text/textforms.h"

namespace kx47
{

namespace
{

} // namespace

const QString QsoActions::editRefusal = QStringLiteral("You cannot edit an accreditated qso!");
const QString QsoActions::deleteRefusal = QStringLiteral("you cannot delete an accreditated QSO!");
const QString QsoActions::deleteQuestion =
    QStringLiteral("are you sure you want to permanently delete this QSO from the Logbook?");

QsoActions::QsoActions(const Database &log, Dialogs &dialogs, LogNotifier &logNotifier)
    : m_log(log), m_dialogs(dialogs), m_logNotifier(logNotifier)
{
}

std::optional<QsoRecord> QsoActions::fetch(qint32 count) const
{
    return LogStore(m_log).fetch(count);
}

bool QsoActions::refusedIfAccredited(const QsoRecord &qso, const QString &refusal) const
{
    if (logrules::changing(qso.qsl) == logrules::Rule::Kept)
        return false;
    m_dialogs.message(refusal, MessageIcon::Critical, MessageButtons::Ok);
    return true;
}

std::optional<QsoRecord> QsoActions::qsoToEdit(qint32 count) const
{
    std::optional<QsoRecord> qso = fetch(count);
    if (!qso || refusedIfAccredited(*qso, editRefusal))
        return std::nullopt;
    return qso;
}

bool QsoActions::deleteQso(qint32 count) const
{
    const std::optional<QsoRecord> qso = fetch(count);
    if (!qso || refusedIfAccredited(*qso, deleteRefusal))
        return false;
    if (refusedAsReadOnly(m_log, m_dialogs))
        return false;
    if (m_dialogs.message(deleteQuestion, MessageIcon::Critical, MessageButtons::OkCancel) !=
        MessageAnswer::Ok)
        return false;
    // While the question was open another program may have accredited or deleted the QSO: it
    // is read again in the deleting transaction.
    bool accreditedMeanwhile = false;
    const LogChange change = LogStore(m_log).write([&](LogStore::Batch &batch) {
        accreditedMeanwhile = batch.remove(count).refused != LogStore::Rule::Kept;
    });
    if (accreditedMeanwhile)
        m_dialogs.message(deleteRefusal, MessageIcon::Critical, MessageButtons::Ok);
    if (change.isEmpty())
        return false;
    m_logNotifier.notifyLogChanged(change);
    return true;
}

QVector<EditField> QsoActions::editFields(const QsoRecord &qso)
{
    // "dd/mm/yy": the day, the month and the two-digit year stand at fixed places.
    const QString date = dateText(qso.date);
    return {
        {QStringLiteral("txtWWLocator"), qso.locator},
        {QStringLiteral("txtCall"), qso.call},
        {QStringLiteral("txtTime"), entryTime(qso.time)},
        {QStringLiteral("txtDate0"), date.mid(0, 2)},
        {QStringLiteral("txtDate1"), date.mid(3, 2)},
        {QStringLiteral("txtDate2"), date.mid(6, 2)},
        {QStringLiteral("comboPlace"), qso.place},
        {QStringLiteral("comboProv"), qso.prov},
        {QStringLiteral("comboMode"), qso.mode},
        {QStringLiteral("comboBand"), qso.band},
    };
}

QString QsoActions::qslOption(const QsoRecord &qso)
{
    return qso.qsl == vocabulary::QslState::Confirmed ? QStringLiteral("optQSLConf")
                                                      : QStringLiteral("optQSLworked");
}

} // namespace kx47
