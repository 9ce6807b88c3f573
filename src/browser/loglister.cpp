#include "loglister.h"

#include "storage/database.h"
#include "storage/engineprogresshandler.h"

#include <QElapsedTimer>

namespace kx47
{

namespace
{

// Virtual machine steps between two looks at whether the listing is still wanted.
constexpr int engineSteps = 10000;

// How long the first lines may take here before the whole listing is read instead: off the
// window's thread they may take longer than there, still far less than the whole listing.
constexpr int firstLinesWithinMs = 1000;

std::atomic<int> listerNumber{0};

} // namespace

LogLister::LogLister(const QString &logPath, QObject *parent)
    : QObject(parent), m_thread([this, logPath] { run(logPath); })
{
}

LogLister::~LogLister()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        m_job.reset();
    }
    ++m_wanted;
    m_changed.notify_all();
    m_thread.join();
}

void LogLister::start(const LogQuery &query, int firstLines)
{
    const quint64 number = ++m_wanted;
    m_listing = true;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_job = Job{number, query, firstLines};
    }
    m_changed.notify_all();
}

void LogLister::cancel()
{
    ++m_wanted;
    m_listing = false;
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_job.reset();
}

void LogLister::discard(LogListing listing)
{
    if (listing.lines.isEmpty() && listing.counts.size() <= 1)
        return;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_discarded.push_back(std::move(listing));
    }
    m_changed.notify_all();
}

void LogLister::run(const QString &logPath)
{
    Database log(QStringLiteral("log-lister-%1").arg(++listerNumber));
    QString openError;
    bool opened = false;
    // A newer job breaks the one that runs off, as does time while the first lines are sought.
    QElapsedTimer seekingFirst;
    std::optional<EngineProgressHandler> breakOff;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || m_job || !m_discarded.empty(); });
        if (m_stopping)
            break;
        if (!m_discarded.empty()) {
            std::vector<LogListing> discarded;
            discarded.swap(m_discarded);
            lock.unlock();
            discarded.clear();
            lock.lock();
            continue;
        }
        const Job job = *m_job;
        m_job.reset();
        m_running = job.number;
        lock.unlock();

        if (!opened) {
            opened = log.open(logPath, &openError, Database::Access::ReadOnly);
            if (opened)
                breakOff.emplace(log.handle(), engineSteps, [this, &seekingFirst] {
                    return m_running != m_wanted.load() ||
                           (seekingFirst.isValid() && seekingFirst.elapsed() >= firstLinesWithinMs);
                });
        }
        try {
            if (!opened)
                Database::fail(openError);
            bool complete = false;
            LogListing listing;
            if (job.firstLines > 0) {
                seekingFirst.start();
                try {
                    listing = LogListing::readFirst(log, job.query, job.firstLines, &complete);
                } catch (const DatabaseError &) {
                    // First lines given up for their time leave the whole listing to be read.
                    const bool givenUp = m_running == m_wanted.load() &&
                                         seekingFirst.elapsed() >= firstLinesWithinMs;
                    seekingFirst.invalidate();
                    if (!givenUp)
                        throw;
                }
                seekingFirst.invalidate();
                if (!complete && !listing.lines.isEmpty()) {
                    QMetaObject::invokeMethod(
                        this,
                        [this, number = job.number, first = std::move(listing)]() mutable {
                            deliverFirst(number, std::move(first));
                        },
                        Qt::QueuedConnection);
                }
            }
            if (!complete)
                listing = LogListing::read(log, job.query);
            QMetaObject::invokeMethod(
                this,
                [this, number = job.number, listing = std::move(listing)]() mutable {
                    deliver(number, std::move(listing));
                },
                Qt::QueuedConnection);
        } catch (const DatabaseError &error) {
            QMetaObject::invokeMethod(
                this, [this, number = job.number, error] { deliverFailure(number, error); },
                Qt::QueuedConnection);
        }
        lock.lock();
    }
}

void LogLister::deliver(quint64 number, LogListing listing)
{
    if (number != m_wanted.load()) {
        discard(std::move(listing));
        return;
    }
    m_listing = false;
    emit listed(listing);
}

void LogLister::deliverFirst(quint64 number, LogListing first)
{
    if (number != m_wanted.load())
        return;
    emit firstListed(first);
}

void LogLister::deliverFailure(quint64 number, const DatabaseError &error)
{
    if (number != m_wanted.load())
        return;
    m_listing = false;
    emit failed(error);
}

} // namespace kx47

#include "moc_loglister.cpp"
