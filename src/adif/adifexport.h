#pragma once

#include "log/logsearch.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace kx47
{

class Database;

// Writes the whole log, or the QSOs a search of the browser finds, in the order of the QSO
// numbers, into an ADI file, or an ADX file when the name ends in .adx. The file takes its
// place only when it is complete: a failure or a cancel leaves any earlier file as it was. An
// export never lands on a database: see refusal.
class AdifExport
{
public:
    enum class Result { Done, Cancelled, Failed };
    // QSOs written so far and in all; returns false to cancel.
    using Progress = std::function<bool(int done, int total)>;

    explicit AdifExport(const Database &log) : m_log(log) {}

    // Only the QSOs this search finds are written (an empty search: the whole log).
    void setSearch(const LogSearch &search) { m_search = search; }
    // Whether path names an ADX file (.adx, any letter case).
    static bool isAdxName(const QString &path);

    // Refuses (Failed, with refusal's words) a path that refusal refuses.
    // QSOs whose date is not a day of the calendar (31 February) are not written: each is named
    // in notWritten ("QSO 12, I0ABC, 31/02/24") for the summary.
    Result write(const QString &path, const Progress &progress = {}, QString *error = nullptr,
                 int *written = nullptr, QStringList *notWritten = nullptr) const;

    // What the user is told of a finished export: how many QSOs went where, and the QSOs left
    // out with the reason.
    static QString summary(int written, const QString &path, const QStringList &notWritten);

    // Why path may not receive the export, or an empty text when it may: the log itself and
    // its journal files, a journal file beside any database, anything that is not a plain file,
    // and an existing file that is not ADIF or ADX text, judged by its content (a database, a
    // backup, a picture, a document). A missing or empty file may receive it.
    static QString refusal(const QString &path, const Database &log);

private:
    const Database &m_log;
    LogSearch m_search;
};

} // namespace kx47
