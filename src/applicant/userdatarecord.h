#pragma once

#include <QString>

namespace kx47
{

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

} // namespace kx47
