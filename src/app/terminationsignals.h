#pragma once

#include <functional>

namespace kx47
{

// Ends the program cleanly on SIGTERM, SIGINT and SIGHUP (a session that logs out, Ctrl+C, a
// service manager): the signal handler only writes a byte into a pipe, and the event loop,
// watching the pipe, calls `quit` as Exit would. The log is then closed as on every ordinary
// end, with the write-ahead journal folded into the file. Call once, after QCoreApplication is
// made; later calls replace `quit`.
void quitOnTerminationSignals(std::function<void()> quit);

} // namespace kx47
