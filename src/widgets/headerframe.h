#pragma once

#include <QGroupBox>

class QListView;

namespace kx47
{

// A frame whose caption is the column header of the fixed-width list inside it. The caption is
// drawn where the list draws the text of its lines, measured from the list's frame, viewport
// and item margins in the list's style, so that the bars of the header stand over those of the
// lines whatever the style and the font. The caption follows the list when it scrolls sideways.
class HeaderFrame : public QGroupBox
{
    Q_OBJECT
public:
    HeaderFrame(const QString &header, QListView *list, QWidget *parent = nullptr);

    // Where the caption's text starts, from the frame's left edge: where the lines' text starts.
    int captionLeft() const;

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QListView *m_list;
};

} // namespace kx47
