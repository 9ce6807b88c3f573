// The typing aids of the entry form: upper case, full fields passing the focus on, cut texts,
// clicks into full fields, the place list of the sub-square and the province of a known place.
#include "qsoentryfixture.h"

#include "platform/windownames.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

using namespace kx47;
using namespace kx47::test;

namespace
{

QString focusName()
{
    QWidget *focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QString();
}

// Types each character into whatever field has the focus at that moment, as a user who does
// not look at the screen.
void typeBlind(const QString &keys)
{
    for (QChar c : keys)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
}

// The text box of a field; the place's is the one inside its drop-down.
QLineEdit *editOf(QWidget *window, const QString &field)
{
    return field == QLatin1String("comboPlace") ? listBox(window, field)->lineEdit()
                                                : textBox(window, field);
}

// Adds places to the gazetteer of the program folder, each "'PLACE', 'KX47..', 'PROV'".
void addPlaces(const ProgramFolder &folder, const QStringList &rows)
{
    const OpenedFile places(folder.placesPath());
    for (const QString &row : rows)
        places.run("insert into places (place, WWLocator, prov) values (" + row + ")");
}

// Types into the place's box, which takes the focus first.
QComboBox *typePlace(QWidget *window, const QString &text)
{
    QComboBox *place = listBox(window, "comboPlace");
    place->setFocus();
    QTest::keyClicks(place, text);
    return place;
}

// Clicks into the text box at the end of its text.
void clickInto(QLineEdit *box)
{
    const int x = box->fontMetrics().horizontalAdvance(box->text()) + 6;
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(x, box->height() / 2));
}

} // namespace

class TestQsoTyping : public QsoWindowTest
{
    Q_OBJECT

private slots:

    void subSquareTyped();
    void subSquarePasted();
    void subSquareListFollowsEveryChange();
    void clearEmptiesPlaceListAndField();
    void fullFieldsPassFocus_data();
    void fullFieldsPassFocus();
    void longTextsAreCut_data();
    void longTextsAreCut();
    void oneRunOfTyping();
    void clickIntoFullField_data();
    void clickIntoFullField();
    void retypingReplaces_data();
    void retypingReplaces();
    void caretAfterUpperCase_data();
    void caretAfterUpperCase();
    void upperCaseGrowingText_data();
    void upperCaseGrowingText();
    void placeUpperCase();
    void pickedPlaceSelectsProvince();
    void provinceFromTheSubSquare_data();
    void provinceFromTheSubSquare();
    void unknownPlaceKeepsProvince_data();
    void unknownPlaceKeepsProvince();
    void subSquareChangeLooksPlaceUpAgain();
    void leavingPlaceKeepsProvinceChosenByHand();
    void placeKeptAcrossRebuild();
    void aidsRunWhenProgramSetsFields_data();
    void aidsRunWhenProgramSetsFields();
    void noCharacterIsRefused();
    void qslOptionsAreOneTabStop_data();
    void qslOptionsAreOneTabStop();
    void hiddenFormattingDropped_data();
    void hiddenFormattingDropped();
};

void TestQsoTyping::subSquareTyped()
{
    QWidget *window = open();
    QLineEdit *locator = textBox(window, "txtWWLocator");
    QTest::keyClicks(locator, "a");
    QCOMPARE(locator->text(), QString("A"));
    QCOMPARE(focusName(), QString("txtWWLocator"));
    QCOMPARE(listBox(window, "comboPlace")->count(), 0);
    QTest::keyClicks(locator, "b");
    QCOMPARE(locator->text(), QString("AB"));
    QCOMPARE(focusName(), QString("txtCall"));
    QCOMPARE(itemTexts(listBox(window, "comboPlace")),
             (QStringList{"ALTOMIRA", "BRANVOLE", "SANT'ERMINIO"}));
    QCOMPARE(listBox(window, "comboPlace")->currentText(), QString());
}

void TestQsoTyping::subSquarePasted()
{
    QWidget *window = open();
    QLineEdit *locator = textBox(window, "txtWWLocator");
    locator->insert("abc");
    QCOMPARE(locator->text(), QString("AB"));
    QCOMPARE(focusName(), QString("txtWWLocator"));
    QCOMPARE(locator->selectedText(), QString("AB"));
    QCOMPARE(itemTexts(listBox(window, "comboPlace")),
             (QStringList{"ALTOMIRA", "BRANVOLE", "SANT'ERMINIO"}));
}

void TestQsoTyping::subSquareListFollowsEveryChange()
{
    QWidget *window = open();
    QLineEdit *locator = textBox(window, "txtWWLocator");
    QComboBox *place = listBox(window, "comboPlace");
    QTest::keyClicks(locator, "xx");
    QCOMPARE(itemTexts(place), (QStringList{"FUORIVIA", "MOSTIRANA"}));
    QTest::keyClick(locator, Qt::Key_Backspace);
    QCOMPARE(itemTexts(place), QStringList());
    QTest::keyClick(locator, Qt::Key_Backspace);
    QTest::keyClicks(locator, "aa");
    QCOMPARE(itemTexts(place), (QStringList{"BRANVOLE", "COLLEVARO"}));
    locator->setText("QQ");
    QCOMPARE(itemTexts(place), QStringList());
}

void TestQsoTyping::clearEmptiesPlaceListAndField()
{
    QWidget *window = open();
    QTest::keyClicks(textBox(window, "txtWWLocator"), "ab");
    QComboBox *place = listBox(window, "comboPlace");
    place->setCurrentIndex(1);
    QCOMPARE(place->currentText(), QString("BRANVOLE"));
    press(window, "cmdClear");
    QCOMPARE(place->count(), 0);
    QCOMPARE(place->currentText(), QString());
}

void TestQsoTyping::fullFieldsPassFocus_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("next");
    QTest::newRow("sub-square") << "txtWWLocator"
                                << "ab"
                                << "txtCall";
    QTest::newRow("call") << "txtCall"
                          << "ik4abcdefghi"
                          << "txtDate0";
    QTest::newRow("day") << "txtDate0"
                         << "07"
                         << "txtDate1";
    QTest::newRow("month") << "txtDate1"
                           << "12"
                           << "txtDate2";
    QTest::newRow("year") << "txtDate2"
                          << "04"
                          << "txtTime";
    QTest::newRow("time") << "txtTime"
                          << "0930"
                          << "comboPlace";
}

void TestQsoTyping::fullFieldsPassFocus()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, next);
    QWidget *window = open();
    QLineEdit *box = textBox(window, field);
    box->setFocus();
    QTest::keyClicks(box, text.chopped(1));
    QCOMPARE(focusName(), field);
    QTest::keyClicks(box, text.right(1));
    QCOMPARE(box->text(), text.toUpper());
    QCOMPARE(focusName(), next);
}

void TestQsoTyping::longTextsAreCut_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("kept");
    QTest::newRow("sub-square") << "txtWWLocator"
                                << "abc"
                                << "AB";
    QTest::newRow("call of 14") << "txtCall"
                                << "ik4abcdefghijk"
                                << "IK4ABCDEFGHI";
    QTest::newRow("day") << "txtDate0"
                         << "071"
                         << "07";
    QTest::newRow("month") << "txtDate1"
                           << "1234"
                           << "12";
    QTest::newRow("year") << "txtDate2"
                          << "2004"
                          << "20";
    QTest::newRow("time") << "txtTime"
                          << "09301"
                          << "0930";
}

void TestQsoTyping::longTextsAreCut()
{
    QFETCH(QString, field);
    QFETCH(QString, pasted);
    QFETCH(QString, kept);
    QWidget *window = open();
    QLineEdit *box = textBox(window, field);
    box->setFocus();
    box->insert(pasted);
    QCOMPARE(box->text(), kept);
    QCOMPARE(focusName(), field);
    QCOMPARE(box->selectedText(), kept);
    // Typing now replaces the whole text.
    QTest::keyClicks(box, "1");
    QCOMPARE(box->text(), QString("1"));
}

void TestQsoTyping::oneRunOfTyping()
{
    QWidget *window = open();
    textBox(window, "txtDate0")->setFocus();
    typeBlind("071204"
              "0930");
    QCOMPARE(textBox(window, "txtDate0")->text(), QString("07"));
    QCOMPARE(textBox(window, "txtDate1")->text(), QString("12"));
    QCOMPARE(textBox(window, "txtDate2")->text(), QString("04"));
    QCOMPARE(textBox(window, "txtTime")->text(), QString("0930"));
    QCOMPARE(focusName(), QString("comboPlace"));

    // A whole QSO from the first field on.
    press(window, "cmdClear");
    typeBlind("abik4xyz");
    QCOMPARE(textBox(window, "txtWWLocator")->text(), QString("AB"));
    QCOMPARE(textBox(window, "txtCall")->text(), QString("IK4XYZ"));
    QCOMPARE(focusName(), QString("txtCall"));
}

void TestQsoTyping::clickIntoFullField_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("selects");
    QTest::newRow("time of 4") << "txtTime"
                               << "0930" << true;
    // A date or time box selects whatever it holds when a click brings the focus in.
    QTest::newRow("time of 3") << "txtTime"
                               << "093" << true;
    QTest::newRow("sub-square of 2") << "txtWWLocator"
                                     << "AB" << true;
    QTest::newRow("sub-square of 1") << "txtWWLocator"
                                     << "A" << false;
    QTest::newRow("call of 12") << "txtCall"
                                << "IK4ABCDEFGHI" << true;
    QTest::newRow("call of 11") << "txtCall"
                                << "IK4ABCDEFGH" << false;
    QTest::newRow("day of 2") << "txtDate0"
                              << "07" << true;
    QTest::newRow("month of 2") << "txtDate1"
                                << "12" << true;
    QTest::newRow("year of 1") << "txtDate2"
                               << "4" << true;
}

void TestQsoTyping::clickIntoFullField()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(bool, selects);
    QWidget *window = open();
    QLineEdit *box = textBox(window, field);
    box->setText(text);
    listBox(window, "comboMode")->setFocus();
    clickInto(box);
    QCOMPARE(focusName(), field);
    QCOMPARE(box->selectedText(), selects ? text : QString());
    QTest::keyClicks(box, "9");
    QCOMPARE(box->text(), selects ? QString("9") : text + "9");
}

void TestQsoTyping::retypingReplaces_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QStringList>("after");
    const QStringList full{"09", "12", "24", "0930"};
    for (const QString &window : {windows::frmInsertQSO, windows::frmEditQSO}) {
        for (const char *entry : {"click", "tab", "full call"}) {
            QTest::addRow("%s, %s", qPrintable(window), entry)
                << window << entry << full << "1510231745" << QStringList{"15", "10", "23", "1745"};
        }
    }
    QTest::newRow("31 February retyped")
        << windows::frmEditQSO << "click" << QStringList{"31", "02", "24", "1200"} << "280224"
        << QStringList{"28", "02", "24", "1200"};
    QTest::newRow("half-typed day")
        << windows::frmInsertQSO << "click" << QStringList{"3", "", "", ""} << "0503"
        << QStringList{"05", "03", "", ""};
}

void TestQsoTyping::retypingReplaces()
{
    QFETCH(QString, window);
    QFETCH(QString, entry);
    QFETCH(QStringList, before);
    QFETCH(QString, keys);
    QFETCH(QStringList, after);
    QWidget *shown = open(window);
    const QStringList boxes{"txtDate0", "txtDate1", "txtDate2", "txtTime"};
    for (int i = 0; i < boxes.size(); ++i)
        textBox(shown, boxes[i])->setText(before[i]);
    QLineEdit *call = textBox(shown, "txtCall");
    call->setText("IK4ABCDEFGH");
    call->setFocus();
    // Into the day box as the user gets there, then every key to whatever has the focus.
    if (entry == QLatin1String("click"))
        clickInto(textBox(shown, "txtDate0"));
    else if (entry == QLatin1String("tab"))
        QTest::keyClick(call, Qt::Key_Tab);
    else
        QTest::keyClick(call, 'i');
    QCOMPARE(focusName(), QString("txtDate0"));
    typeBlind(keys);
    QStringList texts;
    for (const QString &box : boxes)
        texts << textBox(shown, box)->text();
    QCOMPARE(texts, after);
}

void TestQsoTyping::caretAfterUpperCase_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<bool>("caretKept");
    QTest::newRow("Insert QSO keeps the caret") << windows::frmInsertQSO << true;
    QTest::newRow("Edit QSO puts it at the end") << windows::frmEditQSO << false;
}

void TestQsoTyping::caretAfterUpperCase()
{
    QFETCH(QString, window);
    QFETCH(bool, caretKept);
    QLineEdit *call = textBox(open(window), "txtCall");
    call->setText("IKABC");
    call->setFocus();
    call->setCursorPosition(2);
    QTest::keyClicks(call, "4"); // nothing to turn to upper case
    QCOMPARE(call->cursorPosition(), 3);
    QTest::keyClicks(call, "x");
    QCOMPARE(call->text(), QString("IK4XABC"));
    QCOMPARE(call->cursorPosition(), caretKept ? 4 : 7);
}

void TestQsoTyping::upperCaseGrowingText_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("field");
    addTypingAroundColumns();
    const QString insert = windows::frmInsertQSO;
    QTest::newRow("call typed on")
        << insert << "txtCall" << QString::fromUtf8("dl/straße") << 0 << ""
        << "DL/STRASSE" << 10;
    QTest::newRow("call, ß in the middle")
        << insert << "txtCall"
        << "dlabc" << 3 << QString::fromUtf8("ß") << "DLSSABC" << 4;
    QTest::newRow("sub-square") << insert << "txtWWLocator" << QString::fromUtf8("ß") << 0 << ""
                                << "SS" << 2;
    QTest::newRow("place typed on")
        << insert << "comboPlace" << QString::fromUtf8("hauptstraße 12") << 0 << ""
        << "HAUPTSTRASSE 12" << 15;
    QTest::newRow("place, ß in the middle")
        << insert << "comboPlace"
        << "strae" << 1 << QString::fromUtf8("ß") << "STRASSE" << 6;
    QTest::newRow("Edit QSO puts the caret at the end")
        << windows::frmEditQSO << "txtCall"
        << "dlabc" << 3 << QString::fromUtf8("ß") << "DLSSABC" << 7;
}

void TestQsoTyping::upperCaseGrowingText()
{
    QFETCH(QString, window);
    QFETCH(QString, field);
    checkTypingAround(editOf(open(window), field));
}

void TestQsoTyping::placeUpperCase()
{
    QWidget *window = open();
    QComboBox *place = typePlace(window, "altomira");
    QCOMPARE(place->currentText(), QString("ALTOMIRA"));
    QCOMPARE(listBox(window, "comboProv")->currentText(), QString("AR"));
}

void TestQsoTyping::pickedPlaceSelectsProvince()
{
    QWidget *window = open();
    QTest::keyClicks(textBox(window, "txtWWLocator"), "ab");
    QComboBox *place = listBox(window, "comboPlace");
    place->setFocus();
    QTest::keyClick(place, Qt::Key_Down); // picks the first entry of the list
    QCOMPARE(place->currentText(), QString("ALTOMIRA"));
    QCOMPARE(listBox(window, "comboProv")->currentText(), QString("AR"));
    QTest::keyClick(place, Qt::Key_Down);
    QCOMPARE(place->currentText(), QString("BRANVOLE"));
    QCOMPARE(listBox(window, "comboProv")->currentText(), QString("PG"));

    // Picking the entry that already stands in the field looks it up again.
    listBox(window, "comboProv")->setCurrentText("AN");
    place->activated(place->currentIndex());
    QCOMPARE(listBox(window, "comboProv")->currentText(), QString("PG"));
}

void TestQsoTyping::provinceFromTheSubSquare_data()
{
    QTest::addColumn<QString>("letters");
    QTest::addColumn<QString>("province");
    // COLLEVARO stands first in KX47AA (RN), then in KX47AB (QZ).
    QTest::newRow("second sub-square of the name") << "ab"
                                                   << "QZ";
    QTest::newRow("first sub-square of the name") << "aa"
                                                  << "RN";
    QTest::newRow("name not in the sub-square") << "xx"
                                                << "RN";
}

void TestQsoTyping::provinceFromTheSubSquare()
{
    QFETCH(QString, letters);
    QFETCH(QString, province);
    addPlaces(m_run->folder, {"'COLLEVARO', 'KX47AB', 'QZ'"});
    QWidget *window = open();
    QTest::keyClicks(textBox(window, "txtWWLocator"), letters);
    QComboBox *place = typePlace(window, "collevaro");
    QCOMPARE(listBox(window, "comboProv")->currentText(), province);
    // The same when picked from the list.
    listBox(window, "comboProv")->setCurrentText("AN");
    place->activated(place->currentIndex());
    QCOMPARE(listBox(window, "comboProv")->currentText(), province);
}

void TestQsoTyping::unknownPlaceKeepsProvince_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("letters");
    QTest::addColumn<QString>("province");
    QTest::newRow("not in the gazetteer") << "nowhere"
                                          << ""
                                          << "QZ";
    QTest::newRow("part of a name") << "altomir"
                                    << ""
                                    << "QZ";
    QTest::newRow("province not among the nine") << "fuorivia"
                                                 << ""
                                                 << "QZ";
    QTest::newRow("name inside a longer one") << "zbranvole"
                                              << ""
                                              << "QZ";
    // A place the gazetteer does not know lies where the sub-square's places lie, when they lie
    // in one province.
    QTest::newRow("sub-square of three provinces") << "my qth"
                                                   << "ab"
                                                   << "QZ";
    QTest::newRow("sub-square of one province") << "my qth"
                                                << "cc"
                                                << "AP";
    QTest::newRow("sub-square of one province, not among the nine") << "my qth"
                                                                    << "dd"
                                                                    << "QZ";
    QTest::newRow("sub-square without places") << "my qth"
                                               << "ee"
                                               << "QZ";
}

void TestQsoTyping::unknownPlaceKeepsProvince()
{
    QFETCH(QString, typed);
    QFETCH(QString, letters);
    QFETCH(QString, province);
    addPlaces(m_run->folder, {"'PIANELLO', 'KX47CC', 'AP'", "'MONTALTO', 'KX47CC', 'AP'",
                              "'FUORI', 'KX47DD', 'ZZT'"});
    QWidget *window = open();
    listBox(window, "comboProv")->setCurrentText("QZ");
    QTest::keyClicks(textBox(window, "txtWWLocator"), letters);
    QComboBox *place = typePlace(window, typed);
    QCOMPARE(place->currentText(), typed.toUpper());
    QCOMPARE(listBox(window, "comboProv")->currentText(), province);
    QCOMPARE(listBox(window, "comboProv")->count(), 9);
}

void TestQsoTyping::subSquareChangeLooksPlaceUpAgain()
{
    QWidget *window = open();
    QComboBox *place =
        typePlace(window, "collevaro"); // a place of KX47AA, typed with another sub-square
    QComboBox *prov = listBox(window, "comboProv");
    QCOMPARE(prov->currentText(), QString("RN"));
    prov->setCurrentText("AP");
    QTest::keyClicks(textBox(window, "txtWWLocator"), "x");
    QCOMPARE(prov->currentText(), QString("RN"));
    QCOMPARE(place->currentText(), QString("COLLEVARO"));
    QCOMPARE(textBox(window, "txtWWLocator")->text(), QString("X"));
}

void TestQsoTyping::leavingPlaceKeepsProvinceChosenByHand()
{
    QWidget *window = open();
    QTest::keyClicks(textBox(window, "txtWWLocator"), "ab");
    QComboBox *place = typePlace(window, "branvole");
    QComboBox *prov = listBox(window, "comboProv");
    QCOMPARE(prov->currentText(), QString("PG"));
    prov->setCurrentText("RSM");
    QTest::keyClick(place, Qt::Key_Tab);
    QCOMPARE(focusName(), QString("comboProv"));
    QCOMPARE(prov->currentText(), QString("RSM"));
    QCOMPARE(place->currentText(), QString("BRANVOLE"));
}

void TestQsoTyping::placeKeptAcrossRebuild()
{
    QWidget *window = open();
    QComboBox *place = listBox(window, "comboPlace");
    place->setEditText("NOWHERE");
    QTest::keyClicks(textBox(window, "txtWWLocator"), "ab");
    QCOMPARE(place->count(), 3);
    QCOMPARE(place->currentText(), QString("NOWHERE"));
    // Also when the field is empty and the list gets entries.
    place->setEditText(QString());
    textBox(window, "txtWWLocator")->setText("AA");
    QCOMPARE(place->count(), 2);
    QCOMPARE(place->currentText(), QString());
}

void TestQsoTyping::aidsRunWhenProgramSetsFields_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("Insert QSO") << windows::frmInsertQSO;
    QTest::newRow("Edit QSO") << windows::frmEditQSO;
}

void TestQsoTyping::aidsRunWhenProgramSetsFields()
{
    QFETCH(QString, name);
    // A window that is loaded but not shown, filled by the program.
    QWidget *window = m_run->app.windows().get(name);
    QVERIFY(!window->isVisible());
    textBox(window, "txtWWLocator")->setText("ab");
    textBox(window, "txtCall")->setText("ik4abc");
    textBox(window, "txtTime")->setText("093012");
    listBox(window, "comboPlace")->setEditText("sant'erminio");
    QCOMPARE(textBox(window, "txtWWLocator")->text(), QString("AB"));
    QCOMPARE(textBox(window, "txtCall")->text(), QString("IK4ABC"));
    QCOMPARE(textBox(window, "txtTime")->text(), QString("0930"));
    QCOMPARE(listBox(window, "comboPlace")->count(), 3);
    QCOMPARE(listBox(window, "comboPlace")->currentText(), QString("SANT'ERMINIO"));
    QCOMPARE(listBox(window, "comboProv")->currentText(), QString("FC"));
}

void TestQsoTyping::noCharacterIsRefused()
{
    QWidget *window = open();
    QTest::keyClicks(textBox(window, "txtWWLocator"), "1");
    QTest::keyClicks(textBox(window, "txtDate0"), "x");
    QTest::keyClicks(textBox(window, "txtTime"), "9:3");
    QCOMPARE(textBox(window, "txtWWLocator")->text(), QString("1"));
    QCOMPARE(textBox(window, "txtDate0")->text(), QString("x"));
    QCOMPARE(textBox(window, "txtTime")->text(), QString("9:3"));
}

void TestQsoTyping::qslOptionsAreOneTabStop_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("ticked");
    QTest::addColumn<QString>("other");
    QTest::newRow("confirmed after a QSO saved as worked") << windows::frmInsertQSO << "optQSLConf"
                                                           << "optQSLworked";
    QTest::newRow("worked") << windows::frmInsertQSO << "optQSLworked"
                            << "optQSLConf";
    QTest::newRow("Edit QSO") << windows::frmEditQSO << "optQSLworked"
                              << "optQSLConf";
}

void TestQsoTyping::qslOptionsAreOneTabStop()
{
    QFETCH(QString, window);
    QFETCH(QString, ticked);
    QFETCH(QString, other);
    QWidget *shown = open(window);
    // The user ticks worked, then the form is emptied for the next QSO.
    QTest::mouseClick(option(shown, "optQSLworked"), Qt::LeftButton, {}, QPoint(4, 4));
    press(shown, "cmdClear");
    option(shown, ticked)->setChecked(true);

    listBox(shown, "comboBand")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(focusName(), ticked);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QCOMPARE(focusName(), other);
    QVERIFY(option(shown, other)->isChecked());
    QVERIFY(!option(shown, ticked)->isChecked());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(focusName(), ticked);
    QVERIFY(option(shown, ticked)->isChecked());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(focusName(), QString("cmdSubmit"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(focusName(), ticked);
}

void TestQsoTyping::hiddenFormattingDropped_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("kept");
    QTest::newRow("tab in the call") << "txtCall"
                                     << "ik0\tabc"
                                     << "IK0ABC";
    QTest::newRow("line break in the call") << "txtCall"
                                            << "ik0\r\nabc"
                                            << "IK0ABC";
    QTest::newRow("right-to-left override in the call")
        << "txtCall" << QString("ik0") + QChar(0x202E) + "abc"
        << "IK0ABC";
    QTest::newRow("isolate in the place")
        << "comboPlace" << QChar(0x2067) + QString("roma") + QChar(0x2069) << "ROMA";
    QTest::newRow("line break in the place") << "comboPlace"
                                             << "roma\nnord"
                                             << "ROMANORD";
    QTest::newRow("direction mark in the time") << "txtTime" << QString("09") + QChar(0x200F) + "30"
                                                << "0930";
    QTest::newRow("escape in the day") << "txtDate0"
                                       << "\x1b"
                                          "1"
                                       << "1";
}

void TestQsoTyping::hiddenFormattingDropped()
{
    QFETCH(QString, field);
    QFETCH(QString, pasted);
    QFETCH(QString, kept);
    QLineEdit *edit = editOf(open(), field);
    edit->setFocus();
    edit->insert(pasted);
    QCOMPARE(edit->text(), kept);
    QCOMPARE(edit->cursorPosition(), kept.size());
}

QTEST_MAIN(TestQsoTyping)
#include "tst_qsotyping.moc"
