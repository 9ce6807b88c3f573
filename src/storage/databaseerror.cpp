#include "databaseerror.h"

#include "platform/dialogs.h"

#include <QCoreApplication>
#include <QSqlError>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>

namespace kx47
{

namespace
{

QString whatHappened(DatabaseError::Kind kind, DatabaseError::Work work)
{
    const bool change = work == DatabaseError::Work::Change;
    switch (kind) {
    case DatabaseError::Kind::Locked:
        return change ? QStringLiteral("The log is locked by another program. Nothing was saved; "
                                       "try again.")
                      : QStringLiteral("The log is locked by another program and could not be "
                                       "read. Nothing was changed; try again.");
    case DatabaseError::Kind::DiskFull:
        return change ? QStringLiteral("The disk is full. Nothing was saved; free some space on "
                                       "the disk and try again.")
                      : QStringLiteral("The disk is full and the log could not be read. Nothing "
                                       "was changed; free some space on the disk and try again.");
    case DatabaseError::Kind::ReadOnly:
        return QStringLiteral("The log is read-only. Nothing was saved; the log can be browsed, "
                              "counted and printed, but to change it, make data.mdb and its "
                              "folder writable and start KX47 again.");
    case DatabaseError::Kind::Damaged:
        return QStringLiteral("The log is damaged. Nothing more was saved; KX47 will now close. "
                              "Keep a copy of data.mdb and restore a backup of the log.");
    case DatabaseError::Kind::NumberLimit:
        return QStringLiteral("The log holds a QSO with the highest number KX47 can give. The "
                              "new QSO was not saved; delete the QSO with the highest number or "
                              "start a new log.");
    case DatabaseError::Kind::Other:
        break;
    }
    return change ? QStringLiteral("The log could not be changed. Nothing was saved; try again, "
                                   "and if it happens again, restart KX47.")
                  : QStringLiteral("The log could not be read. Nothing was changed; try again, "
                                   "and if it happens again, restart KX47.");
}

} // namespace

DatabaseError::DatabaseError(Kind kind, const QString &engineText, int engineCode)
    : std::runtime_error(engineText.toStdString()), m_kind(kind), m_engineText(engineText),
      m_engineCode(engineCode)
{
}

DatabaseError::Kind DatabaseError::kindOfCode(int sqliteCode)
{
    switch (sqliteCode & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Kind::Locked;
    case SQLITE_READONLY:
        return Kind::ReadOnly;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return Kind::Damaged;
    case SQLITE_FULL:
        return Kind::DiskFull;
    default:
        return Kind::Other;
    }
}

DatabaseError::Kind DatabaseError::kindOf(const QSqlError &error)
{
    bool isNumber = false;
    const int code = error.nativeErrorCode().toInt(&isNumber);
    return isNumber ? kindOfCode(code) : Kind::Other;
}

DatabaseError DatabaseError::fromSqlError(const QSqlError &error, const QString &statement)
{
    QString text = error.text();
    if (!statement.isEmpty())
        text += QLatin1String("\n") + statement;
    bool isNumber = false;
    const int code = error.nativeErrorCode().toInt(&isNumber);
    return DatabaseError(kindOf(error), text, isNumber ? code : -1);
}

QString DatabaseError::plainMessage(Work work) const
{
    return whatHappened(m_kind, work) + QStringLiteral("\n\nDetails: ") + m_engineText;
}

void reportDatabaseError(Dialogs &dialogs, const DatabaseError &error, DatabaseError::Work kind)
{
    std::fprintf(stderr, "KX47: database error: %s\n", error.what());
    dialogs.message(error.plainMessage(kind), MessageIcon::Critical, MessageButtons::Ok);
    if (error.endsProgram()) {
        // The windows close and the log is closed as on Exit, once the event loop is back.
        QCoreApplication::exit(EXIT_FAILURE);
    }
}

bool guardLogWork(Dialogs &dialogs, const std::function<void()> &work, DatabaseError::Work kind)
{
    try {
        work();
        return true;
    } catch (const DatabaseError &error) {
        reportDatabaseError(dialogs, error, kind);
    }
    return false;
}

} // namespace kx47
