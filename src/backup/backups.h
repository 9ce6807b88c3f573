#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

namespace kx47
{

class Database;
class Dialogs;

// Copies of the log, made while the program runs, in the folder Backups beside the log. Each is
// a whole SQLite file named "data yyyy-MM-dd HH.mm.ss.mdb" after the moment it was made.
class Backups
{
public:
    struct Backup {
        QString path;
        QDateTime made;
        int qsos = -1; // -1 when the copy cannot be read
    };

    // How many of the newest backups are kept whatever their age; beyond them the newest of
    // each month of the last year.
    static constexpr int keptNewest = 10;
    static constexpr int keptMonths = 12;

    // The folder Backups beside the file that the open log comes from.
    static QString folderOf(const Database &log);
    // The file the open log comes from.
    static QString logPathOf(const Database &log);

    // A consistent copy of the open log into folder (made when missing), then the keeping rule.
    // The copy is written under a temporary name and takes its own only when complete. After
    // half a second a progress window offers Cancel. Returns the copy's path, or an empty text
    // with the reason (a cancelled copy leaves nothing behind).
    static QString backUp(const Database &log, const QString &folder, QString *error,
                          const QDateTime &when = QDateTime::currentDateTime());

    // Where a backup made at a moment goes in folder (made when missing): a name no file has
    // yet. An empty text, with the reason, when the folder cannot be made.
    static QString pathFor(const QString &folder, const QDateTime &when, QString *error);
    // The keeping rule, applied to the backups in folder after one made at a moment.
    static void keep(const QString &folder, const QDateTime &when);
    // Whether folder lacks a backup made on the day of now.
    static bool dailyDue(const QString &folder, const QDateTime &now);

    // Before a change of many QSOs (what names it for the user). When no copy can be made the
    // user is told and false returned: the change must not go on.
    static bool backUpBeforeChange(const Database &log, Dialogs &dialogs, const QString &what);
    // At the first start of each day: a copy unless folder holds one made that day. A failure is
    // told to the user and the program goes on.
    static void backUpDaily(const Database &log, const QString &folder, Dialogs &dialogs,
                            const QDateTime &now = QDateTime::currentDateTime());

    // The backups in folder, newest first, each with its number of QSOs.
    static QList<Backup> list(const QString &folder);
    // Which of the backups made at these moments (newest first) the keeping rule removes, as
    // indexes into made.
    static QList<int> toRemove(const QList<QDateTime> &made, const QDateTime &now);

    // Whether a backup is a whole log with every table and column the program needs.
    static bool verify(const QString &path, QString *error);
    // Replaces every QSO and the applicant's record of the open log by those of the backup, in
    // one transaction: the log is restored whole or not at all. The backup is verified first.
    static bool restore(const Database &log, const QString &backupPath, QString *error);

    // The name of a backup made at a moment, and the moment a name stands for (invalid when the
    // name is not a backup's).
    static QString fileName(const QDateTime &when);
    static QDateTime madeAt(const QString &fileName);
};

} // namespace kx47
