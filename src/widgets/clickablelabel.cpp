#include "clickablelabel.h"

#include <QMouseEvent>

namespace kx47
{

void ClickableLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

} // namespace kx47

#include "moc_clickablelabel.cpp"
