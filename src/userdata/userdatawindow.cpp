#include "userdatawindow.h"

#include "userdatachecks.h"

#include "platform/appcontext.h"
#include "platform/dialogs.h"
#include "platform/windownames.h"
#include "storage/database.h"
#include "storage/databaseerror.h"
#include "widgets/typedbox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kx47
{

namespace
{

const QString defaultCategory = QStringLiteral("OM");
// The e-mail, the longest value the checks let through.
constexpr int widestValue = 50;

// Keeps a box in upper case and free of hidden formatting as the user types or pastes, with
// the caret after the characters it stood after.
void keepUpperCase(QLineEdit *box)
{
    QObject::connect(box, &QLineEdit::textChanged, box,
                     [box] { tidyTypedText(box, true, CaretAfterTidying::AfterSameCharacters); });
}

QGroupBox *framed(const QString &caption, QWidget *control, QWidget *parent)
{
    auto *frame = new QGroupBox(caption, parent);
    auto *layout = new QVBoxLayout(frame);
    layout->setContentsMargins(6, 2, 6, 4);
    layout->addWidget(control);
    return frame;
}

} // namespace

UserDataWindow::UserDataWindow(AppContext &context) : m_context(context), m_store(context.log)
{
    setObjectName(windows::frmUserData);
    setWindowTitle(QStringLiteral("User Data"));

    auto *layout = new QHBoxLayout(this);

    // The entry panel: two columns of framed fields, then Clear and Submit.
    auto *entry = new QGroupBox(this);
    entry->setObjectName(QStringLiteral("Frame1"));
    m_entryPanel = entry;
    auto *entryLayout = new QGridLayout(entry);
    auto *left = new QVBoxLayout;
    auto *right = new QVBoxLayout;
    entryLayout->addLayout(left, 0, 0);
    entryLayout->addLayout(right, 0, 1);

    m_category = new QComboBox(entry);
    m_category->setObjectName(QStringLiteral("Combo"));
    m_category->addItems({QStringLiteral("OM"), QStringLiteral("YL"), QStringLiteral("SWL")});
    left->addWidget(framed(QStringLiteral("OM/YL/SWL"), m_category, entry));
    QLineEdit *call = addBox(QStringLiteral("txtCall"), QStringLiteral("Call"), left);
    QLineEdit *fName = addBox(QStringLiteral("txtfName"), QStringLiteral("First Name"), left);
    QLineEdit *sName = addBox(QStringLiteral("txtsName"), QStringLiteral("Second Name"), left);
    QLineEdit *address = addBox(QStringLiteral("txtAddress"), QStringLiteral("Address"), left);
    left->addStretch();
    QLineEdit *zip = addBox(QStringLiteral("txtZipCode"), QStringLiteral("ZIP Code"), right);
    QLineEdit *city = addBox(QStringLiteral("txtCity"), QStringLiteral("City"), right);
    QLineEdit *prov = addBox(QStringLiteral("txtProv"), QStringLiteral("Prov"), right);
    QLineEdit *country = addBox(QStringLiteral("txtCountry"), QStringLiteral("Country"), right);
    QLineEdit *locator = addBox(QStringLiteral("txtWWLocator"), QStringLiteral("WWLocator"), right);
    QLineEdit *email = addBox(QStringLiteral("txtEmail"), QStringLiteral("E-Mail"), right);
    right->addStretch();

    auto *buttons = new QHBoxLayout;
    auto *clearButton = new QPushButton(QStringLiteral("Clear"), entry);
    clearButton->setObjectName(QStringLiteral("cmdClear"));
    auto *submitButton = new QPushButton(QStringLiteral("Submit"), entry);
    submitButton->setObjectName(QStringLiteral("cmdSubmit"));
    buttons->addWidget(clearButton);
    buttons->addWidget(submitButton);
    entryLayout->addLayout(buttons, 1, 0, 1, 2);
    layout->addWidget(entry);

    // The stored record, one caption and one value label per column, and Exit under it.
    auto *side = new QVBoxLayout;
    auto *stored = new QGroupBox(QStringLiteral("Courrent User Data:"), this);
    stored->setObjectName(QStringLiteral("Frame2"));
    m_storedPanel = stored;
    m_storedRows = new QGridLayout(stored);
    const struct {
        const char *caption;
        const char *name;
    } rows[] = {
        {"OM/YL/SWL:", "lblOM"},        {"Call:", "lblCall"},       {"First Name:", "lblfName"},
        {"Second Name:", "lblsName"},   {"Address:", "lblAddress"}, {"ZIP Code:", "lblZipCode"},
        {"City:", "lblCity"},           {"Prov:", "lblProv"},       {"Country:", "lblCountry"},
        {"WWLocator:", "lblWWLocator"}, {"E-Mail:", "lblemail"}};
    for (const auto &storedRow : rows)
        addValueRow(QString::fromLatin1(storedRow.caption), QString::fromLatin1(storedRow.name));
    side->addWidget(stored);
    auto *exitButton = new QPushButton(QStringLiteral("Exit"), this);
    exitButton->setObjectName(QStringLiteral("Command1"));
    side->addWidget(exitButton, 0, Qt::AlignRight);
    side->addStretch();
    layout->addLayout(side);

    QWidget *order[] = {call,    fName,   sName, address,      zip,         city,       prov,
                        country, locator, email, submitButton, clearButton, exitButton, m_category};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(submitButton, &QPushButton::clicked, this, &UserDataWindow::submit);
    connect(clearButton, &QPushButton::clicked, this, &UserDataWindow::clear);
    connect(exitButton, &QPushButton::clicked, this, &QWidget::hide);

    m_category->setCurrentText(defaultCategory);
    showUserData();
    call->setFocus();
}

QLineEdit *UserDataWindow::addBox(const QString &objectName, const QString &caption,
                                  QLayout *column)
{
    auto *box = new QLineEdit(m_entryPanel);
    box->setObjectName(objectName);
    keepUpperCase(box);
    m_boxes.insert(objectName, box);
    column->addWidget(framed(caption, box, m_entryPanel));
    return box;
}

void UserDataWindow::addValueRow(const QString &caption, const QString &objectName)
{
    const int row = m_values.size();
    auto *captionLabel = new QLabel(caption, m_storedPanel);
    captionLabel->setObjectName(QStringLiteral("Label%1").arg(row + 1));
    auto *value = new QLabel(m_storedPanel);
    value->setObjectName(objectName);
    // A stored value is shown as it is, in room for the widest value the checks let through;
    // a longer one (a row written by hand) ends in an ellipsis instead of stretching the window,
    // and is shown whole as the tip.
    value->setTextFormat(Qt::PlainText);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    value->setFixedWidth(value->fontMetrics().averageCharWidth() * widestValue);
    m_storedRows->addWidget(captionLabel, row, 0);
    m_storedRows->addWidget(value, row, 1);
    m_values.insert(objectName, value);
}

void UserDataWindow::showUserData()
{
    UserDataRecord record;
    // A table that cannot be read now leaves the labels as they were.
    if (!guardLogWork(
            m_context.dialogs, [&] { record = m_store.read(); }, DatabaseError::Work::Read))
        return;
    const struct {
        const char *label;
        const QString &value;
    } labels[] = {{"lblAddress", record.address}, {"lblCall", record.call},
                  {"lblCity", record.city},       {"lblCountry", record.country},
                  {"lblemail", record.email},     {"lblfName", record.fName},
                  {"lblOM", record.category},     {"lblProv", record.prov},
                  {"lblsName", record.sName},     {"lblWWLocator", record.wwLocator},
                  {"lblZipCode", record.zipCode}};
    for (const auto &label : labels) {
        QLabel *value = m_values.value(QString::fromLatin1(label.label));
        value->setText(
            value->fontMetrics().elidedText(label.value, Qt::ElideRight, value->width()));
        value->setToolTip(label.value);
    }
}

UserDataRecord UserDataWindow::typed() const
{
    const auto text = [this](const char *box) {
        return m_boxes.value(QString::fromLatin1(box))->text();
    };
    UserDataRecord record;
    record.category = m_category->currentText();
    record.call = text("txtCall");
    record.fName = text("txtfName");
    record.sName = text("txtsName");
    record.address = text("txtAddress");
    record.city = text("txtCity");
    record.prov = text("txtProv");
    record.country = text("txtCountry");
    record.zipCode = text("txtZipCode");
    record.wwLocator = text("txtWWLocator");
    record.email = text("txtEmail");
    return record;
}

void UserDataWindow::submit()
{
    const UserDataRecord record = typed();
    if (refusedAsReadOnly(m_context.log, m_context.dialogs))
        return;
    const QString failure = UserDataChecks::firstFailure(record);
    if (failure.isEmpty()) {
        // A failed write is reported; the boxes keep what was typed.
        guardLogWork(m_context.dialogs, [&] { m_store.write(record); });
    } else {
        m_context.dialogs.message(failure, MessageIcon::Critical, MessageButtons::Ok);
    }
    // The labels show the table as it is now, whether or not this Submit wrote it.
    showUserData();
}

void UserDataWindow::clear()
{
    m_category->setCurrentText(defaultCategory);
    for (const char *name : {"txtAddress", "txtCall", "txtCity", "txtCountry", "txtEmail",
                             "txtfName", "txtsName", "txtZipCode", "txtProv", "txtWWLocator"})
        m_boxes.value(QString::fromLatin1(name))->clear();
}

} // namespace kx47

#include "moc_userdatawindow.cpp"
