// ADIF import, merge and export on a log of 100,000 QSOs, each beside an anchor measured in the
// same run:
// - importing 100,000 new KX47 QSOs, none where the log is accredited (so that each one is
//   written), beside the sqlite3 tool's .import of the same rows from CSV in one transaction
//   (goal: within 1.2 times), and again with other sizes of the engine's page cache;
// - importing 1,000,000 new QSOs (or the fourth argument's number) into an empty log, beside
//   the same anchor (goal: within 1.15 times);
// - merging a 10,000-record LoTW report into the log (goal: under 1 s), beside the sqlite3 tool
//   updating the same rows;
// - exporting 100,000 QSOs (goal: under 1 s), beside the sqlite3 tool listing them;
// - peak memory while importing a file of 1,000,000 records (goal: under 60 MB above the idle
//   program), on a generated everyday log or the file given:
//   bench_adifimport [qsos [folder [file.adi|- [many]]]]; and, for a 1,000,000-record file all
//   written, the one imported into the empty log.
// KX47_BENCH_ONLY=part,part... runs only those parts: import (with the page caches), many,
// merge, export, memory (of the file imported into the empty log; with many) and everyday (the
// memory of the everyday file). KX47_BENCH_PAGE_CACHE_KIB: the page cache of the import into
// the empty log and of the memory runs, instead of the one the import fits to its plan.
#include "adifgenerator.h"
#include "benchlog.h"
#include "figures.h"
#include "sqlitecli.h"

#include "adif/adifexport.h"
#include "adif/adifimport.h"
#include "adif/adifmapping.h"
#include "storage/database.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

using namespace kx47;
using namespace kx47::bench;

namespace
{

const char *const adifBands[] = {"20m", "6m", "2m", "70cm", "3cm"};
const char *const categoryBands[] = {"HF", "50 MHz", "VHF", "UHF", "SHF", "SAT"};
const char *const adifModes[] = {"CW", "SSB", "FT8", "RTTY"};

QByteArray field(const char *name, const QByteArray &value)
{
    return '<' + QByteArray(name) + ':' + QByteArray::number(value.size()) + '>' + value + ' ';
}

// ADIF values that map back to a log's band and mode category.
QByteArray adifBand(const QString &band)
{
    for (int i = 0; i < 5; ++i)
        if (band.compare(QLatin1String(categoryBands[i]), Qt::CaseInsensitive) == 0)
            return adifBands[i];
    return "2m"; // SAT: on 2 m through a satellite
}

QByteArray adifMode(const QString &mode)
{
    if (mode == QLatin1String("CW") || mode == QLatin1String("SSB"))
        return mode.toLatin1();
    return "FT8";
}

// count new QSOs in KX47, of calls and years the log does not have, a third confirmed on paper,
// none where the log is accredited already: each of them is written.
void writeNewQsos(const Database &log, const QString &path, int count)
{
    const QSet<QString> accredited = accreditedSlots(log);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("Generated for the import benchmark\n<ADIF_VER:5>3.1.4 <EOH>\n");
    QRandomGenerator random(47);
    QByteArray text;
    for (int i = 0; i < count; ++i) {
        char letters[] = {0, 0, 0};
        const char *band = nullptr;
        const char *mode = nullptr;
        do {
            const int square = int(random.bounded(576));
            letters[0] = char('A' + square / 24);
            letters[1] = char('A' + square % 24);
            band = adifBands[random.bounded(5)];
            mode = adifModes[random.bounded(4)];
        } while (accredited.contains((QLatin1String(letters) + '|' +
                                      bandCategory(QLatin1String(band), QString()) + '|' +
                                      modeCategory(QLatin1String(mode)))
                                         .toUpper()));
        text += field("CALL", "ZZ" + QByteArray::number(i));
        text += field("GRIDSQUARE", QByteArray("KX47") + letters);
        text += field("BAND", band);
        text += field("MODE", mode);
        text += field("QSO_DATE", QByteArray::number(20310000 + (1 + i % 12) * 100 + 1 + i % 28));
        text += field("TIME_ON", QByteArray::number(i % 24 * 100 + i % 60).rightJustified(4, '0'));
        text += field("QTH", "SOMEWHERE");
        if (i % 3 == 0)
            text += field("QSL_RCVD", "Y");
        text += "<EOR>\n";
        if (text.size() > (1 << 20)) {
            file.write(text);
            text.clear();
        }
    }
    file.write(text);
}

// A LoTW report confirming up to count worked QSOs of the log (not under MIXED).
int writeLotwReport(const Database &log, const QString &path, int count)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("ARRL Logbook of the World Status Report\nGenerated at 2031-01-01\n"
               "<PROGRAMID:4>LoTW <EOH>\n");
    QSqlQuery query = log.run(
        QStringLiteral("select call, WWLocator, band, mode, date, time from data where qsl = 'w' "
                       "and mode <> 'MIXED' limit ?"),
        {count});
    int written = 0;
    QByteArray text;
    while (query.next()) {
        const QString band = query.value(2).toString();
        text += field("CALL", query.value(0).toString().toUtf8());
        text += field("GRIDSQUARE", "KX47" + query.value(1).toString().toLatin1());
        text += field("BAND", adifBand(band));
        if (band == QLatin1String("SAT"))
            text += field("PROP_MODE", "SAT");
        text += field("MODE", adifMode(query.value(3).toString()));
        text += field("QSO_DATE", query.value(4).toString().remove(QLatin1Char('-')).toLatin1());
        text += field("TIME_ON", query.value(5).toString().remove(QLatin1Char(':')).toLatin1());
        text += field("QSL_RCVD", "Y") + "<EOR>\n";
        ++written;
    }
    file.write(text);
    return written;
}

// Imports count new QSOs into the log at logPath (a copy of pristine), with a page cache of
// cacheKib (0: the one the import fits to the plan); returns the ms it took and, when asked, the
// sqlite3 tool's script for the same rows.
double timedImport(const QString &pristine, const QString &logPath, const QString &placesPath,
                   const QString &adif, int count, int cacheKib, QByteArray *anchorScript,
                   const QString &csvPath)
{
    copyLog(pristine, logPath);
    OpenLog open(logPath, placesPath);
    if (!QFileInfo::exists(adif))
        writeNewQsos(open.log, adif, count);
    ImportPlan plan;
    AdifImport import(open.log, open.places);
    import.setPageCacheKib(cacheKib);
    import.setIndexesAsideAfter(qEnvironmentVariableIntValue("KX47_BENCH_ASIDE_AFTER"));
    QElapsedTimer clock;
    clock.start();
    const auto result = import.apply(adif, MappingOptions(), plan);
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    if (result != AdifImport::Result::Done || plan.count(ImportOutcome::NewWorked) +
                                                      plan.count(ImportOutcome::NewConfirmed) +
                                                      plan.count(ImportOutcome::StoredAsWorked) !=
                                                  count)
        qFatal("the import failed or left QSOs out:\n%s", qPrintable(plan.summary()));
    if (anchorScript) {
        const int highest =
            open.log.count(QStringLiteral("select max(count) as contatore from data"));
        *anchorScript = SqliteCli::importScript(open.log, highest - count, csvPath);
    }
    return ms;
}

qint64 statusKb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

} // namespace

// The peak memory of importing file into the log, above the idle program.
int measureMemory(const QString &logPath, const QString &placesPath, const QString &file)
{
    OpenLog open(logPath, placesPath);
    const qint64 idleKb = statusKb("VmRSS:");
    resetPeak();
    QElapsedTimer clock;
    clock.start();
    {
        ImportPlan preview;
        AdifImport(open.log, open.places).preview(file, MappingOptions(), preview);
    }
    ImportPlan plan;
    AdifImport import(open.log, open.places);
    import.setPageCacheKib(qEnvironmentVariableIntValue("KX47_BENCH_PAGE_CACHE_KIB"));
    import.apply(file, MappingOptions(), plan);
    const qint64 peakKb = statusKb("VmHWM:");
    std::printf("Import of %s (%lld MB) in %lld ms:\n%s\n  idle %.1f MB, peak %.1f MB\n",
                qPrintable(QFileInfo(file).fileName()), QFileInfo(file).size() >> 20,
                clock.elapsed(), qPrintable(plan.summary()), idleKb / 1024.0, peakKb / 1024.0);
    goal("peak above idle", (peakKb - idleKb) / 1024.0, 60.0, "MB");
    return 0;
}

namespace
{

// Whether the run measures this part (KX47_BENCH_ONLY).
bool runs(const char *part)
{
    const QByteArray only = qgetenv("KX47_BENCH_ONLY");
    return only.isEmpty() || only.split(',').contains(QByteArray(part));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 5 && qstrcmp(argv[1], "--memory") == 0)
        return measureMemory(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                             QString::fromLocal8Bit(argv[4]));
    BenchLog bench(argc, argv);
    if (!bench.build())
        return 1;
    QTemporaryDir work;
    const QString pristine = work.filePath(QStringLiteral("pristine.mdb"));
    const QString logPath = work.filePath(QStringLiteral("data.mdb"));
    QFile::copy(bench.logPath(), pristine);

    // Importing 100,000 new QSOs, with the page caches of the choice beside the one chosen.
    const QString newQsos = work.filePath(QStringLiteral("new.adi"));
    const QString csv = work.filePath(QStringLiteral("rows.csv"));
    QByteArray anchorScript;
    if (runs("import")) {
        const double importMs = timedImport(pristine, logPath, bench.placesPath(), newQsos, 100000,
                                            0, &anchorScript, csv);
        copyLog(pristine, logPath);
        const double sqliteImportMs = SqliteCli::scriptMs(logPath, anchorScript);
        std::printf("Import of 100,000 new QSOs into %d: %.0f ms; sqlite3 .import of the same rows "
                    "from CSV in one transaction %.0f ms\n",
                    bench.qsos(), importMs, sqliteImportMs);
        goal("import / sqlite3", importMs / sqliteImportMs, 1.2, "times");
        for (int kib : {2 * 1024, 16 * 1024, 64 * 1024, 256 * 1024})
            std::printf("  page cache %3d MB: %.0f ms\n", kib / 1024,
                        timedImport(pristine, logPath, bench.placesPath(), newQsos, 100000, kib,
                                    nullptr, csv));
    }

    // Importing many new QSOs into an empty log.
    const int many = argc > 4 ? QByteArray(argv[4]).toInt() : 1000000;
    QString empty;
    const QString manyQsos = work.filePath(QStringLiteral("many.adi"));
    if (many > 0 && (runs("many") || runs("memory"))) {
        empty = work.filePath(QStringLiteral("empty.mdb"));
        copyLog(pristine, empty);
        {
            OpenLog open(empty, bench.placesPath());
            open.log.run(QStringLiteral("delete from data"));
            open.log.run(QStringLiteral("vacuum"));
        }
        if (runs("many")) {
            const double manyMs = timedImport(
                empty, logPath, bench.placesPath(), manyQsos, many,
                qEnvironmentVariableIntValue("KX47_BENCH_PAGE_CACHE_KIB"), &anchorScript, csv);
            copyLog(empty, logPath);
            const double anchorMs = SqliteCli::scriptMs(logPath, anchorScript);
            std::printf("Import of %d new QSOs into an empty log: %.0f ms (%.1f us a QSO); sqlite3 "
                        ".import of the same rows %.0f ms\n",
                        many, manyMs, manyMs * 1000 / many, anchorMs);
            goal("import into empty / sqlite3", manyMs / anchorMs, 1.15, "times");
        } else {
            OpenLog open(empty, bench.placesPath());
            writeNewQsos(open.log, manyQsos, many);
        }
    }

    // Merging a LoTW report of 10,000 confirmations.
    copyLog(pristine, logPath);
    if (runs("merge")) {
        OpenLog open(logPath, bench.placesPath());
        const QString report = work.filePath(QStringLiteral("lotw.adi"));
        const int records = writeLotwReport(open.log, report, 10000);
        QByteArray updates = "begin immediate;\n";
        QSqlQuery worked = open.log.run(QStringLiteral(
            "select count from data where qsl = 'w' and mode <> 'MIXED' limit 10000"));
        while (worked.next())
            updates += "update data set qsl = 'c' where count = " +
                       QByteArray::number(worked.value(0).toInt()) + ";\n";
        updates += "rollback;\n";
        ImportPlan plan;
        QElapsedTimer clock;
        clock.start();
        AdifImport(open.log, open.places).apply(report, MappingOptions(), plan);
        const double mergeMs = double(clock.nsecsElapsed()) / 1e6;
        std::printf("Merge of a LoTW report of %d records:\n%s\n", records,
                    qPrintable(plan.summary()));
        const double anchor = SqliteCli::scriptMs(logPath, updates);
        std::printf("  merge %.0f ms; sqlite3 updating as many rows one by one %.0f ms\n", mergeMs,
                    anchor);
        goal("merge", mergeMs, 1000.0, "ms");
    }

    // Exporting the log.
    copyLog(pristine, logPath);
    if (runs("export")) {
        OpenLog open(logPath, bench.placesPath());
        QElapsedTimer clock;
        clock.start();
        int written = 0;
        AdifExport(open.log).write(work.filePath(QStringLiteral("export.adi")), {}, nullptr,
                                   &written);
        const double exportMs = double(clock.nsecsElapsed()) / 1e6;
        const double anchor = SqliteCli::scriptMs(
            logPath, ".output " + work.filePath(QStringLiteral("listed.txt")).toUtf8() +
                         "\nselect * from data order by count;\n");
        std::printf("Export of %d QSOs: %.0f ms; sqlite3 listing them to a file %.0f ms\n", written,
                    exportMs, anchor);
        goal("export", exportMs, 1000.0, "ms");
    }

    // Peak memory while importing a large file, as the window does: preview, then import; each
    // in a process of its own, whose idle size is its own.
    const auto memory = [&](const QString &log, const QString &file) {
        copyLog(log, logPath);
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--memory"), logPath, bench.placesPath(), file});
        child.waitForFinished(-1);
    };
    if (!empty.isEmpty() && runs("memory"))
        memory(empty, manyQsos);
    if (!runs("everyday"))
        return 0;
    QString big = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    if (big.isEmpty() || big == QLatin1String("-")) {
        big = work.filePath(QStringLiteral("everyday.adi"));
        AdifGenerator(AdifGenerator::Options()).write(big);
    }
    memory(pristine, big);
    return 0;
}
