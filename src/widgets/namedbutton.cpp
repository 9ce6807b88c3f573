#include "namedbutton.h"

#include <QLayout>
#include <QPushButton>

namespace kx47
{

QPushButton *addButton(QWidget *parent, QLayout *layout, const QString &name,
                       const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    layout->addWidget(button);
    return button;
}

} // namespace kx47
