#pragma once

#include <atomic>
#include <functional>
#include <thread>

namespace kx47
{

// A piece of work on a thread of its own, started at once: the window's thread looks at its
// progress and whether it is done, and may ask it to stop. The work reads cancelRequested()
// between its steps. What it finds it leaves in its owner's members, which may be read once
// finished() is true.
class BackgroundTask
{
public:
    explicit BackgroundTask(std::function<void(BackgroundTask &)> work);
    // Asks the work to stop and waits for it.
    ~BackgroundTask();
    BackgroundTask(const BackgroundTask &) = delete;
    BackgroundTask &operator=(const BackgroundTask &) = delete;

    bool finished() const { return m_finished.load(std::memory_order_acquire); }
    // Waits until the work has ended.
    void wait();

    void cancel() { m_cancel.store(true); }
    bool cancelRequested() const { return m_cancel.load(); }

    // How far the work is, in thousandths.
    int permille() const { return m_permille.load(); }
    void setPermille(int permille) { m_permille.store(permille); }

private:
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_finished{false};
    std::atomic<int> m_permille{0};
    std::thread m_thread;
};

} // namespace kx47
