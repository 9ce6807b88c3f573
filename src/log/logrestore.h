#pragma once

#include <QString>

namespace kx47
{

class Database;

// Puts the tables of the log file (the QSOs and the applicant's record) of the KX47 log at
// backupPath in place of the log's own, in one transaction opened for writing at once: all of
// them or nothing. The columns both files have are copied. Throws DatabaseError, with the log
// as it was, when the engine refuses any step (a lock, a full disk, a refusing trigger).
void restoreLogTables(const Database &log, const QString &backupPath);

} // namespace kx47
