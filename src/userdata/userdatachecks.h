#pragma once

#include <QString>

namespace kx47
{

struct UserDataRecord;

// The checks Submit applies to the typed applicant data before the record is written.
class UserDataChecks
{
public:
    // The message of the first failing check, or the empty text when every field passes. The
    // fields are checked in a fixed order (address, call, city, country, first name, second name,
    // ZIP code, province, locator, e-mail); within a field the empty check comes first. "Empty"
    // is exactly the empty text, so a value of blanks passes; the e-mail may be empty. Lengths
    // are counted in characters, without trimming.
    static QString firstFailure(const UserDataRecord &typed);

    // The number of characters of a value (a character outside the basic plane counts once).
    static int length(const QString &value);
};

} // namespace kx47
