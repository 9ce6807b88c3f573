#include "importoptionswindow.h"

#include "platform/windowsettings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace kx47
{

const QString ImportOptionsWindow::name = QStringLiteral("frmImportOptions");

namespace
{

const QString confirmationsKey = QStringLiteral("confirmations");
const QString mixedKey = QStringLiteral("mixed");

QCheckBox *checkBox(const QString &objectName, const QString &caption, bool checked,
                    QWidget *parent)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(objectName);
    box->setChecked(checked);
    return box;
}

} // namespace

ImportOptionsWindow::ImportOptionsWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(name);
    setWindowTitle(QStringLiteral("Import ADIF"));
    const MappingOptions chosen = remembered();

    auto *counted = new QGroupBox(QStringLiteral("Count as confirmed"), this);
    m_paper = checkBox(QStringLiteral("chkPaper"), QStringLiteral("QSL cards (the award's rules)"),
                       chosen.accepted.testFlag(Confirmation::Paper), counted);
    m_lotw = checkBox(QStringLiteral("chkLotw"), QStringLiteral("LoTW"),
                      chosen.accepted.testFlag(Confirmation::Lotw), counted);
    m_eqsl = checkBox(QStringLiteral("chkEqsl"), QStringLiteral("eQSL"),
                      chosen.accepted.testFlag(Confirmation::Eqsl), counted);
    auto *note = new QLabel(
        QStringLiteral("The award counts QSL cards only: tick LoTW or eQSL only when your Award "
                       "Manager accepts them. LoTW and eQSL confirmations are kept with each QSO "
                       "whatever counts; in a LoTW report or an eQSL inbox download they are "
                       "never taken for a card."),
        counted);
    note->setWordWrap(true);
    auto *countedLayout = new QVBoxLayout(counted);
    countedLayout->addWidget(m_paper);
    countedLayout->addWidget(m_lotw);
    countedLayout->addWidget(m_eqsl);
    countedLayout->addWidget(note);

    m_mixed = checkBox(QStringLiteral("chkMixed"),
                       QStringLiteral("Log every imported QSO under the mode MIXED, instead of CW, "
                                      "SSB or DIGITAL"),
                       chosen.mixed, this);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(counted);
    layout->addWidget(m_mixed);
    layout->addWidget(buttons);
}

MappingOptions ImportOptionsWindow::options() const
{
    MappingOptions chosen;
    chosen.accepted = {};
    if (m_paper->isChecked())
        chosen.accepted |= Confirmation::Paper;
    if (m_lotw->isChecked())
        chosen.accepted |= Confirmation::Lotw;
    if (m_eqsl->isChecked())
        chosen.accepted |= Confirmation::Eqsl;
    chosen.mixed = m_mixed->isChecked();
    return chosen;
}

MappingOptions ImportOptionsWindow::remembered()
{
    MappingOptions chosen;
    const QString kinds = windowsettings::choice(name, confirmationsKey);
    if (kinds == QLatin1String("none"))
        chosen.accepted = {};
    else if (!kinds.isEmpty())
        parseConfirmationWords(kinds, &chosen.accepted);
    chosen.mixed = windowsettings::choice(name, mixedKey) == QLatin1String("yes");
    return chosen;
}

void ImportOptionsWindow::remember(const MappingOptions &options)
{
    // "none" keeps a choice of nothing apart from no choice saved at all.
    const QString words = confirmationWords(options.accepted);
    windowsettings::setChoice(name, confirmationsKey,
                              words.isEmpty() ? QStringLiteral("none") : words);
    windowsettings::setChoice(name, mixedKey,
                              options.mixed ? QStringLiteral("yes") : QStringLiteral("no"));
}

std::optional<MappingOptions> ImportOptionsWindow::ask(QWidget *parent)
{
    ImportOptionsWindow window(parent);
    if (window.exec() != QDialog::Accepted)
        return std::nullopt;
    const MappingOptions chosen = window.options();
    remember(chosen);
    return chosen;
}

} // namespace kx47

#include "moc_importoptionswindow.cpp"
