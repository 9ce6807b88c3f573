#pragma once

#include <QString>
#include <functional>
#include <stdexcept>

class QSqlError;

namespace kx47
{

class Dialogs;

// A statement the engine refused, or a change the log cannot take. It carries what kind of
// trouble it is, taken from the engine's own error code, so that the user can be told in plain
// words what happened and what to do. what() is the engine's text.
class DatabaseError : public std::runtime_error
{
public:
    enum class Kind {
        Locked,      // another program holds the log (SQLITE_BUSY, SQLITE_LOCKED)
        DiskFull,    // SQLITE_FULL
        ReadOnly,    // SQLITE_READONLY, or a log opened for reading only
        Damaged,     // SQLITE_CORRUPT, SQLITE_NOTADB: the program cannot go on with this log
        NumberLimit, // the log holds the highest QSO number there is
        Other,
    };
    // What the failing work was doing, for the words of the message.
    enum class Work { Change, Read };

    // engineCode is the engine's own result code, -1 when the trouble is not the engine's.
    DatabaseError(Kind kind, const QString &engineText, int engineCode = -1);

    // The kind of a driver error, from its native (SQLite) error code.
    static Kind kindOf(const QSqlError &error);
    static Kind kindOfCode(int sqliteCode);
    static DatabaseError fromSqlError(const QSqlError &error, const QString &statement = QString());

    Kind kind() const { return m_kind; }
    QString engineText() const { return m_engineText; }
    int engineCode() const { return m_engineCode; }
    // Only a damaged log ends the program.
    bool endsProgram() const { return m_kind == Kind::Damaged; }

    // What happened, whether anything was saved and what to do, then the engine's text.
    QString plainMessage(Work work = Work::Change) const;

private:
    Kind m_kind;
    QString m_engineText;
    int m_engineCode;
};

// Runs work that reads or changes the log from a window's action. A DatabaseError is reported
// through the dialogs (a critical message, plain words first) and stops there: the window keeps
// what the user typed and the program goes on, except for a damaged log, after which the
// program ends cleanly once the event loop is back. True when the work ran to its end.
// Every action that touches the log from Qt's event loop goes through here, so that no
// exception ever crosses the event loop.
bool guardLogWork(Dialogs &dialogs, const std::function<void()> &work,
                  DatabaseError::Work kind = DatabaseError::Work::Change);

// Tells the user about the error as guardLogWork() does (and ends the program for a damaged
// log).
void reportDatabaseError(Dialogs &dialogs, const DatabaseError &error,
                         DatabaseError::Work kind = DatabaseError::Work::Change);

} // namespace kx47
