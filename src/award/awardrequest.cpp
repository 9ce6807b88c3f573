#include "awardrequest.h"

#include "applicant/userdatastore.h"
#include "awardapplicationprintout.h"
#include "awardrequestkind.h"
#include "backup/backups.h"
#include "log/awardqueries.h"
#include "log/awardvocabulary.h"
#include "log/lognotifier.h"
#include "log/logstore.h"
#include "platform/dialogs.h"
#include "platform/printer.h"
#include "storage/database.h"

namespace kx47
{

namespace
{

const QString confirmed = vocabulary::qslConfirmed;
const QString accredited = vocabulary::qslAccredited;

} // namespace

AwardRequest::AwardRequest(const Database &log, Dialogs &dialogs, PrintService &printService,
                           LogNotifier &logNotifier)
    : m_log(log), m_dialogs(dialogs), m_printService(printService), m_logNotifier(logNotifier)
{
}

QString AwardRequest::userDataMessage()
{
    return QStringLiteral("Please, insert your userData in menu Utility -> userData");
}

QString AwardRequest::convertQuestion()
{
    return QStringLiteral("Do you want to to convert the confirmed QSO in accredited QSO?");
}

QString AwardRequest::sureQuestion()
{
    return QStringLiteral("Are you sure? (check the print, is it ok?)");
}

AwardRequest::Outcome AwardRequest::run(const AwardRequestKind &kind, const QString &band,
                                        const QString &mode) const
{
    const int accreditedQsos = AwardQueries(m_log).count(band, mode, accredited);
    QList<int> listed;

    // Whether the award was obtained already is decided afresh each time from the log.
    if (!kind.requestAgainQuestion.isEmpty() && accreditedQsos >= kind.listed(band)) {
        if (!yes(kind.requestAgainQuestion))
            return Outcome::Refused;
        return print(kind, band, mode, &listed) ? Outcome::PrintedAgain : Outcome::PrintFailed;
    }

    if (!checksPass(kind, band, mode, accreditedQsos))
        return Outcome::Refused;
    if (!print(kind, band, mode, &listed))
        return Outcome::PrintFailed;
    // A log opened for reading only is printed from, but its QSOs stay as they are.
    if (refusedAsReadOnly(m_log, m_dialogs))
        return Outcome::NotConverted;
    if (!yes(convertQuestion()))
        return Outcome::NotConverted;
    if (!yes(sureQuestion())) {
        m_logNotifier.notifyLogChanged();
        return Outcome::Declined;
    }
    // Turning many QSOs into accredited ones cannot be undone: a copy of the log comes first.
    if (!Backups::backUpBeforeChange(m_log, m_dialogs,
                                     QStringLiteral("Converting the QSOs to accredited")))
        return Outcome::NotConverted;
    // Exactly the QSOs listed on the printout, all of them or none; a QSO that is no longer
    // confirmed stays as it is.
    const LogChange change = LogStore(m_log).write([&listed](LogStore::Batch &batch) {
        for (const int number : listed) {
            const std::optional<QsoRecord> qso = batch.fetch(number);
            if (qso && qso->qsl == vocabulary::QslState::Confirmed)
                batch.upgradeQsl(number, vocabulary::QslState::Accredited);
        }
    });
    m_logNotifier.notifyLogChanged(change);
    return Outcome::Converted;
}

bool AwardRequest::checksPass(const AwardRequestKind &kind, const QString &band,
                              const QString &mode, int accreditedQsos) const
{
    const AwardQueries queries(m_log);
    const int confirmedQsos = queries.count(band, mode, confirmed);
    if (kind.prerequisite) {
        // Without confirmed QSOs there is nothing to request; the request stops here silently
        // unless the award it builds on is missing.
        bool allowed = confirmedQsos > 0;
        if (accreditedQsos < kind.prerequisite(band)) {
            refuse(kind.prerequisiteMessage);
            allowed = false;
        }
        if (!allowed)
            return false;
    }
    // Both of these are told, in this order.
    bool allowed = true;
    if (confirmedQsos < kind.listed(band)) {
        refuse(kind.notEnoughMessage(kind.listed(band)));
        allowed = false;
    }
    if (UserDataStore(m_log).rows() == 0) {
        refuse(userDataMessage());
        allowed = false;
    }
    return allowed;
}

bool AwardRequest::print(const AwardRequestKind &kind, const QString &band, const QString &mode,
                         QList<int> *listed) const
{
    const std::unique_ptr<Printer> printer = m_printService.startDocument(kind.documentName);
    *listed = AwardApplicationPrintout(m_log, kind).print(*printer, band, mode, kind.listed(band));
    return printer->ok();
}

bool AwardRequest::yes(const QString &question) const
{
    return m_dialogs.message(question, MessageIcon::None, MessageButtons::YesNo) ==
           MessageAnswer::Yes;
}

void AwardRequest::refuse(const QString &message) const
{
    m_dialogs.message(message, MessageIcon::Exclamation, MessageButtons::Ok);
}

} // namespace kx47
