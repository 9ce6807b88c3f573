#pragma once

#include "log/logquery.h"
#include "loglisting.h"

#include "storage/databaseerror.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace kx47
{

// Lists the log for a query on a thread of its own, with a read-only connection of its own, so
// that the window that asked stays free while a long log is read and ordered. One listing at a
// time: a new one, or cancel(), abandons the one before, which the engine breaks off.
class LogLister : public QObject
{
    Q_OBJECT
public:
    explicit LogLister(const QString &logPath, QObject *parent = nullptr);
    // Breaks off what is running and stops the thread.
    ~LogLister() override;
    LogLister(const LogLister &) = delete;
    LogLister &operator=(const LogLister &) = delete;

    // With firstLines, the thread reads the first lines of the listing before the whole, and
    // delivers them at once (as the whole listing when they are all there are).
    void start(const LogQuery &query, int firstLines = 0);
    void cancel();
    // Frees a listing on the thread: the lines of a long log take the window tens of
    // milliseconds to give back.
    void discard(LogListing listing);
    // Whether a listing has been asked for and has not yet been delivered or abandoned.
    bool isListing() const { return m_listing; }

signals:
    // Delivered on the thread that owns the lister, only for the listing asked for last.
    void listed(const kx47::LogListing &listing);
    // The first lines of the listing asked for last, when asked for and there are more.
    void firstListed(const kx47::LogListing &first);
    void failed(const kx47::DatabaseError &error);

private:
    struct Job {
        quint64 number;
        LogQuery query;
        int firstLines;
    };

    void run(const QString &logPath);
    void deliver(quint64 number, LogListing listing);
    void deliverFirst(quint64 number, LogListing first);
    void deliverFailure(quint64 number, const DatabaseError &error);

    // The number of the listing wanted now; a running one with another number is broken off.
    std::atomic<quint64> m_wanted{0};
    quint64 m_running = 0;
    bool m_listing = false;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<Job> m_job;
    std::vector<LogListing> m_discarded;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace kx47
