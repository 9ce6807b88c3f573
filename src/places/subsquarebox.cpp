#include "subsquarebox.h"

#include "text/typedtext.h"

namespace kx47
{

namespace
{

constexpr int letters = 2;

} // namespace

SubSquareBox::SubSquareBox(QWidget *parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, &SubSquareBox::tidy);
}

void SubSquareBox::tidy(const QString &text)
{
    QString tidied = typedText(text, 0, true).text;
    const bool cut = tidied.size() > letters;
    if (cut)
        tidied.truncate(letters);
    // Setting the text runs this again on the tidied text, which then stays as it is.
    if (tidied != text)
        setText(tidied);
    setCursorPosition(tidied.size());
    if (cut) {
        setFocus();
        selectAll();
    }
}

void SubSquareBox::mousePressEvent(QMouseEvent *event)
{
    // The base handler places the caret where the mouse is; the selection comes after it.
    QLineEdit::mousePressEvent(event);
    if (text().size() == letters) {
        setFocus();
        selectAll();
    }
}

} // namespace kx47

#include "moc_subsquarebox.cpp"
