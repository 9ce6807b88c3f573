#include "busycore.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/prctl.h>

namespace kx47::bench
{

BusyCore::BusyCore(bool wanted)
{
    if (!wanted)
        return;
    // The helper ends with the benchmark, also when the benchmark is killed.
    m_helper.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    m_helper.start(QStringLiteral("sh"),
                   {QStringLiteral("-c"), QStringLiteral("while :; do :; done")});
    if (m_helper.waitForStarted())
        std::printf("A helper process (pid %lld) keeps another core busy.\n",
                    static_cast<long long>(m_helper.processId()));
    else
        std::printf("The helper process that would keep another core busy did not start.\n");
}

BusyCore::~BusyCore()
{
    if (!running())
        return;
    m_helper.kill();
    m_helper.waitForFinished(2000);
}

bool BusyCore::asked(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "busy") == 0)
            return true;
    return false;
}

} // namespace kx47::bench
