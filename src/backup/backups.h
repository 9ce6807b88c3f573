#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace kx47
{

class Database;
class Dialogs;

// Copies of the log, made while the program runs, in the folder Backups beside the log. Each is
// a whole SQLite file named "data yyyy-MM-dd HH.mm.ss.mdb" after the moment it was made, with
// " before a change" before ".mdb" for a copy made before a change of many QSOs and " on
// request" for one the user asked for.
class Backups
{
public:
    // The kinds are kept apart, so that none pushes another out: the daily copies, and apart
    // from them those the user asks for, one a day, then one a month; the copies before a
    // change (an import, a restore, the award conversion, an upgrade) the last few.
    enum class Kind { Daily, BeforeChange, OnRequest };

    struct Backup {
        QString path;
        QDateTime made;
        int qsos = -1; // -1 when the copy cannot be read
        Kind kind = Kind::Daily;
    };

    // Daily copies (and, apart, those on request): the newest of each of the last keptDays
    // days, then the newest of each month for keptMonths months. Copies before a change: the
    // newest keptBeforeChange.
    static constexpr int keptDays = 30;
    static constexpr int keptMonths = 12;
    static constexpr int keptBeforeChange = 10;

    // The folder Backups beside the file that the open log comes from.
    static QString folderOf(const Database &log);
    // The file the open log comes from.
    static QString logPathOf(const Database &log);

    // A consistent copy of the open log into folder (made when missing), then the keeping rule,
    // which never removes the backups named in spared. The copy is written under a temporary
    // name of this process's own and takes its own only when complete. After half a second a
    // progress window offers Cancel. Returns the copy's path, or an empty text with the reason
    // (a cancelled copy leaves nothing behind).
    static QString backUp(const Database &log, const QString &folder, QString *error,
                          const QDateTime &when = QDateTime::currentDateTime(),
                          Kind kind = Kind::Daily, const QStringList &spared = {});

    // The two halves of backUp, for a copy made elsewhere (the daily one, on a thread of its
    // own). partFor: a temporary name in folder (made when missing) that no other copy uses, or
    // an empty text with the reason. settle: gives the complete copy at part its name, then the
    // keeping rule; the copy's path, or an empty text with the reason (part is then removed).
    static QString partFor(const QString &folder, const QDateTime &when, QString *error);
    static QString settle(const QString &part, const QString &folder, const QDateTime &when,
                          Kind kind, QString *error, const QStringList &spared = {});
    // Whether folder lacks a daily copy made on the day of now.
    static bool dailyDue(const QString &folder, const QDateTime &now);

    // Before a change of many QSOs (what names it for the user), a copy of kind BeforeChange.
    // When no copy can be made, false with what to tell the user: the change must not go on.
    static bool backUpBeforeChange(const Database &log, const QString &what, QString *message,
                                   const QStringList &spared = {});
    // The same, telling the user when no copy can be made.
    static bool backUpBeforeChange(const Database &log, Dialogs &dialogs, const QString &what);
    // At the first start of each day: a copy unless folder holds a daily one made that day. A
    // failure is told to the user and the program goes on.
    static void backUpDaily(const Database &log, const QString &folder, Dialogs &dialogs,
                            const QDateTime &now = QDateTime::currentDateTime());

    // The backups in folder, newest first, each with its number of QSOs unless not counted.
    static QList<Backup> list(const QString &folder, bool counted = true);
    // Which of these backups (newest first, as list gives them) the keeping rule removes, as
    // indexes into backups.
    static QList<int> toRemove(const QList<Backup> &backups, const QDateTime &now);

    // Whether a backup is a whole log with every table and column the program needs.
    static bool verify(const QString &path, QString *error);
    // Replaces every QSO and the applicant's record of the open log by those of the backup, in
    // one transaction: the log is restored whole or not at all. The backup is verified first:
    // false, with the reason, when it does not pass. Throws DatabaseError, with the log as it
    // was, when the engine refuses the restore.
    static bool restore(const Database &log, const QString &backupPath, QString *error);

    // The name of a backup made at a moment, and the moment a name stands for (invalid when the
    // name is not a backup's) and its kind.
    static QString fileName(const QDateTime &when, Kind kind = Kind::Daily);
    static QDateTime madeAt(const QString &fileName);
    static Kind kindOf(const QString &fileName);
};

} // namespace kx47
