#pragma once

#include <csignal>
#include <sys/resource.h>

namespace kx47::test
{

// While it lives, no file of this process can grow beyond `bytes`: a write past the limit
// fails as it does on a full disk. A negative size sets no limit.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(long bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        if (bytes < 0)
            return;
        m_signal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = static_cast<rlim_t>(bytes);
        m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        if (!m_set)
            return;
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_signal);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    bool isSet() const { return m_set; }

private:
    rlimit m_saved{};
    void (*m_signal)(int) = SIG_DFL;
    bool m_set = false;
};

} // namespace kx47::test
