#pragma once

#include <QString>

namespace kx47
{

class BackgroundTask;

// A copy of the log made page by page with SQLite's online backup, a few hundred pages a step, on
// connections of its own (for a thread of its own). The log is only read: in write-ahead mode
// the copy reads the log as committed when it began while the program goes on saving QSOs; with
// a rollback journal the read lock is let go between two steps (and a change made meanwhile
// starts the copy afresh). The copy is then checked whole, so that a damaged log never takes the
// place of a sound backup.
class OnlineBackup
{
public:
    enum class Result { Copied, Cancelled, Failed, LogDamaged };
    struct Outcome {
        Result result = Result::Failed;
        QString detail; // the engine's words for Failed, the damage found for LogDamaged
    };

    // Copies the log at logPath into target, a file that must not exist yet. The task's
    // progress runs to 1000 and its cancel request stops the copy; what was written of target
    // is then the caller's to remove. Without checkCopy the copy is not checked (the log was
    // just checked).
    static Outcome copy(const QString &logPath, const QString &target, BackgroundTask *task,
                        bool checkCopy = true);

    // Pages copied in one step: each step holds a read lock on the log for a moment only.
    static constexpr int pagesPerStep = 256;
};

} // namespace kx47
