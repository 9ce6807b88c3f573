#include "headerframe.h"

#include <QListView>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QStyleOptionViewItem>
#include <QVBoxLayout>

namespace kx47
{

HeaderFrame::HeaderFrame(const QString &header, QListView *list, QWidget *parent)
    : QGroupBox(header, parent), m_list(list)
{
    auto *layout = new QVBoxLayout(this);
    m_list->setParent(this);
    layout->addWidget(m_list);
    // The caption moves with the lines.
    const auto follow = [this] { update(); };
    connect(m_list->horizontalScrollBar(), &QScrollBar::valueChanged, this, follow);
}

int HeaderFrame::captionLeft() const
{
    // The first line's box, or where it would stand in an empty list.
    const QAbstractItemModel *model = m_list->model();
    const QRect item = model && model->rowCount() > 0
                           ? m_list->visualRect(model->index(0, 0))
                           : QRect(m_list->spacing() - m_list->horizontalScrollBar()->value(), 0,
                                   m_list->viewport()->width(), m_list->fontMetrics().height());
    // Within the box the style places the text area, and draws the text one focus frame
    // margin and a pixel inside it.
    QStyleOptionViewItem option;
    option.initFrom(m_list);
    option.rect = item;
    option.font = m_list->font();
    option.fontMetrics = m_list->fontMetrics();
    option.features = QStyleOptionViewItem::HasDisplay;
    option.text = title();
    option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    QStyle *style = m_list->style();
    const int textArea = style->subElementRect(QStyle::SE_ItemViewItemText, &option, m_list).left();
    const int textMargin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_list) + 1;
    return m_list->viewport()->mapTo(this, QPoint(textArea + textMargin, 0)).x();
}

QSize HeaderFrame::minimumSizeHint() const
{
    // Room for the whole caption where it is drawn, and as much again on the right.
    QSize size = QGroupBox::minimumSizeHint();
    const int caption = fontMetrics().horizontalAdvance(title());
    size.setWidth(qMax(size.width(), 2 * qMax(0, captionLeft()) + caption));
    return size;
}

void HeaderFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    const QRect label =
        style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this);
    // The style draws the frame with room for the caption; the caption itself goes over the
    // lines.
    option.subControls &= ~QStyle::SC_GroupBoxLabel;
    style()->drawComplexControl(QStyle::CC_GroupBox, &option, &painter, this);
    painter.setClipRect(QRect(m_list->x(), label.top(), m_list->width(), label.height()));
    const int left = captionLeft();
    const QRect text(left, label.top(), width() - left, label.height());
    style()->drawItemText(&painter, text, Qt::AlignLeft | Qt::AlignVCenter, palette(), isEnabled(),
                          title(), QPalette::WindowText);
}

} // namespace kx47

#include "moc_headerframe.cpp"
