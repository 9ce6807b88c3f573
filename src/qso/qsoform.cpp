#include "qsoform.h"

#include "entrylineedit.h"
#include "gazetteer/placelookup.h"

#include "log/awardvocabulary.h"
#include "text/textforms.h"
#include "text/typedtext.h"
#include "widgets/typedbox.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateTime>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

namespace kx47
{

const QStringList QsoForm::provinces = vocabulary::provinceCodes();
const QStringList QsoForm::modes = vocabulary::modeNames();
const QStringList QsoForm::bands = vocabulary::bandNames();

namespace
{

EntryLineEdit *textBox(const QString &name, int characters, QWidget *parent)
{
    auto *edit = new EntryLineEdit(parent);
    edit->setObjectName(name);
    // Room for the field's characters in the widest letters, and the frame.
    edit->setFixedWidth(
        edit->fontMetrics().horizontalAdvance(QString(characters, QLatin1Char('W'))) + 14);
    return edit;
}

QComboBox *listBox(const QString &name, const QStringList &items, QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->addItems(items);
    return combo;
}

QGroupBox *group(const QString &caption, const QList<QWidget *> &widgets, QWidget *parent)
{
    auto *box = new QGroupBox(caption, parent);
    auto *layout = new QHBoxLayout(box);
    for (QWidget *widget : widgets)
        layout->addWidget(widget);
    return box;
}

QLabel *label(const QString &text, QWidget *parent, const QString &name = QString())
{
    auto *result = new QLabel(text, parent);
    if (!name.isEmpty())
        result->setObjectName(name);
    return result;
}

} // namespace

QsoForm::QsoForm(const EntryMode &mode, const PlaceLookup &places, QWidget *parent)
    : QWidget(parent), m_mode(mode), m_places(places)
{
    buildForm();
    connectAids();
}

void QsoForm::buildForm()
{
    m_square = label(QStringLiteral("KX47"), this, QStringLiteral("Label3"));
    m_locator = textBox(QStringLiteral("txtWWLocator"), 2, this);
    m_call = textBox(QStringLiteral("txtCall"), 12, this);
    for (int i = 0; i < 3; ++i)
        m_date[i] = textBox(QStringLiteral("txtDate%1").arg(i), 2, this);
    m_time = textBox(QStringLiteral("txtTime"), 4, this);
    // Typing into a date or time box replaces what stood there, however the focus came in.
    for (EntryLineEdit *edit : {m_date[0], m_date[1], m_date[2], m_time})
        edit->setSelectsOnEntry(true);

    m_place = new QComboBox(this);
    m_place->setObjectName(QStringLiteral("comboPlace"));
    m_place->setEditable(true);
    // The user types a whole name or picks one; nothing is completed or added to the list.
    m_place->setCompleter(nullptr);
    m_place->setInsertPolicy(QComboBox::NoInsert);
    // Leaving the field must not pick the entry that matches its text (and so choose its
    // province again over one chosen by hand): only a pick from the list counts as picking.
    disconnect(m_place->lineEdit(), &QLineEdit::editingFinished, m_place, nullptr);
    m_place->setMinimumContentsLength(24);
    m_prov = listBox(QStringLiteral("comboProv"), provinces, this);
    m_modeList = listBox(QStringLiteral("comboMode"), modes, this);
    m_band = listBox(QStringLiteral("comboBand"), bands, this);

    m_confirmed = new QRadioButton(QStringLiteral("confirmed"), this);
    m_confirmed->setObjectName(QStringLiteral("optQSLConf"));
    m_worked = new QRadioButton(QStringLiteral("worked"), this);
    m_worked->setObjectName(QStringLiteral("optQSLworked"));
    // One exclusive group: Tab stops at the ticked option only, the arrow keys tick the other.
    auto *qsl = new QButtonGroup(this);
    qsl->addButton(m_confirmed);
    qsl->addButton(m_worked);
    connect(qsl, &QButtonGroup::buttonToggled, this, [](QAbstractButton *option, bool ticked) {
        option->setFocusPolicy(ticked ? Qt::StrongFocus : Qt::ClickFocus);
    });
    m_confirmed->installEventFilter(this);
    m_worked->installEventFilter(this);

    m_submit = new QPushButton(QStringLiteral("Submit"), this);
    m_submit->setObjectName(QStringLiteral("cmdSubmit"));
    m_clear = new QPushButton(QStringLiteral("Clear"), this);
    m_clear->setObjectName(QStringLiteral("cmdClear"));
    m_exit = new QPushButton(QStringLiteral("Exit"), this);
    m_exit->setObjectName(QStringLiteral("cmdExit"));
    // Enter submits (the window takes the key); on a button it presses that button.
    m_submit->setDefault(true);
    for (QPushButton *button : {m_submit, m_clear, m_exit})
        button->setAutoDefault(true);

    auto *grid = new QGridLayout(this);
    grid->addWidget(group(QStringLiteral("WWLocator"), {m_square, m_locator}, this), 0, 0);
    grid->addWidget(group(QStringLiteral("Call"), {m_call}, this), 0, 1);
    grid->addWidget(group(QStringLiteral("date (dd/mm/yy)"),
                          {m_date[0], label(QStringLiteral("/"), this), m_date[1],
                           label(QStringLiteral("/"), this), m_date[2]},
                          this),
                    0, 2);
    grid->addWidget(group(QStringLiteral("Time (hhmm)"), {m_time}, this), 0, 3);
    grid->addWidget(group(QStringLiteral("Place"), {m_place}, this), 1, 0, 1, 2);
    grid->addWidget(group(QStringLiteral("Prov"), {m_prov}, this), 1, 2);
    grid->addWidget(group(QStringLiteral("Mode"), {m_modeList}, this), 1, 3);
    grid->addWidget(group(QStringLiteral("Band"), {m_band}, this), 2, 0);
    grid->addWidget(group(QStringLiteral("QSL"), {m_confirmed, m_worked}, this), 2, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_submit);
    buttons->addWidget(m_clear);
    buttons->addWidget(m_exit);
    grid->addLayout(buttons, 3, 0, 1, 4);

    QList<QWidget *> order = {m_locator,   m_call,   m_date[0], m_date[1],  m_date[2],
                              m_time,      m_place,  m_prov,    m_modeList, m_band,
                              m_confirmed, m_worked, m_submit,  m_clear,    m_exit};
    if (m_mode.offersNow) {
        m_now = new QPushButton(QStringLiteral("Now (UTC)"), this);
        m_now->setObjectName(QStringLiteral("cmdNow"));
        m_now->setAutoDefault(true);
        connect(m_now, &QPushButton::clicked, this, &QsoForm::fillNow);
        grid->addWidget(m_now, 2, 2, Qt::AlignLeft);
        order << m_now;
    }
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void QsoForm::connectAids()
{
    const std::array<Field, 6> fields = {{{m_locator, 2, m_call, true},
                                          {m_call, 12, m_date[0], true},
                                          {m_date[0], 2, m_date[1], false},
                                          {m_date[1], 2, m_date[2], false},
                                          {m_date[2], 2, m_time, false},
                                          {m_time, 4, m_place, false}}};
    for (const Field &field : fields) {
        connect(field.edit, &QLineEdit::textChanged, this, [this, field] { fieldChanged(field); });
        connect(field.edit, &EntryLineEdit::clicked, this, [this, field] { fieldClicked(field); });
    }
    connect(m_place, &QComboBox::editTextChanged, this, &QsoForm::placeChanged);
    connect(m_place, qOverload<int>(&QComboBox::activated), this, &QsoForm::lookUpPlace);
    m_place->installEventFilter(this);
    if (m_mode.upperCaseCallOnLeaving)
        m_call->installEventFilter(this);
}

bool QsoForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && (watched == m_confirmed || watched == m_worked)) {
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down: {
            QRadioButton *other = watched == m_confirmed ? m_worked : m_confirmed;
            other->setChecked(true);
            other->setFocus(Qt::TabFocusReason);
            return true;
        }
        default:
            break;
        }
    }
    if (event->type() == QEvent::FocusOut) {
        if (watched == m_place)
            setUpperCase(m_place->lineEdit());
        else if (watched == m_call)
            setUpperCase(m_call);
    }
    return QWidget::eventFilter(watched, event);
}

bool QsoForm::setUpperCase(QLineEdit *edit)
{
    return tidyTypedText(edit, true,
                         m_mode.caret == CaretAfterUpperCase::Kept
                             ? CaretAfterTidying::AfterSameCharacters
                             : CaretAfterTidying::AtEnd);
}

void QsoForm::fieldChanged(const Field &field)
{
    const QString text = field.edit->text();
    const TypedText typed = typedText(text, field.edit->cursorPosition(), field.upperCase);
    QString wanted = typed.text;
    const bool tooLong = wanted.size() > field.length;
    if (tooLong)
        wanted.truncate(field.length);
    if (wanted != text) {
        // Setting the text runs this behaviour again on the new text, which passes the focus on
        // and rebuilds the place list; here only the caret or the selection is left to do.
        field.edit->setText(wanted);
        if (tooLong) {
            field.edit->setFocus();
            field.edit->selectAll();
        } else if (m_mode.caret == CaretAfterUpperCase::Kept) {
            field.edit->setCursorPosition(typed.caret);
        }
        return;
    }
    if (text.size() > field.length - 1)
        field.next->setFocus();
    if (field.edit == m_locator)
        rebuildPlaces();
}

void QsoForm::fieldClicked(const Field &field)
{
    // A click into a full field selects it, so that typing replaces it.
    if (field.edit->text().size() != field.length)
        return;
    field.edit->setFocus();
    field.edit->setSelection(0, field.length);
}

void QsoForm::rebuildPlaces()
{
    // Rebuilding the list never changes what stands in the place field.
    const QString kept = m_place->currentText();
    {
        const QSignalBlocker blocker(m_place);
        m_place->clear();
        m_place->addItems(m_places.placesOf(m_locator->text()));
        m_place->setCurrentIndex(-1);
        m_place->setEditText(kept);
    }
    // Setting the place back counts as a change of the place field.
    placeChanged();
}

void QsoForm::placeChanged()
{
    // Tidying the text runs this behaviour again, which looks the place up.
    if (setUpperCase(m_place->lineEdit()))
        return;
    lookUpPlace();
}

void QsoForm::lookUpPlace()
{
    const QString place = m_place->currentText();
    QString province = m_places.provinceOf(place, m_locator->text());
    // A place the gazetteer does not know lies where the sub-square's places lie, when they all
    // lie in one province; otherwise the user picks it.
    if (province.isEmpty() && !place.isEmpty())
        province = m_places.sharedProvinceOf(m_locator->text());
    if (province.isEmpty())
        return;
    // A province that is not among the nine of the list leaves the choice as it is.
    const int index = m_prov->findText(province, Qt::MatchFixedString);
    if (index >= 0)
        m_prov->setCurrentIndex(index);
}

QsoEntry QsoForm::entry() const
{
    QsoEntry e;
    e.locator = m_locator->text();
    e.call = m_call->text();
    e.day = m_date[0]->text();
    e.month = m_date[1]->text();
    e.year = m_date[2]->text();
    e.time = m_time->text();
    e.place = m_place->currentText();
    e.prov = m_prov->currentText();
    e.mode = m_modeList->currentText();
    e.band = m_band->currentText();
    e.confirmed = m_confirmed->isChecked();
    e.placeMayStayEmpty = m_loadedWithoutPlace;
    return e;
}

void QsoForm::applyDefaults()
{
    m_confirmed->setChecked(true);
    m_place->setEditText(QString());
    m_band->setCurrentIndex(0);
    m_modeList->setCurrentIndex(0);
    showProvince(QString());
    m_prov->setCurrentIndex(0);
    m_loadedWithoutPlace = false;
    focusLocator();
}

void QsoForm::showProvince(const QString &province)
{
    // A province the list lacks (one the gazetteer or an imported file gave, or none at all)
    // is shown as stored, so that saving the QSO again keeps it; the list of the province
    // codes itself stays as it is.
    while (m_prov->count() > provinces.size())
        m_prov->removeItem(m_prov->count() - 1);
    if (province.isNull())
        return;
    int index = m_prov->findText(province, Qt::MatchFixedString);
    if (index < 0) {
        m_prov->addItem(province);
        index = m_prov->count() - 1;
    }
    m_prov->setCurrentIndex(index);
}

void QsoForm::cancella()
{
    // The place goes first: emptying the sub-square puts the place back and looks it up, which
    // would choose its province again over the user's choice.
    m_place->setEditText(QString());
    m_locator->setText(QString());
    m_call->setText(QString());
    for (EntryLineEdit *edit : m_date)
        edit->setText(QString());
    m_time->setText(QString());
    m_confirmed->setChecked(true);
    focusLocator();
}

void QsoForm::focusLocator()
{
    m_locator->setFocus();
}

void QsoForm::focusDay()
{
    m_date[0]->setFocus();
    m_date[0]->selectAll();
}

void QsoForm::fillNow()
{
    // One reading of the clock for all four fields; each full field passes the focus on, so the
    // place comes next.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    m_date[0]->setText(now.toString(QStringLiteral("dd")));
    m_date[1]->setText(now.toString(QStringLiteral("MM")));
    m_date[2]->setText(now.toString(QStringLiteral("yy")));
    m_time->setText(now.toString(QStringLiteral("HHmm")));
}

namespace
{

// Selects the entry of a drop-down list that bears the text, whatever its letter case; an
// editable list takes the text as typed.
void showInCombo(QComboBox *combo, const QString &text)
{
    if (combo->isEditable()) {
        combo->setEditText(text);
        return;
    }
    const int index = combo->findText(text, Qt::MatchFixedString);
    if (index >= 0)
        combo->setCurrentIndex(index);
}

} // namespace

void QsoForm::load(const QsoRecord &qso)
{
    // Field by field, in this order, as if typed, so that the typing aids run on every value.
    // The province comes after the place, so that the QSO's own province stays even where the
    // gazetteer gives the place another. "dd/mm/yy": day, month and two-digit year stand at
    // fixed places.
    const QString date = dateText(qso.date);
    m_locator->setText(qso.locator);
    m_call->setText(qso.call);
    m_time->setText(entryTime(qso.time));
    m_date[0]->setText(date.mid(0, 2));
    m_date[1]->setText(date.mid(3, 2));
    m_date[2]->setText(date.mid(6, 2));
    showInCombo(m_place, qso.place);
    showProvince(qso.prov.isNull() ? QStringLiteral("") : qso.prov);
    m_loadedWithoutPlace = qso.place.isEmpty();
    showInCombo(m_modeList, qso.mode);
    showInCombo(m_band, qso.band);
    if (qso.qsl == vocabulary::QslState::Confirmed)
        m_confirmed->setChecked(true);
    else
        m_worked->setChecked(true);
    focusLocator();
}

} // namespace kx47

#include "moc_qsoform.cpp"
