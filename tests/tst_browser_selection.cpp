// The log browser's actions on the selected line: Edit QSO filled from the QSO as the log holds
// it, the deletion after its question, the refusals of accredited QSOs, the five entry points
// (two buttons, double click, two popup items) and the popup menu of the right button.
#include "browserlog.h"
#include "qsoentryfixture.h"

#include "award/awardwindow.h"
#include "browser/qsoactions.h"
#include "browser/utilitywindow.h"
#include "log/lognotifier.h"
#include "platform/appcontext.h"
#include "platform/windownames.h"
#include "qso/editqsowindow.h"
#include "storage/database.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

using namespace kx47;
using namespace kx47::test;

namespace
{

// How an action reaches the selected line.
enum class Entry { Button, DoubleClick, PopupItem, PopupAction };

struct Browser {
    ProgramFolder folder;
    TestApp app{folder.path()};
    UtilityWindow *window = nullptr;
    QListView *list = nullptr;
    std::unique_ptr<QSignalSpy> logChanges;

    // The browser shown from the main window's menu, active, over the given log, all of it
    // listed (on a busy machine the first lines may be left to the listing's thread).
    bool start(const QList<QsoRow> &log)
    {
        folder.addQsos(log);
        if (!app.start())
            return false;
        window = qobject_cast<UtilityWindow *>(app.show(windows::frmUtility));
        if (!window || !activate(window) ||
            !QTest::qWaitFor([this] { return !window->isListing(); }, 30000))
            return false;
        list = window->findChild<QListView *>("List");
        logChanges = std::make_unique<QSignalSpy>(&context().logNotifier, &LogNotifier::logChanged);
        return list != nullptr;
    }

    AppContext &context() { return app.app().context(); }
    EditQsoWindow *editor() { return app.windows().find<EditQsoWindow>(windows::frmEditQSO); }

    QStringList lines() const { return listedLines(list); }
    QVector<qint32> shownCounts() const
    {
        return listedCounts(window->listCounts(), list->model()->rowCount());
    }
    int lineOf(qint32 count) const { return shownCounts().indexOf(count); }

    QPoint pointOf(int line) const
    {
        const QModelIndex index = list->model()->index(line, 0);
        list->scrollTo(index);
        return list->visualRect(index).center();
    }
    // Selects a line as the user does, with a left click.
    void select(qint32 count)
    {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, pointOf(lineOf(count)));
    }
    void rightClick(int line)
    {
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, pointOf(line));
    }
    QMenu *popup() const { return window->findChild<QMenu *>("mnPopup"); }

    // Runs the edit or the delete action on the selected line, through the given entry point.
    void act(bool edit, Entry entry)
    {
        const char *button = edit ? "cmdEditQSO" : "cmdDeleteQSO";
        const char *item = edit ? "mnEditQSO" : "mnDeleteQSO";
        switch (entry) {
        case Entry::Button:
            press(window, button);
            break;
        case Entry::DoubleClick: {
            const std::optional<int> line = window->selectedLine();
            // With no line selected the double click falls below the last line.
            const QPoint where =
                line ? pointOf(*line)
                     : QPoint(list->viewport()->width() / 2, list->viewport()->height() - 4);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, where);
            break;
        }
        case Entry::PopupItem: {
            rightClick(0);
            QMenu *menu = popup();
            if (!menu->isVisible())
                return; // no menu, nothing to choose
            auto *action = menu->findChild<QAction *>(item);
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
            break;
        }
        case Entry::PopupAction:
            popup()->findChild<QAction *>(item)->trigger();
            break;
        }
    }
};

QsoRow browserQso(int count)
{
    for (const QsoRow &row : browserLog()) {
        if (row.count == count)
            return row;
    }
    return {};
}

QsoRecord recordOf(const QsoRow &row)
{
    QsoRecord record;
    record.count = row.count;
    record.locator = row.locator;
    record.call = row.call;
    record.date = row.date;
    record.time = row.time;
    record.place = row.place;
    record.prov = row.prov;
    record.mode = row.mode;
    record.band = row.band;
    record.qsl = vocabulary::storedQslState(row.qsl);
    return record;
}

bool sameRecord(const QsoRecord &a, const QsoRecord &b)
{
    return a.count == b.count && a.locator == b.locator && a.call == b.call && a.date == b.date &&
           a.time == b.time && a.place == b.place && a.prov == b.prov && a.mode == b.mode &&
           a.band == b.band && a.qsl == b.qsl;
}

// The figure of the award counter for one band and state, as its label shows it.
QString counterFigure(TestApp &app, const QString &label)
{
    auto *counter = app.window<AwardWindow>(windows::frmAward);
    auto *figure = counter ? counter->findChild<QLabel *>(label) : nullptr;
    return figure ? figure->text() : QStringLiteral("missing");
}

void addEntryRows(bool withDoubleClick)
{
    QTest::newRow("button") << Entry::Button;
    if (withDoubleClick)
        QTest::newRow("double click") << Entry::DoubleClick;
    QTest::newRow("popup item") << Entry::PopupItem;
}

} // namespace

Q_DECLARE_METATYPE(Entry)

class TestBrowserSelection : public QObject
{
    Q_OBJECT

private slots:
    // The actions as plain rules, without windows.
    void fetchReadsTheNumberedQso_data();
    void fetchReadsTheNumberedQso();
    void editFieldsInOrder_data();
    void editFieldsInOrder();
    void qslOption_data();
    void qslOption();
    void actionsOnStoredState_data();
    void actionsOnStoredState();

    // The browser window.
    void controls();
    void roundTripIntoEditQso_data();
    void roundTripIntoEditQso();
    void submitWithoutChangesRewrites_data();
    void submitWithoutChangesRewrites();
    void editEntryPoints_data();
    void editEntryPoints();
    void secondEditRefills();
    void accreditedRefusedOnStoredState_data();
    void accreditedRefusedOnStoredState();
    void cancelChangesNothing_data();
    void cancelChangesNothing();
    void okDeletesAndListFollows_data();
    void okDeletesAndListFollows();
    void deletingTheOnlyQso();
    void failedDeletionKeepsTheQso_data();
    void failedDeletionKeepsTheQso();
    void popupActsOnTheSelectedLine();
    void rightClickWithoutSelectionOpensNoMenu();
    void noSelectionDoesNothing_data();
    void noSelectionDoesNothing();
    void lineOfAQsoNoLongerInTheLog_data();
    void lineOfAQsoNoLongerInTheLog();
};

void TestBrowserSelection::fetchReadsTheNumberedQso_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("found");
    // Numbers that begin or end like others: only the one asked for is read.
    QTest::newRow("5 among 15, 50 and 51") << 5 << true;
    QTest::newRow("15") << 15 << true;
    QTest::newRow("51") << 51 << true;
    QTest::newRow("1") << 1 << true;
    QTest::newRow("no such number") << 7 << false;
    QTest::newRow("zero, as past the listed lines") << 0 << false;
}

void TestBrowserSelection::fetchReadsTheNumberedQso()
{
    QFETCH(int, count);
    QFETCH(bool, found);
    ProgramFolder folder;
    QList<QsoRow> log;
    // Stored from the highest number down, so that a looser match would meet another first.
    for (int number : {51, 50, 15, 5, 1}) {
        QsoRow row = browserQso(number % 12 + 1);
        row.count = number;
        row.call = QStringLiteral("I%1ABC").arg(number);
        log << row;
    }
    folder.addQsos(log);
    TestApp app(folder.path());
    QVERIFY(app.start());
    const QsoActions actions(app.app().context().log, app.dialogs, app.app().context().logNotifier);
    const std::optional<QsoRecord> qso = actions.fetch(count);
    QCOMPARE(qso.has_value(), found);
    if (found)
        QVERIFY(sameRecord(*qso, recordOf(folder.qso(count))));
    QVERIFY(app.dialogs.messages.isEmpty());
}

void TestBrowserSelection::editFieldsInOrder_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QStringList>("dateAndTime"); // time, day, month, year

    QTest::newRow("9:05") << "2004-12-07"
                          << "09:05" << QStringList{"0905", "07", "12", "04"};
    QTest::newRow("14:30") << "2004-12-07"
                           << "14:30" << QStringList{"1430", "07", "12", "04"};
    QTest::newRow("midnight") << "1999-01-31"
                              << "00:00" << QStringList{"0000", "31", "01", "99"};
    QTest::newRow("last minute") << "2029-02-01"
                                 << "23:59" << QStringList{"2359", "01", "02", "29"};
}

void TestBrowserSelection::editFieldsInOrder()
{
    QFETCH(QString, date);
    QFETCH(QString, time);
    QFETCH(QStringList, dateAndTime);
    QsoRecord qso = recordOf(browserQso(8));
    qso.date = date;
    qso.time = time;
    const QVector<EditField> fields = QsoActions::editFields(qso);
    QStringList controls;
    QStringList values;
    for (const EditField &field : fields) {
        controls << field.control;
        values << field.value;
    }
    QCOMPARE(controls,
             (QStringList{"txtWWLocator", "txtCall", "txtTime", "txtDate0", "txtDate1", "txtDate2",
                          "comboPlace", "comboProv", "comboMode", "comboBand"}));
    QCOMPARE(values, (QStringList{"AB", "IK0AAA"} + dateAndTime +
                      QStringList{"BRANVOLE", "AN", "MIXED", "HF"}));
}

void TestBrowserSelection::qslOption_data()
{
    QTest::addColumn<QString>("qsl");
    QTest::addColumn<QString>("option");
    QTest::newRow("confirmed") << "c"
                               << "optQSLConf";
    QTest::newRow("worked") << "w"
                            << "optQSLworked";
    QTest::newRow("confirmed in a capital") << "C"
                                            << "optQSLConf";
    QTest::newRow("a letter of no state") << "x"
                                          << "optQSLworked";
}

void TestBrowserSelection::qslOption()
{
    QFETCH(QString, qsl);
    QFETCH(QString, option);
    QsoRecord qso;
    qso.qsl = vocabulary::storedQslState(qsl);
    QCOMPARE(QsoActions::qslOption(qso), option);
}

void TestBrowserSelection::actionsOnStoredState_data()
{
    QTest::addColumn<QString>("qsl");
    QTest::addColumn<bool>("edit");
    QTest::addColumn<QList<MessageAnswer>>("answers");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("deleted");

    const QString question = QsoActions::deleteQuestion;
    for (const char *qsl : {"w", "c"}) {
        QTest::addRow("edit %s", qsl)
            << qsl << true << QList<MessageAnswer>{} << QStringList{} << false;
        QTest::addRow("delete %s, OK", qsl)
            << qsl << false << QList<MessageAnswer>{MessageAnswer::Ok} << QStringList{question}
            << true;
        QTest::addRow("delete %s, Cancel", qsl)
            << qsl << false << QList<MessageAnswer>{MessageAnswer::Cancel} << QStringList{question}
            << false;
    }
    for (const char *qsl : {"a", "A"}) {
        QTest::addRow("edit %s", qsl)
            << qsl << true << QList<MessageAnswer>{}
            << QStringList{"You cannot edit an accreditated qso!"} << false;
        QTest::addRow("delete %s", qsl)
            << qsl << false << QList<MessageAnswer>{MessageAnswer::Ok}
            << QStringList{"you cannot delete an accreditated QSO!"} << false;
    }
}

void TestBrowserSelection::actionsOnStoredState()
{
    QFETCH(QString, qsl);
    QFETCH(bool, edit);
    QFETCH(QList<MessageAnswer>, answers);
    QFETCH(QStringList, messages);
    QFETCH(bool, deleted);
    ProgramFolder folder;
    QList<QsoRow> log{qsoRow(1, "AA", "w"), qsoRow(2, "AB", qsl), qsoRow(3, "AC", "c")};
    folder.addQsos(log);
    TestApp app(folder.path());
    QVERIFY(app.start());
    QSignalSpy logChanges(&app.app().context().logNotifier, &LogNotifier::logChanged);
    for (MessageAnswer answer : answers)
        app.dialogs.answers.enqueue(answer);
    const QsoActions actions(app.app().context().log, app.dialogs, app.app().context().logNotifier);

    if (edit) {
        const std::optional<QsoRecord> qso = actions.qsoToEdit(2);
        QCOMPARE(qso.has_value(), messages.isEmpty());
        if (qso)
            QVERIFY(sameRecord(*qso, recordOf(log[1])));
    } else {
        QCOMPARE(actions.deleteQso(2), deleted);
    }
    QCOMPARE(app.dialogs.texts(), messages);
    for (const FakeDialogs::Message &message : app.dialogs.messages) {
        QCOMPARE(message.icon, MessageIcon::Critical);
        QCOMPARE(message.buttons, message.text == QsoActions::deleteQuestion
                                      ? MessageButtons::OkCancel
                                      : MessageButtons::Ok);
        QCOMPARE(message.title, QString("KX47"));
    }
    if (deleted)
        log.removeAt(1);
    QCOMPARE(folder.qsos(), log);
    QCOMPARE(logChanges.count(), deleted ? 1 : 0);
}

void TestBrowserSelection::controls()
{
    Browser browser;
    QVERIFY(browser.start(browserLog()));
    auto *editButton = browser.window->findChild<QPushButton *>("cmdEditQSO");
    auto *deleteButton = browser.window->findChild<QPushButton *>("cmdDeleteQSO");
    QVERIFY(editButton);
    QVERIFY(deleteButton);
    QCOMPARE(editButton->text(), QString("Edit QSO"));
    QCOMPARE(editButton->toolTip(), QString("edit selected QSO "));
    QVERIFY(!editButton->font().bold());
    QCOMPARE(deleteButton->text(), QString("Delete QSO"));
    QCOMPARE(deleteButton->toolTip(), QString("delete selected QSO "));
    QVERIFY(deleteButton->font().bold());

    QMenu *menu = browser.popup();
    QVERIFY(menu);
    QCOMPARE(browser.window->popupMenu(), menu);
    QCOMPARE(menu->title(), QString("Popup"));
    QVERIFY(!menu->isVisible());
    QVERIFY(!browser.window->findChild<QMenuBar *>());
    QStringList items;
    for (QAction *action : menu->actions())
        items << action->objectName() + "=" + action->text();
    QCOMPARE(items, (QStringList{"mnEditQSO=&Edit QSO", "mnDeleteQSO=&Delete QSO"}));
}

void TestBrowserSelection::roundTripIntoEditQso_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("texts");      // sub-square, call, day, month, year, time, place
    QTest::addColumn<QStringList>("selections"); // province, mode, band
    QTest::addColumn<QString>("selected");

    QTest::newRow("confirmed at 9:05")
        << 1 << QStringList{"AB", "IK0AAA", "01", "12", "04", "0905", "SANT'ERMINIO"}
        << QStringList{"FC", "MIXED", "HF"} << "optQSLConf";
    // The place stored in small letters arrives upper-cased by the typing aids.
    QTest::newRow("worked at 14:30")
        << 2 << QStringList{"AA", "IK0AAA", "02", "12", "04", "1430", "COLLEVARO"}
        << QStringList{"RN", "SSB", "HF"} << "optQSLworked";
    // The gazetteer gives BRANVOLE the province PG; the QSO's own AN stays.
    QTest::newRow("own province over the gazetteer's")
        << 8 << QStringList{"AB", "IK0AAA", "08", "12", "04", "0845", "BRANVOLE"}
        << QStringList{"AN", "MIXED", "HF"} << "optQSLworked";
    QTest::newRow("call in small letters, 50 MHz at 23:59")
        << 4 << QStringList{"AB", "IK0AAA", "04", "12", "04", "2359", "BRANVOLE"}
        << QStringList{"PG", "MIXED", "50 MHz"} << "optQSLConf";
    QTest::newRow("sub-square in small letters")
        << 10 << QStringList{"AB", "IW3CCC", "10", "12", "04", "0707", "SANT'ERMINIO"}
        << QStringList{"FC", "SSB", "50 MHz"} << "optQSLConf";
    QTest::newRow("call with apostrophe")
        << 7 << QStringList{"AD", "O'HARA", "07", "12", "04", "1200", "BRANVOLE"}
        << QStringList{"PG", "CW", "UHF"} << "optQSLConf";
    QTest::newRow("digital on satellite")
        << 6 << QStringList{"AB", "I0BBB", "06", "12", "04", "0110", "ALTOMIRA"}
        << QStringList{"AR", "DIGITAL", "SAT"} << "optQSLConf";
}

void TestBrowserSelection::roundTripIntoEditQso()
{
    QFETCH(int, count);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, selections);
    QFETCH(QString, selected);
    Browser browser;
    QVERIFY(browser.start(browserLog()));
    QVERIFY(!browser.editor());
    browser.select(count);
    press(browser.window, "cmdEditQSO");

    EditQsoWindow *editor = browser.editor();
    QVERIFY(editor);
    QVERIFY(editor->isVisible());
    QVERIFY(browser.window->isVisible());
    QCOMPARE(formTexts(editor), texts);
    QCOMPARE(formSelections(editor), selections);
    QVERIFY(option(editor, selected)->isChecked());
    QCOMPARE(editor->dbCount(), count);
    QCOMPARE(editor->focusWidget(), textBox(editor, "txtWWLocator"));
    QVERIFY(activate(editor));
    QCOMPARE(QApplication::focusWidget(), textBox(editor, "txtWWLocator"));
    QVERIFY(browser.app.dialogs.messages.isEmpty());
    QCOMPARE(browser.folder.qsos(), browserLog());
}

void TestBrowserSelection::submitWithoutChangesRewrites_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("confirmed") << 1;
    QTest::newRow("worked") << 5;
    QTest::newRow("own province") << 8;
}

void TestBrowserSelection::submitWithoutChangesRewrites()
{
    QFETCH(int, count);
    Browser browser;
    QVERIFY(browser.start(browserLog()));
    const QStringList lines = browser.lines();
    browser.select(count);
    press(browser.window, "cmdEditQSO");
    EditQsoWindow *editor = browser.editor();
    QVERIFY(editor);
    press(editor, "cmdSubmit");
    QCOMPARE(browser.app.dialogs.texts(), QStringList{"QSO edited"});
    QCOMPARE(browser.app.dialogs.unanswered, 0);
    QVERIFY(!editor->isVisible());
    QCOMPARE(browser.folder.qsos(), browserLog());
    QCOMPARE(browser.logChanges->count(), 1);
    QCOMPARE(browser.lines(), lines);
    QVERIFY(!browser.window->selectedLine());
}

void TestBrowserSelection::editEntryPoints_data()
{
    QTest::addColumn<Entry>("entry");
    addEntryRows(true);
    QTest::newRow("popup action") << Entry::PopupAction;
}

void TestBrowserSelection::editEntryPoints()
{
    QFETCH(Entry, entry);
    Browser browser;
    QVERIFY(browser.start(browserLog()));
    browser.select(5);
    browser.act(true, entry);
    EditQsoWindow *editor = browser.editor();
    QVERIFY(editor);
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->dbCount(), 5);
    QCOMPARE(formTexts(editor), (QStringList{"AC", "I0BBB", "05", "12", "04", "1000", "BRANVOLE"}));
    QCOMPARE(formSelections(editor), (QStringList{"PG", "SSB", "VHF"}));
    QVERIFY(option(editor, "optQSLworked")->isChecked());
    QVERIFY(!browser.popup()->isVisible());
    QVERIFY(browser.app.dialogs.messages.isEmpty());
}

void TestBrowserSelection::secondEditRefills()
{
    Browser browser;
    QVERIFY(browser.start(browserLog()));
    browser.select(6);
    press(browser.window, "cmdEditQSO");
    QPointer<EditQsoWindow> editor = browser.editor();
    QVERIFY(editor);
    QCOMPARE(editor->dbCount(), 6);

    // The window stays open; another line is chosen and opened.
    QVERIFY(activate(browser.window));
    browser.select(2);
    browser.act(true, Entry::DoubleClick);
    QCOMPARE(browser.editor(), editor.data());
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->dbCount(), 2);
    QCOMPARE(formTexts(editor),
             (QStringList{"AA", "IK0AAA", "02", "12", "04", "1430", "COLLEVARO"}));
    QCOMPARE(formSelections(editor), (QStringList{"RN", "SSB", "HF"}));
    QVERIFY(option(editor, "optQSLworked")->isChecked());

    // Saving rewrites the second QSO, not the first.
    textBox(editor, "txtCall")->setText("IK0AAB");
    press(editor, "cmdSubmit");
    QCOMPARE(browser.app.dialogs.texts(), QStringList{"QSO edited"});
    QList<QsoRow> expected = browserLog();
    expected[1].call = "IK0AAB";
    expected[1].place = "COLLEVARO";
    QCOMPARE(browser.folder.qsos(), expected);
}

void TestBrowserSelection::accreditedRefusedOnStoredState_data()
{
    QTest::addColumn<bool>("edit");
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("refusal");

    const QString editRefusal = "You cannot edit an accreditated qso!";
    const QString deleteRefusal = "you cannot delete an accreditated QSO!";
    // QSO 11 is listed as confirmed and made accredited behind the list's back; QSO 3 is
    // listed as accredited.
    QTest::newRow("edit by button") << true << Entry::Button << 11 << editRefusal;
    QTest::newRow("edit by double click") << true << Entry::DoubleClick << 11 << editRefusal;
    QTest::newRow("edit by popup") << true << Entry::PopupItem << 11 << editRefusal;
    QTest::newRow("edit listed as accredited") << true << Entry::Button << 3 << editRefusal;
    QTest::newRow("delete by button") << false << Entry::Button << 11 << deleteRefusal;
    QTest::newRow("delete by popup") << false << Entry::PopupItem << 11 << deleteRefusal;
    QTest::newRow("delete listed as accredited") << false << Entry::Button << 3 << deleteRefusal;
}

void TestBrowserSelection::accreditedRefusedOnStoredState()
{
    QFETCH(bool, edit);
    QFETCH(Entry, entry);
    QFETCH(int, count);
    QFETCH(QString, refusal);
    Browser browser;
    QVERIFY(browser.start(browserLog()));
    browser.folder.setQsl(11, "a");
    const QList<QsoRow> stored = browser.folder.qsos();
    const QStringList lines = browser.lines();
    QVERIFY(lines[browser.lineOf(11)].endsWith("| c"));

    browser.select(count);
    browser.app.dialogs.answers.enqueue(MessageAnswer::Ok); // never asked
    browser.act(edit, entry);
    QCOMPARE(browser.app.dialogs.texts(), QStringList{refusal});
    const FakeDialogs::Message &message = browser.app.dialogs.messages.first();
    QCOMPARE(message.icon, MessageIcon::Critical);
    QCOMPARE(message.buttons, MessageButtons::Ok);
    QCOMPARE(message.title, QString("KX47"));
    QVERIFY(!browser.editor());
    QCOMPARE(browser.folder.qsos(), stored);
    QCOMPARE(browser.logChanges->count(), 0);
    QCOMPARE(browser.lines(), lines);
    QCOMPARE(browser.window->selectedLine(), std::optional<int>(browser.lineOf(count)));
}

void TestBrowserSelection::cancelChangesNothing_data()
{
    QTest::addColumn<Entry>("entry");
    addEntryRows(false);
}

void TestBrowserSelection::cancelChangesNothing()
{
    QFETCH(Entry, entry);
    Browser browser;
    QVERIFY(browser.start(browserLog()));
    const QStringList lines = browser.lines();
    const QString confirmed = counterFigure(browser.app, "lblHFc");
    browser.select(1);
    browser.app.dialogs.answers.enqueue(MessageAnswer::Cancel);
    browser.act(false, entry);

    QCOMPARE(browser.app.dialogs.texts(), QStringList{QsoActions::deleteQuestion});
    const FakeDialogs::Message &question = browser.app.dialogs.messages.first();
    QCOMPARE(question.text,
             QString("are you sure you want to permanently delete this QSO from the Logbook?"));
    QCOMPARE(question.icon, MessageIcon::Critical);
    QCOMPARE(question.buttons, MessageButtons::OkCancel);
    QCOMPARE(question.title, QString("KX47"));
    QCOMPARE(browser.folder.qsos(), browserLog());
    QCOMPARE(browser.lines(), lines);
    QCOMPARE(browser.shownCounts(), byCallBandMode);
    QCOMPARE(browser.window->selectedLine(), std::optional<int>(browser.lineOf(1)));
    QCOMPARE(browser.logChanges->count(), 0);
    QCOMPARE(counterFigure(browser.app, "lblHFc"), confirmed);
}

void TestBrowserSelection::okDeletesAndListFollows_data()
{
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<QString>("order");
    QTest::addColumn<QString>("call");
    QTest::addColumn<int>("deleted");
    QTest::addColumn<QVector<qint32>>("before");
    QTest::addColumn<QString>("label"); // the counter's figure of the deleted QSO (MIXED)

    QTest::newRow("whole log by call, button")
        << Entry::Button << "optCall" << QString() << 12 << byCallBandMode << "lblUHFw";
    QTest::newRow("whole log by band, popup")
        << Entry::PopupItem << "optBand" << QString() << 8
        << QVector<qint32>{4, 10, 8, 1, 11, 2, 6, 9, 7, 12, 3, 5} << "lblHFw";
    QTest::newRow("call search by place, button")
        << Entry::Button << "optPlace"
        << "ik0aaa" << 4 << QVector<qint32>{4, 8, 11, 2, 1} << "lbl50MHzc";
    QTest::newRow("call search by band, popup")
        << Entry::PopupItem << "optBand"
        << "IK0AAA" << 1 << QVector<qint32>{4, 8, 1, 11, 2} << "lblHFc";
}

void TestBrowserSelection::okDeletesAndListFollows()
{
    QFETCH(Entry, entry);
    QFETCH(QString, order);
    QFETCH(QString, call);
    QFETCH(int, deleted);
    QFETCH(QVector<qint32>, before);
    QFETCH(QString, label);
    Browser browser;
    QVERIFY(browser.start(browserLog()));
    option(browser.window, order)->click();
    if (!call.isEmpty()) {
        browser.app.dialogs.inputs.enqueue(call);
        press(browser.window, "cmdCall");
    }
    QCOMPARE(browser.shownCounts(), before);
    QStringList lines = browser.lines();
    const int figure = counterFigure(browser.app, label).toInt();
    QVERIFY(figure > 0);

    browser.select(deleted);
    browser.app.dialogs.answers.enqueue(MessageAnswer::Ok);
    browser.act(false, entry);

    QCOMPARE(browser.app.dialogs.texts(), QStringList{QsoActions::deleteQuestion});
    QCOMPARE(browser.app.dialogs.unanswered, 0);
    QList<QsoRow> log = browserLog();
    log.removeAt(deleted - 1);
    QCOMPARE(browser.folder.qsos(), log);
    QCOMPARE(browser.logChanges->count(), 1);
    // The same search and order, less the deleted line, with no line selected.
    lines.removeAt(before.indexOf(deleted));
    before.removeAll(deleted);
    QCOMPARE(browser.lines(), lines);
    QCOMPARE(browser.shownCounts(), before);
    QCOMPARE(browser.window->listCounts().size(), 12);
    QVERIFY(!browser.window->selectedLine());
    QCOMPARE(counterFigure(browser.app, label), QString::number(figure - 1));
}

void TestBrowserSelection::deletingTheOnlyQso()
{
    Browser browser;
    QVERIFY(browser.start({browserQso(8)}));
    QCOMPARE(counterFigure(browser.app, "lblHFw"), QString("1"));
    browser.select(8);
    browser.app.dialogs.answers.enqueue(MessageAnswer::Ok);
    press(browser.window, "cmdDeleteQSO");
    QVERIFY(browser.folder.qsos().isEmpty());
    QVERIFY(browser.lines().isEmpty());
    QCOMPARE(browser.window->listCounts(), QVector<qint32>{0});
    QCOMPARE(counterFigure(browser.app, "lblHFw"), QString("0"));
    QVERIFY(!browser.window->selectedLine());

    // Nothing is selected any more: a second press does nothing.
    press(browser.window, "cmdDeleteQSO");
    QCOMPARE(browser.app.dialogs.messages.size(), 1);
}

void TestBrowserSelection::failedDeletionKeepsTheQso_data()
{
    // How the fault is made on the program's log (see applyToLog), how it is taken away, and
    // the first words the user reads.
    QTest::addColumn<QStringList>("fault");
    QTest::addColumn<QStringList>("cure");
    QTest::addColumn<QString>("told");
    QTest::newRow("trigger refuses the deletion")
        << QStringList{"create trigger refuse before delete on data begin select "
                       "raise(abort, 'refused by trigger'); end"}
        << QStringList{"drop trigger refuse"} << "The log could not be changed. Nothing was saved";
    // The file may not grow by one page, and the deletion drags a large row along.
    QTest::newRow("disk full")
        << QStringList{"create table ballast (b)",
                       "create trigger grow after delete on data begin insert into ballast "
                       "values (zeroblob(200000)); end",
                       "pragma max_page_count = 1"}
        << QStringList{"drop trigger grow", "pragma max_page_count = 100000"}
        << "The disk is full. Nothing was saved";
    // The program's wait for the lock is cut short; another program holds it throughout.
    QTest::newRow("locked by another program")
        << QStringList{"pragma busy_timeout = 200", "@begin immediate"} << QStringList{"@rollback"}
        << "The log is locked by another program. Nothing was saved";
    QTest::newRow("engine refuses to write")
        << QStringList{"pragma query_only = 1"} << QStringList{"pragma query_only = 0"}
        << "The log is read-only. Nothing was saved";
    // Found read-only at start-up: refused before the question.
    QTest::newRow("log opened for reading only")
        << QStringList{"#read-only"} << QStringList{"#writable"} << readOnlyLogMessage;
}

void TestBrowserSelection::failedDeletionKeepsTheQso()
{
    QFETCH(QStringList, fault);
    QFETCH(QStringList, cure);
    QFETCH(QString, told);
    Browser browser;
    QVERIFY(browser.start(browserLog()));
    const QStringList lines = browser.lines();
    const QString worked = counterFigure(browser.app, "lblHFw");
    Database &log = browser.context().log;
    QCOMPARE(applyToLog(log, browser.folder.log(), fault), QString());
    browser.select(8);
    browser.app.dialogs.answers.enqueue(MessageAnswer::Ok);
    press(browser.window, "cmdDeleteQSO");

    // The question (unless the log is known to be read-only), then what went wrong.
    const QList<FakeDialogs::Message> messages = browser.app.dialogs.messages;
    const bool asked = told != readOnlyLogMessage;
    QCOMPARE(messages.size(), asked ? 2 : 1);
    QCOMPARE(messages.first().text == QsoActions::deleteQuestion, asked);
    QVERIFY2(messages.last().text.startsWith(told), qPrintable(messages.last().text));
    QCOMPARE(messages.last().icon, MessageIcon::Critical);
    QCOMPARE(messages.last().buttons, MessageButtons::Ok);
    // The QSO is still in the log and in the list, still selected; nobody was told of a change.
    QCOMPARE(browser.folder.qsos(), browserLog());
    QCOMPARE(browser.lines(), lines);
    QCOMPARE(browser.shownCounts(), byCallBandMode);
    QCOMPARE(browser.window->selectedLine(), std::optional<int>(browser.lineOf(8)));
    QCOMPARE(browser.logChanges->count(), 0);
    QCOMPARE(counterFigure(browser.app, "lblHFw"), worked);

    // The program goes on: once the fault is gone the same line is deleted.
    QCOMPARE(applyToLog(log, browser.folder.log(), cure), QString());
    browser.app.dialogs.answers.enqueue(MessageAnswer::Ok);
    press(browser.window, "cmdDeleteQSO");
    QCOMPARE(browser.app.dialogs.messages.size(), messages.size() + 1);
    QCOMPARE(browser.folder.qso(8).count, 0);
    QCOMPARE(browser.folder.qsos().size(), 11);
    QCOMPARE(browser.lines().size(), 11);
    QCOMPARE(browser.logChanges->count(), 1);
    QCOMPARE(counterFigure(browser.app, "lblHFw"), QString::number(worked.toInt() - 1));
}

void TestBrowserSelection::popupActsOnTheSelectedLine()
{
    Browser browser;
    QVERIFY(browser.start(browserLog()));
    browser.select(12); // line 1
    const int other = browser.lineOf(4);
    browser.rightClick(other);
    QMenu *menu = browser.popup();
    QVERIFY(menu->isVisible());
    // The right button selected nothing: the line chosen before stays.
    QCOMPARE(browser.window->selectedLine(), std::optional<int>(browser.lineOf(12)));
    QVERIFY(
        menu->geometry().contains(browser.list->viewport()->mapToGlobal(browser.pointOf(other))));

    browser.app.dialogs.answers.enqueue(MessageAnswer::Ok);
    QAction *deleteItem = menu->findChild<QAction *>("mnDeleteQSO");
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(deleteItem).center());
    QVERIFY(!menu->isVisible());
    QCOMPARE(browser.app.dialogs.texts(), QStringList{QsoActions::deleteQuestion});
    QCOMPARE(browser.folder.qso(12).count, 0);
    QCOMPARE(browser.folder.qso(4).count, 4);
    QCOMPARE(browser.folder.qsos().size(), 11);
}

void TestBrowserSelection::rightClickWithoutSelectionOpensNoMenu()
{
    Browser browser;
    QVERIFY(browser.start(browserLog()));
    QVERIFY(!browser.window->selectedLine());
    browser.rightClick(3);
    QVERIFY(!browser.popup()->isVisible());
    QVERIFY(!browser.window->selectedLine());

    // The left button selects; then the right one opens the menu.
    browser.select(9);
    browser.rightClick(3);
    QVERIFY(browser.popup()->isVisible());
    browser.popup()->close();
}

void TestBrowserSelection::noSelectionDoesNothing_data()
{
    QTest::addColumn<bool>("edit");
    QTest::addColumn<Entry>("entry");
    QTest::newRow("cmdEditQSO") << true << Entry::Button;
    QTest::newRow("double click") << true << Entry::DoubleClick;
    QTest::newRow("mnEditQSO") << true << Entry::PopupAction;
    QTest::newRow("cmdDeleteQSO") << false << Entry::Button;
    QTest::newRow("mnDeleteQSO") << false << Entry::PopupAction;
    QTest::newRow("popup for edit") << true << Entry::PopupItem;
    QTest::newRow("popup for delete") << false << Entry::PopupItem;
}

void TestBrowserSelection::noSelectionDoesNothing()
{
    QFETCH(bool, edit);
    QFETCH(Entry, entry);
    Browser browser;
    QVERIFY(browser.start(browserLog()));
    // A line chosen and then dropped by a rebuild of the list.
    browser.select(1);
    browser.window->showAny();
    QVERIFY(!browser.window->selectedLine());
    browser.app.dialogs.answers.enqueue(MessageAnswer::Ok);
    browser.act(edit, entry);
    QVERIFY(browser.app.dialogs.messages.isEmpty());
    QVERIFY(!browser.editor());
    QVERIFY(!browser.popup()->isVisible());
    QCOMPARE(browser.folder.qsos(), browserLog());
    QCOMPARE(browser.logChanges->count(), 0);
    QCOMPARE(browser.shownCounts(), byCallBandMode);
}

void TestBrowserSelection::lineOfAQsoNoLongerInTheLog_data()
{
    QTest::addColumn<bool>("edit");
    QTest::newRow("edit") << true;
    QTest::newRow("delete") << false;
}

void TestBrowserSelection::lineOfAQsoNoLongerInTheLog()
{
    QFETCH(bool, edit);
    Browser browser;
    QVERIFY(browser.start(browserLog()));
    browser.select(5);
    browser.folder.deleteQso(5); // behind the list's back
    browser.app.dialogs.answers.enqueue(MessageAnswer::Ok);
    browser.act(edit, Entry::Button);
    QVERIFY(browser.app.dialogs.messages.isEmpty());
    QVERIFY(!browser.editor());
    QCOMPARE(browser.folder.qsos().size(), 11);
    QCOMPARE(browser.logChanges->count(), 0);
}

QTEST_MAIN(TestBrowserSelection)
#include "tst_browser_selection.moc"
