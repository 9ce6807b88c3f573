#pragma once

#include <QGroupBox>

class QAbstractItemView;

namespace kx47
{

// A frame whose caption is the column header of the fixed-width list inside it. It keeps the
// list's text under the caption, so that the bars of the lines stand under those of the header
// whatever the style draws around them.
class HeaderFrame : public QGroupBox
{
    Q_OBJECT
public:
    HeaderFrame(const QString &header, QAbstractItemView *list, QWidget *parent = nullptr);

    // Where the caption's text starts, from the frame's left edge.
    int captionLeft() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void alignList();

    QAbstractItemView *m_list;
};

} // namespace kx47
