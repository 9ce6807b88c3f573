#pragma once

#include "adifmapping.h"
#include "importplan.h"

#include "log/logchange.h"

#include <QString>
#include <functional>

namespace kx47
{

class Database;

// Brings an ADIF file into the log. preview() reads the file and tells what importing it would
// do, writing nothing; apply() reads it again inside one transaction of the log, plans it anew
// against the log as it stands under the write lock (so the award rules hold even when the log
// changed since the preview) and writes all of it, or nothing when anything fails or the user
// cancels. The file is read in one pass each time and never held in memory.
class AdifImport
{
public:
    enum class Result {
        Done,
        Cancelled, // nothing written
        FileError, // the file cannot be read; nothing written
        LogError,  // the log cannot be written; nothing written
    };
    // How far reading has come, in bytes of the file; returns false to cancel.
    using Progress = std::function<bool(qint64 done, qint64 total)>;

    AdifImport(const Database &log, const Database &places) : m_log(log), m_places(places) {}

    // Fills plan with what the file would do to the log.
    Result preview(const QString &path, const MappingOptions &options, ImportPlan &plan,
                   const Progress &progress = {}, QString *error = nullptr) const;
    // Imports the file; plan tells what was done, change which QSOs changed.
    Result apply(const QString &path, const MappingOptions &options, ImportPlan &plan,
                 LogChange *change = nullptr, const Progress &progress = {},
                 QString *error = nullptr) const;

    // The options as the command line and the window name them: "paper,lotw,eqsl". False for
    // an unknown kind.
    static bool parseConfirmations(const QString &text, Confirmations *kinds);

private:
    Result read(const QString &path, const MappingOptions &options, ImportPlan &plan,
                const Progress &progress, QString *error) const;

    const Database &m_log;
    const Database &m_places;
};

} // namespace kx47
