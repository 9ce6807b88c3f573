// Reading and classifying an ADI file of an everyday log (1,000,000 records by default, about
// a tenth of them in KX47), beside a one-pass Python regular-expression reader of the same file
// (bench/adif_reader.py) run in turn with it; and the peak memory while reading.
//
//     bench_adif_read [records [file]]    (the file is generated when missing, then kept)
#include "adifgenerator.h"
#include "processmemory.h"
#include "timing.h"

#include "adif/adifmapping.h"
#include "adif/adifreader.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <cstdio>

using namespace kx47;
using namespace kx47::bench;

namespace
{

const int runs = 3;
const double goalMbPerSecond = 100.0;
const double goalRatio = 3.0;
const long goalGrowthKb = 100 * 1024;

void print(const QString &text)
{
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
}

// The gazetteer stands in with one province for every place: the mapping asks it per record.
class OneProvince : public ProvinceLookup
{
public:
    QString provinceOf(const QString &, const QString &) const override { return m_province; }

private:
    QString m_province = QStringLiteral("PG");
};

struct Counts {
    int records = 0;
    int kx47 = 0; // records that become QSOs
    int outside = 0;
    int unknown = 0;
    int band = 0;
    int unreadable = 0;
};

Counts readAndClassify(const QString &path)
{
    Counts counts;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return counts;
    AdifReader reader(&file);
    MappingOptions options;
    options.lotwReport = reader.isLotwReport();
    options.kx47Export = reader.isKx47Export();
    const OneProvince provinces;
    AdifRecord record;
    while (reader.next(record)) {
        ++counts.records;
        const MappedQso mapped = mapRecord(record, options, provinces);
        switch (mapped.outcome) {
        case MapOutcome::Ok:
            // Without a sub-square a record can only confirm a QSO of the log.
            ++(mapped.qso.locator.isEmpty() ? counts.unknown : counts.kx47);
            break;
        case MapOutcome::OutsideKx47:
            ++counts.outside;
            break;
        case MapOutcome::BandOutsideAward:
            ++counts.band;
            break;
        case MapOutcome::Unreadable:
            ++counts.unreadable;
            break;
        }
    }
    return counts;
}

// The Python reader's records, KX47 records and seconds; seconds < 0 when it cannot run.
struct PythonRun {
    int records = 0;
    int kx47 = 0;
    double ms = -1;
};

PythonRun runPython(const QString &path)
{
    PythonRun run;
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral(KX47_BENCH_SOURCE_DIR "/adif_reader.py"), path});
    if (!python.waitForFinished(-1) || python.exitCode() != 0)
        return run;
    const QList<QByteArray> words = python.readAllStandardOutput().simplified().split(' ');
    if (words.size() == 3) {
        run.records = words[0].toInt();
        run.kx47 = words[1].toInt();
        run.ms = words[2].toDouble() * 1000.0;
    }
    return run;
}

QString verdict(bool met)
{
    return met ? QStringLiteral("met") : QStringLiteral("MISSED");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();
    AdifGenerator::Options options;
    if (args.size() > 1)
        options.records = args.at(1).toInt();
    const QString path =
        args.size() > 2
            ? args.at(2)
            : QDir::temp().filePath(QStringLiteral("kx47-bench-%1.adi").arg(options.records));
    if (!QFileInfo::exists(path)) {
        QElapsedTimer clock;
        clock.start();
        AdifGenerator generator(options);
        QString error;
        if (!generator.write(path, &error)) {
            print(QStringLiteral("cannot write %1: %2").arg(path, error));
            return 1;
        }
        print(QStringLiteral("generated %1 in %2 s").arg(path).arg(clock.elapsed() / 1000.0));
    }
    const double megabytes = QFileInfo(path).size() / 1e6;
    print(QStringLiteral("file: %1, %2 MB, %3 records requested")
              .arg(path)
              .arg(megabytes, 0, 'f', 1)
              .arg(options.records));

    // The peak memory of the first reading, from the resident set before it.
    resetPeak();
    const long before = residentKb();
    Counts counts = readAndClassify(path);
    const long growth = peakResidentKb() - before;
    print(QStringLiteral("records %1: become QSOs %2, outside KX47 %3, sub-square unknown %4, "
                         "band outside the award %5, unreadable %6")
              .arg(counts.records)
              .arg(counts.kx47)
              .arg(counts.outside)
              .arg(counts.unknown)
              .arg(counts.band)
              .arg(counts.unreadable));

    // The two readers in turn, so that the load of a shared machine falls on both.
    QVector<double> programWall;
    QVector<double> programCpu;
    QVector<double> pythonMs;
    PythonRun python;
    for (int run = 0; run < runs; ++run) {
        python = runPython(path);
        pythonMs << python.ms;
        const Timing::Run t = Timing::runs(1, [&] { counts = readAndClassify(path); }).first();
        programWall << t.wall;
        programCpu << t.cpu;
    }
    const double wall = Timing::median(programWall);
    const double cpu = Timing::median(programCpu);
    const double pyMs = Timing::median(pythonMs);
    const double rate = megabytes / (wall / 1000.0);
    print(QStringLiteral("python reader: %1 records, %2 in KX47 (%3 ms)")
              .arg(python.records)
              .arg(python.kx47)
              .arg(pyMs, 0, 'f', 0));
    print(QStringLiteral("read and classify: median of %1 runs %2 ms wall, %3 ms processor")
              .arg(runs)
              .arg(wall, 0, 'f', 0)
              .arg(cpu, 0, 'f', 0));
    print(QStringLiteral("  speed %1 MB/s (goal >= %2): %3")
              .arg(rate, 0, 'f', 1)
              .arg(goalMbPerSecond)
              .arg(verdict(rate >= goalMbPerSecond)));
    if (pyMs > 0) {
        const double ratio = pyMs / wall;
        print(QStringLiteral("  python %1 ms / program %2 ms = %3x (goal >= %4x): %5")
                  .arg(pyMs, 0, 'f', 0)
                  .arg(wall, 0, 'f', 0)
                  .arg(ratio, 0, 'f', 1)
                  .arg(goalRatio)
                  .arg(verdict(ratio >= goalRatio)));
    } else {
        print(QStringLiteral("  python reader could not run"));
    }
    print(QStringLiteral("  peak memory growth while reading %1 kB (VmHWM %2 kB, VmRSS before %3 "
                         "kB; goal < %4 kB): %5")
              .arg(growth)
              .arg(peakResidentKb())
              .arg(before)
              .arg(goalGrowthKb)
              .arg(verdict(growth < goalGrowthKb)));
    return 0;
}
