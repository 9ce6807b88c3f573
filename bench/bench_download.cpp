// Downloading confirmations: a LoTW report of 10,000 records, each confirming a worked QSO of a
// log of 100,000 QSOs, served by a local stand-in for LoTW on 127.0.0.1, checked whole and
// merged into the log (goal: within 2 s of the report's last byte), beside the anchor measured
// in the same run: importing the same report from a file, the merge without the network.
//   bench_download [qsos [folder]]
#include "benchlog.h"
#include "localservice.h"

#include "adif/adifimport.h"
#include "download/confirmationdownload.h"
#include "download/downloadmerge.h"
#include "storage/database.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace kx47;
using namespace kx47::bench;

namespace
{

constexpr int records = 10000;
constexpr int runs = 3;

// The ADIF band and mode LoTW would name for a band and mode category of the log.
QString adifBand(const QString &band)
{
    static const QHash<QString, QString> bands{
        {"HF", "20M"}, {"50 MHz", "6M"}, {"VHF", "2M"}, {"UHF", "70CM"}, {"SHF", "3CM"}};
    return bands.value(band);
}

QString adifMode(const QString &mode)
{
    return mode == QLatin1String("DIGITAL") ? QStringLiteral("FT8") : mode;
}

// Worked QSOs of the log as records of test::lotwReport().
QStringList confirmationsOf(const Database &log)
{
    QSqlQuery query = log.run(
        QStringLiteral("select call, WWLocator, band, mode, date, time from data where qsl = 'w' "
                       "and mode <> 'MIXED' and band <> 'SAT' limit ?"),
        {records});
    QStringList result;
    while (query.next())
        result << QStringLiteral("%1,%2,%3,%4,%5,KX47%6,20310101")
                      .arg(query.value(0).toString(),
                           query.value(4).toString().remove(QLatin1Char('-')),
                           query.value(5).toString().remove(QLatin1Char(':')),
                           adifBand(query.value(2).toString()), adifMode(query.value(3).toString()),
                           query.value(1).toString());
    return result;
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    BenchLog bench(argc, argv);
    if (!bench.build())
        return 1;
    QTemporaryDir work;
    const QString logPath = work.filePath(QStringLiteral("data.mdb"));
    const QString reportPath = work.filePath(QStringLiteral("lotw.adi"));
    const MappingOptions options =
        downloadmerge::options(Service::Lotw, Confirmation::Paper | Confirmation::Lotw);

    QByteArray report;
    {
        OpenLog open(bench.logPath(), bench.placesPath());
        report = test::lotwReport(confirmationsOf(open.log));
    }
    QFile file(reportPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(report) != report.size())
        qFatal("cannot write the report");
    file.close();
    test::LocalService service;
    service.answer({QStringLiteral("/lotwreport.adi"), report});

    QVector<double> download;
    QVector<double> check;
    QVector<double> afterLastByte;
    QVector<double> anchor;
    QString summary;
    for (int run = 0; run < runs; ++run) {
        // The anchor: the same report imported from a file.
        if (!copyLog(bench.logPath(), logPath))
            qFatal("cannot copy the log");
        {
            OpenLog open(logPath, bench.placesPath());
            ImportPlan plan;
            QElapsedTimer clock;
            clock.start();
            if (AdifImport(open.log, open.places).apply(reportPath, options, plan) !=
                AdifImport::Result::Done)
                qFatal("the import failed");
            anchor << clock.nsecsElapsed() / 1e6;
        }

        if (!copyLog(bench.logPath(), logPath))
            qFatal("cannot copy the log");
        OpenLog open(logPath, bench.placesPath());
        ConfirmationDownload fetch;
        QElapsedTimer clock;
        clock.start();
        double lastByte = 0;
        QObject::connect(&fetch, &ConfirmationDownload::progress,
                         [&] { lastByte = clock.nsecsElapsed() / 1e6; });
        DownloadRequest request;
        request.address = service.url(QStringLiteral("/lotwreport.adi"));
        request.login = QStringLiteral("IK0ABC");
        request.password = QStringLiteral("secret");
        const DownloadResult &result = fetch.run(request);
        const double checked = clock.nsecsElapsed() / 1e6;
        if (result.status != DownloadResult::Status::Done)
            qFatal("the download failed: %s", qPrintable(result.message));
        ImportPlan plan;
        if (AdifImport(open.log, open.places).apply(result.path, options, plan) !=
            AdifImport::Result::Done)
            qFatal("the merge failed");
        const double merged = clock.nsecsElapsed() / 1e6;
        download << lastByte;
        check << checked - lastByte;
        afterLastByte << merged - lastByte;
        summary = plan.summary();
    }

    std::printf("LoTW report of %d records (%lld bytes) into %d QSOs, medians of %d runs:\n%s\n",
                records, qint64(report.size()), bench.qsos(), runs, qPrintable(summary));
    std::printf("  download from 127.0.0.1 until the last byte       %8.0f ms\n", median(download));
    std::printf("  check of the whole report (end marker, dates)     %8.0f ms\n", median(check));
    std::printf("  last byte to merged (check and merge)             %8.0f ms\n",
                median(afterLastByte));
    std::printf("  anchor: the same report imported from a file      %8.0f ms\n", median(anchor));
    const double figure = median(afterLastByte);
    std::printf("  last byte to merged: %.0f ms, goal under 2000 ms: %s\n", figure,
                figure < 2000 ? "met" : "MISSED");
    return 0;
}
