// The program shell: start-up on the program folder, the main window's menus, the window
// registry, the help documents and the About window.
#include "fixture.h"

#include "app/aboutwindow.h"
#include "app/databasefiles.h"
#include "platform/database.h"
#include "platform/windownames.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

using namespace kx47;
using namespace kx47::test;

namespace
{

QByteArray readFile(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

// A window the registry can make, standing for any of the program's windows.
QWidget *makePlainWindow()
{
    return new QWidget;
}

} // namespace

class TestShell : public QObject
{
    Q_OBJECT

private slots:
    void startsWithBothDatabases();
    void missingFileIsReportedAndNotCreated_data();
    void missingFileIsReportedAndNotCreated();
    void unreadableFileIsReportedAndUntouched_data();
    void unreadableFileIsReportedAndUntouched();
    void databaseFailureIsReported();
    void menuTree();
    void helpDocumentsOpenFromProgramFolder_data();
    void helpDocumentsOpenFromProgramFolder();
    void windowExistsOnce();
    void closeBoxDiscardsExitKeeps();
    void endingClosesEveryWindow_data();
    void endingClosesEveryWindow();
    void aboutWindow();
};

void TestShell::startsWithBothDatabases()
{
    ProgramFolder folder;
    TestApp app(folder.path());
    QVERIFY(app.start());
    QVERIFY(app.dialogs.messages.isEmpty());
    QMainWindow *main = app.app().mainWindow();
    QVERIFY(main);
    QCOMPARE(main->objectName(), QString("principale"));
    QCOMPARE(main->windowTitle(), QString("KX47 v1.0 Outside Italy"));
    QVERIFY(main->isVisible());
    QVERIFY(!main->windowIcon().isNull());
    auto *picture = main->findChild<QLabel *>("Picture1");
    QVERIFY(picture);
    QCOMPARE(picture->pixmap().size(), QSize(410, 288));
    auto *exit = main->findChild<QPushButton *>("cmdExit");
    QVERIFY(exit);
    QCOMPARE(exit->text(), QString("Exit"));
    QVERIFY(app.app().context().log.isOpen());
    QVERIFY(app.app().context().places.isOpen());
    QCOMPARE(app.app().context().places.count("select count(*) as contatore from places"),
             ProgramFolder::defaultPlaces().size());
}

void TestShell::missingFileIsReportedAndNotCreated_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("log") << "data.mdb";
    QTest::newRow("gazetteer") << "places.mdb";
}

void TestShell::missingFileIsReportedAndNotCreated()
{
    QFETCH(QString, file);
    ProgramFolder folder;
    const QString path = folder.path() + "/" + file;
    QVERIFY(QFile::remove(path));
    TestApp app(folder.path());
    QVERIFY(!app.start());
    QVERIFY(!app.app().mainWindow());
    QVERIFY(!QFile::exists(path));
    QCOMPARE(app.dialogs.messages.size(), 1);
    const FakeDialogs::Message message = app.dialogs.messages.first();
    QCOMPARE(message.icon, MessageIcon::Critical);
    QCOMPARE(message.title, QString("KX47"));
    QVERIFY2(message.text.contains(file), qPrintable(message.text));
    QVERIFY2(message.text.contains("cannot be found"), qPrintable(message.text));
}

void TestShell::unreadableFileIsReportedAndUntouched_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("said");
    QByteArray jet(256, '\0');
    jet.replace(4, 15, "Standard Jet DB");
    QByteArray ace(256, '\x01');
    ace.replace(4, 15, "Standard ACE DB");
    QTest::newRow("Access log") << "data.mdb" << jet << "Microsoft Access";
    QTest::newRow("Access 2007 gazetteer") << "places.mdb" << ace << "Microsoft Access";
    QTest::newRow("text") << "data.mdb" << QByteArray("not a database at all\n")
                          << "not a SQLite database";
    QTest::newRow("empty") << "places.mdb" << QByteArray() << "empty file";
    QTest::newRow("gazetteer in place of the log")
        << "data.mdb" << QByteArray("places") << "does not hold the tables";
    QTest::newRow("log in place of the gazetteer")
        << "places.mdb" << QByteArray("data") << "does not hold the tables";
}

void TestShell::unreadableFileIsReportedAndUntouched()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QString, said);
    ProgramFolder folder;
    const QString path = folder.path() + "/" + file;
    // "places" and "data" stand for a SQLite file of the other kind.
    if (content == "places")
        content = readFile(folder.placesPath());
    else if (content == "data")
        content = readFile(folder.logPath());
    writeFile(path, content);

    TestApp app(folder.path());
    QVERIFY(!app.start());
    QVERIFY(!app.app().mainWindow());
    QCOMPARE(app.dialogs.messages.size(), 1);
    const QString text = app.dialogs.messages.first().text;
    QCOMPARE(app.dialogs.messages.first().icon, MessageIcon::Critical);
    QVERIFY2(text.contains(file), qPrintable(text));
    QVERIFY2(text.contains(said), qPrintable(text));
    QVERIFY2(text.contains("cannot read"), qPrintable(text));
    QCOMPARE(readFile(path), content);
}

void TestShell::databaseFailureIsReported()
{
    ProgramFolder folder;
    TestApp app(folder.path());
    QVERIFY(app.start());
    // The test fixture turns the failure into an exception carrying the engine's text.
    try {
        app.app().context().log.run("select nothing from nowhere");
        QFAIL("a refused statement went unnoticed");
    } catch (const std::runtime_error &error) {
        QVERIFY2(QString(error.what()).contains("nowhere"), error.what());
    }
}

void TestShell::menuTree()
{
    ProgramFolder folder;
    TestApp app(folder.path());
    QVERIFY(app.start());
    QMainWindow *main = app.app().mainWindow();

    struct Item {
        const char *name;
        const char *caption;
    };
    const QList<std::pair<Item, QList<Item>>> tree = {
        {{"mnDatabase", "Database"},
         {{"mnInsertQSO", "&Insert QSO"},
          {"mnUtiliy", "&Utility QSO"},
          {"mnPrintAllQSOs", "&Print all QSOs"},
          {"mnLine2", ""},
          {"mnExit", "&Exit"}}},
        {{"mnAward", "Award"},
         {{"mnCounter", "&Counter"},
          {"mnBAR", "&Base Award Request"},
          {"mnEndorsement", "&Endorsement"},
          {"mnAwardMap", "&Map"}}},
        {{"mnUtility", "Utility"},
         {{"mnUserData", "&User Data"}, {"mnFindPlaces", "&Find on Places Database"}}},
        {{"mnHelp", "Help"},
         {{"mnHelpKX47html", "&Help on KX47"},
          {"mnHelpKX47pdf", "&Rules on KX47 "},
          {"mnLine", ""},
          {"mnAbout", "&About KX47"}}},
    };
    const QList<QAction *> menus = main->menuBar()->actions();
    QCOMPARE(menus.size(), tree.size());
    for (int m = 0; m < tree.size(); ++m) {
        QMenu *menu = menus[m]->menu();
        QVERIFY(menu);
        QCOMPARE(menu->objectName(), QString(tree[m].first.name));
        QCOMPARE(menu->title(), QString(tree[m].first.caption));
        const QList<QAction *> items = menu->actions();
        QCOMPARE(items.size(), tree[m].second.size());
        for (int i = 0; i < items.size(); ++i) {
            const Item &expected = tree[m].second[i];
            QCOMPARE(items[i]->objectName(), QString(expected.name));
            QCOMPARE(items[i]->isSeparator(), QString(expected.caption).isEmpty());
            if (!items[i]->isSeparator())
                QCOMPARE(items[i]->text(), QString(expected.caption));
        }
    }
    auto *help = main->findChild<QAction *>("mnHelpKX47html");
    QCOMPARE(help->shortcut(), QKeySequence(Qt::Key_F1));
}

void TestShell::helpDocumentsOpenFromProgramFolder_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("document");
    QTest::newRow("help pages") << "mnHelpKX47html"
                                << "Help/index.htm";
    QTest::newRow("rules") << "mnHelpKX47pdf"
                           << "Help/Kx47_reg_eng.pdf";
}

void TestShell::helpDocumentsOpenFromProgramFolder()
{
    QFETCH(QString, item);
    QFETCH(QString, document);
    ProgramFolder folder;
    TestApp app(folder.path());
    QVERIFY(app.start());
    // The documents are missing from the test folder: that is not reported.
    app.app().mainWindow()->findChild<QAction *>(item)->trigger();
    QCOMPARE(app.desktop.opened, QStringList{folder.path() + "/" + document});
    QVERIFY(app.dialogs.messages.isEmpty());

    TestApp rooted(folder.path() + "/");
    QVERIFY(rooted.start());
    rooted.app().mainWindow()->findChild<QAction *>(item)->trigger();
    QCOMPARE(rooted.desktop.opened, QStringList{folder.path() + "/" + document});
}

void TestShell::windowExistsOnce()
{
    WindowRegistry registry;
    int made = 0;
    registry.registerWindow("frmSample", [&made] {
        ++made;
        return makePlainWindow();
    });
    QVERIFY(!registry.find("frmSample"));
    QWidget *hidden = registry.get("frmSample");
    QVERIFY(hidden);
    QVERIFY(!hidden->isVisible());
    QCOMPARE(hidden->objectName(), QString("frmSample"));
    QWidget *shown = registry.show("frmSample");
    QCOMPARE(shown, hidden);
    QVERIFY(shown->isVisible());
    QCOMPARE(registry.show("frmSample"), hidden);
    QCOMPARE(made, 1);
    QVERIFY(!registry.show("frmNotBuilt"));
}

void TestShell::closeBoxDiscardsExitKeeps()
{
    WindowRegistry registry;
    int made = 0;
    registry.registerWindow("frmSample", [&made] {
        ++made;
        return makePlainWindow();
    });
    QWidget *first = registry.show("frmSample");
    first->hide(); // what "Exit" does
    QCOMPARE(registry.show("frmSample"), first);
    QCOMPARE(made, 1);
    QPointer<QWidget> closed = first;
    first->close(); // the close box
    QTRY_VERIFY(closed.isNull());
    QVERIFY(!registry.find("frmSample"));
    QWidget *second = registry.show("frmSample");
    QVERIFY(second);
    QCOMPARE(made, 2);
}

void TestShell::endingClosesEveryWindow_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("menu Exit") << "mnExit";
    QTest::newRow("Exit button") << "cmdExit";
    QTest::newRow("close box") << "close";
}

void TestShell::endingClosesEveryWindow()
{
    QFETCH(QString, how);
    ProgramFolder folder;
    TestApp app(folder.path());
    QVERIFY(app.start());
    QPointer<QWidget> about = app.show(windows::frmAbout);
    QVERIFY(about);
    QMainWindow *main = app.app().mainWindow();
    if (how == "mnExit")
        main->findChild<QAction *>("mnExit")->trigger();
    else if (how == "cmdExit")
        QTest::mouseClick(main->findChild<QPushButton *>("cmdExit"), Qt::LeftButton);
    else
        main->close();
    QVERIFY(about.isNull());
    QVERIFY(!main->isVisible());
    QVERIFY(app.dialogs.messages.isEmpty());
}

void TestShell::aboutWindow()
{
    ProgramFolder folder;
    TestApp app(folder.path());
    QVERIFY(app.start());
    app.app().mainWindow()->findChild<QAction *>("mnAbout")->trigger();
    QWidget *about = app.windows().find(windows::frmAbout);
    QVERIFY(about);
    QVERIFY(about->isVisible());
    QCOMPARE(about->windowTitle(), QString("about KX47"));
    QVERIFY(!about->findChild<QLabel *>("lblDescription")->text().isEmpty());
    QVERIFY(!about->findChild<QLabel *>("Picture2")->pixmap().isNull());
    auto *site = about->findChild<QLabel *>("Label2");
    QTest::mouseClick(site, Qt::LeftButton);
    QCOMPARE(app.desktop.opened, QStringList{site->text()});
    QCOMPARE(site->text(), AboutWindow::webAddress());

    QTest::mouseClick(about->findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
    QVERIFY(!about->isVisible());
    QCOMPARE(app.windows().find(windows::frmAbout), about); // hidden, not discarded
}

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
