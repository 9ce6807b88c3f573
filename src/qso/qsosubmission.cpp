#include "qsosubmission.h"

#include "qsochecks.h"
#include "qsoentry.h"
#include "qsostore.h"

#include "platform/awardvocabulary.h"
#include "platform/dialogs.h"

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

bool QsoSubmission::submit(const QsoEntry &entry, int editedCount)
{
    if (!QsoChecks::confirm(entry, m_mode.lengths, m_dialogs))
        return false;
    const QsoStore store(m_log);
    // The QSO may have been deleted in the log browser while the form was open.
    if (m_mode.rewritesQso && !store.contains(editedCount)) {
        refuse(goneMessage, QStringLiteral("Error"));
        return false;
    }
    if (store.accreditedExists(entry.locator, entry.band, entry.mode)) {
        refuse(accreditedMessage, QStringLiteral("Error"));
        return false;
    }
    QsoRecord record = entry.record();
    std::optional<int> replaced;
    if (record.qsl == vocabulary::qslConfirmed) {
        replaced = m_mode.rewritesQso ? store.qsoToReplace(record, editedCount)
                                      : store.qsoToReplace(record);
        if (replaced && m_dialogs.message(replaceQuestion, MessageIcon::None, MessageButtons::YesNo,
                                          QStringLiteral("warning")) != MessageAnswer::Yes)
            return false;
    }
    if (m_mode.rewritesQso) {
        record.count = editedCount;
        if (!store.rewrite(record, replaced)) {
            refuse(goneMessage, QStringLiteral("Error"));
            return false;
        }
    } else {
        store.append(record, replaced);
    }
    m_dialogs.message(m_mode.savedMessage, MessageIcon::Information, MessageButtons::Ok);
    return true;
}

} // namespace kx47
