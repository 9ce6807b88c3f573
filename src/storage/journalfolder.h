#pragma once

#include <QString>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace kx47
{

// Folds a log's write-ahead journal into the database file on a thread of its own, with a
// connection of its own, after each change: the window that saved a QSO does not wait for the
// disk twice more, and moments later a copy of the file alone holds the QSO. The engine lets a
// checkpoint run beside readers and writers; a passive one never waits for them.
class JournalFolder
{
public:
    // Folds what it can of the journal into the file, never waiting for a reader or a writer.
    static constexpr QLatin1String checkpointSql{"pragma wal_checkpoint(passive)"};

    explicit JournalFolder(const QString &path);
    // Folds what is left and stops the thread.
    ~JournalFolder();
    JournalFolder(const JournalFolder &) = delete;
    JournalFolder &operator=(const JournalFolder &) = delete;

    // Asks for a fold of everything committed so far; returns at once.
    void request();
    // Waits until every fold asked for so far is done.
    void waitUntilFolded();

private:
    void run(const QString &path);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    quint64 m_requested = 0;
    quint64 m_done = 0;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace kx47
