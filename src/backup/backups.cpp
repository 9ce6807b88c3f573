#include "backups.h"

#include "engineprogress.h"

#include "log/logreads.h"
#include "platform/dialogs.h"
#include "storage/database.h"
#include "storage/databasecheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

namespace kx47
{

namespace
{

const QString namePattern = QStringLiteral("'data' yyyy-MM-dd HH.mm.ss");
const QString partSuffix = QStringLiteral(".part");

// A connection of its own on a file, for reading it without disturbing the log's connection.
class FileConnection
{
public:
    FileConnection(const QString &name, const QString &path, bool readOnly) : m_name(name)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(readOnly
                                 ? QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000")
                                 : QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        m_open = db.open();
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

QString quotedColumns(QSqlDatabase db, const QString &table)
{
    QStringList columns;
    QSqlQuery query(db);
    if (query.exec(QStringLiteral("pragma main.table_info(\"%1\")").arg(table))) {
        while (query.next()) {
            columns << QLatin1Char('"') +
                           query.value(QStringLiteral("name"))
                               .toString()
                               .replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
                           QLatin1Char('"');
        }
    }
    return columns.join(QStringLiteral(", "));
}

// "data 2026-12-08 14.05.03.mdb", and " (2)" before ".mdb" for a second copy of one second.
const QRegularExpression &backupName()
{
    static const QRegularExpression name(QStringLiteral(
        "^(data \\d{4}-\\d\\d-\\d\\d \\d\\d\\.\\d\\d\\.\\d\\d)(?: \\((\\d+)\\))?\\.mdb$"));
    return name;
}

int copyNumber(const QString &path)
{
    const QString number = backupName().match(QFileInfo(path).fileName()).captured(2);
    return number.isEmpty() ? 1 : number.toInt();
}

} // namespace

QString Backups::logPathOf(const Database &log)
{
    const QString name = log.handle().databaseName();
    if (name.startsWith(QLatin1String("file:")))
        return QUrl(name).toLocalFile();
    return name;
}

QString Backups::folderOf(const Database &log)
{
    return QFileInfo(logPathOf(log)).absoluteDir().filePath(QStringLiteral("Backups"));
}

QString Backups::fileName(const QDateTime &when)
{
    return when.toString(namePattern) + QStringLiteral(".mdb");
}

QDateTime Backups::madeAt(const QString &fileName)
{
    const QRegularExpressionMatch match = backupName().match(fileName);
    if (!match.hasMatch())
        return QDateTime();
    return QDateTime::fromString(match.captured(1), namePattern);
}

QString Backups::backUp(const Database &log, const QString &folder, QString *error,
                        const QDateTime &when)
{
    const QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("."))) {
        *error = QStringLiteral("The folder %1 cannot be made.").arg(shown(folder));
        return QString();
    }
    QString path = dir.filePath(fileName(when));
    for (int copy = 2; QFileInfo::exists(path); ++copy) {
        path = dir.filePath(when.toString(namePattern) + QStringLiteral(" (%1).mdb").arg(copy));
    }
    const QString part = path + partSuffix;
    QFile::remove(part);

    bool copied = false;
    bool cancelled = false;
    {
        // A connection of its own reads the log as committed at one moment: every change is
        // committed when its action ends, so the copy holds every saved QSO.
        FileConnection source(QStringLiteral("kx47-backup"), logPathOf(log), true);
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
    if (copied && !QFile::rename(part, path)) {
        copied = false;
        *error = QStringLiteral("The copy cannot be named %1.").arg(shown(path));
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

    // The keeping rule looks at the backups of this folder only, by the moments in their names.
    QList<QDateTime> made;
    QStringList names;
    for (const Backup &backup : list(folder)) {
        made << backup.made;
        names << backup.path;
    }
    for (int index : toRemove(made, when))
        QFile::remove(names[index]);
    return path;
}

bool Backups::backUpBeforeChange(const Database &log, Dialogs &dialogs, const QString &what)
{
    QString error;
    if (!backUp(log, folderOf(log), &error).isEmpty())
        return true;
    dialogs.message(
        error + QStringLiteral("\n%1 needs a backup first: nothing has been changed.").arg(what),
        MessageIcon::Critical, MessageButtons::Ok);
    return false;
}

void Backups::backUpDaily(const Database &log, const QString &folder, Dialogs &dialogs,
                          const QDateTime &now)
{
    const QStringList names = QDir(folder).entryList({QStringLiteral("data *.mdb")}, QDir::Files);
    for (const QString &name : names) {
        if (madeAt(name).date() == now.date())
            return;
    }
    QString error;
    if (backUp(log, folder, &error, now).isEmpty())
        dialogs.message(error, MessageIcon::Exclamation, MessageButtons::Ok);
}

QList<Backups::Backup> Backups::list(const QString &folder)
{
    QList<Backup> backups;
    const QDir dir(folder);
    for (const QString &name : dir.entryList({QStringLiteral("data *.mdb")}, QDir::Files)) {
        const QDateTime made = madeAt(name);
        if (made.isValid())
            backups.append({dir.filePath(name), made, -1});
    }
    std::stable_sort(backups.begin(), backups.end(), [](const Backup &a, const Backup &b) {
        return a.made != b.made ? a.made > b.made : copyNumber(a.path) > copyNumber(b.path);
    });
    for (Backup &backup : backups)
        backup.qsos = qsosIn(backup.path);
    return backups;
}

QList<int> Backups::toRemove(const QList<QDateTime> &made, const QDateTime &now)
{
    const QDateTime yearAgo = now.addMonths(-keptMonths);
    QSet<int> monthsKept;
    QList<int> removed;
    for (int i = 0; i < made.size(); ++i) {
        const int month = made[i].date().year() * 12 + made[i].date().month();
        const bool monthly = made[i] > yearAgo && !monthsKept.contains(month);
        if (monthly)
            monthsKept.insert(month);
        if (i >= keptNewest && !monthly)
            removed << i;
    }
    return removed;
}

bool Backups::verify(const QString &path, QString *error)
{
    FileConnection file(QStringLiteral("kx47-backup-verify"), path, true);
    QString problem;
    if (!file.isOpen() || !DatabaseCheck::quickCheck(file.db(), &problem)) {
        *error = QStringLiteral("The backup %1 is damaged: %2")
                     .arg(shown(path), file.isOpen() ? problem : file.error());
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
    QSqlDatabase db = log.handle();
    QSqlQuery query(db);
    query.prepare(QStringLiteral("attach database ? as backup"));
    query.addBindValue(backupPath);
    if (!query.exec()) {
        *error = query.lastError().text();
        return false;
    }
    bool done = query.exec(QStringLiteral("begin immediate"));
    for (const QString &table : Schema::tables(Schema::File::Log)) {
        if (!done)
            break;
        const QString columns = quotedColumns(db, table);
        done =
            query.exec(QStringLiteral("delete from main.\"%1\"").arg(table)) &&
            query.exec(QStringLiteral("insert into main.\"%1\" (%2) select %2 from backup.\"%1\"")
                           .arg(table, columns));
    }
    done = done && query.exec(QStringLiteral("commit"));
    if (!done) {
        *error = query.lastError().text();
        QSqlQuery(db).exec(QStringLiteral("rollback"));
    }
    query.finish();
    QSqlQuery(db).exec(QStringLiteral("detach database backup"));
    return done;
}

} // namespace kx47
