#pragma once

#include <QString>

namespace kx47
{

// How the length limits of call and place are measured.
enum class LengthMeasure {
    AfterQuoting, // each apostrophe counts twice, as the value stands in SQL text
    AsTyped,
};

// Where the caret goes when a field is turned to upper case.
enum class CaretAfterUpperCase {
    Kept,  // stays where it was
    AtEnd, // goes to the end of the text
};

// What sets the Insert QSO window and the Edit QSO window apart; both show the same form.
struct EntryMode {
    QString windowName;
    QString caption;
    LengthMeasure lengths;
    CaretAfterUpperCase caret;
    bool upperCaseCallOnLeaving; // the call is also turned to upper case when the field is left
    bool rewritesQso;            // rewrites the QSO under its number instead of appending one
    QString savedMessage;
    bool hidesAfterSaving;
    bool offersNow = false; // a "Now (UTC)" button fills the date and the time

    static EntryMode insertQso();
    static EntryMode editQso();
};

} // namespace kx47
