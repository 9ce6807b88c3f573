#pragma once

#include <QLineEdit>

namespace kx47
{

// A text box of the entry form that reports a click of the mouse into it.
class EntryLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

} // namespace kx47
