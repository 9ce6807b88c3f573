#include "qsosubmission.h"

#include "log/logstore.h"
#include "qsochecks.h"
#include "qsoentry.h"

#include "log/awardvocabulary.h"
#include "platform/dialogs.h"
#include "storage/database.h"

namespace kx47
{

const QString QsoSubmission::accreditedMessage =
    QStringLiteral("Another QSO with the same accreditated locator already exists! new qso will "
                   "not be saved");
const QString QsoSubmission::replaceQuestion =
    QStringLiteral("warning: the same locator confirmed already exist! do you want to replace "
                   "it? Last QSO will be deleted");
const QString QsoSubmission::goneMessage =
    QStringLiteral("This QSO is no longer in the log! it was deleted, nothing will be saved");

void QsoSubmission::refuse(const QString &text, const QString &title)
{
    m_dialogs.message(text, MessageIcon::Critical, MessageButtons::Ok, title);
}

std::optional<LogChange> QsoSubmission::submit(const QsoEntry &entry, int editedCount)
{
    if (refusedAsReadOnly(m_log, m_dialogs))
        return std::nullopt;
    if (!QsoChecks::confirm(entry, m_mode.lengths, m_dialogs))
        return std::nullopt;
    const LogStore store(m_log);
    QsoRecord record = entry.record();
    const bool confirmed = record.qsl == vocabulary::qslConfirmed;
    std::optional<qint64> edited;
    if (m_mode.rewritesQso) {
        record.count = editedCount;
        edited = editedCount;
    }
    enum class Outcome { Saved, Gone, Accredited, HolderChanged };
    for (;;) {
        // The QSO may have been deleted in the log browser while the form was open.
        if (edited && !store.contains(*edited)) {
            refuse(goneMessage, QStringLiteral("Error"));
            return std::nullopt;
        }
        if (store.accreditedExists(record.locator, record.band, record.mode)) {
            refuse(accreditedMessage, QStringLiteral("Error"));
            return std::nullopt;
        }
        std::optional<int> replaced;
        if (confirmed) {
            replaced = store.confirmedHolder(record.locator, record.band, record.mode, edited);
            if (replaced &&
                m_dialogs.message(replaceQuestion, MessageIcon::None, MessageButtons::YesNo,
                                  QStringLiteral("warning")) != MessageAnswer::Yes)
                return std::nullopt;
        }
        Outcome outcome = Outcome::Saved;
        const LogChange change = store.write([&](LogStore::Batch &batch) {
            // The same rules once more, now that no other program can change the log.
            if (edited && !batch.contains(*edited)) {
                outcome = Outcome::Gone;
                return;
            }
            if (batch.accreditedExists(record.locator, record.band, record.mode)) {
                outcome = Outcome::Accredited;
                return;
            }
            if (confirmed && batch.confirmedHolder(record.locator, record.band, record.mode,
                                                   edited) != replaced) {
                outcome = Outcome::HolderChanged;
                return;
            }
            if (replaced)
                batch.remove(*replaced);
            // The number is taken after the deletion: a replaced QSO that held the highest
            // number gives it to the new one.
            if (edited)
                batch.rewrite(record);
            else
                batch.append(record);
        });
        switch (outcome) {
        case Outcome::Gone:
            refuse(goneMessage, QStringLiteral("Error"));
            return std::nullopt;
        case Outcome::Accredited:
            refuse(accreditedMessage, QStringLiteral("Error"));
            return std::nullopt;
        case Outcome::HolderChanged:
            continue;
        case Outcome::Saved:
            break;
        }
        m_dialogs.message(m_mode.savedMessage, MessageIcon::Information, MessageButtons::Ok);
        return change;
    }
}

} // namespace kx47
