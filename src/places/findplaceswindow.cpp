#include "findplaceswindow.h"

#include "subsquarebox.h"
#include "widgets/headerframe.h"

#include "platform/appcontext.h"
#include "platform/windownames.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>
#include <QVBoxLayout>

namespace kx47
{

namespace
{

QFont listFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(8.25);
    return font;
}

QPushButton *button(const QString &objectName, const QString &caption, QWidget *parent)
{
    auto *result = new QPushButton(caption, parent);
    result->setObjectName(objectName);
    return result;
}

} // namespace

FindPlacesWindow::FindPlacesWindow(AppContext &context) : m_search(context.places)
{
    setObjectName(windows::frmFindPlaces);
    setWindowTitle(QStringLiteral("Find on Places Database"));
    auto *layout = new QVBoxLayout(this);

    // The two searches side by side, each in its frame.
    auto *searches = new QHBoxLayout;
    auto *subSquareFrame = new QGroupBox(QStringLiteral("WWLocator"), this);
    subSquareFrame->setObjectName(QStringLiteral("Frame1"));
    auto *subSquareRow = new QHBoxLayout(subSquareFrame);
    subSquareRow->addWidget(new QLabel(QStringLiteral("KX47"), subSquareFrame));
    m_subSquare = new SubSquareBox(subSquareFrame);
    m_subSquare->setObjectName(QStringLiteral("txtWWLocator"));
    subSquareRow->addWidget(m_subSquare);
    QPushButton *searchSubSquareButton =
        button(QStringLiteral("cmdSearch"), QStringLiteral("Search"), subSquareFrame);
    subSquareRow->addWidget(searchSubSquareButton);
    searches->addWidget(subSquareFrame);

    auto *placeFrame = new QGroupBox(QStringLiteral("Place"), this);
    placeFrame->setObjectName(QStringLiteral("Frame2"));
    auto *placeRow = new QHBoxLayout(placeFrame);
    placeRow->addWidget(new QLabel(QStringLiteral("Place"), placeFrame));
    m_place = new QLineEdit(placeFrame);
    m_place->setObjectName(QStringLiteral("txtPlace"));
    placeRow->addWidget(m_place, 1);
    QPushButton *searchPlaceButton =
        button(QStringLiteral("cmdSearch2"), QStringLiteral("Search"), placeFrame);
    placeRow->addWidget(searchPlaceButton);
    searches->addWidget(placeFrame, 1);
    layout->addLayout(searches);

    // The result lines under their column header, in the fixed-pitch font.
    auto *list = new QListView;
    list->setObjectName(QStringLiteral("List"));
    list->setFont(listFont());
    list->setUniformItemSizes(true);
    list->setSelectionMode(QAbstractItemView::NoSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lines = new QStringListModel(list);
    list->setModel(m_lines);
    auto *listFrame = new HeaderFrame(PlaceSearch::header(), list, this);
    listFrame->setObjectName(QStringLiteral("Frame3"));
    listFrame->setFont(listFont());
    layout->addWidget(listFrame, 1);

    auto *buttons = new QHBoxLayout;
    QPushButton *clearButton = button(QStringLiteral("cmdClear"), QStringLiteral("Clear"), this);
    QPushButton *exitButton = button(QStringLiteral("Command2"), QStringLiteral("Exit"), this);
    buttons->addStretch();
    buttons->addWidget(clearButton);
    buttons->addWidget(exitButton);
    layout->addLayout(buttons);

    resize(560, 360);

    connect(searchSubSquareButton, &QPushButton::clicked, this, &FindPlacesWindow::searchSubSquare);
    connect(searchPlaceButton, &QPushButton::clicked, this, &FindPlacesWindow::searchPlace);
    // Enter in a search box starts its search.
    connect(m_subSquare, &QLineEdit::returnPressed, this, &FindPlacesWindow::searchSubSquare);
    connect(m_place, &QLineEdit::returnPressed, this, &FindPlacesWindow::searchPlace);
    connect(clearButton, &QPushButton::clicked, this, &FindPlacesWindow::clear);
    connect(exitButton, &QPushButton::clicked, this, &FindPlacesWindow::exit);
}

void FindPlacesWindow::searchSubSquare()
{
    m_place->clear();
    m_lines->setStringList(m_search.bySubSquare(m_subSquare->text()));
}

void FindPlacesWindow::searchPlace()
{
    m_subSquare->clear();
    m_lines->setStringList(m_search.byPlace(m_place->text()));
}

void FindPlacesWindow::clear()
{
    m_lines->setStringList({});
    m_subSquare->clear();
    m_place->clear();
    m_subSquare->setFocus();
}

void FindPlacesWindow::exit()
{
    empty();
    hide();
}

void FindPlacesWindow::closeEvent(QCloseEvent *event)
{
    empty();
    QWidget::closeEvent(event);
}

void FindPlacesWindow::empty()
{
    m_place->clear();
    m_lines->setStringList({});
    m_subSquare->clear();
}

} // namespace kx47

#include "moc_findplaceswindow.cpp"
