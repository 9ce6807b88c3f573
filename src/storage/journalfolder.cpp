#include "journalfolder.h"

#include "connection.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <atomic>

namespace kx47
{

namespace
{

std::atomic<int> folderNumber{0};

} // namespace

JournalFolder::JournalFolder(const QString &path) : m_thread([this, path] { run(path); }) {}

JournalFolder::~JournalFolder()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void JournalFolder::request()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        ++m_requested;
    }
    m_changed.notify_all();
}

void JournalFolder::waitUntilFolded()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const quint64 wanted = m_requested;
    m_changed.wait(lock, [&] { return m_done >= wanted || m_stopping; });
}

void JournalFolder::run(const QString &path)
{
    const QString connection = QStringLiteral("journal-folder-%1").arg(++folderNumber);
    {
        QSqlDatabase db = openConnection(connection, path);
        const bool open = db.isOpen();
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [this] { return m_stopping || m_requested > m_done; });
            if (m_requested == m_done && m_stopping)
                break;
            const quint64 folding = m_requested;
            lock.unlock();
            if (open) {
                QSqlQuery query(db);
                query.exec(JournalFolder::checkpointSql);
            }
            lock.lock();
            m_done = folding;
            m_changed.notify_all();
        }
        lock.unlock();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
}

} // namespace kx47
