#include "entrylineedit.h"

#include <QMouseEvent>

namespace kx47
{

void EntryLineEdit::mouseReleaseEvent(QMouseEvent *event)
{
    QLineEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        emit clicked();
}

} // namespace kx47
