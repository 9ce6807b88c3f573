#pragma once

#include <QString>

namespace kx47
{

class Database;

// The applicant's own record, the one row of table userData: category, call, names, postal
// address, own locator and e-mail. Every value is text as stored (upper case when written by
// the User Data window; a NULL reads as the empty text).
struct UserDataRecord {
    bool present = false; // false when table userData holds no row
    QString category;     // column "OM/YL/SWL": OM, YL or SWL
    QString call;
    QString fName;
    QString sName;
    QString address;
    QString city;
    QString prov;
    QString country;
    QString zipCode;   // column ZIPcode
    QString wwLocator; // column WWLocator
    QString email;     // " " when the applicant gave none
};

// Reads the first row of table userData. A row written by hand or by an earlier version may hold
// NULLs or values longer than the window allows: they are read as they are (NULL as the empty
// text), never refused. With no row the record is not present and every value is empty.
UserDataRecord readUserData(const Database &log);

} // namespace kx47
