#include "utilitywindow.h"

#include "logline.h"
#include "loglinesmodel.h"
#include "loglinesview.h"
#include "loglister.h"
#include "loglisting.h"

#include "log/logchange.h"
#include "platform/appcontext.h"
#include "platform/dialogs.h"
#include "platform/windownames.h"
#include "platform/windowregistry.h"
#include "qso/editqsowindow.h"
#include "storage/database.h"
#include "storage/databaseerror.h"
#include "widgets/headerframe.h"
#include "widgets/namedbutton.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kx47
{

namespace
{

QRadioButton *addOption(QGroupBox *frame, const QString &name, const QString &caption)
{
    auto *option = new QRadioButton(caption, frame);
    option->setObjectName(name);
    frame->layout()->addWidget(option);
    return option;
}

} // namespace

UtilityWindow::UtilityWindow(AppContext &context)
    : m_context(context), m_actions(context.log, context.dialogs, context.logNotifier)
{
    setObjectName(windows::frmUtility);
    setWindowTitle(QStringLiteral("Utility QSO"));

    auto *layout = new QVBoxLayout(this);
    auto *choices = new QHBoxLayout;
    layout->addLayout(choices);
    buildOrderFrames(choices);
    buildSearchFrame(choices);
    choices->addStretch();

    buildList();
    layout->addWidget(m_listFrame, 1);
    // One line under the list: how many QSOs it shows and which search is in force.
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    layout->addWidget(m_status);
    connect(m_model, &QAbstractItemModel::modelReset, this, &UtilityWindow::showStatus);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &UtilityWindow::showStatus);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &UtilityWindow::showStatus);
    m_lister = new LogLister(m_context.log.handle().databaseName(), this);
    connect(m_lister, &LogLister::listed, this, &UtilityWindow::completeListing);
    connect(m_lister, &LogLister::firstListed, this, &UtilityWindow::showFirstLines);
    // Should the thread not read the log, the lines are read here instead, and any trouble
    // with the log is told as for every other listing.
    connect(m_lister, &LogLister::failed, this, &UtilityWindow::listInForeground);

    // The actions on the selected line stand in this row, left of "Exit".
    auto *actions = new QHBoxLayout;
    buildSelectionActions(actions);
    actions->addStretch();
    QPushButton *exitButton =
        addButton(this, actions, QStringLiteral("cmdExit"), QStringLiteral("Exit"));
    connect(exitButton, &QPushButton::clicked, this, &QWidget::hide);
    layout->addLayout(actions);

    // A new window orders by call, then band and mode (the first of a session as chosen in the
    // session before) and lists the whole log.
    m_context.windows.keepChoice(windows::frmUtility, QStringLiteral("order"),
                                 {m_optCall, m_optPlace, m_optWWLocator, m_optBand}, m_optCall);
    m_context.windows.keepChoice(windows::frmUtility, QStringLiteral("and"),
                                 {m_optBand2, m_optMode2}, m_optBand2);
    m_frame2nd->setEnabled(!m_optBand->isChecked());
    showAny();

    const auto orderChosen = [this](bool secondaryInForce) {
        return [this, secondaryInForce](bool checked) {
            if (!checked)
                return;
            m_frame2nd->setEnabled(secondaryInForce);
            showAny();
        };
    };
    connect(m_optCall, &QRadioButton::toggled, this, orderChosen(true));
    connect(m_optPlace, &QRadioButton::toggled, this, orderChosen(true));
    connect(m_optWWLocator, &QRadioButton::toggled, this, orderChosen(true));
    connect(m_optBand, &QRadioButton::toggled, this, orderChosen(false));
    const auto secondaryChosen = [this](bool checked) {
        if (checked)
            showAny();
    };
    connect(m_optBand2, &QRadioButton::toggled, this, secondaryChosen);
    connect(m_optMode2, &QRadioButton::toggled, this, secondaryChosen);
}

QFont UtilityWindow::listFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(8.25);
    return font;
}

void UtilityWindow::buildOrderFrames(QBoxLayout *row)
{
    auto *orderFrame = new QGroupBox(QStringLiteral("Order by:"), this);
    orderFrame->setObjectName(QStringLiteral("frameOrder"));
    new QVBoxLayout(orderFrame);
    m_optCall = addOption(orderFrame, QStringLiteral("optCall"), QStringLiteral("Call"));
    m_optPlace = addOption(orderFrame, QStringLiteral("optPlace"), QStringLiteral("Place"));
    m_optWWLocator =
        addOption(orderFrame, QStringLiteral("optWWLocator"), QStringLiteral("WWLocator"));
    m_optBand = addOption(orderFrame, QStringLiteral("optBand"), QStringLiteral("Band"));

    m_frame2nd = new QGroupBox(QStringLiteral("And:"), this);
    m_frame2nd->setObjectName(QStringLiteral("frame2nd"));
    new QVBoxLayout(m_frame2nd);
    m_optBand2 = addOption(m_frame2nd, QStringLiteral("optBand2"), QStringLiteral("Band"));
    m_optMode2 = addOption(m_frame2nd, QStringLiteral("optMode2"), QStringLiteral("Mode"));
    m_frame2nd->layout()->setAlignment(Qt::AlignTop);

    row->addWidget(orderFrame);
    row->addWidget(m_frame2nd);
}

void UtilityWindow::buildSearchFrame(QBoxLayout *row)
{
    auto *searchFrame = new QGroupBox(QStringLiteral("Search for:"), this);
    searchFrame->setObjectName(QStringLiteral("frameSearch"));
    auto *buttons = new QVBoxLayout(searchFrame);
    connect(addButton(searchFrame, buttons, QStringLiteral("cmdCall"), QStringLiteral("Call")),
            &QPushButton::clicked, this, &UtilityWindow::searchCall);
    connect(addButton(searchFrame, buttons, QStringLiteral("cmdPlace"), QStringLiteral("Place")),
            &QPushButton::clicked, this, &UtilityWindow::searchPlace);
    connect(addButton(searchFrame, buttons, QStringLiteral("cmdWWLocator"),
                      QStringLiteral("WWlocator")),
            &QPushButton::clicked, this, &UtilityWindow::searchWWLocator);
    connect(addButton(searchFrame, buttons, QStringLiteral("cmdShowAny"),
                      QStringLiteral("Show any QSO")),
            &QPushButton::clicked, this, [this] { searchFor(LogSearch()); });
    row->addWidget(searchFrame);
}

void UtilityWindow::buildList()
{
    m_model = new LogLinesModel(this);
    m_list = new LogLinesView;
    m_list->setObjectName(QStringLiteral("List"));
    m_list->setFont(listFont());
    // Lines stay in the order they are added: line i is entry i of listCounts.
    m_list->setModel(m_model);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const QFontMetrics metrics(listFont());
    m_list->setMinimumSize(metrics.horizontalAdvance(LogLine::header()) + 40,
                           metrics.height() * 20);
    // The frame's caption is the column header, in the list's font, drawn over the lines.
    m_listFrame = new HeaderFrame(LogLine::header(), m_list, this);
    m_listFrame->setObjectName(QStringLiteral("frameList"));
    m_listFrame->setFont(listFont());
}

void UtilityWindow::buildSelectionActions(QBoxLayout *row)
{
    QPushButton *editButton =
        addButton(this, row, QStringLiteral("cmdEditQSO"), QStringLiteral("Edit QSO"));
    editButton->setToolTip(QStringLiteral("edit selected QSO "));
    connect(editButton, &QPushButton::clicked, this, &UtilityWindow::editSelected);
    QPushButton *deleteButton =
        addButton(this, row, QStringLiteral("cmdDeleteQSO"), QStringLiteral("Delete QSO"));
    deleteButton->setToolTip(QStringLiteral("delete selected QSO "));
    QFont bold = deleteButton->font();
    bold.setBold(true);
    deleteButton->setFont(bold);
    connect(deleteButton, &QPushButton::clicked, this, &UtilityWindow::deleteSelected);

    connect(m_list, &QAbstractItemView::doubleClicked, this, &UtilityWindow::editSelected);

    m_popup = new QMenu(QStringLiteral("Popup"), this);
    m_popup->setObjectName(QStringLiteral("mnPopup"));
    QAction *editItem = m_popup->addAction(QStringLiteral("&Edit QSO"));
    editItem->setObjectName(QStringLiteral("mnEditQSO"));
    connect(editItem, &QAction::triggered, this, &UtilityWindow::editSelected);
    QAction *deleteItem = m_popup->addAction(QStringLiteral("&Delete QSO"));
    deleteItem->setObjectName(QStringLiteral("mnDeleteQSO"));
    connect(deleteItem, &QAction::triggered, this, &UtilityWindow::deleteSelected);
    // The right button over the list is handled in eventFilter.
    m_list->viewport()->installEventFilter(this);
}

std::optional<int> UtilityWindow::selectedLine() const
{
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return std::nullopt;
    return rows.first().row();
}

std::optional<qint32> UtilityWindow::selectedCount() const
{
    const std::optional<int> line = selectedLine();
    if (!line || *line >= listCounts().size())
        return std::nullopt;
    return listCounts()[*line];
}

void UtilityWindow::editSelected()
{
    const std::optional<qint32> count = selectedCount();
    if (!count)
        return;
    std::optional<QsoRecord> qso;
    if (!guardLogWork(
            m_context.dialogs, [&] { qso = m_actions.qsoToEdit(*count); },
            DatabaseError::Work::Read) ||
        !qso)
        return;
    // The Edit window opens beside the browser, which stays open.
    auto *editor = qobject_cast<EditQsoWindow *>(m_context.windows.show(windows::frmEditQSO));
    if (editor)
        editor->load(*qso);
}

void UtilityWindow::deleteSelected()
{
    // After a deletion the log notice rebuilds the list, with no line selected, and recounts.
    if (const std::optional<qint32> count = selectedCount())
        guardLogWork(m_context.dialogs, [&] { m_actions.deleteQso(*count); });
}

bool UtilityWindow::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == m_list->viewport() &&
        (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
         type == QEvent::MouseButtonDblClick)) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::RightButton) {
            // The menu acts on the line selected before: the line under the mouse is not
            // selected by the right button.
            if (type == QEvent::MouseButtonPress && selectedLine())
                m_popup->popup(mouse->globalPosition().toPoint());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

LogQuery UtilityWindow::currentQuery() const
{
    LogOrderKey key = LogOrderKey::Band;
    if (m_optCall->isChecked())
        key = LogOrderKey::Call;
    else if (m_optPlace->isChecked())
        key = LogOrderKey::Place;
    else if (m_optWWLocator->isChecked())
        key = LogOrderKey::WWLocator;
    LogSecondaryOrder secondary = LogSecondaryOrder::None;
    if (m_optBand2->isChecked())
        secondary = LogSecondaryOrder::BandMode;
    else if (m_optMode2->isChecked())
        secondary = LogSecondaryOrder::ModeBand;
    return LogQuery(key, secondary, m_frame2nd->isEnabled(), m_search);
}

const QVector<qint32> &UtilityWindow::listCounts() const
{
    return m_model->listing().counts;
}

void UtilityWindow::showAny()
{
    m_lister->cancel();
    m_list->viewport()->unsetCursor();
    const LogQuery query = currentQuery();
    LogListing first;
    bool complete = true;
    // A log that cannot be read now leaves the lines as they were.
    if (!guardLogWork(
            m_context.dialogs,
            [&] {
                first = LogListing::readFirst(m_context.log, query, firstLines, &complete,
                                              firstLinesWithinMs);
            },
            DatabaseError::Work::Read))
        return;
    // Replacing the lines resets the view: no line stays selected.
    m_lister->discard(m_model->setListing(std::move(first), complete));
    if (!complete) {
        // First lines not found in time are sought again in the background.
        m_lister->start(query, m_model->rowCount() == 0 ? firstLines : 0);
        m_list->viewport()->setCursor(Qt::BusyCursor);
    }
}

bool UtilityWindow::isListing() const
{
    return m_lister->isListing();
}

void UtilityWindow::completeListing(const LogListing &whole)
{
    m_list->viewport()->unsetCursor();
    guardLogWork(
        m_context.dialogs, [&] { m_model->complete(whole, m_context.log, currentQuery()); },
        DatabaseError::Work::Read);
    showStatus();
}

void UtilityWindow::showFirstLines(const LogListing &first)
{
    guardLogWork(
        m_context.dialogs, [&] { m_model->takeFirst(first, m_context.log, currentQuery()); },
        DatabaseError::Work::Read);
    showStatus();
}

void UtilityWindow::listInForeground()
{
    m_list->viewport()->unsetCursor();
    LogListing whole;
    if (guardLogWork(
            m_context.dialogs, [&] { whole = LogListing::read(m_context.log, currentQuery()); },
            DatabaseError::Work::Read))
        m_lister->discard(m_model->setListing(std::move(whole)));
}

void UtilityWindow::showStatus()
{
    m_status->setText(m_search.statusLine(m_model->rowCount(), m_model->isComplete()));
}

void UtilityWindow::followLog(const LogChange &change)
{
    if (change.wholeLog) {
        showAny();
        return;
    }
    guardLogWork(
        m_context.dialogs, [&] { m_model->follow(change, m_context.log, currentQuery()); },
        DatabaseError::Work::Read);
    m_list->selectionModel()->clear();
}

void UtilityWindow::searchFor(const LogSearch &search)
{
    m_search = search;
    showAny();
}

void UtilityWindow::searchCall()
{
    const QString answer = m_context.dialogs.input(QStringLiteral("insert call:"));
    if (!answer.isEmpty())
        searchFor(LogSearch::byCall(answer));
}

void UtilityWindow::searchWWLocator()
{
    const QString answer =
        m_context.dialogs.input(QStringLiteral("insert WWLocator (just the last two characters):"));
    if (!answer.isEmpty())
        searchFor(LogSearch::byWWLocator(answer));
}

void UtilityWindow::searchPlace()
{
    const QString place = m_context.dialogs.input(QStringLiteral("insert place:"));
    const QString prov = m_context.dialogs.input(QStringLiteral("insert prov:"));
    searchFor(LogSearch::byPlace(place, prov));
}

} // namespace kx47

#include "moc_utilitywindow.cpp"
