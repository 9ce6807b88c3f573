#include "qsochecks.h"

#include "numerictext.h"
#include "qsoentry.h"

#include "platform/dialogs.h"
#include "storage/sqltext.h"

#include <cmath>

namespace kx47
{

namespace
{

int measured(const QString &text, LengthMeasure lengths)
{
    return lengths == LengthMeasure::AfterQuoting ? quoteSql(text).size() : text.size();
}

bool valueWithin(const QString &text, double low, double high)
{
    const std::optional<double> value = numericValue(text);
    return value && *value >= low && *value <= high;
}

bool wholeWithin(const QString &text, int low, int high)
{
    const std::optional<double> value = numericValue(text);
    return value && *value == std::floor(*value) && *value >= low && *value <= high;
}

// The two letters of a sub-square of the award: A to X each, in either case.
bool isSubSquare(const QString &letters)
{
    const auto isLetter = [](QChar c) {
        const QChar upper = c.toUpper();
        return upper >= QLatin1Char('A') && upper <= QLatin1Char('X');
    };
    return letters.size() == 2 && isLetter(letters[0]) && isLetter(letters[1]);
}

// The checks up to the time field; each failure here but the call's length ends them.
bool checkUpToTime(const QsoEntry &e, LengthMeasure lengths, QStringList &failures)
{
    if (e.locator.size() != 2) {
        failures << QStringLiteral("WWLocator Field must be two characters");
        return false;
    }
    if (isNumericText(e.locator)) {
        failures << QStringLiteral("WWLocator Field cannot be numerical");
        return false;
    }
    if (!isSubSquare(e.locator)) {
        failures << QStringLiteral("WWLocator Field must be two letters from A to X");
        return false;
    }
    if (e.call.isEmpty()) {
        failures << QStringLiteral("Call Field cannot be null");
        return false;
    }
    if (measured(e.call, lengths) > QsoChecks::callLimit)
        failures << QStringLiteral("Call Field is too long");
    if (e.day.isEmpty() || e.month.isEmpty() || e.year.isEmpty()) {
        failures << QStringLiteral("Date Fields cannot be null");
        return false;
    }
    if (!isNumericText(e.day) || !isNumericText(e.month) || !isNumericText(e.year)) {
        failures << QStringLiteral("date fields must be numeric");
        return false;
    }
    if (!valueWithin(e.day, 1, 31) || !valueWithin(e.month, 1, 12) || !e.dateExists()) {
        failures << QsoChecks::dateMessage;
        return false;
    }
    if (e.time.isEmpty()) {
        failures << QStringLiteral("time field cannot be null");
        return false;
    }
    if (!isNumericText(e.time)) {
        failures << QStringLiteral("time field must be numeric");
        return false;
    }
    if (e.time.size() != 4) {
        failures << QStringLiteral("time field must be 4 numbers");
        return false;
    }
    // Hours and minutes are read each on its own: "1e03" is a number as a whole, but "1e" is
    // no hour; "23.5" holds no whole number of minutes.
    if (!wholeWithin(e.time.left(2), 0, 23) || !wholeWithin(e.time.mid(2, 2), 0, 59)) {
        failures << QStringLiteral("error in time field format");
        return false;
    }
    return true;
}

} // namespace

const QString QsoChecks::dateMessage = QStringLiteral("error in date field format");

QStringList QsoChecks::messages(const QsoEntry &entry, LengthMeasure lengths)
{
    QStringList failures;
    if (!checkUpToTime(entry, lengths, failures))
        return failures;
    if (entry.place.isEmpty() && !entry.placeMayStayEmpty)
        failures << QStringLiteral("place field cannot be null");
    if (measured(entry.place, lengths) > placeLimit)
        failures << QStringLiteral("place field is too long");
    return failures;
}

bool QsoChecks::confirm(const QsoEntry &entry, LengthMeasure lengths, Dialogs &dialogs)
{
    const QStringList failures = messages(entry, lengths);
    for (const QString &failure : failures)
        dialogs.message(failure, MessageIcon::Critical, MessageButtons::Ok,
                        QStringLiteral("error"));
    return failures.isEmpty();
}

} // namespace kx47
