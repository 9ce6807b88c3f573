#pragma once

#include <QProcess>

namespace kx47::bench
{

// While it lives, a helper process spins on one core, as a compiler or another program would
// keep it busy beside the one measured. Asked for by the word "busy" among a benchmark's
// arguments.
class BusyCore
{
public:
    explicit BusyCore(bool wanted);
    ~BusyCore();
    BusyCore(const BusyCore &) = delete;
    BusyCore &operator=(const BusyCore &) = delete;

    bool running() const { return m_helper.state() == QProcess::Running; }
    // Whether the word "busy" is among the arguments.
    static bool asked(int argc, char *argv[]);

private:
    QProcess m_helper;
};

} // namespace kx47::bench
