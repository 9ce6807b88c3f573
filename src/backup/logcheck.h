#pragma once

#include <QSqlDatabase>
#include <QString>

namespace kx47
{

class BackgroundTask;

// SQLite's check of a whole file (every page of every table and index read once), with its
// progress and a way to stop it. It runs on a connection of its own, opened for reading only in
// the calling thread, so that it may run beside the windows and their changes.
class LogCheck
{
public:
    enum class Result {
        Whole,      // the engine found nothing wrong
        Damaged,    // the engine found damage: findings says where
        Cancelled,  // the task was asked to stop
        Unreadable, // the file could not be opened or read: findings says why
    };
    struct Outcome {
        Result result = Result::Unreadable;
        QString findings;
    };

    // Checks the file at path (or a file: address, as the log's connection names a log read as
    // unchanging). With a task, its progress goes from fromPermille to toPermille
    // and its cancel request stops the check.
    static Outcome run(const QString &path, BackgroundTask *task = nullptr, int fromPermille = 0,
                       int toPermille = 1000);
    // The same on a connection already open (in the calling thread).
    static Outcome runOn(QSqlDatabase db, BackgroundTask *task = nullptr, int fromPermille = 0,
                         int toPermille = 1000);
};

} // namespace kx47
