#pragma once

#include "userdatarecord.h"

namespace kx47
{

class Database;

// Keeps the applicant's record in table userData of the log, and is the only reader and writer
// of that table: the table holds at most one row, which Submit creates the first time and
// replaces afterwards.
class UserDataStore
{
public:
    explicit UserDataStore(const Database &log);

    // Creates the row (with count 1) when the table is empty, otherwise replaces the values of
    // its first row; the values are written as typed, an empty e-mail as a single blank " ".
    void write(const UserDataRecord &typed) const;

    // Reads the first row. A row written by hand or by an earlier version may hold NULLs or
    // values longer than the window allows: they are read as they are (NULL as the empty text),
    // never refused. With no row the record is not present and every value is empty.
    UserDataRecord read() const;
    int rows() const;

    // The call of the row the table yields first (empty without one), and how many rows hold a
    // call at all: the heading of the full log's printout.
    QString firstCall() const;
    int rowsWithACall() const;

private:
    const Database &m_log;
};

} // namespace kx47
