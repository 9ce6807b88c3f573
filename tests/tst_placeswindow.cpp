// The Find on Places Database window as the user drives it: the sub-square box, the two
// searches, Clear, Exit and the close box.
#include "browserlog.h"
#include "fixture.h"
#include "openedwindow.h"

#include "places/placesearch.h"
#include "platform/windownames.h"
#include "widgets/headerframe.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStyle>
#include <QtTest>

using namespace kx47;
using namespace kx47::test;

namespace
{

QListView *list(QWidget *window)
{
    return window->findChild<QListView *>("List");
}

QStringList shownLines(QWidget *window)
{
    return listedLines(list(window));
}

} // namespace

class TestPlacesWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void opensWithItsControls();
    void subSquareBoxTyping_data();
    void subSquareBoxTyping();
    void thirdLetterIsReplacedByTheNext();
    void textSetByTheProgramIsCut();
    void clickIntoTheSubSquareBox_data();
    void clickIntoTheSubSquareBox();
    void searchBySubSquare();
    void searchByPlace_data();
    void searchByPlace();
    void eachSearchEmptiesTheOtherBox();
    void emptiesEverything_data();
    void emptiesEverything();

private:
    // The running program with the window open, made afresh for each test.
    std::unique_ptr<OpenedWindow> m_opened;
};

void TestPlacesWindow::init()
{
    m_opened = std::make_unique<OpenedWindow>(windows::frmFindPlaces);
    QVERIFY(m_opened->open());
}

void TestPlacesWindow::cleanup()
{
    m_opened.reset();
}

void TestPlacesWindow::opensWithItsControls()
{
    QWidget *window = m_opened->window;
    QCOMPARE(window->windowTitle(), QString("Find on Places Database"));
    QCOMPARE(qobject_cast<QGroupBox *>(textBox(window, "txtWWLocator")->parentWidget())->title(),
             QString("WWLocator"));
    QCOMPARE(qobject_cast<QGroupBox *>(textBox(window, "txtPlace")->parentWidget())->title(),
             QString("Place"));
    QStringList labels;
    for (QLabel *label : window->findChildren<QLabel *>())
        labels << label->text();
    QVERIFY(labels.contains("KX47"));
    QVERIFY(labels.contains("Place"));
    QCOMPARE(window->findChild<QPushButton *>("cmdSearch")->text(), QString("Search"));
    QCOMPARE(window->findChild<QPushButton *>("cmdSearch2")->text(), QString("Search"));
    QCOMPARE(window->findChild<QPushButton *>("cmdClear")->text(), QString("Clear"));
    QCOMPARE(window->findChild<QPushButton *>("Command2")->text(), QString("Exit"));

    QListView *view = list(window);
    QVERIFY(view->uniformItemSizes());
    QCOMPARE(view->font().family(), QString("Courier New"));
    QCOMPARE(view->font().pointSizeF(), 8.25);
    auto *frame = qobject_cast<QGroupBox *>(view->parentWidget());
    QCOMPARE(frame->title(), QString(" WWLoc | Place                          | Prov |"));
    QCOMPARE(frame->font().family(), QString("Courier New"));
    // The text of the lines starts under the header, less than one character from it.
    auto *header = qobject_cast<HeaderFrame *>(frame);
    QVERIFY(header);
    const int textLeft = view->mapTo(frame, QPoint(0, 0)).x() + view->frameWidth() +
                         view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) +
                         1;
    QVERIFY2(
        textLeft >= header->captionLeft() &&
            textLeft - header->captionLeft() < view->fontMetrics().horizontalAdvance('W'),
        qPrintable(QString("text at %1, header at %2").arg(textLeft).arg(header->captionLeft())));
    QVERIFY(shownLines(window).isEmpty());
    QVERIFY(textBox(window, "txtWWLocator")->text().isEmpty());
    QVERIFY(textBox(window, "txtPlace")->text().isEmpty());
}

void TestPlacesWindow::subSquareBoxTyping_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("selected");
    QTest::newRow("one small letter") << "a"
                                      << "A"
                                      << "";
    QTest::newRow("two small letters") << "ab"
                                       << "AB"
                                       << "";
    QTest::newRow("capitals") << "XX"
                              << "XX"
                              << "";
    QTest::newRow("a third letter") << "abc"
                                    << "AB"
                                    << "AB";
    QTest::newRow("four letters: the fourth replaces") << "abcd"
                                                       << "D"
                                                       << "";
    QTest::newRow("five letters") << "abcde"
                                  << "DE"
                                  << "";
    QTest::newRow("six letters") << "abcdef"
                                 << "DE"
                                 << "DE";
}

void TestPlacesWindow::subSquareBoxTyping()
{
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QFETCH(QString, selected);
    QLineEdit *edit = textBox(m_opened->window, "txtWWLocator");
    edit->setFocus();
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), text);
    QCOMPARE(edit->selectedText(), selected);
    QCOMPARE(edit->cursorPosition(), text.size());
    QCOMPARE(QApplication::focusWidget(), edit);
}

void TestPlacesWindow::thirdLetterIsReplacedByTheNext()
{
    QLineEdit *edit = textBox(m_opened->window, "txtWWLocator");
    // The caret goes to the end whatever the change: a letter typed at the start goes in there,
    // then the text is cut to its first two.
    QTest::keyClicks(edit, "bc");
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClick(edit, 'a');
    QCOMPARE(edit->text(), QString("AB"));
    QCOMPARE(edit->selectedText(), QString("AB"));
    QTest::keyClick(edit, 'x');
    QCOMPARE(edit->text(), QString("X"));
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, "x");
    QCOMPARE(edit->text(), QString("X"));
    QCOMPARE(edit->cursorPosition(), 1);
}

void TestPlacesWindow::textSetByTheProgramIsCut()
{
    textBox(m_opened->window, "txtPlace")->setFocus();
    QLineEdit *edit = textBox(m_opened->window, "txtWWLocator");
    edit->setText("kx47ab");
    QCOMPARE(edit->text(), QString("KX"));
    QCOMPARE(edit->selectedText(), QString("KX"));
    QCOMPARE(QApplication::focusWidget(), edit);
    edit->setText("cd");
    QCOMPARE(edit->text(), QString("CD"));
    QCOMPARE(edit->cursorPosition(), 2);
    QVERIFY(!edit->hasSelectedText());
}

void TestPlacesWindow::clickIntoTheSubSquareBox_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("caret"); // where the caret is put before the click
    QTest::addColumn<bool>("selectedBefore");
    QTest::addColumn<bool>("onTheText"); // on the first letter, or right of the text
    QTest::addColumn<QString>("selected");
    for (const bool onTheText : {true, false}) {
        const char *where = onTheText ? "on the text" : "after the text";
        QTest::addRow("two letters, %s", where) << "ab" << 0 << false << onTheText << "AB";
        QTest::addRow("two letters already selected, %s", where)
            << "abc" << 2 << true << onTheText << "AB";
        QTest::addRow("one letter, %s", where) << "a" << 0 << false << onTheText << "";
    }
    QTest::newRow("empty") << "" << 0 << false << false << "";
}

void TestPlacesWindow::clickIntoTheSubSquareBox()
{
    QFETCH(QString, typed);
    QFETCH(int, caret);
    QFETCH(bool, selectedBefore);
    QFETCH(bool, onTheText);
    QFETCH(QString, selected);
    QLineEdit *edit = textBox(m_opened->window, "txtWWLocator");
    QTest::keyClicks(edit, typed);
    if (!selectedBefore)
        edit->setCursorPosition(caret);
    QCOMPARE(edit->hasSelectedText(), selectedBefore);
    QLineEdit *place = textBox(m_opened->window, "txtPlace");
    place->setFocus();
    QCOMPARE(QApplication::focusWidget(), place);

    const QPoint firstLetter(4 + edit->fontMetrics().horizontalAdvance('A') / 2,
                             edit->rect().center().y());
    QTest::mouseClick(edit, Qt::LeftButton, Qt::NoModifier,
                      onTheText ? firstLetter : edit->rect().center());
    QCOMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(edit->selectedText(), selected);
    QCOMPARE(edit->text(), typed.left(2).toUpper());
    // The next key typed replaces a selection, or goes in at the caret.
    QTest::keyClick(edit, 'z');
    QCOMPARE(edit->text(), selected.isEmpty() ? (typed + "z").toUpper() : QString("Z"));
}

void TestPlacesWindow::searchBySubSquare()
{
    QWidget *window = m_opened->window;
    QTest::keyClicks(textBox(window, "txtWWLocator"), "ab");
    press(window, "cmdSearch");
    const QStringList lines = shownLines(window);
    QCOMPARE(lines, QStringList({PlaceSearch::line("KX47AB", "ALTOMIRA", "AR"),
                                 PlaceSearch::line("KX47AB", "ALTOMIRA", "AR"),
                                 PlaceSearch::line("KX47AB", "BRANVOLE", "PG"),
                                 PlaceSearch::line("KX47AB", "SANT'ERMINIO", "FC")}));
    for (const QString &line : lines) {
        QVERIFY(line.startsWith("KX47AB | "));
        QCOMPARE(line.size(), 45);
        QCOMPARE(line.at(7), QChar('|'));
        QCOMPARE(line.at(40), QChar('|'));
    }
    // A new search replaces the list; one that finds nothing leaves it empty, without a message.
    textBox(window, "txtWWLocator")->clear();
    QTest::keyClicks(textBox(window, "txtWWLocator"), "xx");
    press(window, "cmdSearch");
    QCOMPARE(shownLines(window), QStringList({PlaceSearch::line("KX47XX", "FUORIVIA", "ZZ"),
                                              PlaceSearch::line("KX47XX", "MOSTIRANA", "RSM")}));
    textBox(window, "txtWWLocator")->clear();
    press(window, "cmdSearch");
    QVERIFY(shownLines(window).isEmpty());
    QVERIFY(m_opened->app.dialogs.messages.isEmpty());
}

void TestPlacesWindow::searchByPlace_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("found");
    QTest::newRow("as stored") << "COLLEVARO" << 1;
    QTest::newRow("small letters, two sub-squares") << "branvole" << 2;
    QTest::newRow("apostrophe") << "Sant'Erminio" << 1;
    QTest::newRow("partial name") << "COLLE" << 0;
    QTest::newRow("empty") << "" << 0;
}

void TestPlacesWindow::searchByPlace()
{
    QFETCH(QString, typed);
    QFETCH(int, found);
    QWidget *window = m_opened->window;
    // What an earlier search listed goes first.
    QTest::keyClicks(textBox(window, "txtWWLocator"), "aa");
    press(window, "cmdSearch");
    QCOMPARE(shownLines(window).size(), 2);

    QTest::keyClicks(textBox(window, "txtPlace"), typed);
    QCOMPARE(textBox(window, "txtPlace")->text(), typed); // the place box keeps what was typed
    press(window, "cmdSearch2");
    const QStringList lines = shownLines(window);
    QCOMPARE(lines.size(), found);
    for (const QString &line : lines) {
        QCOMPARE(line.mid(9, 30).trimmed(), typed.toUpper());
        QCOMPARE(line.size(), 45);
    }
    QVERIFY(m_opened->app.dialogs.messages.isEmpty());
}

void TestPlacesWindow::eachSearchEmptiesTheOtherBox()
{
    QWidget *window = m_opened->window;
    QTest::keyClicks(textBox(window, "txtWWLocator"), "ab");
    // Enter in a box starts its search, as its button does.
    QTest::keyClicks(textBox(window, "txtPlace"), "collevaro");
    QTest::keyClick(textBox(window, "txtPlace"), Qt::Key_Return);
    QCOMPARE(textBox(window, "txtWWLocator")->text(), QString());
    QCOMPARE(textBox(window, "txtPlace")->text(), QString("collevaro"));
    QCOMPARE(shownLines(window), QStringList{PlaceSearch::line("KX47AA", "COLLEVARO", "RN")});

    QTest::keyClicks(textBox(window, "txtWWLocator"), "aa");
    QTest::keyClick(textBox(window, "txtWWLocator"), Qt::Key_Enter);
    QCOMPARE(textBox(window, "txtPlace")->text(), QString());
    QCOMPARE(textBox(window, "txtWWLocator")->text(), QString("AA"));
    QCOMPARE(shownLines(window).size(), 2);
}

void TestPlacesWindow::emptiesEverything_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Clear") << "cmdClear";
    QTest::newRow("Exit") << "Command2";
    QTest::newRow("close box") << "close";
}

void TestPlacesWindow::emptiesEverything()
{
    QFETCH(QString, how);
    QPointer<QWidget> window = m_opened->window;
    QTest::keyClicks(textBox(window, "txtWWLocator"), "ab");
    press(window, "cmdSearch");
    QTest::keyClicks(textBox(window, "txtPlace"), "altomira");
    textBox(window, "txtPlace")->setFocus();
    QCOMPARE(shownLines(window).size(), 4);

    if (how == "close") {
        window->close();
        QTRY_VERIFY(window.isNull());
    } else {
        press(window, how);
    }
    if (how == "cmdClear") {
        QVERIFY(window->isVisible());
        QCOMPARE(QApplication::focusWidget(), textBox(window, "txtWWLocator"));
    } else {
        QVERIFY(window.isNull() || !window->isVisible());
        QWidget *again = m_opened->app.show(windows::frmFindPlaces);
        // Exit keeps the window, the close box discards it.
        QCOMPARE(again == window.data(), how == "Command2");
        window = again;
    }
    QVERIFY(shownLines(window).isEmpty());
    QCOMPARE(textBox(window, "txtWWLocator")->text(), QString());
    QCOMPARE(textBox(window, "txtPlace")->text(), QString());
    QVERIFY(m_opened->app.dialogs.messages.isEmpty());
}

QTEST_MAIN(TestPlacesWindow)
#include "tst_placeswindow.moc"
