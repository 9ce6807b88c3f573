#include "entrylineedit.h"

#include <QFocusEvent>
#include <QMouseEvent>

namespace kx47
{

void EntryLineEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (!m_selectsOnEntry)
        return;
    selectAll();
    // The press that brought the focus comes next and would place the caret.
    m_enteredByClick = event->reason() == Qt::MouseFocusReason;
}

void EntryLineEdit::mousePressEvent(QMouseEvent *event)
{
    if (m_enteredByClick && event->button() == Qt::LeftButton) {
        m_enteredByClick = false;
        selectAll();
        event->accept();
        return;
    }
    m_enteredByClick = false;
    QLineEdit::mousePressEvent(event);
}

void EntryLineEdit::mouseReleaseEvent(QMouseEvent *event)
{
    QLineEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        emit clicked();
}

} // namespace kx47

#include "moc_entrylineedit.cpp"
