#pragma once

#include "entrymode.h"

#include <QStringList>

namespace kx47
{

class Dialogs;
struct QsoEntry;

// The checks of the entry form, run when "Submit" is pressed before any database work. Some
// failures stop the checks, others let the next ones run, so one press may give several
// messages.
class QsoChecks
{
public:
    static constexpr int callLimit = 15;
    static constexpr int placeLimit = 50;
    static const QString dateMessage;

    // The failure messages in the order the user sees them; empty when the entry may be saved.
    static QStringList messages(const QsoEntry &entry, LengthMeasure lengths);

    // Shows each failure with the critical icon, OK and the title "error"; true when there was
    // none.
    static bool confirm(const QsoEntry &entry, LengthMeasure lengths, Dialogs &dialogs);
};

} // namespace kx47
