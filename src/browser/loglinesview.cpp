#include "loglinesview.h"

namespace kx47
{

LogLinesView::LogLinesView(QWidget *parent) : QListView(parent)
{
    setUniformItemSizes(true);
    setLayoutMode(QListView::Batched);
    setBatchSize(layoutStretch);
}

void LogLinesView::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                               const QList<int> &roles)
{
    // The list view would lay out every line again; lines of one height and a changed text stay
    // where they are, so painting the changed ones again is enough.
    QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
}

} // namespace kx47

#include "moc_loglinesview.cpp"
