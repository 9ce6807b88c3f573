#pragma once

#include "entrymode.h"

#include "log/logchange.h"

#include <optional>

namespace kx47
{

class Database;
class Dialogs;
struct QsoEntry;

// What "Submit" does with the form: the field checks, the accredited-locator rule, the
// replacement of a confirmed QSO, the writing and the report, each step only while the
// previous ones let the QSO through.
class QsoSubmission
{
public:
    static const QString accreditedMessage;
    static const QString replaceQuestion;
    static const QString goneMessage;
    // A confirmed QSO where the log already holds two (written by another program).
    static const QString takenMessage;

    QsoSubmission(const Database &log, Dialogs &dialogs, const EntryMode &mode)
        : m_log(log), m_dialogs(dialogs), m_mode(mode)
    {
    }

    // Saves the entry: appended under a new number, or, where the mode rewrites, written over
    // the QSO numbered editedCount. The change once saved and reported; nothing when a check, a
    // rule or the user stopped it, every reason already shown. The rules are asked about before
    // the write and checked again inside its transaction; should another program have changed
    // the answer meanwhile, the question is asked afresh. A log that cannot be written is
    // refused before anything else. Throws DatabaseError when the engine fails: nothing is
    // then saved.
    std::optional<LogChange> submit(const QsoEntry &entry, int editedCount = 0);

private:
    void refuse(const QString &text, const QString &title);

    const Database &m_log;
    Dialogs &m_dialogs;
    EntryMode m_mode;
};

} // namespace kx47
