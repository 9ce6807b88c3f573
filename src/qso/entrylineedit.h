#pragma once

#include <QLineEdit>

namespace kx47
{

// A text box of the entry form that reports a click of the mouse into it. A box made to select
// on entry selects its whole text whenever the focus comes into it (moved on by the form, Tab or
// a click), so that what is typed next replaces it; a click into a box that has the focus
// already places the caret as usual.
class EntryLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

    void setSelectsOnEntry(bool selects) { m_selectsOnEntry = selects; }

signals:
    void clicked();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_selectsOnEntry = false;
    bool m_enteredByClick = false;
};

} // namespace kx47
