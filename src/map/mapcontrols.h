#pragma once

#include <QString>
#include <QStringList>

class QBoxLayout;
class QComboBox;
class QPushButton;
class QWidget;

namespace kx47
{

// The controls the map windows share: a drop-down list to choose from in a captioned frame, and
// a button, each added to a row.
QComboBox *choiceInFrame(QWidget *parent, QBoxLayout *row, const QString &caption,
                         const QString &name, const QStringList &items);
QPushButton *rowButton(QWidget *parent, QBoxLayout *row, const QString &caption,
                       const QString &name);

// The band choice's item for all bands together.
inline QString allBandsChoice()
{
    return QStringLiteral("All bands");
}

} // namespace kx47
