#include "engineprogresshandler.h"

#include "database.h"

#include <sqlite3.h>

namespace kx47
{

EngineProgressHandler::EngineProgressHandler(const QSqlDatabase &db, int steps,
                                             std::function<bool()> interrupt)
    : m_engine(Database::engineHandle(db)), m_interrupt(std::move(interrupt))
{
    if (m_engine)
        sqlite3_progress_handler(m_engine, steps, &EngineProgressHandler::call, this);
}

EngineProgressHandler::~EngineProgressHandler()
{
    if (m_engine)
        sqlite3_progress_handler(m_engine, 0, nullptr, nullptr);
}

int EngineProgressHandler::call(void *self)
{
    return static_cast<EngineProgressHandler *>(self)->m_interrupt() ? 1 : 0;
}

} // namespace kx47
