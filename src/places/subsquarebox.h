#pragma once

#include <QLineEdit>

namespace kx47
{

// The box for the two last letters of a sub-square. It keeps its text in upper case with the
// caret at the end; a third character cuts the text back to the first two and selects them,
// so that the next key typed replaces both. A click into the box while it holds two characters
// selects them too.
class SubSquareBox : public QLineEdit
{
    Q_OBJECT
public:
    explicit SubSquareBox(QWidget *parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    void tidy(const QString &text);
};

} // namespace kx47
