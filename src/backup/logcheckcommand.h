#pragma once

namespace kx47
{

struct AppContext;

// "Check the log": SQLite's check of every page of the log, on a thread of its own, with a
// progress window that may stop it. A damaged log is told as at start-up, and the program ends.
void checkLogNow(AppContext &context);

} // namespace kx47
