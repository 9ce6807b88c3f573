#include "startupwork.h"

#include "backgroundtask.h"
#include "backups.h"

#include "platform/dialogs.h"
#include "storage/database.h"
#include "storage/databaseerror.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <chrono>
#include <thread>

namespace kx47
{

namespace
{

constexpr int pollMs = 100;
constexpr int doneShownMs = 5000;

} // namespace

StartUpWork::StartUpWork(Database &log, Dialogs &dialogs, const QString &backupFolder)
    : m_log(log), m_dialogs(dialogs), m_logPath(Backups::logPathOf(log)),
      m_backupFolder(backupFolder), m_marks(m_logPath)
{
    m_timer.setInterval(pollMs);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
}

StartUpWork::~StartUpWork()
{
    m_check.reset();
    if (m_backup) {
        m_backup.reset();
        // Finished or not, a copy not yet named a backup is not one.
        QFile::remove(m_backupPart);
    }
}

void StartUpWork::plan(bool check, bool backup)
{
    m_checkDue = check;
    m_backupDue = backup;
}

void StartUpWork::begin()
{
    if (m_begun)
        return;
    m_begun = true;
    if (m_checkDue && !m_check)
        startCheck();
    else if (m_backupDue && !m_check)
        startBackup();
    if (busy())
        m_timer.start();
}

bool StartUpWork::busy() const
{
    return m_checkDue || m_backupDue || m_check || m_backup;
}

void StartUpWork::waitUntilDone()
{
    begin();
    while (busy() && !m_damageTold) {
        poll();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void StartUpWork::beforeWrite()
{
    if (m_checkDue && !m_check)
        startCheck();
    if (m_check) {
        const bool windows = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
        if (windows)
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        m_check->wait();
        if (windows)
            QGuiApplication::restoreOverrideCursor();
        checkDone();
    }
    if (!m_damage.isEmpty()) {
        m_damageTold = true;
        m_marks.markDamaged();
        throw DatabaseError(DatabaseError::Kind::Damaged,
                            QStringLiteral("SQLite's check of the log found damage:\n") + m_damage);
    }
}

QString StartUpWork::damageMessage(const QString &logPath, const QString &findings)
{
    return QStringLiteral("The database file %1 is damaged: SQLite's check of the whole file "
                          "found faults. Nothing has been written to it since; KX47 will now "
                          "close. Keep a copy of it and put a backup copy of it in its place "
                          "(KX47 keeps copies of the log in the folder Backups beside it).\n\n%2")
        .arg(QDir::toNativeSeparators(logPath), findings);
}

void StartUpWork::startCheck()
{
    m_checkDue = false;
    m_checkOutcome = {};
    m_check = std::make_unique<BackgroundTask>(
        [this, name = m_log.handle().databaseName()](BackgroundTask &task) {
            m_checkOutcome = LogCheck::run(name, &task);
        });
    if (m_begun)
        m_timer.start();
}

void StartUpWork::startBackup()
{
    m_backupDue = false;
    m_backupMade = QDateTime::currentDateTime();
    QString error;
    m_backupPart = Backups::partFor(m_backupFolder, m_backupMade, &error);
    if (m_backupPart.isEmpty()) {
        m_dialogs.message(QStringLiteral("The log could not be backed up into %1: %2")
                              .arg(QDir::toNativeSeparators(m_backupFolder), error),
                          MessageIcon::Exclamation, MessageButtons::Ok);
        return;
    }
    const QString part = m_backupPart;
    m_backupOutcome = {};
    m_backup = std::make_unique<BackgroundTask>(
        [this, log = m_logPath, part, checkCopy = !m_checkedNow](BackgroundTask &task) {
            m_backupOutcome = OnlineBackup::copy(log, part, &task, checkCopy);
        });
    m_timer.start();
}

void StartUpWork::poll()
{
    if (m_check) {
        if (!m_check->finished()) {
            show(QStringLiteral("Checking the log... %1 %").arg(m_check->permille() / 10));
            return;
        }
        m_check->wait();
        checkDone();
    }
    if (!m_damage.isEmpty()) {
        reportDamage();
        return;
    }
    if (m_backupDue && !m_backup && m_begun)
        startBackup();
    if (m_backup) {
        if (!m_backup->finished()) {
            show(QStringLiteral("Backing up the log... %1 %").arg(m_backup->permille() / 10));
            return;
        }
        m_backup->wait();
        backupDone();
        if (!m_damage.isEmpty())
            reportDamage();
    }
    if (!busy())
        m_timer.stop();
}

void StartUpWork::checkDone()
{
    const std::unique_ptr<BackgroundTask> check = std::move(m_check);
    switch (m_checkOutcome.result) {
    case LogCheck::Result::Whole:
        m_checkedNow = true;
        m_marks.markChecked();
        show(QStringLiteral("The log was checked: no damage found."), doneShownMs);
        break;
    case LogCheck::Result::Damaged:
        m_damage = m_checkOutcome.findings;
        break;
    case LogCheck::Result::Unreadable:
        show(QStringLiteral("The log could not be checked: %1").arg(m_checkOutcome.findings),
             doneShownMs);
        break;
    case LogCheck::Result::Cancelled:
        break;
    }
}

void StartUpWork::backupDone()
{
    const std::unique_ptr<BackgroundTask> backup = std::move(m_backup);
    const QString part = m_backupPart;
    QString error = m_backupOutcome.detail;
    switch (m_backupOutcome.result) {
    case OnlineBackup::Result::Copied: {
        // The copy was found whole, and with it the log as it was when the copy began.
        if (!m_checkedNow)
            m_marks.markChecked(m_backupMade);
        const QString path =
            Backups::settle(part, m_backupFolder, m_backupMade, Backups::Kind::Daily, &error);
        if (!path.isEmpty()) {
            show(QStringLiteral("The log was backed up as %1.").arg(QDir::toNativeSeparators(path)),
                 doneShownMs);
            return;
        }
        show(QString());
        m_dialogs.message(error, MessageIcon::Exclamation, MessageButtons::Ok);
        return;
    }
    case OnlineBackup::Result::LogDamaged:
        m_damage = error;
        break;
    case OnlineBackup::Result::Cancelled:
    case OnlineBackup::Result::Failed:
        break;
    }
    QFile::remove(part);
    if (m_backupOutcome.result == OnlineBackup::Result::Failed) {
        show(QString());
        m_dialogs.message(QStringLiteral("The log could not be backed up into %1: %2")
                              .arg(QDir::toNativeSeparators(m_backupFolder), error),
                          MessageIcon::Exclamation, MessageButtons::Ok);
    }
}

void StartUpWork::reportDamage()
{
    m_timer.stop();
    if (m_damageTold)
        return;
    m_damageTold = true;
    m_backupDue = false;
    m_marks.markDamaged();
    show(QString());
    m_dialogs.message(damageMessage(m_logPath, m_damage), MessageIcon::Critical,
                      MessageButtons::Ok);
    // The windows close and the log is closed as on Exit, once the event loop is back.
    QCoreApplication::exit(EXIT_FAILURE);
}

void StartUpWork::show(const QString &text, int timeoutMs) const
{
    if (m_status)
        m_status(text, timeoutMs);
}

} // namespace kx47
