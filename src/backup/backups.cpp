#include "backups.h"

#include "log/logrestore.h"

#include "engineprogress.h"

#include "log/logreads.h"
#include "platform/dialogs.h"
#include "storage/connection.h"
#include "storage/database.h"
#include "storage/databasecheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>

namespace kx47
{

namespace
{

const QString namePattern = QStringLiteral("'data' yyyy-MM-dd HH.mm.ss");
const QString beforeChangeWords = QStringLiteral(" before a change");
const QString onRequestWords = QStringLiteral(" on request");
const QString partSuffix = QStringLiteral(".part");
// A temporary file older than this is left by a copy that never ended (the program was killed).
constexpr int stalePartSeconds = 24 * 3600;

// A connection of its own on a file, for reading it without disturbing the log's connection.
class FileConnection
{
public:
    // path may be a file: address, as the log's connection names a log read as unchanging.
    FileConnection(const QString &name, const QString &path, bool readOnly) : m_name(name)
    {
        ConnectionOptions options;
        options.readOnly = readOnly;
        const QString file = fileOfDatabaseName(path, &options.immutable);
        QSqlDatabase db = openConnection(name, file, options);
        m_open = db.isOpen();
        if (!m_open)
            m_error = db.lastError().text();
    }
    ~FileConnection()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    FileConnection(const FileConnection &) = delete;
    FileConnection &operator=(const FileConnection &) = delete;

    bool isOpen() const { return m_open; }
    QString error() const { return m_error; }
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
    bool m_open = false;
    QString m_error;
};

int qsosIn(const QString &path)
{
    FileConnection file(QStringLiteral("kx47-backup-count"), path, true);
    if (!file.isOpen())
        return -1;
    return LogReads::qsoCount(file.db());
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The columns of the log's table that the backup's table has too: a backup made before a step
// of the schema lacks the columns the step added, which keep their defaults.
// "data 2026-12-08 14.05.03.mdb"; " before a change" or " on request" before ".mdb" for the
// other kinds; and " (2)" before ".mdb" for a second copy of one second.
const QRegularExpression &backupName()
{
    static const QRegularExpression name(
        QStringLiteral("^(data \\d{4}-\\d\\d-\\d\\d \\d\\d\\.\\d\\d\\.\\d\\d)(%1|%2)?(?: "
                       "\\((\\d+)\\))?\\.mdb$")
            .arg(beforeChangeWords, onRequestWords));
    return name;
}

int copyNumber(const QString &path)
{
    const QString number = backupName().match(QFileInfo(path).fileName()).captured(3);
    return number.isEmpty() ? 1 : number.toInt();
}

QString copyName(const QDateTime &when, Backups::Kind kind, int copy)
{
    const QString number = copy > 1 ? QStringLiteral(" (%1)").arg(copy) : QString();
    const QString words = kind == Backups::Kind::BeforeChange ? beforeChangeWords
                          : kind == Backups::Kind::OnRequest  ? onRequestWords
                                                              : QString();
    return when.toString(namePattern) + words + number + QStringLiteral(".mdb");
}

// A temporary name no other copy uses, in this process or another, also within one second.
QString partName(const QDir &dir, const QDateTime &when)
{
    static std::atomic<int> copies{0};
    return dir.filePath(QStringLiteral("%1.%2-%3%4")
                            .arg(when.toString(namePattern))
                            .arg(QCoreApplication::applicationPid())
                            .arg(++copies)
                            .arg(partSuffix));
}

// Removes the temporary files of copies that never ended.
void removeStaleParts(const QDir &dir, const QDateTime &now)
{
    for (const QFileInfo &part :
         dir.entryInfoList({QStringLiteral("data *") + partSuffix}, QDir::Files)) {
        if (part.lastModified().secsTo(now) > stalePartSeconds)
            QFile::remove(part.filePath());
    }
}

} // namespace

QString Backups::logPathOf(const Database &log)
{
    return fileOfDatabaseName(log.handle().databaseName());
}

QString Backups::folderOf(const Database &log)
{
    return QFileInfo(logPathOf(log)).absoluteDir().filePath(QStringLiteral("Backups"));
}

QString Backups::fileName(const QDateTime &when, Kind kind)
{
    return copyName(when, kind, 1);
}

Backups::Kind Backups::kindOf(const QString &fileName)
{
    const QString words = backupName().match(fileName).captured(2);
    return words == beforeChangeWords ? Kind::BeforeChange
           : words == onRequestWords  ? Kind::OnRequest
                                      : Kind::Daily;
}

QDateTime Backups::madeAt(const QString &fileName)
{
    const QRegularExpressionMatch match = backupName().match(fileName);
    if (!match.hasMatch())
        return QDateTime();
    return QDateTime::fromString(match.captured(1), namePattern);
}

QString Backups::backUp(const Database &log, const QString &folder, QString *error,
                        const QDateTime &when, Kind kind, const QStringList &spared)
{
    const QString part = partFor(folder, when, error);
    if (part.isEmpty())
        return QString();

    bool copied = false;
    bool cancelled = false;
    {
        // A connection of its own reads the log as committed at one moment: every change is
        // committed when its action ends, so the copy holds every saved QSO. It opens the log as
        // the log's own connection does (a log read as unchanging leaves nothing beside it).
        FileConnection source(QStringLiteral("kx47-backup"), log.handle().databaseName(), true);
        if (!source.isOpen()) {
            *error = source.error();
        } else {
            EngineProgress progress(source.db(), QStringLiteral("Backing up the log..."));
            QSqlQuery vacuum(source.db());
            copied = vacuum.prepare(QStringLiteral("vacuum into ?"));
            if (copied) {
                vacuum.addBindValue(part);
                copied = vacuum.exec();
            }
            cancelled = progress.cancelled();
            if (!copied)
                *error = vacuum.lastError().text();
        }
    }
    if (!copied) {
        QFile::remove(part);
        if (cancelled)
            *error = QStringLiteral("The backup was cancelled; no copy was made.");
        else
            *error = QStringLiteral("The log could not be backed up into %1: %2")
                         .arg(shown(folder), *error);
        return QString();
    }
    return settle(part, folder, when, kind, error, spared);
}

QString Backups::partFor(const QString &folder, const QDateTime &when, QString *error)
{
    const QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("."))) {
        *error = QStringLiteral("The folder %1 cannot be made.").arg(shown(folder));
        return QString();
    }
    return partName(dir, when);
}

QString Backups::settle(const QString &part, const QString &folder, const QDateTime &when,
                        Kind kind, QString *error, const QStringList &spared)
{
    // The first free name of that second; a name taken meanwhile by another copy is never
    // replaced (the rename refuses an existing name).
    const QDir dir(folder);
    QString path;
    for (int copy = 1; path.isEmpty(); ++copy) {
        const QString name = dir.filePath(copyName(when, kind, copy));
        if (QFileInfo::exists(name))
            continue;
        if (QFile::rename(part, name)) {
            path = name;
        } else if (!QFileInfo::exists(name)) {
            QFile::remove(part);
            *error = QStringLiteral("The log could not be backed up into %1: %2")
                         .arg(shown(folder),
                              QStringLiteral("The copy cannot be named %1.").arg(shown(name)));
            return QString();
        }
    }

    // The keeping rule looks at the backups of this folder only, by the moments in their names.
    const QList<Backup> backups = list(folder, false);
    for (int index : toRemove(backups, when)) {
        // The copy just made is never removed, even where an older one of its second took a
        // higher number.
        if (backups[index].path != path && !spared.contains(backups[index].path))
            QFile::remove(backups[index].path);
    }
    removeStaleParts(dir, when);
    return path;
}

bool Backups::dailyDue(const QString &folder, const QDateTime &now)
{
    const QStringList names = QDir(folder).entryList({QStringLiteral("data *.mdb")}, QDir::Files);
    for (const QString &name : names) {
        if (kindOf(name) == Kind::Daily && madeAt(name).date() == now.date())
            return false;
    }
    return true;
}

bool Backups::backUpBeforeChange(const Database &log, const QString &what, QString *message,
                                 const QStringList &spared)
{
    QString error;
    if (!backUp(log, folderOf(log), &error, QDateTime::currentDateTime(), Kind::BeforeChange,
                spared)
             .isEmpty())
        return true;
    *message =
        error + QStringLiteral("\n%1 needs a backup first: nothing has been changed.").arg(what);
    return false;
}

bool Backups::backUpBeforeChange(const Database &log, Dialogs &dialogs, const QString &what)
{
    QString message;
    if (backUpBeforeChange(log, what, &message))
        return true;
    dialogs.message(message, MessageIcon::Critical, MessageButtons::Ok);
    return false;
}

void Backups::backUpDaily(const Database &log, const QString &folder, Dialogs &dialogs,
                          const QDateTime &now)
{
    if (!dailyDue(folder, now))
        return;
    QString error;
    if (backUp(log, folder, &error, now).isEmpty())
        dialogs.message(error, MessageIcon::Exclamation, MessageButtons::Ok);
}

QList<Backups::Backup> Backups::list(const QString &folder, bool counted)
{
    QList<Backup> backups;
    const QDir dir(folder);
    for (const QString &name : dir.entryList({QStringLiteral("data *.mdb")}, QDir::Files)) {
        const QDateTime made = madeAt(name);
        if (made.isValid())
            backups.append({dir.filePath(name), made, -1, kindOf(name)});
    }
    std::stable_sort(backups.begin(), backups.end(), [](const Backup &a, const Backup &b) {
        return a.made != b.made ? a.made > b.made : copyNumber(a.path) > copyNumber(b.path);
    });
    for (Backup &backup : backups)
        backup.qsos = counted ? qsosIn(backup.path) : -1;
    return backups;
}

QList<int> Backups::toRemove(const QList<Backup> &backups, const QDateTime &now)
{
    const QDate today = now.date();
    const QDateTime yearAgo = now.addMonths(-keptMonths);
    // Days and months of each kind, apart.
    QSet<qint64> daysKept;
    QSet<int> monthsKept;
    int beforeChange = 0;
    QList<int> removed;
    for (int i = 0; i < backups.size(); ++i) {
        const QDateTime &made = backups[i].made;
        const Kind kind = backups[i].kind;
        bool kept = made > now; // a clock set back: nothing is known of it
        if (kind == Kind::BeforeChange) {
            kept = beforeChange++ < keptBeforeChange;
        } else if (!kept && made.date().daysTo(today) < keptDays) {
            const qint64 day = made.date().toJulianDay() * 4 + int(kind);
            kept = !daysKept.contains(day);
            daysKept.insert(day);
        } else if (!kept && made > yearAgo) {
            const int month = (made.date().year() * 12 + made.date().month()) * 4 + int(kind);
            kept = !monthsKept.contains(month);
            monthsKept.insert(month);
        }
        if (!kept)
            removed << i;
    }
    return removed;
}

bool Backups::verify(const QString &path, QString *error)
{
    if (!QFileInfo(path).isFile()) {
        *error = QStringLiteral("The backup %1 is no longer there.").arg(shown(path));
        return false;
    }
    FileConnection file(QStringLiteral("kx47-backup-verify"), path, true);
    if (!file.isOpen()) {
        *error =
            QStringLiteral("The backup %1 cannot be opened: %2").arg(shown(path), file.error());
        return false;
    }
    QString problem;
    if (!DatabaseCheck::quickCheck(file.db(), &problem)) {
        *error = QStringLiteral("The backup %1 is damaged: %2").arg(shown(path), problem);
        return false;
    }
    if (!Schema::hasTables(file.db(), Schema::File::Log)) {
        *error = QStringLiteral("The file %1 is not a backup of a KX47 log.").arg(shown(path));
        return false;
    }
    const QStringList missing = DatabaseCheck::missingColumns(file.db(), Schema::File::Log);
    if (!missing.isEmpty()) {
        *error = QStringLiteral("The backup %1 lacks the columns %2.")
                     .arg(shown(path), missing.join(QStringLiteral(", ")));
        return false;
    }
    return true;
}

bool Backups::restore(const Database &log, const QString &backupPath, QString *error)
{
    if (!verify(backupPath, error))
        return false;
    restoreLogTables(log, backupPath);
    return true;
}

} // namespace kx47
