#pragma once

#include "storage/database.h"

#include <QSet>
#include <QString>
#include <QTemporaryDir>

namespace kx47::bench
{

// The log a benchmark runs on, from its command line "bench_x [qsos [folder]]": 100,000 QSOs
// unless told otherwise, kept in folder when one is given, else in a temporary folder removed
// when the benchmark ends. With KX47_BENCH_KEEP_LOG set in the environment, a log an earlier
// run left in folder is used again when it holds that many QSOs: for the benchmarks that give
// the log back as they found it (bench_browser deletes what it submitted).
class BenchLog
{
public:
    BenchLog(int argc, char *argv[]);

    // Builds the files with LogFactory and says how long it took; false, after saying why,
    // when they cannot be built.
    bool build();

    int qsos() const { return m_qsos; }
    QString folder() const { return m_folder; }
    QString logPath() const;
    QString placesPath() const;

private:
    // Whether the folder holds a log of m_qsos QSOs and the places.
    bool holdsLog() const;

    QTemporaryDir m_temporary;
    int m_qsos;
    QString m_folder;
};

// A benchmark's log and gazetteer, opened as the program opens them; a failure ends the run.
struct OpenLog {
    OpenLog(const QString &logPath, const QString &placesPath);
    Database log{QStringLiteral("BenchLog")};
    Database places{QStringLiteral("BenchPlaces")};
};

// The sub-squares, bands and modes the log holds accredited, as "AB|HF|CW" in capitals: the
// import benchmarks write only QSOs outside them, so that each one is written.
QSet<QString> accreditedSlots(const Database &log);

// Replaces to by a copy of from (a pristine log before each piece of work).
bool copyLog(const QString &from, const QString &to);

} // namespace kx47::bench
