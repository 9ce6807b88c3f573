#pragma once

#include <functional>

class QSqlDatabase;
struct sqlite3;

namespace kx47
{

// While it lives, the engine asks `interrupt` every `steps` steps of its virtual machine on one
// connection whether to stop the statement it runs (true stops it, with SQLITE_INTERRUPT); when
// it ends, the connection runs on without it. One at a time per connection: the engine keeps a
// single handler. Does nothing on a connection that is not an open SQLite one.
class EngineProgressHandler
{
public:
    EngineProgressHandler(const QSqlDatabase &db, int steps, std::function<bool()> interrupt);
    ~EngineProgressHandler();
    EngineProgressHandler(const EngineProgressHandler &) = delete;
    EngineProgressHandler &operator=(const EngineProgressHandler &) = delete;

    bool installed() const { return m_engine != nullptr; }

private:
    static int call(void *self);

    sqlite3 *m_engine;
    std::function<bool()> m_interrupt;
};

} // namespace kx47
