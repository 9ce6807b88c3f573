#pragma once

class QLineEdit;

namespace kx47
{

// Where the caret goes when a text box has been tidied.
enum class CaretAfterTidying {
    AfterSameCharacters,
    AtEnd,
};

// Tidies the box's text as typedText does and places the caret; true when the text changed.
// Setting the text emits the box's change signals once more, with nothing left to tidy.
bool tidyTypedText(QLineEdit *box, bool upperCase, CaretAfterTidying caret);

} // namespace kx47
