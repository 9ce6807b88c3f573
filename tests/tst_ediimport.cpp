// Importing VHF contest logs (EDI): real files of several contest loggers, each kind of QSO
// line, files that are no contest log, several files at once, the menu and the command line.
#include "fixture.h"
#include "importfolder.h"

#include "adif/adifimport.h"
#include "adif/edireader.h"
#include "log/keptfields.h"
#include "storage/database.h"

#include <QAction>
#include <QBuffer>
#include <QFile>
#include <QMainWindow>
#include <QSqlQuery>
#include <QtTest>
#include <sys/stat.h>

using namespace kx47;
using namespace kx47::test;

namespace
{

const QString samples = QStringLiteral(KX47_TEST_DATA "/edi/");

// A contest log of one band with the given QSO lines.
QByteArray contestLog(const QByteArray &band, const QByteArray &lines,
                      const QByteArray &lineBreak = "\n")
{
    QByteArray log = "[REG1TEST;1]\nTName=Test\nTDate=20240504;20240505\nPCall=I0ZZZ\n"
                     "PWWLo=JN61FW\nPBand=" +
                     band + "\n[Remarks]\nsome words\n[QSORecords;9]\n" + lines + "[END;by hand]\n";
    return log.replace("\n", lineBreak);
}

} // namespace

class TestEdiImport : public QObject
{
    Q_OBJECT

private slots:
    void realLogs_data();
    void realLogs();
    void qsoLine_data();
    void qsoLine();
    void loggedBandInAnyCase_data();
    void loggedBandInAnyCase();
    void refusedFiles_data();
    void refusedFiles();
    void severalFilesAllOrNothing();
    void menuImport();
};

void TestEdiImport::realLogs_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("band");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("cw");
    QTest::addColumn<int>("duplicates");

    QTest::newRow("UcxLog, mail robot lines first") << "YO4FZX_145.edi"
                                                    << "2m" << 7 << 1 << 0;
    QTest::newRow("VHFCTEST, one duplicate") << "E71W_144.edi"
                                             << "2m" << 71 << 32 << 1;
    QTest::newRow("Online EDI Generator, 1.3 GHz") << "LZ5HP_1296.edi"
                                                   << "23cm" << 3 << 0 << 0;
    QTest::newRow("1,3 GHz, Cyrillic header") << "LZ1GJ_1296.edi"
                                              << "23cm" << 3 << 2 << 0;
}

void TestEdiImport::realLogs()
{
    QFETCH(QString, file);
    QFETCH(QString, band);
    QFETCH(int, lines);
    QFETCH(int, cw);
    QFETCH(int, duplicates);
    QFile edi(samples + file);
    QVERIFY(edi.open(QIODevice::ReadOnly));
    QVERIFY(EdiReader::isEdi(&edi));
    EdiReader reader(&edi);
    AdifRecord record;
    int read = 0;
    int cwRead = 0;
    int duplicatesRead = 0;
    while (reader.next(record)) {
        QVERIFY2(record.error.isEmpty(), qPrintable(record.error));
        QCOMPARE(record.band, band);
        QCOMPARE(record.qsoDate.left(6), QStringLiteral("201605"));
        QCOMPARE(record.gridsquare.size(), 6);
        QVERIFY(record.mode == "CW" || record.mode == "SSB");
        ++read;
        cwRead += record.mode == "CW";
        duplicatesRead += reader.isDuplicate();
    }
    QCOMPARE(read, lines);
    QCOMPARE(cwRead, cw);
    QCOMPARE(duplicatesRead, duplicates);
    QCOMPARE(reader.bytesRead(), edi.size());

    // None of them worked KX47: every QSO is outside, the duplicate counted apart.
    ProgramFolder folder;
    OpenFolder open(folder);
    ImportPlan plan;
    QCOMPARE(AdifImport(open.log, open.places).preview(samples + file, MappingOptions(), plan),
             AdifImport::Result::Done);
    QCOMPARE(plan.count(ImportOutcome::OutsideKx47), lines - duplicates);
    QCOMPARE(plan.duplicates(), duplicates);
    QCOMPARE(plan.count(ImportOutcome::Unreadable), 0);
}

void TestEdiImport::qsoLine_data()
{
    QTest::addColumn<QByteArray>("band");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("expected"); // the QSO as "band|mode|date|time|call|letters",
                                           // or the summary's line of the reason

    const QByteArray base = ";59;001;59;002;;KX47AB;100;;N;N;\n";
    QTest::newRow("SSB on 2m") << QByteArray("144 MHz") << "240504;1403;ik4abc;1" + base
                               << "VHF|SSB|2024-05-04|14:03|IK4ABC|AB";
    QTest::newRow("CW on 6m") << QByteArray("50 MHz") << "240504;1403;I1XYZ;2" + base
                              << "50 MHz|CW|2024-05-04|14:03|I1XYZ|AB";
    QTest::newRow("mixed codes are MIXED") << QByteArray("432 MHz") << "240504;1403;I1XYZ;3" + base
                                           << "UHF|MIXED|2024-05-04|14:03|I1XYZ|AB";
    QTest::newRow("FM is phone") << QByteArray("1,3 GHz") << "240504;1403;I1XYZ;6" + base
                                 << "UHF|SSB|2024-05-04|14:03|I1XYZ|AB";
    QTest::newRow("RTTY is digital on 10 GHz")
        << QByteArray("10 GHz") << "240504;1403;I1XYZ;7" + base
        << "SHF|DIGITAL|2024-05-04|14:03|I1XYZ|AB";
    QTest::newRow("century from TDate") << QByteArray("2,3 GHz") << "991231;2359;I1XYZ;9" + base
                                        << "UHF|DIGITAL|2099-12-31|23:59|I1XYZ|AB";
    QTest::newRow("duplicate adds nothing")
        << QByteArray("144 MHz") << QByteArray("240504;1403;I1XYZ;1;59;001;59;002;;KX47AB;0;;;;D\n")
        << "marked duplicate in the contest log: 1";
    QTest::newRow("date not YYMMDD") << QByteArray("144 MHz") << "2405041;1403;I1XYZ;1" + base
                                     << "line 10: the date 2405041 is not YYMMDD";
    QTest::newRow("impossible time") << QByteArray("144 MHz") << "240504;2503;I1XYZ;1" + base
                                     << "line 10: the time 2503 does not exist";
    QTest::newRow("no mode code") << QByteArray("144 MHz") << "240504;1403;I1XYZ;0" + base
                                  << "line 10: no mode code";
    QTest::newRow("unknown mode code") << QByteArray("144 MHz") << "240504;1403;I1XYZ;12" + base
                                       << "line 10: the mode code 12 is not one of 1 to 9";
    QTest::newRow("short line") << QByteArray("144 MHz") << QByteArray("240504;1403;I1XYZ;1\n")
                                << "line 10: 4 fields where a QSO line has 15";
    QTest::newRow("unknown band") << QByteArray("2 m") << "240504;1403;I1XYZ;1" + base
                                  << "line 10: the file's band PBand=2 m is not known";
    QTest::newRow("huge line") << QByteArray("144 MHz")
                               << "240504;1403;" + QByteArray(3000000, 'X') + base
                               << "line 10: the line is longer than 1024 characters";
}

void TestEdiImport::qsoLine()
{
    QFETCH(QByteArray, band);
    QFETCH(QByteArray, line);
    QFETCH(QString, expected);
    ProgramFolder folder;
    // Line breaks of either kind; the QSO line is the file's 10th line.
    const QString path = writeFile(folder.path(), "contest.txt", contestLog(band, line, "\r\n"));
    OpenFolder open(folder);
    ImportPlan plan;
    QCOMPARE(AdifImport(open.log, open.places).apply(path, MappingOptions(), plan),
             AdifImport::Result::Done);
    const QList<QsoRow> qsos = folder.qsos();
    if (expected.contains('|')) {
        QCOMPARE(qsos.size(), 1);
        const QsoRow &q = qsos.first();
        QCOMPARE(QStringList({q.band, q.mode, q.date, q.time, q.call, q.locator}).join('|'),
                 expected);
        QCOMPARE(q.qsl, QStringLiteral("w"));
        // The band, the reports, the serials and the contest stay with the QSO.
        QString kept;
        QSqlQuery row = open.log.run("select kept from data");
        QVERIFY(row.next());
        keptfields::forEach(row.value(0).toString(), [&](int field, QStringView value) {
            kept += QString::fromLatin1(keptfields::names[size_t(field)]) + '=' + value.toString() +
                    ' ';
        });
        QVERIFY2(kept.contains("RST_SENT=59 RST_RCVD=59 STX=001 SRX=002 "), qPrintable(kept));
        QVERIFY2(kept.contains("STATION_CALLSIGN=I0ZZZ MY_GRIDSQUARE=JN61FW "), qPrintable(kept));
        QVERIFY2(kept.contains("CONTEST_ID=Test"), qPrintable(kept));
    } else {
        QVERIFY(qsos.isEmpty());
        QVERIFY2(plan.summaryLines().contains(expected), qPrintable(plan.summary()));
    }
}

// The log's QSOs of the file's band are found whatever the letter case of the band the log
// holds; the import reads no others, and plans as the preview, which reads them all.
void TestEdiImport::loggedBandInAnyCase_data()
{
    QTest::addColumn<QString>("logged");
    QTest::addColumn<QByteArray>("band");
    QTest::addColumn<QString>("outcome");
    QTest::newRow("small letters") << "vhf" << QByteArray("144 MHz") << "already in the log: 1";
    // U+017F, a long s, is S in capitals.
    QTest::newRow("capitals by Qt only")
        << QStringLiteral("\u017Fhf") << QByteArray("10 GHz") << "already in the log: 1";
    QTest::newRow("another band") << "UHF" << QByteArray("144 MHz") << "new worked: 1";
}

void TestEdiImport::loggedBandInAnyCase()
{
    QFETCH(QString, logged);
    QFETCH(QByteArray, band);
    QFETCH(QString, outcome);
    ProgramFolder folder;
    folder.addQso({1, "AB", "I1XYZ", "2024-05-04", "14:00", "P", "AN", "SSB", logged, "w"});
    const QString path =
        writeFile(folder.path(), "contest.edi",
                  contestLog(band, "240504;1403;I1XYZ;1;59;1;59;2;;KX47AB;0;;;;\n"));
    OpenFolder open(folder);
    ImportPlan preview;
    ImportPlan plan;
    QCOMPARE(AdifImport(open.log, open.places).preview(path, MappingOptions(), preview),
             AdifImport::Result::Done);
    QCOMPARE(AdifImport(open.log, open.places).apply(path, MappingOptions(), plan),
             AdifImport::Result::Done);
    QVERIFY2(plan.summaryLines().contains(outcome), qPrintable(plan.summary()));
    QCOMPARE(plan.summary(), preview.summary());
}

void TestEdiImport::refusedFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("contestLog"); // asked for as a contest log
    QTest::addColumn<QString>("error");

    const QByteArray adif = "<CALL:5>I1XYZ <GRIDSQUARE:6>KX47AB <BAND:2>2m <MODE:2>CW "
                            "<QSO_DATE:8>20240504 <TIME_ON:4>1403 <EOR>\n";
    QTest::newRow("ADIF named .edi") << "log.edi" << adif << false << "is not an EDI contest log";
    QTest::newRow("ADIF chosen as a contest log")
        << "log.adi" << adif << true << "is not an EDI contest log";
    QTest::newRow("other text named .EDI")
        << "LOG.EDI" << QByteArray("[REG1TEST;2]\n") << false << "is not an EDI contest log";
    QTest::newRow("a pipe") << "fifo" << QByteArray() << true
                            << "it is not a file but a device or a pipe";
}

void TestEdiImport::refusedFiles()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(bool, contestLog);
    QFETCH(QString, error);
    ProgramFolder folder;
    QString path = folder.path() + "/" + name;
    if (name == "fifo")
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else
        writeFile(folder.path(), name, content);
    OpenFolder open(folder);
    MappingOptions options;
    options.contestLog = contestLog;
    ImportPlan plan;
    QString message;
    QCOMPARE(AdifImport(open.log, open.places).apply(path, options, plan, nullptr, {}, &message),
             AdifImport::Result::FileError);
    QVERIFY2(message.contains(error), qPrintable(message));
    QVERIFY(message.endsWith("Nothing was imported."));
    QVERIFY(folder.qsos().isEmpty());
}

void TestEdiImport::severalFilesAllOrNothing()
{
    ProgramFolder folder;
    const QString twoMetres =
        writeFile(folder.path(), "2m.edi",
                  contestLog("144 MHz", "240504;1403;I1XYZ;1;59;001;59;002;;KX47AB;1;;;;\n"));
    const QString seventy =
        writeFile(folder.path(), "70cm.edi",
                  contestLog("432 MHz", "240504;1503;I1XYZ;2;59;001;59;002;;KX47AB;1;;;;\n"
                                        "240504;1603;I2AAA;2;59;002;59;002;;KX47XX;1;;;;\n"
                                        "24050;1603;I2AAA;2;59;002;59;002;;KX47XX;1;;;;\n"));
    // A missing third file: nothing of the first two is written.
    QCOMPARE(runCommand({"kx47", "import", twoMetres, seventy, "x.edi", "--folder", folder.path()})
                 .exitCode,
             1);
    QVERIFY(folder.qsos().isEmpty());

    const CommandRun run =
        runCommand({"kx47", "import", twoMetres, seventy, "--folder", folder.path()});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains("new worked: 3\n"), qPrintable(run.out));
    QVERIFY2(run.out.contains("70cm.edi line 12: the date 24050 is not YYMMDD"),
             qPrintable(run.out));
    QCOMPARE(folder.qsos().size(), 3);
}

void TestEdiImport::menuImport()
{
    ProgramFolder folder;
    const QString path =
        writeFile(folder.path(), "contest.edi",
                  contestLog("144 MHz", "240504;1403;I1XYZ;2;59;001;59;002;;KX47AB;1;;;;\n"));
    TestApp app(folder.path());
    QVERIFY(app.start());
    app.dialogs.fileNames << path;
    // No eQSL question for a contest log: MIXED? No; the preview's OK.
    app.dialogs.answers << MessageAnswer::No << MessageAnswer::Ok;
    app.menuItem("mnImportEdi")->trigger();
    QCOMPARE(app.dialogs.fileCaptions, QStringList{"Import contest log (EDI)"});
    QCOMPARE(app.dialogs.unanswered, 0);
    QCOMPARE(folder.qsos().size(), 1);
    QCOMPARE(folder.qsos().first().mode, QStringLiteral("CW"));
}

QTEST_MAIN(TestEdiImport)
#include "tst_ediimport.moc"
