#pragma once

#include "userdatarecord.h"

namespace kx47
{

class Database;

// Keeps the applicant's record in table userData of the log: the table holds at most one row,
// which Submit creates the first time and replaces afterwards.
class UserDataStore
{
public:
    explicit UserDataStore(const Database &log);

    // Creates the row (with count 1) when the table is empty, otherwise replaces the values of
    // its first row; the values are written as typed, an empty e-mail as a single blank " ".
    void write(const UserDataRecord &typed) const;

    UserDataRecord read() const;
    int rows() const;

private:
    const Database &m_log;
};

} // namespace kx47
