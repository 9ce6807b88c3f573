#pragma once

#include "adifmapping.h"
#include "importplan.h"

#include "log/logchange.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace kx47
{

class Database;

// Brings ADIF files and EDI contest logs into the log; an EDI file is told by its first line
// "[REG1TEST;1]", whatever its name, and its QSO lines are planned as ADIF records. preview() reads
// the file and tells what importing it would do, writing nothing; apply() reads it again inside one
// transaction of the log, plans it anew against the log as it stands under the write lock (so the
// award rules hold even when the log changed since the preview) and writes all of it, or nothing
// when anything fails or the user cancels. The file is read in one pass each time and never held in
// memory.
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
    // The same for several files at once, planned together as one file (a contest's logs of
    // each band): one preview, one transaction. Progress counts the bytes of all of them.
    Result preview(const QStringList &paths, const MappingOptions &options, ImportPlan &plan,
                   const Progress &progress = {}, QString *error = nullptr) const;
    Result apply(const QStringList &paths, const MappingOptions &options, ImportPlan &plan,
                 LogChange *change = nullptr, const Progress &progress = {},
                 QString *error = nullptr) const;

    // Whether the file at path is an EDI contest log (its first line is "[REG1TEST;1]").
    static bool isContestLog(const QString &path);

    // The options as the command line and the window name them: "paper,lotw,eqsl". False for
    // an unknown kind.
    static bool parseConfirmations(const QString &text, Confirmations *kinds);

private:
    Result read(const QStringList &paths, const MappingOptions &options, ImportPlan &plan,
                const Progress &progress, QString *error) const;
    Result readFile(const QString &path, bool named, const MappingOptions &options,
                    const ProvinceLookup &provinces, ImportPlan &plan,
                    const std::function<bool(qint64 done)> &progress, QString *error) const;

    const Database &m_log;
    const Database &m_places;
};

} // namespace kx47
