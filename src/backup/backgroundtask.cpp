#include "backgroundtask.h"

namespace kx47
{

BackgroundTask::BackgroundTask(std::function<void(BackgroundTask &)> work)
    : m_thread([this, work = std::move(work)] {
          work(*this);
          m_finished.store(true, std::memory_order_release);
      })
{
}

BackgroundTask::~BackgroundTask()
{
    cancel();
    wait();
}

void BackgroundTask::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace kx47
