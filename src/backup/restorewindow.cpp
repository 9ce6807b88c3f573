#include "restorewindow.h"

#include "backups.h"

#include "log/lognotifier.h"
#include "log/logreads.h"
#include "paths/programfolder.h"
#include "platform/appcontext.h"
#include "platform/dialogs.h"
#include "platform/windowregistry.h"
#include "storage/database.h"
#include "storage/databaseerror.h"

#include <QDir>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace kx47
{

namespace
{

QString backupFolder(const AppContext &context)
{
    return joinProgramPath(context.logFolder, QStringLiteral("Backups"));
}

QString moment(const QDateTime &made)
{
    return made.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

} // namespace

const QString RestoreWindow::name = QStringLiteral("frmRestore");

RestoreWindow::RestoreWindow(AppContext &context) : m_context(context)
{
    setObjectName(name);
    setWindowTitle(QStringLiteral("Restore a backup"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto *layout = new QVBoxLayout(this);
    m_folder = new QLabel(this);
    m_folder->setObjectName(QStringLiteral("lblFolder"));
    m_folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_folder);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lstBackups"));
    m_list->setMinimumWidth(m_list->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 44);
    layout->addWidget(m_list);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *restore = new QPushButton(QStringLiteral("&Restore"), this);
    restore->setObjectName(QStringLiteral("cmdRestore"));
    buttons->addWidget(restore);
    auto *exit = new QPushButton(QStringLiteral("Exit"), this);
    exit->setObjectName(QStringLiteral("cmdExit"));
    buttons->addWidget(exit);
    layout->addLayout(buttons);

    // The list follows the backups made while it is open, by this program or another.
    m_watcher = new QFileSystemWatcher(this);
    m_relisting = new QTimer(this);
    m_relisting->setSingleShot(true);
    m_relisting->setInterval(200);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, m_relisting,
            qOverload<>(&QTimer::start));
    connect(m_relisting, &QTimer::timeout, this, [this] {
        if (isVisible())
            relist();
    });

    connect(restore, &QPushButton::clicked, this, &RestoreWindow::restoreChosen);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &RestoreWindow::restoreChosen);
    connect(exit, &QPushButton::clicked, this, &QWidget::hide);
}

void RestoreWindow::showEvent(QShowEvent *event)
{
    relist();
    QWidget::showEvent(event);
}

void RestoreWindow::relist()
{
    const QString folder = backupFolder(m_context);
    m_folder->setText(QStringLiteral("Backups in %1").arg(QDir::toNativeSeparators(folder)));
    // The folder is watched once it is there; until then the log's folder, where it will be made.
    for (const QString &watched : {m_context.logFolder, folder}) {
        if (QFileInfo(watched).isDir() && !m_watcher->directories().contains(watched))
            m_watcher->addPath(watched);
    }
    const QString chosen =
        m_list->currentItem() ? m_list->currentItem()->data(Qt::UserRole).toString() : QString();
    m_list->clear();
    for (const Backups::Backup &backup : Backups::list(folder)) {
        QString text = QStringLiteral("%1   %2").arg(
            moment(backup.made), backup.qsos < 0 ? QStringLiteral("cannot be read")
                                                 : QStringLiteral("%1 QSOs").arg(backup.qsos));
        if (backup.kind == Backups::Kind::BeforeChange)
            text += QStringLiteral("   before a change");
        else if (backup.kind == Backups::Kind::OnRequest)
            text += QStringLiteral("   on request");
        auto *item = new QListWidgetItem(text);
        item->setData(Qt::UserRole, backup.path);
        item->setData(Qt::UserRole + 1, backup.qsos);
        m_list->addItem(item);
        if (backup.path == chosen)
            m_list->setCurrentItem(item);
    }
    if (!m_list->currentItem() && m_list->count() > 0)
        m_list->setCurrentRow(0);
}

void RestoreWindow::restoreChosen()
{
    Dialogs &dialogs = m_context.dialogs;
    QListWidgetItem *item = m_list->currentItem();
    if (!item) {
        dialogs.message(QStringLiteral("Choose the backup to restore."), MessageIcon::Exclamation,
                        MessageButtons::Ok);
        return;
    }
    if (!m_context.log.isWritable()) {
        dialogs.message(QStringLiteral("The log is read-only: it cannot be restored."),
                        MessageIcon::Exclamation, MessageButtons::Ok);
        return;
    }
    const QString path = item->data(Qt::UserRole).toString();
    const QString made = moment(Backups::madeAt(QFileInfo(path).fileName()));
    QString error;
    if (!Backups::verify(path, &error)) {
        dialogs.message(error + QStringLiteral("\nThe log has not been changed."),
                        MessageIcon::Critical, MessageButtons::Ok);
        return;
    }
    int now = 0;
    if (!guardLogWork(
            dialogs, [&] { now = LogReads(m_context.log).qsoCount(); }, DatabaseError::Work::Read))
        return;
    const QString question =
        QStringLiteral("Replace the log (%1 QSOs and the applicant record) by the backup of %2 "
                       "(%3 QSOs and the applicant record as it was then)?\nThe log as it is now "
                       "is backed up first.")
            .arg(now)
            .arg(made)
            .arg(item->data(Qt::UserRole + 1).toInt());
    if (dialogs.message(question, MessageIcon::None, MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    // The copy of the log as it is now never pushes the chosen backup out.
    if (!Backups::backUpBeforeChange(m_context.log, QStringLiteral("The restore"), &error,
                                     {path})) {
        dialogs.message(error, MessageIcon::Critical, MessageButtons::Ok);
        return;
    }
    bool verified = false;
    const bool restored =
        guardLogWork(dialogs, [&] { verified = Backups::restore(m_context.log, path, &error); }) &&
        verified;
    if (restored)
        m_context.logNotifier.notifyLogChanged();
    relist();
    if (!restored) {
        // A refusal of the engine was told already, in plain words.
        if (!verified && error.size() > 0)
            dialogs.message(error + QStringLiteral("\nThe log has not been changed."),
                            MessageIcon::Critical, MessageButtons::Ok);
        return;
    }
    int qsos = 0;
    if (!guardLogWork(
            dialogs, [&] { qsos = LogReads(m_context.log).qsoCount(); }, DatabaseError::Work::Read))
        return;
    dialogs.message(
        QStringLiteral("The log has been restored from the backup of %1: it holds %2 QSOs.")
            .arg(made)
            .arg(qsos),
        MessageIcon::Information, MessageButtons::Ok);
}

void registerBackupWindows(AppContext &context)
{
    context.windows.registerWindow(RestoreWindow::name,
                                   [&context] { return new RestoreWindow(context); });
}

void backUpNow(AppContext &context)
{
    if (!context.log.isWritable() && !QFileInfo(context.logFolder).isWritable()) {
        context.dialogs.message(QStringLiteral("The folder of the log is read-only: no backup "
                                               "can be made beside it."),
                                MessageIcon::Exclamation, MessageButtons::Ok);
        return;
    }
    QString error;
    const QString path = Backups::backUp(context.log, backupFolder(context), &error,
                                         QDateTime::currentDateTime(), Backups::Kind::OnRequest);
    if (path.isEmpty()) {
        context.dialogs.message(error, MessageIcon::Critical, MessageButtons::Ok);
        return;
    }
    context.dialogs.message(
        QStringLiteral("The log has been backed up as %1.").arg(QDir::toNativeSeparators(path)),
        MessageIcon::Information, MessageButtons::Ok);
}

} // namespace kx47

#include "moc_restorewindow.cpp"
