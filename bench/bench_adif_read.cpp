// Reading and classifying an ADI file of an everyday log (1,000,000 records by default, about
// a tenth of them in KX47), beside a one-pass Python regular-expression reader of the same file
// (bench/adif_reader.py) run in turn with it; and the peak memory while reading. Then hostile
// ADX files, each beside the everyday file as anchor: an entity of 4,000 characters repeated
// 500,000 times, a comment of 200 MB, a CDATA section of 200 MB, a tag of 100,000 attributes.
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

const long goalHostileGrowthKb = 64 * 1024;

// Writes a hostile ADX file: head, then body repeated times, then tail, then one record.
bool writeHostile(const QString &path, const QByteArray &head, const QByteArray &body, qint64 times,
                  const QByteArray &tail)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    bool ok = file.write(head) == head.size();
    // The body in blocks of about a megabyte.
    const qint64 perBlock = std::max<qint64>(1, (1 << 20) / std::max<qsizetype>(1, body.size()));
    const QByteArray block = body.repeated(perBlock);
    for (qint64 done = 0; ok && done < times; done += perBlock) {
        const QByteArray &part = times - done >= perBlock ? block : body.repeated(times - done);
        ok = file.write(part) == part.size();
    }
    ok = ok && file.write(tail) == tail.size();
    ok = ok && file.write("<RECORD><CALL>K1ABC</CALL></RECORD></RECORDS></ADX>") > 0;
    return ok;
}

struct Hostile {
    const char *name;
    QByteArray head;
    QByteArray body;
    qint64 times;
    QByteArray tail;
};

// Reads each hostile file once, measuring the peak memory and the speed, beside the everyday
// file's speed measured just before.
void readHostileFiles(double anchorRate)
{
    const QByteArray xml = "<?xml version=\"1.0\"?>";
    const QList<Hostile> files = {
        {"entity repeated",
         xml + "<!DOCTYPE ADX [<!ENTITY e \"" + QByteArray(4000, 'K') +
             "\">]><ADX><RECORDS><RECORD><CALL>",
         "&e;", 500000, "</CALL></RECORD>"},
        {"200 MB comment", xml + "<ADX><RECORDS><!--", "comment ", 25000000, "-->"},
        {"200 MB CDATA", xml + "<ADX><RECORDS><RECORD><QTH><![CDATA[", "cdata-- ", 25000000,
         "]]></QTH></RECORD>"},
        {"100,000 attributes", xml + "<ADX><RECORDS a=\"1\"", " attribute=\"value\"", 100000, ">"},
    };
    for (const Hostile &h : files) {
        const QString path = QDir::temp().filePath(
            QStringLiteral("kx47-bench-hostile-%1.adx")
                .arg(QString::fromLatin1(h.name).simplified().replace(' ', '-')));
        if (!writeHostile(path, h.head, h.body, h.times, h.tail)) {
            print(QStringLiteral("cannot write %1").arg(path));
            continue;
        }
        const double megabytes = QFileInfo(path).size() / 1e6;
        resetPeak();
        const long before = residentKb();
        Counts counts;
        const Timing::Run t = Timing::runs(1, [&] { counts = readAndClassify(path); }).first();
        const long growth = peakResidentKb() - before;
        const double rate = megabytes / (t.wall / 1000.0);
        print(QStringLiteral("hostile ADX, %1: %2 MB, %3 records, %4 ms wall (%5 MB/s, everyday "
                             "file %6 MB/s), peak memory growth %7 kB (goal < %8 kB): %9")
                  .arg(QLatin1String(h.name))
                  .arg(megabytes, 0, 'f', 1)
                  .arg(counts.records)
                  .arg(t.wall, 0, 'f', 0)
                  .arg(rate, 0, 'f', 1)
                  .arg(anchorRate, 0, 'f', 1)
                  .arg(growth)
                  .arg(goalHostileGrowthKb)
                  .arg(verdict(growth < goalHostileGrowthKb)));
        QFile::remove(path);
    }
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
    readHostileFiles(rate);
    return 0;
}
