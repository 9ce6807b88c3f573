#pragma once

#include "fakedialogs.h"
#include "recordingdesktop.h"
#include "recordingprinter.h"

#include "app/application.h"
#include "log/logchange.h"
#include "platform/windowregistry.h"
#include "storage/database.h"

#include <QProcess>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>
#include <functional>
#include <memory>
#include <random>

class QAction;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace kx47::test
{

// One row of table data as the tests write and read it. date is ISO "YYYY-MM-DD", time "HH:MM".
struct QsoRow {
    int count = 0;
    QString locator; // the two letters
    QString call;
    QString date = QStringLiteral("2004-12-07");
    QString time = QStringLiteral("09:30");
    QString place = QStringLiteral("PLACE");
    QString prov = QStringLiteral("AN");
    QString mode = QStringLiteral("MIXED");
    QString band = QStringLiteral("HF");
    QString qsl = QStringLiteral("c");
    bool operator==(const QsoRow &other) const;
};

// howMany QSOs numbered from 1, each in AB with the call "IK<count>XYZ".
QList<QsoRow> numberedQsos(int howMany);

struct PlaceRow {
    QString place;
    QString locator; // six characters, "KX47" and the two letters
    QString prov;
};

// A temporary program folder with a fresh empty data.mdb and a small places.mdb.
class ProgramFolder
{
public:
    // With the default gazetteer: a few places in KX47AA, KX47AB and KX47XX, one name in two
    // sub-squares, one with an apostrophe, one whose province is not among the nine codes.
    ProgramFolder();
    explicit ProgramFolder(const QList<PlaceRow> &places);
    ~ProgramFolder();

    QString path() const { return m_dir.path(); }
    QString logPath() const;
    QString placesPath() const;

    static QList<PlaceRow> defaultPlaces();

    // Direct access to the files, beside the program.
    void addQso(const QsoRow &row);
    void addQsos(const QList<QsoRow> &rows);
    QList<QsoRow> qsos() const;  // ordered by count
    QsoRow qso(int count) const; // count 0 when there is none
    // The confirmations by LoTW and eQSL of each QSO, ordered by count, each as
    // "lotw lotwDate eqsl eqslDate".
    QStringList electronic() const;
    void setQsl(int count, const QString &qsl);
    void deleteQso(int count);
    void setUserData(const QString &call, const QString &email = QStringLiteral("A@B.C"));
    int userDataRows() const;
    // Runs a statement on the log by hand; throws the engine's words when it is refused.
    void exec(const QString &sql) const;
    // The rows a select gives, each as its values joined by "|".
    QStringList rows(const QString &select) const;
    QSqlDatabase log() const;

private:
    QTemporaryDir m_dir;
    QString m_connection;
};

// A connection of the test's own on a file, standing for another program: not opened as the
// program opens its log, so that it can hold locks, leave journals and damage the file.
class OtherProgram
{
public:
    explicit OtherProgram(const QString &path);
    ~OtherProgram();
    OtherProgram(const OtherProgram &) = delete;
    OtherProgram &operator=(const OtherProgram &) = delete;

    // Runs a statement; one the engine refuses is told as a warning and the test goes on.
    void exec(const QString &sql) const;
    QSqlDatabase db() const;

private:
    QString m_connection;
};

// Another program that holds the log's write lock: in a process of its own it begins writing,
// runs `statement` and commits after holdMs. Made once the lock is held; release() (or the
// end of its life) waits for the commit.
class LockHolder
{
public:
    LockHolder(const QString &path, const QString &statement, int holdMs);
    ~LockHolder();
    void release();

private:
    std::unique_ptr<QProcess> m_process;
};

// The real application on a program folder, with scripted dialogs, a recording printer and a
// recording desktop.
class TestApp
{
public:
    explicit TestApp(const QString &programFolder);
    ~TestApp();

    // Unless told not to, waits for the work start-up leaves until after the main window is
    // painted (the weekly check, the first backup of the day).
    bool start(bool waitForStartUpWork = true);
    Application &app() { return *m_app; }
    WindowRegistry &windows() { return m_app->context().windows; }
    template <class W> W *window(const QString &name) { return windows().get<W>(name); }
    QWidget *show(const QString &name) { return windows().show(name); }
    // An item of the main window's menus by name; a missing one ends the test program.
    QAction *menuItem(const QString &name);

    FakeDialogs dialogs;
    RecordingPrintService printService;
    RecordingDesktop desktop;

private:
    std::unique_ptr<Application> m_app;
};

// A file of a program folder (the log, the gazetteer) opened as the program opens it, on a
// connection of its own; a file that does not open ends the test program.
class OpenedFile : public Database
{
public:
    explicit OpenedFile(const QString &path, Access access = Access::ReadWrite);
};

// A control of a window by name; a missing one ends the test program with its name.
template <class W> W *control(QWidget *window, const QString &name)
{
    W *widget = window->findChild<W *>(name);
    if (!widget)
        qFatal("no control %s in %s", qPrintable(name), qPrintable(window->objectName()));
    return widget;
}
QLineEdit *textBox(QWidget *window, const QString &name);
QComboBox *listBox(QWidget *window, const QString &name);
QRadioButton *option(QWidget *window, const QString &name);
// Clicks the push button of that name.
void press(QWidget *window, const QString &button);
// The texts of a list's items, in order.
QStringList itemTexts(const QComboBox *list);

// Makes a fault on the program's log, or takes it away again. Each statement runs on the
// program's own connection; one marked "@" runs on `other`, a connection standing for another
// program; "#read-only" and "#writable" set the log as the program sets one found read-only or
// writable at start-up. Returns the first statement the engine refused, or an empty text.
QString applyToLog(Database &log, const QSqlDatabase &other, const QStringList &statements);

// Answers the import options window the next import opens: ticks the boxes named in `ticked`
// ("paper,lotw,eqsl,mixed", the others unticked) and presses OK, or Cancel when ticked is
// "cancel". *shown gets the boxes that were ticked when it opened, in the same words.
void answerImportOptions(const QString &ticked, QString *shown = nullptr);

// Shows a top-level window and waits until it is the active one, so that focus can be tested.
bool activate(QWidget *window);

// Types text key by key; keyClicks takes only ASCII, other letters go as their own key.
void typeText(QWidget *widget, const QString &text);
// The columns of a table of typing around the caret, after the test's own: first, left, then,
// and the text and caret that should follow.
void addTypingAroundColumns();
// Gives the box the focus, types the row's first, moves the caret `left` characters back, types
// then, and compares the box's text and caret with the row's.
void checkTypingAround(QLineEdit *box);

// Random changes of a program folder's log, as the property tests make them behind the
// program's back: a new QSO, a QSO rewritten or one deleted, each as likely (a new one while
// the log is empty). make gives the QSO written with a number.
struct RandomChanges {
    ProgramFolder &folder;
    std::mt19937 &random;
    std::function<QsoRow(int count)> make;
    QList<int> numbers = {}; // the QSOs the log holds
    int next = 1;            // the number of the next new QSO

    // Makes one change and notes it in change.
    void step(LogChange &change);
};

} // namespace kx47::test
