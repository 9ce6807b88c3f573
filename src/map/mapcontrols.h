#pragma once

#include <QString>
#include <QStringList>

class QBoxLayout;
class QComboBox;
class QWidget;

namespace kx47
{

// The control the map windows share: a drop-down list to choose from in a captioned frame,
// added to a row.
QComboBox *choiceInFrame(QWidget *parent, QBoxLayout *row, const QString &caption,
                         const QString &name, const QStringList &items);

// The band choice's item for all bands together.
inline QString allBandsChoice()
{
    return QStringLiteral("All bands");
}

} // namespace kx47
