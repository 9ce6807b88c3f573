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

const QString QsoSubmission::takenMessage =
    QStringLiteral("Another QSO of this sub-square, band and mode is confirmed already: the QSO "
                   "has not been saved.");

namespace
{

// A change the log's rules refused halfway, so that the batch is rolled back.
struct Refused {
};

} // namespace

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
    std::optional<qint64> edited;
    if (m_mode.rewritesQso) {
        record.count = editedCount;
        edited = editedCount;
    }
    enum class Outcome { Saved, Gone, AnswerChanged };
    for (;;) {
        // The QSO may have been deleted in the log browser while the form was open.
        if (edited && !store.contains(*edited)) {
            refuse(goneMessage, QStringLiteral("Error"));
            return std::nullopt;
        }
        const LogStore::RuleAnswer answer = store.ruleAnswer(record, edited);
        if (answer.accredited) {
            refuse(accreditedMessage, QStringLiteral("Error"));
            return std::nullopt;
        }
        if (answer.holder &&
            m_dialogs.message(replaceQuestion, MessageIcon::None, MessageButtons::YesNo,
                              QStringLiteral("warning")) != MessageAnswer::Yes)
            return std::nullopt;
        Outcome outcome = Outcome::Saved;
        LogStore::Rule refused = LogStore::Rule::Kept;
        LogChange change;
        try {
            change = store.write([&](LogStore::Batch &batch) {
                // The same answer once more, now that no other program can change the log; when it
                // changed meanwhile, the user is asked again.
                if (edited && !batch.contains(*edited)) {
                    outcome = Outcome::Gone;
                    return;
                }
                if (batch.ruleAnswer(record, edited) != answer) {
                    outcome = Outcome::AnswerChanged;
                    return;
                }
                if (answer.holder)
                    batch.remove(*answer.holder);
                // The number is taken after the deletion: a replaced QSO that held the highest
                // number gives it to the new one.
                const LogStore::Written written =
                    edited ? batch.rewrite(record) : batch.append(record);
                // Only a log that already breaks the rules (written by another program) gets here:
                // the deletion above is undone with the rest.
                if (written.refused != LogStore::Rule::Kept) {
                    refused = written.refused;
                    throw Refused{};
                }
            });
        } catch (const Refused &) {
            refuse(refused == LogStore::Rule::Accredited ? accreditedMessage : takenMessage,
                   QStringLiteral("Error"));
            return std::nullopt;
        }
        switch (outcome) {
        case Outcome::Gone:
            refuse(goneMessage, QStringLiteral("Error"));
            return std::nullopt;
        case Outcome::AnswerChanged:
            continue;
        case Outcome::Saved:
            break;
        }
        m_dialogs.message(m_mode.savedMessage, MessageIcon::Information, MessageButtons::Ok);
        return change;
    }
}

} // namespace kx47
