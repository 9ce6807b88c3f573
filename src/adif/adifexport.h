#pragma once

#include <QString>
#include <functional>

namespace kx47
{

class Database;

// Writes the whole log, in the order of the QSO numbers, into an ADI file. The file takes its
// place only when it is complete: a failure or a cancel leaves any earlier file as it was.
class AdifExport
{
public:
    enum class Result { Done, Cancelled, Failed };
    // QSOs written so far and in all; returns false to cancel.
    using Progress = std::function<bool(int done, int total)>;

    explicit AdifExport(const Database &log) : m_log(log) {}

    Result write(const QString &path, const Progress &progress = {}, QString *error = nullptr,
                 int *written = nullptr) const;

private:
    const Database &m_log;
};

} // namespace kx47
