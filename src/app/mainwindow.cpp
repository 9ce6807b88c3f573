#include "mainwindow.h"

#include "backup/logcheckcommand.h"
#include "backup/restorewindow.h"
#include "fulllogprintout.h"
#include "map/cardstochasewindow.h"
#include "paths/programfolder.h"
#include "platform/appcontext.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/windownames.h"
#include "platform/windowregistry.h"
#include "storage/databaseerror.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace kx47
{

MainWindow::MainWindow(AppContext &context, std::function<void()> quit)
    : m_context(context), m_quit(std::move(quit)), m_adif(context, this)
{
    setObjectName(windows::principale);
    setWindowTitle(QStringLiteral("KX47 v1.0 Outside Italy"));
    setWindowIcon(QIcon(QStringLiteral(":/kx47/images/kx47.svg")));

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    auto *picture = new QLabel(central);
    picture->setObjectName(QStringLiteral("Picture1"));
    // Sharp on every screen: the icon engine picks certificate@2x.png where pixels are denser.
    const QSize pictureSize(410, 288);
    picture->setPixmap(QIcon(QStringLiteral(":/kx47/images/certificate.png"))
                           .pixmap(pictureSize, devicePixelRatioF()));
    picture->setFixedSize(pictureSize);
    layout->addWidget(picture);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *exitButton = new QPushButton(QStringLiteral("Exit"), central);
    exitButton->setObjectName(QStringLiteral("cmdExit"));
    buttons->addWidget(exitButton);
    layout->addLayout(buttons);
    setCentralWidget(central);
    // The progress of the start-up's background work shows here.
    statusBar()->setObjectName(QStringLiteral("sbStatus"));
    connect(exitButton, &QPushButton::clicked, this, [this] { m_quit(); });

    WindowRegistry &registry = m_context.windows;
    auto showWindow = [&registry](const QString &name) {
        return [&registry, name] { registry.show(name); };
    };

    QMenu *database = addMenu(QStringLiteral("mnDatabase"), QStringLiteral("Database"));
    connect(addItem(database, QStringLiteral("mnInsertQSO"), QStringLiteral("&Insert QSO")),
            &QAction::triggered, this, showWindow(windows::frmInsertQSO));
    connect(addItem(database, QStringLiteral("mnUtiliy"), QStringLiteral("&Utility QSO")),
            &QAction::triggered, this, showWindow(windows::frmUtility));
    connect(addItem(database, QStringLiteral("mnPrintAllQSOs"), QStringLiteral("&Print all QSOs")),
            &QAction::triggered, this, [this] {
                guardLogWork(
                    m_context.dialogs,
                    [this] { FullLogPrintout(m_context.log).print(m_context.printService); },
                    DatabaseError::Work::Read);
            });
    connect(addItem(database, QStringLiteral("mnImportAdif"), QStringLiteral("I&mport ADIF...")),
            &QAction::triggered, this, [this] { m_adif.importFile(); });
    connect(addItem(database, QStringLiteral("mnImportEdi"),
                    QStringLiteral("Import &contest log (EDI)...")),
            &QAction::triggered, this, [this] { m_adif.importContestLogs(); });
    connect(addItem(database, QStringLiteral("mnExportAdif"), QStringLiteral("E&xport ADIF...")),
            &QAction::triggered, this, [this] { m_adif.exportLog(); });
    connect(addItem(database, QStringLiteral("mnDownloadConfirmations"),
                    QStringLiteral("&Download confirmations...")),
            &QAction::triggered, this, showWindow(QStringLiteral("frmDownloadConfirmations")));
    connect(addItem(database, QStringLiteral("mnBackup"), QStringLiteral("&Back up the log now")),
            &QAction::triggered, this, [this] { backUpNow(m_context); });
    connect(addItem(database, QStringLiteral("mnRestore"), QStringLiteral("&Restore a backup...")),
            &QAction::triggered, this, showWindow(RestoreWindow::name));
    connect(addItem(database, QStringLiteral("mnCheckLog"), QStringLiteral("Chec&k the log")),
            &QAction::triggered, this, [this] { checkLogNow(m_context); });
    addSeparator(database, QStringLiteral("mnLine2"));
    connect(addItem(database, QStringLiteral("mnExit"), QStringLiteral("&Exit")),
            &QAction::triggered, this, [this] { m_quit(); });

    QMenu *award = addMenu(QStringLiteral("mnAward"), QStringLiteral("Award"));
    connect(addItem(award, QStringLiteral("mnCounter"), QStringLiteral("&Counter")),
            &QAction::triggered, this, showWindow(windows::frmAward));
    connect(addItem(award, QStringLiteral("mnBAR"), QStringLiteral("&Base Award Request")),
            &QAction::triggered, this, showWindow(windows::frmBAR));
    connect(addItem(award, QStringLiteral("mnEndorsement"), QStringLiteral("&Endorsement")),
            &QAction::triggered, this, showWindow(windows::frmAE));
    connect(addItem(award, QStringLiteral("mnAwardMap"), QStringLiteral("&Map")),
            &QAction::triggered, this, showWindow(windows::frmAwardMap));
    connect(addItem(award, QStringLiteral("mnCardsToChase"), QStringLiteral("Cards to c&hase...")),
            &QAction::triggered, this, showWindow(CardsToChaseWindow::name));

    QMenu *utility = addMenu(QStringLiteral("mnUtility"), QStringLiteral("Utility"));
    connect(addItem(utility, QStringLiteral("mnUserData"), QStringLiteral("&User Data")),
            &QAction::triggered, this, showWindow(windows::frmUserData));
    connect(addItem(utility, QStringLiteral("mnFindPlaces"),
                    QStringLiteral("&Find on Places Database")),
            &QAction::triggered, this, showWindow(windows::frmFindPlaces));

    QMenu *help = addMenu(QStringLiteral("mnHelp"), QStringLiteral("Help"));
    QAction *helpPages =
        addItem(help, QStringLiteral("mnHelpKX47html"), QStringLiteral("&Help on KX47"));
    helpPages->setShortcut(QKeySequence(Qt::Key_F1));
    connect(helpPages, &QAction::triggered, this,
            [this] { openHelpDocument(QStringLiteral("Help/index.htm")); });
    connect(addItem(help, QStringLiteral("mnHelpKX47pdf"), QStringLiteral("&Rules on KX47 ")),
            &QAction::triggered, this,
            [this] { openHelpDocument(QStringLiteral("Help/Kx47_reg_eng.pdf")); });
    addSeparator(help, QStringLiteral("mnLine"));
    connect(addItem(help, QStringLiteral("mnAbout"), QStringLiteral("&About KX47")),
            &QAction::triggered, this, showWindow(windows::frmAbout));
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_quit();
}

void MainWindow::paintEvent(QPaintEvent *event)
{
    QMainWindow::paintEvent(event);
    if (m_painted) {
        // After the frame is on the screen.
        QTimer::singleShot(0, this, std::exchange(m_painted, nullptr));
    }
}

QMenu *MainWindow::addMenu(const QString &name, const QString &caption)
{
    QMenu *menu = menuBar()->addMenu(caption);
    menu->setObjectName(name);
    return menu;
}

QAction *MainWindow::addItem(QMenu *menu, const QString &name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

void MainWindow::addSeparator(QMenu *menu, const QString &name)
{
    menu->addSeparator()->setObjectName(name);
}

void MainWindow::openHelpDocument(const QString &relativePath)
{
    // Where no program shows the document, the user is told where it is, as for printouts.
    const QString path = joinProgramPath(m_context.installFolder, relativePath);
    if (m_context.desktop.openDocument(path))
        return;
    m_context.dialogs.message(QStringLiteral("The document is %1.\nNo program to show it could "
                                             "be started: open that file to read it.")
                                  .arg(QDir::toNativeSeparators(path)),
                              MessageIcon::Information, MessageButtons::Ok);
}

} // namespace kx47

#include "moc_mainwindow.cpp"
