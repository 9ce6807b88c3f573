#pragma once

#include <QString>

class QLayout;
class QPushButton;
class QWidget;

namespace kx47
{

// A push button with its caption and object name, made a child of parent and added to layout.
QPushButton *addButton(QWidget *parent, QLayout *layout, const QString &name,
                       const QString &caption);

} // namespace kx47
