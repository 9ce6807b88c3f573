#pragma once

#include <QListView>

namespace kx47
{

// The browser's list of lines, all of one height: its work after a change of the lines stays
// short however long the list. A line whose text changes keeps its place and size, so only it
// is painted again instead of the whole list being laid out anew; the lines are laid out in
// stretches of layoutStretch, one per turn of the event loop, so that a list of a million
// lines arriving or changing leaves the window answering between the stretches. A list of
// fewer lines is laid out at once, as a plain list view does.
class LogLinesView : public QListView
{
    Q_OBJECT
public:
    static constexpr int layoutStretch = 50000;

    explicit LogLinesView(QWidget *parent = nullptr);

protected:
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QList<int> &roles = QList<int>()) override;
};

} // namespace kx47
