#include "typedbox.h"

#include "text/typedtext.h"

#include <QLineEdit>

namespace kx47
{

bool tidyTypedText(QLineEdit *box, bool upperCase, CaretAfterTidying caret)
{
    const TypedText wanted = typedText(box->text(), box->cursorPosition(), upperCase);
    if (wanted.text == box->text())
        return false;
    box->setText(wanted.text);
    if (caret == CaretAfterTidying::AfterSameCharacters)
        box->setCursorPosition(wanted.caret);
    return true;
}

} // namespace kx47
