#pragma once

#include "adif/adifmapping.h"

#include <QString>

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
    enum class Merge { Imported, NothingNew, NotImported };
    // Shows what importing path (name in the messages) with these options would do and, on OK,
    // backs up the log and imports it, telling the outcome.
    Merge importChecked(const QString &path, const QString &name, const MappingOptions &options);
    void exportLog();

private:
    AppContext &m_context;
    QWidget *m_parent;
};

} // namespace kx47
