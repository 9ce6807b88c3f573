#pragma once

#include "adif/adifmapping.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace kx47
{

struct AppContext;

// The Database menu's ADIF commands: Import ADIF (file, options, a summary of what the file
// would do, then all of it in one transaction after a backup) and Export ADIF (the whole log).
class AdifCommands
{
public:
    AdifCommands(AppContext &context, QWidget *parent) : m_context(context), m_parent(parent) {}

    // Imports path, or a file the user chooses when path is empty.
    void importFile(const QString &path = QString());
    // Imports EDI contest logs the user chooses, several at once.
    void importContestLogs();
    // Imports the files together: one question, one preview, one transaction.
    void importFiles(const QStringList &paths, bool contestLogs = false);
    enum class Merge { Imported, NothingNew, NotImported };
    // Shows what importing paths (name in the messages) with these options would do and, on
    // OK, backs up the log and imports them, telling the outcome.
    Merge importChecked(const QStringList &paths, const QString &name,
                        const MappingOptions &options);
    void exportLog();

private:
    AppContext &m_context;
    QWidget *m_parent;
};

} // namespace kx47
