#include "mapcontrols.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>

namespace kx47
{

QComboBox *choiceInFrame(QWidget *parent, QBoxLayout *row, const QString &caption,
                         const QString &name, const QStringList &items)
{
    auto *frame = new QGroupBox(caption, parent);
    auto *frameLayout = new QVBoxLayout(frame);
    auto *combo = new QComboBox(frame);
    combo->setObjectName(name);
    combo->setEditable(false);
    combo->addItems(items);
    frameLayout->addWidget(combo);
    row->addWidget(frame);
    return combo;
}

QPushButton *rowButton(QWidget *parent, QBoxLayout *row, const QString &caption,
                       const QString &name)
{
    auto *push = new QPushButton(caption, parent);
    push->setObjectName(name);
    row->addWidget(push);
    return push;
}

} // namespace kx47
