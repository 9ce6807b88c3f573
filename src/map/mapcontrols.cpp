#include "mapcontrols.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QGroupBox>

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

} // namespace kx47
