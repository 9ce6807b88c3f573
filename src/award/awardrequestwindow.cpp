#include "awardrequestwindow.h"

#include "awardrequest.h"
#include "awardrequestkind.h"

#include "log/awardvocabulary.h"
#include "platform/appcontext.h"
#include "storage/databaseerror.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace kx47
{

namespace
{

// A choice-only list in a frame with its caption.
QComboBox *addChoice(QGridLayout *layout, int column, const QString &caption, const QString &name,
                     const QStringList &items)
{
    auto *frame = new QGroupBox(caption);
    auto *combo = new QComboBox(frame);
    combo->setObjectName(name);
    combo->setEditable(false);
    combo->addItems(items);
    (new QVBoxLayout(frame))->addWidget(combo);
    layout->addWidget(frame, 0, column);
    return combo;
}

} // namespace

AwardRequestWindow::AwardRequestWindow(AppContext &context, const AwardRequestKind &kind)
    : m_context(context), m_kind(kind)
{
    setObjectName(kind.windowName);
    setWindowTitle(kind.caption);
    setAttribute(Qt::WA_DeleteOnClose);

    auto *layout = new QGridLayout(this);
    m_mode = addChoice(layout, 0, QStringLiteral("Mode"), QStringLiteral("comboMode"),
                       vocabulary::modeNames());
    m_band = addChoice(layout, 1, QStringLiteral("Band"), QStringLiteral("comboBand"),
                       vocabulary::bandNames());
    auto *printButton = new QPushButton(QStringLiteral("Print"), this);
    printButton->setObjectName(QStringLiteral("cmdPrint"));
    layout->addWidget(printButton, 1, 0);
    auto *exitButton = new QPushButton(QStringLiteral("Exit"), this);
    exitButton->setObjectName(QStringLiteral("cmdExit"));
    layout->addWidget(exitButton, 1, 1);

    m_band->setCurrentText(QLatin1String(vocabulary::bands.front().name));
    m_mode->setCurrentText(QLatin1String(vocabulary::modes.front()));

    connect(printButton, &QPushButton::clicked, this, &AwardRequestWindow::print);
    connect(exitButton, &QPushButton::clicked, this, &QWidget::hide);
}

void AwardRequestWindow::print()
{
    guardLogWork(m_context.dialogs, [this] {
        AwardRequest(m_context.log, m_context.dialogs, m_context.printService,
                     m_context.logNotifier)
            .run(m_kind, m_band->currentText(), m_mode->currentText());
    });
}

} // namespace kx47

#include "moc_awardrequestwindow.cpp"
