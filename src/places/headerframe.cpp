#include "headerframe.h"

#include <QAbstractItemView>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QVBoxLayout>

namespace kx47
{

HeaderFrame::HeaderFrame(const QString &header, QAbstractItemView *list, QWidget *parent)
    : QGroupBox(header, parent), m_list(list)
{
    auto *layout = new QVBoxLayout(this);
    m_list->setParent(this);
    layout->addWidget(m_list);
}

void HeaderFrame::showEvent(QShowEvent *event)
{
    alignList();
    QGroupBox::showEvent(event);
}

int HeaderFrame::captionLeft() const
{
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    return style()
        ->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this)
        .left();
}

void HeaderFrame::alignList()
{
    // An item's text stands inside the list's frame, after the item's own margin.
    const int itemMargin =
        m_list->frameWidth() +
        m_list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_list) + 1;
    // Take the difference from the layout's margins first, then from the frame's own; the
    // right side follows the left so that the list stays in the middle.
    const int excess =
        contentsMargins().left() + layout()->contentsMargins().left() + itemMargin - captionLeft();
    QMargins layoutMargins = layout()->contentsMargins();
    const int fromLayout = qBound(0, excess, layoutMargins.left());
    layoutMargins.setLeft(layoutMargins.left() - fromLayout);
    layoutMargins.setRight(layoutMargins.left());
    layout()->setContentsMargins(layoutMargins);
    QMargins frameMargins = contentsMargins();
    frameMargins.setLeft(frameMargins.left() - qBound(0, excess - fromLayout, frameMargins.left()));
    frameMargins.setRight(frameMargins.left());
    setContentsMargins(frameMargins);
}

} // namespace kx47
