#include "userdatachecks.h"

#include "applicant/userdatarecord.h"

namespace kx47
{

namespace
{

struct FieldCheck {
    QString UserDataRecord::*field;
    int limit;
    const char *emptyMessage; // null: the field may be empty
    const char *longMessage;
};

// In the order the user is told about them.
const FieldCheck checks[] = {
    {&UserDataRecord::address, 40, "Address field cannot be null",
     "Address field cannot hold more than 40 characters"},
    {&UserDataRecord::call, 10, "Call field cannot be null",
     "Call field cannot hold more than 10 characters"},
    {&UserDataRecord::city, 20, "City field cannot be null",
     "City field cannot hold more than 20 characters"},
    {&UserDataRecord::country, 20, "Country field cannot be null",
     "Country field cannot hold more than 20 characters"},
    {&UserDataRecord::fName, 20, "First Name field cannot be null",
     "First Name field cannot hold more than 20 characters"},
    {&UserDataRecord::sName, 20, "sencod Name field cannot be null",
     "Second Name field cannot hold more than 20 characters"},
    {&UserDataRecord::zipCode, 10, "Zip Code field cannot be null",
     "Zip Code field cannot hold more than 10 characters"},
    {&UserDataRecord::prov, 20, "Prov field cannot be null",
     "Prov field cannot hold more than 20 characters"},
    {&UserDataRecord::wwLocator, 6, "WWLocator field cannot be null",
     "WWLocator field cannot hold more than 6 characters"},
    {&UserDataRecord::email, 50, nullptr, "e-mail field cannot hold more than 50 characters"},
};

} // namespace

QString UserDataChecks::firstFailure(const UserDataRecord &typed)
{
    for (const FieldCheck &check : checks) {
        const QString &value = typed.*check.field;
        if (check.emptyMessage && value.isEmpty())
            return QString::fromLatin1(check.emptyMessage);
        if (length(value) > check.limit)
            return QString::fromLatin1(check.longMessage);
    }
    return QString();
}

int UserDataChecks::length(const QString &value)
{
    int characters = 0;
    for (int i = 0; i < value.size(); ++i) {
        if (value.at(i).isHighSurrogate() && i + 1 < value.size() &&
            value.at(i + 1).isLowSurrogate())
            ++i;
        ++characters;
    }
    return characters;
}

} // namespace kx47
