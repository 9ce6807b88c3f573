// Contest logs and the fields kept from files, on a log of 100,000 QSOs, each figure beside an
// anchor measured in the same run:
// - importing an EDI contest log of 10,000 QSO lines (145 MHz, new sub-squares), beside the
//   sqlite3 tool importing the same rows from CSV in one transaction (goal: within 3 times);
// - exporting the log when every QSO came from a file and keeps its fields, as ADI and as ADX
//   (goal: under 1 s), beside the sqlite3 tool listing the same rows, kept fields included;
// - what the kept fields cost: their bytes in the log file and the growth of the file they make,
//   and the export's peak memory above the idle program, each against the log file's size
//   (goal: under 30 %).
//
//     bench_contest [qsos [folder]]
#include "benchlog.h"
#include "figures.h"
#include "processmemory.h"
#include "sqlitecli.h"
#include "timing.h"

#include "adif/adifexport.h"
#include "adif/adifimport.h"
#include "log/keptfields.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

using namespace kx47;
using namespace kx47::bench;

namespace
{

// An EDI contest log on 145 MHz of count new QSO lines, none where the log is accredited.
void writeEdiLog(const Database &log, const QString &path, int count)
{
    const QSet<QString> accredited = accreditedSlots(log);
    QByteArray text = "[REG1TEST;1]\nTName=BENCH\nTDate=20310101;20310102\nPCall=I0BENCH\n"
                      "PWWLo=JN61FW\nPBand=145 MHz\n[QSORecords;" +
                      QByteArray::number(count) + "]\n";
    QRandomGenerator random(21);
    for (int i = 0; i < count; ++i) {
        char letters[] = {0, 0, 0};
        int mode = 0;
        do {
            const int square = int(random.bounded(576));
            letters[0] = char('A' + square / 24);
            letters[1] = char('A' + square % 24);
            mode = 1 + int(random.bounded(2));
        } while (accredited.contains(QStringLiteral("%1|VHF|%2")
                                         .arg(QLatin1String(letters), mode == 1
                                                                          ? QStringLiteral("SSB")
                                                                          : QStringLiteral("CW"))));
        const QByteArray serial = QByteArray::number(i + 1).rightJustified(3, '0');
        text += "31" + QByteArray::number(1 + i % 12).rightJustified(2, '0') +
                QByteArray::number(1 + i % 28).rightJustified(2, '0') + ';' +
                QByteArray::number(i % 24 * 100 + i % 60).rightJustified(4, '0') + ";ZY" +
                QByteArray::number(i) + ';' + QByteArray::number(mode) + ";59;" + serial + ";59;" +
                serial + ";;KX47" + letters + ";100;;N;;\n";
    }
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(text);
}

void importEdi(const BenchLog &bench, const QString &pristine, const QTemporaryDir &work)
{
    const QString logPath = work.filePath(QStringLiteral("edi.mdb"));
    copyLog(pristine, logPath);
    QByteArray inserts;
    double ediMs = 0;
    {
        OpenLog open(logPath, bench.placesPath());
        const QString edi = work.filePath(QStringLiteral("contest.edi"));
        writeEdiLog(open.log, edi, 10000);
        ImportPlan plan;
        QElapsedTimer clock;
        clock.start();
        const auto result = AdifImport(open.log, open.places).apply(edi, MappingOptions(), plan);
        ediMs = double(clock.nsecsElapsed()) / 1e6;
        if (result != AdifImport::Result::Done)
            qFatal("the EDI import failed");
        std::printf("Import of an EDI log of 10,000 QSO lines into %d:\n%s\n", bench.qsos(),
                    qPrintable(plan.summary()));
        inserts = SqliteCli::importScript(open.log, bench.qsos(),
                                          work.filePath(QStringLiteral("edi.csv")));
    }
    copyLog(pristine, logPath);
    const double anchor = SqliteCli::scriptMs(logPath, inserts);
    std::printf("  EDI import %.0f ms; sqlite3 .import of the same rows from CSV in one "
                "transaction %.0f ms\n",
                ediMs, anchor);
    goal("EDI import / sqlite3", ediMs / anchor, 3.0, "times");
}

// What a QSO keeps of the file it came from: what a contest logger's ADIF or an EDI line says
// (frequency, band, mode, reports, serials, the station and its locator, the contest), and on
// every fourth QSO a name and a comment.
QString keptOfFile(int count)
{
    using namespace keptfields;
    QString kept;
    const bool cw = count % 3 == 0;
    append(kept, Freq, QString::number(144.050 + (count % 400) * 0.005, 'f', 3));
    append(kept, Band, u"2m");
    append(kept, Mode, cw ? u"CW" : u"SSB");
    append(kept, RstSent, cw ? u"599" : u"59");
    append(kept, RstRcvd, cw ? u"579" : u"57");
    append(kept, Stx, QString::number(count % 1000).rightJustified(3, '0'));
    append(kept, Srx, QString::number(count * 7 % 1000).rightJustified(3, '0'));
    if (count % 4 == 0) {
        append(kept, Comment, u"QSB on the peak, tnx");
        append(kept, Name, u"Giovanni");
    }
    append(kept, StationCallsign, u"I0BENCH/P");
    append(kept, MyGridsquare, u"JN61FW");
    append(kept, ContestId, u"IARU-R1-VHF");
    return kept;
}

// Gives every QSO of the log the fields of keptOfFile; then both files are compacted, so that
// their sizes compare.
void keepFieldsOfFiles(const QString &logPath, const QString &placesPath, const QString &without)
{
    {
        OpenLog open(logPath, placesPath);
        open.log.beginTransaction();
        QSqlQuery update =
            open.log.prepare(QStringLiteral("update data set kept = ? where count = ?"));
        QSqlQuery counts = open.log.run(QStringLiteral("select count from data"));
        while (counts.next()) {
            const int count = counts.value(0).toInt();
            Database::exec(update, {keptOfFile(count), count});
        }
        open.log.commit();
        open.log.run(QStringLiteral("vacuum"));
    }
    OpenLog(without, placesPath).log.run(QStringLiteral("vacuum"));
}

// The export's peak memory above the idle program, in a process of its own.
int exportMemory(const QString &logPath, const QString &placesPath, const QString &out)
{
    OpenLog open(logPath, placesPath);
    const long idleKb = residentKb();
    resetPeak();
    int written = 0;
    AdifExport(open.log).write(out, {}, nullptr, &written);
    std::printf("%ld %ld %d\n", idleKb, peakResidentKb(), written);
    return 0;
}

void keptFields(const BenchLog &bench, const QString &pristine, const QTemporaryDir &work)
{
    const QString logPath = work.filePath(QStringLiteral("kept.mdb"));
    const QString without = work.filePath(QStringLiteral("without.mdb"));
    copyLog(pristine, logPath);
    copyLog(pristine, without);
    keepFieldsOfFiles(logPath, bench.placesPath(), without);
    const double fileBytes = double(QFileInfo(logPath).size());
    const double withoutBytes = double(QFileInfo(without).size());
    double keptBytes = 0;
    {
        OpenLog open(logPath, bench.placesPath());
        keptBytes = open.log.count(
            QStringLiteral("select sum(length(cast(kept as blob))) as contatore from data"));
        std::printf("Log of %d QSOs, each with the fields of a file kept: %.1f MB (%.1f MB "
                    "without them); the kept column %.1f MB, %.0f bytes a QSO\n",
                    bench.qsos(), fileBytes / 1e6, withoutBytes / 1e6, keptBytes / 1e6,
                    keptBytes / bench.qsos());

        figureHeadings(QStringLiteral("Export with the kept fields (median of 3)"));
        for (const char *name : {"export.adi", "export.adx"}) {
            const QString out = work.filePath(QLatin1String(name));
            int written = 0;
            const Timing::Run run = Timing::medianOf(3, [&] {
                if (AdifExport(open.log).write(out, {}, nullptr, &written) !=
                    AdifExport::Result::Done)
                    qFatal("the export failed");
            });
            const Timing::Run tool = SqliteCli::medianMs(
                logPath, QStringLiteral("select * from data order by count;"), 3);
            figure(QStringLiteral("%1 QSOs to %2 (%3 MB), beside sqlite3 listing them")
                       .arg(written)
                       .arg(QLatin1String(name))
                       .arg(QFileInfo(out).size() / 1e6, 0, 'f', 1),
                   run, &tool, 60);
            goal(name, run.wall, 1000.0, "ms");
        }
    }

    std::printf("What the kept fields cost, against the log file of %.1f MB:\n", fileBytes / 1e6);
    goal("the kept column's bytes / log file", 100 * keptBytes / fileBytes, 30, "%");
    goal("the file's growth by them / log file", 100 * (fileBytes - withoutBytes) / fileBytes, 30,
         "%");
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--export-memory"), logPath, bench.placesPath(),
                 work.filePath(QStringLiteral("memory.adi"))});
    child.waitForFinished(-1);
    const QList<QByteArray> kb = child.readAllStandardOutput().trimmed().split(' ');
    const double idle = kb.value(0).toDouble() * 1024;
    const double peak = kb.value(1).toDouble() * 1024;
    std::printf("  export of %s QSOs in a process of its own: idle %.1f MB, peak %.1f MB\n",
                kb.value(2).constData(), idle / 1e6, peak / 1e6);
    goal("the export's peak above idle / log file", 100 * (peak - idle) / fileBytes, 30, "%");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 5 && qstrcmp(argv[1], "--export-memory") == 0)
        return exportMemory(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                            QString::fromLocal8Bit(argv[4]));
    BenchLog bench(argc, argv);
    if (!bench.build())
        return 1;
    QTemporaryDir work;
    const QString pristine = work.filePath(QStringLiteral("pristine.mdb"));
    QFile::copy(bench.logPath(), pristine);
    importEdi(bench, pristine, work);
    keptFields(bench, pristine, work);
    return 0;
}
