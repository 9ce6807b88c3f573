// Importing ADIF files into the log and exporting it: the whole file or nothing, the round
// trip, the Database menu's items and the command line.
#include "filesizelimit.h"
#include "fixture.h"
#include "importfolder.h"

#include "adif/adifexport.h"
#include "adif/adifimport.h"
#include "adif/adifwriter.h"
#include "app/commandline.h"
#include "backup/backups.h"
#include "browser/utilitywindow.h"
#include "log/keptfields.h"
#include "log/logstore.h"
#include "platform/appcontext.h"
#include "platform/windownames.h"
#include "platform/windowregistry.h"
#include "storage/database.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMainWindow>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QtTest>
#include <sys/stat.h>

Q_DECLARE_METATYPE(kx47::MessageAnswer)

using namespace kx47;
using namespace kx47::test;

namespace
{

// The tables and indexes of a log, as the engine would build them.
const char *const schemaSql = "select type, name, tbl_name, sql from sqlite_master order by name";

QByteArray field(const char *name, const QByteArray &value)
{
    return "<" + QByteArray(name) + ":" + QByteArray::number(value.size()) + ">" + value + " ";
}

// One ADI record: call, locator, band, mode, date, time, whether a paper QSL came in, and the
// place (none when empty).
QByteArray record(const QByteArray &call, const QByteArray &locator, const QByteArray &band,
                  const QByteArray &mode, const QByteArray &date, const QByteArray &time,
                  bool qsl = false, const QByteArray &qth = "BRANVOLE")
{
    QByteArray r = field("CALL", call) + field("GRIDSQUARE", locator) + field("BAND", band) +
                   field("MODE", mode) + field("QSO_DATE", date) + field("TIME_ON", time);
    if (!qth.isEmpty())
        r += field("QTH", qth);
    if (qsl)
        r += field("QSL_RCVD", "Y");
    return r + "<EOR>\n";
}

// A file of every outcome: two new QSOs (one confirmed), the first again, one outside KX47,
// one of an unknown sub-square, one on 630m, one without a call. The confirmed one names no place.
QByteArray everyOutcome()
{
    return "Written by hand\n<ADIF_VER:5>3.1.4 <EOH>\n" +
           record("IK4ABC", "KX47AB", "20m", "CW", "20240301", "1200") +
           record("I1XYZ", "kx47xx12", "2m", "FT8", "20240302", "235959", true, "") +
           record("IK4ABC", "KX47AB", "20M", "CW", "20240301", "1215") +
           record("W1AW", "FN31pr", "20m", "SSB", "20240301", "1200") +
           record("I2AAA", "KX47", "20m", "SSB", "20240301", "1200") +
           record("I3BBB", "KX47AC", "630m", "CW", "20240301", "1200") +
           record("", "KX47AC", "20m", "CW", "20240301", "1200");
}

// A file of many records of one call, sub-square, band and mode, at the times 1000 to 1999
// (HHMM; the impossible ones are unreadable).
QString writeManyRecords(const ProgramFolder &folder, int count)
{
    QByteArray content;
    for (int i = 0; i < count; ++i)
        content += record("IK4ABC", "KX47AB", "20m", "CW", "20240301",
                          QByteArray::number(1000 + i % 1000).rightJustified(4, '0'));
    return writeFile(folder.path(), "big.adi", content);
}

// Fields kept from a file, as the import keeps them: ADIF names and their texts.
QString keptOf(const QList<std::pair<const char *, QString>> &fields)
{
    QString kept;
    for (const auto &[name, value] : fields) {
        const auto at = std::find_if(keptfields::names.begin(), keptfields::names.end(),
                                     [&](const char *each) { return qstrcmp(each, name) == 0; });
        keptfields::append(kept, int(at - keptfields::names.begin()), value);
    }
    return kept;
}

// The fields a record of an exported file holds for a QSO as the log stores it: text outside
// ASCII in an ADX file goes into the _INTL field where ADIF has one.
QVariantMap exportedFields(const QsoRecord &q, bool adx)
{
    QVariantMap fields;
    const auto add = [&](const QString &name, const QString &value) {
        const bool ascii =
            std::all_of(value.begin(), value.end(), [](QChar c) { return c.unicode() < 0x80; });
        const bool intl = adx && !ascii && QStringList{"QTH", "NAME", "COMMENT"}.contains(name);
        fields.insert(intl ? name + "_INTL" : name, value);
    };
    const auto addKnown = [&](const QString &name, const QString &value) {
        if (!value.isEmpty())
            add(name, value);
    };
    add("CALL", q.call);
    add("QSO_DATE", QString(q.date).remove('-'));
    add("TIME_ON", QString(q.time).remove(':'));
    add("GRIDSQUARE", "KX47" + q.locator);
    addKnown("QTH", q.place);
    keptfields::forEach(q.kept, [&](int field, QStringView value) {
        add(keptfields::names[size_t(field)], value.toString());
    });
    if (q.qsl != vocabulary::QslState::Worked)
        add("QSL_RCVD", "Y");
    addKnown("LOTW_QSL_RCVD", q.lotw);
    addKnown("LOTW_QSLRDATE", QString(q.lotwDate).remove('-'));
    addKnown("EQSL_QSL_RCVD", q.eqsl);
    addKnown("EQSL_QSLRDATE", QString(q.eqslDate).remove('-'));
    add("APP_KX47_BAND", q.band);
    add("APP_KX47_MODE", q.mode);
    add("APP_KX47_QSL", QString(vocabulary::qslLetter(q.qsl)));
    add("APP_KX47_PROV", q.prov);
    return fields;
}

} // namespace

class TestAdifImport : public QObject
{
    Q_OBJECT

private slots:
    void importWritesEveryOutcomeOnce();
    void failingLogWritesNothing_data();
    void failingLogWritesNothing();
    void cancelledImportWritesNothing();
    void readingTakesNoLock();
    void fileQsosComeBackWhole_data();
    void fileQsosComeBackWhole();
    void roundTrip_data();
    void roundTrip();
    void keptFieldsRoundTrip_data();
    void keptFieldsRoundTrip();
    void exportWritesWhatTheLogHolds_data();
    void exportWritesWhatTheLogHolds();
    void menuImport_data();
    void menuImport();
    void menuExport_data();
    void menuExport();
    void commandLine_data();
    void commandLine();
    void exportNeverLandsOnADatabase_data();
    void exportNeverLandsOnADatabase();
    void exportFailureSaysWhy_data();
    void exportFailureSaysWhy();
    void lotwReportMerges_data();
    void lotwReportMerges();
};

void TestAdifImport::importWritesEveryOutcomeOnce()
{
    ProgramFolder folder;
    folder.addQso({1, "AB", "IK4ABC", "2024-03-01", "10:00", "P", "AN", "CW", "HF", "w"});
    const QString path = writeFile(folder.path(), "log.adi", everyOutcome());
    OpenFolder open(folder);
    const AdifImport import(open.log, open.places);

    ImportPlan preview;
    QCOMPARE(import.preview(path, MappingOptions(), preview), AdifImport::Result::Done);
    QCOMPARE(folder.qsos().size(), 1);

    ImportPlan done;
    LogChange change;
    QCOMPARE(import.apply(path, MappingOptions(), done, &change), AdifImport::Result::Done);
    QCOMPARE(done.summary(), preview.summary());
    QCOMPARE(done.summaryLines().mid(0, ImportPlan::outcomeCount + 1),
             QStringList({"counted as confirmed: QSL cards", "new worked: 1", "new confirmed: 1",
                          "confirmations added: 0", "LoTW or eQSL confirmations added: 0",
                          "already in the log: 1", "outside KX47: 1", "sub-square unknown: 1",
                          "sub-square differs from the log: 0", "band outside the award: 1",
                          "refused, accredited already: 0",
                          "stored as worked, confirmed elsewhere: 0", "unreadable: 1"}));
    QVERIFY(done.summaryLines().value(ImportPlan::outcomeCount + 1).startsWith("record 7: "));
    QCOMPARE(change.added.size(), 2);

    const QList<QsoRow> rows = folder.qsos();
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(1),
             (QsoRow{2, "AB", "IK4ABC", "2024-03-01", "12:00", "BRANVOLE", "PG", "CW", "HF", "w"}));
    QCOMPARE(rows.at(2).call, QStringLiteral("I1XYZ"));
    QCOMPARE(rows.at(2).locator, QStringLiteral("XX"));
    QCOMPARE(rows.at(2).time, QStringLiteral("23:59"));
    QCOMPARE(rows.at(2).qsl, QStringLiteral("c"));
    QCOMPARE(rows.at(2).place, QString()); // a record without a place is stored without one

    // The same file again adds and changes nothing.
    ImportPlan again;
    QCOMPARE(import.apply(path, MappingOptions(), again), AdifImport::Result::Done);
    QVERIFY(!again.changesLog());
    QCOMPARE(folder.qsos(), rows);
}

void TestAdifImport::failingLogWritesNothing_data()
{
    QTest::addColumn<bool>("diskFull"); // else the log holds the highest number
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("asideAfter"); // AdifImport::setIndexesAsideAfter
    QTest::newRow("disk full") << true << "Nothing was saved" << 0;
    QTest::newRow("highest number taken")
        << false << "The 2 new QSOs of the file were not saved; nothing was imported." << 0;
    QTest::newRow("disk full, indexes set aside") << true << "Nothing was saved" << 1;
}

void TestAdifImport::failingLogWritesNothing()
{
    QFETCH(bool, diskFull);
    QFETCH(QString, message);
    QFETCH(int, asideAfter);
    ProgramFolder folder;
    // At the highest number the log holds another QSO: the file brings two new ones.
    folder.addQso({diskFull ? 1 : 2147483647, "AB", diskFull ? "IK4ABC" : "I9ZZZ", "2024-03-01",
                   "12:00", "P", "AN", "CW", "HF", "w"});
    const QByteArray confirmation =
        record("IK4ABC", "KX47AB", "20m", "CW", "20240301", "1200", true);
    const QString path =
        writeFile(folder.path(), "log.adi",
                  confirmation + everyOutcome().mid(everyOutcome().indexOf("<EOH>") + 5));
    // The disk fills up at the first new QSO, after the confirmation of the logged one.
    if (diskFull)
        QSqlQuery(folder.log())
            .exec("create trigger full before insert on data when (select count(*) from data) "
                  ">= 1 begin select raise(abort, 'database or disk is full'); end");
    const QList<QsoRow> before = folder.qsos();
    const QStringList schema = folder.rows(schemaSql);

    OpenFolder open(folder);
    ImportPlan plan;
    QString error;
    AdifImport import(open.log, open.places);
    import.setIndexesAsideAfter(asideAfter);
    QCOMPARE(import.apply(path, MappingOptions(), plan, nullptr, {}, &error),
             AdifImport::Result::LogError);
    QVERIFY2(error.contains(message), qPrintable(error));
    QCOMPARE(folder.qsos(), before);
    QCOMPARE(folder.rows(schemaSql), schema);
}

void TestAdifImport::cancelledImportWritesNothing()
{
    ProgramFolder folder;
    const QString path = writeManyRecords(folder, 3000);
    OpenFolder open(folder);
    ImportPlan plan;
    int calls = 0;
    // Cancelled while the QSOs are written, after the file was read.
    QCOMPARE(AdifImport(open.log, open.places)
                 .apply(path, MappingOptions(), plan, nullptr,
                        [&calls](qint64 done, qint64 total) {
                            return done <= total * 4 / 5 || ++calls < 2;
                        }),
             AdifImport::Result::Cancelled);
    QVERIFY(plan.count(ImportOutcome::NewWorked) > 0);
    QVERIFY(folder.qsos().isEmpty());
}

// The file is read whole before the log's write lock is taken: while it is read, another
// program may write.
// The QSOs kept between reading and writing come back each once, in order, unchanged: from
// memory, from a temporary file, and where the temporary file is refused or fills up.
void TestAdifImport::fileQsosComeBackWhole_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("obstacle");
    QTest::newRow("few, in memory") << 3 << "";
    QTest::newRow("many, in a temporary file") << 60000 << "";
    QTest::newRow("temporary folder read-only") << 60000 << "read-only";
    QTest::newRow("temporary file fills the disk") << 60000 << "full";
}

void TestAdifImport::fileQsosComeBackWhole()
{
    QFETCH(int, count);
    QFETCH(QString, obstacle);
    QTemporaryDir temp;
    const QByteArray savedTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", temp.path().toLocal8Bit());
    if (obstacle == "read-only")
        QFile::setPermissions(temp.path(), QFile::ReadOwner | QFile::ExeOwner);
    const auto nth = [](int i) {
        QsoRecord qso{i,
                      "AB",
                      QStringLiteral("IK%1ÄÖ").arg(i),
                      "2024-03-01",
                      "10:00",
                      i % 7 ? "" : QString(300, QChar(0x00e9)),
                      "AN",
                      "CW",
                      "HF",
                      vocabulary::QslState::Worked,
                      i % 5 ? "" : "Y",
                      "",
                      "",
                      "",
                      i % 3 ? "" : "aFREQ\x1f"};
        return qso;
    };
    FileQsos qsos;
    {
        FileSizeLimit full(obstacle == "full" ? 6 << 20 : -1);
        for (int i = 0; i < count; ++i)
            qsos.append(nth(i), i + 1);
    }
    int given = 0;
    bool same = true;
    qsos.forEach([&](const QsoRecord &qso, qint64 recordNumber) {
        const QsoRecord want = nth(given++);
        same = same && qso.call == want.call && qso.place == want.place &&
               qso.locator == want.locator && qso.qsl == want.qsl && qso.date == want.date &&
               qso.lotw == want.lotw && recordNumber == given;
    });
    QFile::setPermissions(temp.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (savedTemp.isEmpty())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", savedTemp);
    QCOMPARE(given, count);
    QVERIFY(same);
}

void TestAdifImport::readingTakesNoLock()
{
    ProgramFolder folder;
    const QString path = writeManyRecords(folder, 2000);
    OpenFolder open(folder);
    ImportPlan plan;
    QStringList lockedWhileReading;
    QCOMPARE(AdifImport(open.log, open.places)
                 .apply(path, MappingOptions(), plan, nullptr,
                        [&](qint64 done, qint64 total) {
                            if (done < total * 4 / 5) {
                                QSqlQuery other(folder.log());
                                other.exec("pragma busy_timeout = 0");
                                if (!other.exec("begin immediate"))
                                    lockedWhileReading << QString::number(done);
                                other.exec("rollback");
                            }
                            return true;
                        }),
             AdifImport::Result::Done);
    QCOMPARE(lockedWhileReading, QStringList());
    QVERIFY(!folder.qsos().isEmpty());
}

void TestAdifImport::roundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("search"); // the options of kx47 export
    QTest::addColumn<QList<int>>("exported");
    QTest::addColumn<int>("asideAfter"); // AdifImport::setIndexesAsideAfter
    QTest::newRow("ADI, whole log")
        << "export.adi" << QStringList() << QList<int>{1, 2, 3, 4, 5} << 0;
    QTest::newRow("ADX, whole log")
        << "export.ADX" << QStringList() << QList<int>{1, 2, 3, 4, 5} << 0;
    QTest::newRow("ADI, a call found")
        << "found.adi" << QStringList{"--call", "ik4abc"} << QList<int>{1, 2} << 0;
    QTest::newRow("ADI, a sub-square found")
        << "square.adi" << QStringList{"--subsquare", "ac"} << QList<int>{4} << 0;
    QTest::newRow("ADX, a place with an apostrophe")
        << "found.adx" << QStringList{"--place", "SANT'ERMINIO"} << QList<int>{1} << 0;
    QTest::newRow("ADI, whole log, indexes set aside from the second QSO")
        << "export.adi" << QStringList() << QList<int>{1, 2, 3, 4, 5} << 2;
}

void TestAdifImport::roundTrip()
{
    QFETCH(QString, name);
    QFETCH(QStringList, search);
    QFETCH(QList<int>, exported);
    QFETCH(int, asideAfter);
    ProgramFolder source;
    source.addQsos(
        {{1, "AB", "IK4ABC", "2024-03-01", "12:00", "SANT'ERMINIO", "FC", "CW", "HF", "a"},
         {2, "AB", "IK4ABC", "2024-03-02", "00:05", "CITTÀ DI CASTELLO", "PG", "CW", "HF", "w"},
         {3, "XX", "I1XYZ/P", "2023-12-31", "23:59", "<X & Y>", "RSM", "MIXED", "50 MHz", "c"},
         {4, "AC", "I2AAA", "2024-01-01", "00:00", "Y", "AN", "DIGITAL", "SAT", "w"},
         {5, "AD", "I3BBB", "2024-01-01", "08:00", "Z", "QZ", "SSB", "SHF", "c"}});
    QSqlQuery(source.log())
        .exec("update data set lotw = 'Y', lotwDate = '2024-03-04' where count in (2, 3)");
    QSqlQuery(source.log()).exec("update data set eqsl = 'Y' where count in (3, 4)");
    // Fields kept from the files the QSOs came from, text outside ASCII among them.
    const QString kept = keptOf({{"FREQ", "14.025"},
                                 {"MODE", "CW"},
                                 {"RST_SENT", "599"},
                                 {"COMMENT", "grazie, città <sic> & co"},
                                 {"NAME", "Nicolò"},
                                 {"OPERATOR", "I0OPR"},
                                 {"MY_GRIDSQUARE", "JN61fw"},
                                 {"CONTEST_ID", "IARU-R1-HF"}});
    const QString satellite = keptOf({{"MODE", "FT8"},
                                      {"RST_RCVD", "-10"},
                                      {"STX", "001"},
                                      {"SRX", "012"},
                                      {"PROP_MODE", "SAT"},
                                      {"SAT_NAME", "QO-100"}});
    QSqlQuery keep(source.log());
    keep.prepare("update data set kept = ? where count = ?");
    for (const auto &[count, value] : QList<std::pair<int, QString>>{{1, kept}, {4, satellite}}) {
        keep.addBindValue(value);
        keep.addBindValue(count);
        QVERIFY(keep.exec());
    }
    const QString path = source.path() + "/" + name;
    const CommandRun run =
        runCommand(QStringList{"kx47", "export", path, "--folder", source.path()} + search);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.startsWith(QString::number(exported.size()) + " QSO"), qPrintable(run.out));
    QCOMPARE(run.err, QString());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    // An .adx file is XML, its text outside ASCII in the _INTL field.
    const bool adx = name.endsWith("adx", Qt::CaseInsensitive);
    QCOMPARE(text.startsWith("<?xml"), adx);
    if (adx && exported.contains(2))
        QVERIFY(text.contains("<QTH_INTL>CITTÀ DI CASTELLO</QTH_INTL>"));

    ProgramFolder target;
    const QStringList schema = target.rows(schemaSql);
    OpenFolder open(target);
    ImportPlan plan;
    AdifImport import(open.log, open.places);
    import.setIndexesAsideAfter(asideAfter);
    QCOMPARE(import.apply(path, MappingOptions(), plan), AdifImport::Result::Done);
    QCOMPARE(target.rows(schemaSql), schema);
    QList<QsoRow> expected;
    QStringList expectedElectronic;
    for (int count : exported) {
        expected.append(source.qso(count));
        expected.last().count = expected.size();
        expectedElectronic.append(source.electronic().value(count - 1));
    }
    QCOMPARE(target.qsos(), expected);
    QCOMPARE(target.electronic(), expectedElectronic);

    // A second reader, apart from the program's (tests/adifread.py: ADI by the lengths in
    // bytes, ADX by an XML parser), finds in the file the QSOs and kept fields read back.
    if (QByteArray(KX47_PYTHON).isEmpty())
        QSKIP("no Python 3 to run the second reader");
    QProcess python;
    python.start(KX47_PYTHON, {KX47_SECOND_READER, path});
    QVERIFY(python.waitForFinished(60000));
    QVERIFY2(python.exitCode() == 0, python.readAllStandardError().constData());
    const QJsonArray second = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    QSqlQuery back =
        open.log.run(QString("select %1 from data order by count").arg(LogStore::qsoColumns));
    for (int n = 0; back.next(); ++n) {
        QVERIFY(n < second.size());
        QCOMPARE(second.at(n).toObject().toVariantMap(),
                 exportedFields(LogStore::recordAt(back), adx));
    }
    QCOMPARE(second.size(), exported.size());
}

void TestAdifImport::keptFieldsRoundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("ADI") << "kept.adi";
    QTest::newRow("ADX") << "kept.adx";
}

void TestAdifImport::keptFieldsRoundTrip()
{
    QFETCH(QString, name);
    // Every kept field once, text outside ASCII in a comment and a name; the second QSO names
    // only its frequency, the third nothing beyond the columns.
    const QByteArray first =
        field("CALL", "IK4ABC") + field("GRIDSQUARE", "KX47AB") + field("QSO_DATE", "20240301") +
        field("TIME_ON", "1200") + field("FREQ", "144.174") + field("BAND", "2m") +
        field("MODE", "MFSK") + field("SUBMODE", "FT4") + field("RST_SENT", "-05") +
        field("RST_RCVD", "+02") + field("STX", "7") + field("SRX", "012") +
        field("COMMENT", "grazie, città <sic>") + field("NAME", "Nicolò") +
        field("OPERATOR", "I0OPR") + field("STATION_CALLSIGN", "I0STN") +
        field("MY_GRIDSQUARE", "JN61fw") + field("PROP_MODE", "TR") + field("SAT_NAME", "AO-7") +
        field("CONTEST_ID", "IARU-R1-VHF") + "<EOR>\n";
    const QByteArray second = field("CALL", "I1XYZ") + field("GRIDSQUARE", "KX47AC") +
                              field("QSO_DATE", "20240302") + field("TIME_ON", "0800") +
                              field("FREQ", "14.025") + field("MODE", "CW") + "<EOR>\n";
    ProgramFolder source;
    const QString file = writeFile(source.path(), "in.adi",
                                   "<EOH>\n" + first + second +
                                       record("I2AAA", "KX47AD", "6m", "SSB", "20240303", "0900"));
    const QString keptSql = "select kept from data order by count";
    QStringList kept;
    const QString path = source.path() + "/" + name;
    {
        OpenFolder open(source);
        ImportPlan plan;
        QCOMPARE(AdifImport(open.log, open.places).apply(file, MappingOptions(), plan),
                 AdifImport::Result::Done);
        for (QSqlQuery q = open.log.run(keptSql); q.next();)
            kept << q.value(0).toString();
        QCOMPARE(AdifExport(open.log).write(path), AdifExport::Result::Done);
    }
    QCOMPARE(kept.size(), 3);
    QVERIFY(kept[0].contains("Nicolò"));
    QFile exported(path);
    QVERIFY(exported.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(exported.readAll());
    // Every record names its band: the file's, that of the frequency, 50 MHz's; once each.
    QCOMPARE(text.count(QRegularExpression("<BAND(:\\d+)?>(2m|20m|6m)")), 3);
    QCOMPARE(text.count("MFSK"), 1);

    ProgramFolder target;
    OpenFolder open(target);
    ImportPlan plan;
    QCOMPARE(AdifImport(open.log, open.places).apply(path, MappingOptions(), plan),
             AdifImport::Result::Done);
    QStringList back;
    for (QSqlQuery q = open.log.run(keptSql); q.next();)
        back << q.value(0).toString();
    // The band the export found from the frequency is kept from then on.
    QCOMPARE(back[0], kept[0]);
    QVERIFY(back[1].contains("14.025") && back[1].contains("CW") && back[1].contains("20m"));
    QCOMPARE(target.qsos(), source.qsos());
}

void TestAdifImport::exportWritesWhatTheLogHolds_data()
{
    QTest::addColumn<QString>("place");
    QTest::addColumn<QString>("kept");
    QTest::newRow("ASCII, a band from the frequency")
        << "BRANVOLE" << keptOf({{"FREQ", "50.150"}, {"RST_SENT", "599"}});
    QTest::newRow("outside ASCII") << "CITTÀ" << keptOf({{"NAME", "Nicolò"}});
    QTest::newRow("a record separator") << "A\x1e"
                                           "B"
                                        << keptOf({{"COMMENT", "x\x1ey"}});
    QTest::newRow("a NUL") << QString("A") + QChar(0) + "B" << QString("");
}

void TestAdifImport::exportWritesWhatTheLogHolds()
{
    QFETCH(QString, place);
    QFETCH(QString, kept);
    ProgramFolder folder;
    folder.addQsos({{1, "AB", "IK4ABC", "2024-03-01", "12:00", "X", "FC", "CW", "HF", "c"},
                    {2, "AC", "I1XYZ", "2023-02-31", "10:00", "Y", "PG", "SSB", "VHF", "w"}});
    QSqlQuery update(folder.log());
    update.prepare("update data set place = ?, kept = ?, lotw = 'Y' where count = 1");
    update.addBindValue(place);
    update.addBindValue(kept);
    QVERIFY(update.exec());
    OpenFolder open(folder);
    const QString path = folder.path() + "/out.adi";
    QStringList notWritten;
    QCOMPARE(AdifExport(open.log).write(path, {}, nullptr, nullptr, &notWritten),
             AdifExport::Result::Done);
    QCOMPARE(notWritten.size(), 1);
    // Each QSO as the writer writes what the log holds, whatever its text.
    QSqlQuery row =
        open.log.run(QString("select %1 from data where count = 1").arg(LogStore::qsoColumns));
    QVERIFY(row.next());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QCOMPARE(text.mid(text.indexOf("<EOH>\n") + 6), AdiWriter::record(LogStore::recordAt(row)));
}

void TestAdifImport::menuImport_data()
{
    QTest::addColumn<QString>("ticked");
    QTest::addColumn<MessageAnswer>("answer");
    QTest::addColumn<int>("qsos");
    QTest::addColumn<QString>("remembered");
    QTest::newRow("OK imports") << "paper" << MessageAnswer::Ok << 2 << "paper";
    QTest::newRow("LoTW and eQSL counted, MIXED")
        << "paper,lotw,eqsl,mixed" << MessageAnswer::Ok << 2 << "paper,lotw,eqsl,mixed";
    QTest::newRow("Cancel writes nothing")
        << "paper,lotw,eqsl" << MessageAnswer::Cancel << 0 << "paper,lotw,eqsl";
    QTest::newRow("options cancelled") << "cancel" << MessageAnswer::Ok << 0 << "paper";
}

void TestAdifImport::menuImport()
{
    QFETCH(QString, ticked);
    QFETCH(MessageAnswer, answer);
    QFETCH(int, qsos);
    QFETCH(QString, remembered);
    ProgramFolder folder;
    const QString path = writeFile(folder.path(), "log.adi", everyOutcome());
    TestApp app(folder.path());
    QVERIFY(app.start());
    QSignalSpy changes(&app.app().context().logNotifier, &LogNotifier::logChanged);

    app.dialogs.fileNames << path;
    app.dialogs.answers << answer;
    QString shown;
    answerImportOptions(ticked, &shown);
    app.menuItem("mnImportAdif")->trigger();

    QCOMPARE(shown, QString("paper")); // the award's rules the first time
    QCOMPARE(app.dialogs.fileCaptions, QStringList{"Import ADIF"});
    QCOMPARE(folder.qsos().size(), qsos);
    QCOMPARE(changes.size(), qsos ? 1 : 0);
    if (ticked != "cancel") {
        QCOMPARE(app.dialogs.unanswered, 0);
        QVERIFY(app.dialogs.texts().at(0).contains("new worked: 1\nnew confirmed: 1\n"));
        QVERIFY(app.dialogs.texts().at(0).contains(
            ticked.contains("lotw") ? "counted as confirmed: QSL cards, LoTW, eQSL\n"
                                    : "counted as confirmed: QSL cards\n"));
    }
    // The next import opens with the choice made.
    app.dialogs.fileNames << path;
    answerImportOptions("cancel", &shown);
    app.menuItem("mnImportAdif")->trigger();
    QCOMPARE(shown, remembered);
}

void TestAdifImport::menuExport_data()
{
    QTest::addColumn<bool>("searching");
    QTest::addColumn<MessageAnswer>("answer");
    QTest::addColumn<int>("records");
    QTest::newRow("no search: the whole log") << false << MessageAnswer::Ok << 2;
    QTest::newRow("a search, Yes: the QSOs found") << true << MessageAnswer::Yes << 1;
    QTest::newRow("a search, No: the whole log") << true << MessageAnswer::No << 2;
}

void TestAdifImport::menuExport()
{
    QFETCH(bool, searching);
    QFETCH(MessageAnswer, answer);
    QFETCH(int, records);
    ProgramFolder folder;
    // QSO 3 holds a date that is not in the calendar, as older versions stored.
    folder.addQsos({{1, "AB", "IK4ABC", "2024-03-01", "12:00", "P", "AN", "CW", "HF", "w"},
                    {2, "XX", "I1XYZ", "2024-03-02", "12:00", "P", "AN", "SSB", "UHF", "c"},
                    {3, "XA", "I0BAD", "2024-02-31", "12:00", "P", "AN", "SSB", "UHF", "w"}});
    TestApp app(folder.path());
    QVERIFY(app.start());
    if (searching) {
        app.app()
            .context()
            .windows.get<UtilityWindow>(windows::frmUtility)
            ->searchFor(LogSearch::byCall("I1XYZ"));
        app.dialogs.answers << answer;
    }
    app.dialogs.fileNames << folder.path() + "/out";
    app.menuItem("mnExportAdif")->trigger();

    QFile file(folder.path() + "/out.adi");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    QCOMPARE(app.dialogs.unanswered, 0);
    QCOMPARE(written.count("<EOR>"), records);
    QVERIFY(!written.contains("I0BAD"));
    const QString summary = app.dialogs.texts().last();
    QVERIFY(summary.startsWith(QString("%1 QSOs written to ").arg(records)));
    if (records == 2) {
        QVERIFY2(summary.contains("\nQSO 3, I0BAD, 31/02/24"), qPrintable(summary));
        QCOMPARE(app.dialogs.messages.last().icon, MessageIcon::Exclamation);
    }
    QCOMPARE(folder.qso(3).date, QString("2024-02-31")); // the log keeps it as it was
}

void TestAdifImport::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments"); // FILE, FOLDER and MISSING stand for paths
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<int>("qsos");
    QTest::addColumn<QString>("output");

    QTest::newRow("import") << QStringList{"import", "FILE", "--folder", "FOLDER"} << 0 << 2
                            << "new worked: 1\nnew confirmed: 1\n";
    QTest::newRow("import that brings nothing")
        << QStringList{"import", "NOTHING", "--folder", "FOLDER"} << 0 << 0 << "";
    QTest::newRow("import under MIXED, eQSL accepted")
        << QStringList{"import",     "FILE",     "--mixed", "--confirmations",
                       "paper,eqsl", "--folder", "FOLDER"}
        << 0 << 2 << "new worked: 1\nnew confirmed: 1\n";
    QTest::newRow("dry run writes nothing")
        << QStringList{"import", "--dry-run", "FILE", "--folder", "FOLDER"} << 0 << 0
        << "new worked: 1\nnew confirmed: 1\n";
    QTest::newRow("export") << QStringList{"export", "FOLDER/out.adi", "--folder", "FOLDER"} << 0
                            << 0 << "0 QSOs written to ";
    QTest::newRow("missing file") << QStringList{"import", "MISSING", "--folder", "FOLDER"} << 1
                                  << 0 << "";
    QTest::newRow("a folder is no file")
        << QStringList{"import", "FOLDER", "--folder", "FOLDER"} << 1 << 0 << "";
    QTest::newRow("no log in the folder")
        << QStringList{"import", "FILE", "--folder", "MISSING"} << 1 << 0 << "";
    QTest::newRow("import without file") << QStringList{"import"} << 2 << 0 << "";
    QTest::newRow("unknown option") << QStringList{"import", "FILE", "--fast"} << 2 << 0 << "";
    QTest::newRow("unknown confirmation")
        << QStringList{"import", "FILE", "--confirmations", "paper,fax", "--folder", "FOLDER"} << 2
        << 0 << "";
    QTest::newRow("export takes no import options")
        << QStringList{"export", "FILE", "--mixed", "--folder", "FOLDER"} << 2 << 0 << "";
    QTest::newRow("export finds one kind at a time")
        << QStringList{"export", "FILE", "--call", "I1XYZ", "--prov", "PG"} << 2 << 0 << "";
    QTest::newRow("import finds nothing")
        << QStringList{"import", "FILE", "--call", "I1XYZ"} << 2 << 0 << "";
    QTest::newRow("an HTML page is no ADIF") << QStringList{"import", "HTML", "--folder", "FOLDER"}
                                             << 1 << 0 << "This file holds no ADIF records";
    QTest::newRow("an empty file is no ADIF")
        << QStringList{"import", "EMPTY", "--folder", "FOLDER"} << 1 << 0
        << "This file holds no ADIF records";
    QTest::newRow("a header without records is zero records")
        << QStringList{"import", "HEADER", "--folder", "FOLDER"} << 0 << 0
        << "new worked: 0\nnew confirmed: 0\nconfirmations added: 0\nLoTW or eQSL confirmations "
           "added: 0\nalready in the log: 0\noutside KX47: 0";
    QTest::newRow("a device is refused")
        << QStringList{"import", "/dev/zero", "--folder", "FOLDER"} << 1 << 0 << "not a file";
    QTest::newRow("a pipe is refused")
        << QStringList{"import", "PIPE", "--folder", "FOLDER"} << 1 << 0 << "not a file";
    QTest::newRow("version") << QStringList{"--version"} << 0 << 0 << "KX47 Logbook 1.0";
    QTest::newRow("help") << QStringList{"--help"} << 0 << 0 << "Usage: ";
}

void TestAdifImport::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(int, qsos);
    QFETCH(QString, output);
    ProgramFolder folder;
    const QString path = writeFile(folder.path(), "log.adi", everyOutcome());
    const QString pipe = folder.path() + "/pipe.adi";
    QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString nothing = writeFile(folder.path(), "nothing.adi",
                                      record("W1AW", "FN31pr", "20m", "SSB", "20240301", "1200"));
    QStringList args{"kx47"};
    for (QString a : arguments)
        args << a.replace("FILE", path)
                    .replace("NOTHING", nothing)
                    .replace("FOLDER", folder.path())
                    .replace("MISSING", folder.path() + "/missing")
                    .replace("HTML", writeFile(folder.path(), "page.adi",
                                               "<!DOCTYPE html><html><body>eQSL</body></html>"))
                    .replace("EMPTY", writeFile(folder.path(), "empty.adi", ""))
                    .replace("HEADER", writeFile(folder.path(), "header.adi",
                                                 "ARRL Logbook of the World Status Report\n"
                                                 "<PROGRAMID:4>LoTW\n<eoh>\n<APP_LoTW_EOF>\n"))
                    .replace("PIPE", pipe);
    QVERIFY(CommandLine::isCommand(args));

    const CommandRun run = runCommand(args, folder.path() + "/missing");
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2((exitCode ? run.err : run.out).contains(output), qPrintable(run.out + run.err));
    QCOMPARE(run.err.isEmpty(), exitCode == 0);
    QCOMPARE(folder.qsos().size(), qsos);
    // A copy of the log before a change, and only then.
    QCOMPARE(Backups::list(folder.path() + "/Backups", false).size(), qsos > 0 ? 1 : 0);
}

void TestAdifImport::exportNeverLandsOnADatabase_data()
{
    QTest::addColumn<QString>("target"); // a file of the program folder, or a path
    QTest::addColumn<bool>("window");
    for (const char *target :
         {"data.mdb", "data.mdb-wal", "data.mdb-shm", "places.mdb", "BACKUP", "notes.txt",
          "picture.png", "/dev/full", "Backups", "earlier.adi", "earlier.adx"}) {
        for (const bool window : {false, true})
            QTest::addRow("%s, %s", target, window ? "window" : "command line") << target << window;
    }
}

// Export onto the log, the gazetteer, a journal, a backup or any file that is not ADIF changes
// no byte of it, and the window offers another name; an earlier ADIF file is replaced.
void TestAdifImport::exportNeverLandsOnADatabase()
{
    QFETCH(QString, target);
    QFETCH(bool, window);
    const bool refused = !target.startsWith("earlier");
    ProgramFolder folder;
    folder.addQsos({{1, "AB", "IK4ABC"}, {2, "XX", "I1XYZ"}});
    writeFile(folder.path(), "notes.txt", "Things to do: chase KX47XX.\n");
    writeFile(folder.path(), "picture.png", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    writeFile(folder.path(), "earlier.adi",
              "<EOH>\n" + record("I1A", "KX47AA", "20m", "CW", "20240301", "1200"));
    writeFile(folder.path(), "earlier.adx", "<?xml version=\"1.0\"?>\n<ADX></ADX>\n");
    TestApp app(folder.path());
    QVERIFY(app.start()); // the day's backup, and the log's journal beside it
    const QString path = target == "BACKUP" ? Backups::list(folder.path() + "/Backups")[0].path
                         : target.startsWith('/') ? target
                                                  : folder.path() + '/' + target;
    const auto content = [&path] {
        QFile file(path);
        return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) ? file.readAll() : "-";
    };
    const QByteArray before = content();
    if (window) {
        app.dialogs.fileNames << path << folder.path() + "/other.adi";
        app.menuItem("mnExportAdif")->trigger();
        QCOMPARE(app.dialogs.fileCaptions.size(), refused ? 2 : 1);
        QVERIFY(app.dialogs.texts().last().startsWith("2 QSOs written to "));
    } else {
        const CommandRun run = runCommand({"kx47", "export", path, "--folder", folder.path()});
        QCOMPARE(run.exitCode, refused ? 1 : 0);
        QCOMPARE(run.err.contains("cannot be written to"), refused);
    }
    QVERIFY(refused ? content() == before
                    : content().count("<EOR>") + content().count("</RECORD>") == 2);
    QCOMPARE(app.app().context().log.count("select count(*) as contatore from data"), 2);
}

void TestAdifImport::exportFailureSaysWhy_data()
{
    QTest::addColumn<int>("qsos");
    QTest::addColumn<int>("limit");
    QTest::newRow("midway") << 200 << 1000;
    QTest::newRow("at the last bytes") << 3 << 100;
}

// A write that fails (the file may not grow, as on a full disk) leaves no file and tells the
// system's reason, also when only the last bytes fail.
void TestAdifImport::exportFailureSaysWhy()
{
    QFETCH(int, qsos);
    QFETCH(int, limit);
    ProgramFolder folder;
    for (int i = 1; i <= qsos; ++i)
        folder.addQso({i, "AB", QStringLiteral("IK%1ABC").arg(i)});
    OpenFolder open(folder);
    QString error;
    AdifExport::Result result;
    {
        FileSizeLimit fileSize(limit);
        result = AdifExport(open.log).write(folder.path() + "/out.adi", {}, &error);
    }
    QCOMPARE(result, AdifExport::Result::Failed);
    QVERIFY2(error.contains(QString::fromLocal8Bit(strerror(EFBIG))), qPrintable(error));
    QCOMPARE(QDir(folder.path()).entryList({"out*", "*.adi*"}, QDir::Files), QStringList());
}

void TestAdifImport::lotwReportMerges_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("qsl");
    QTest::addColumn<QString>("output");
    // By the award's rules a LoTW confirmation is kept, but only a card confirms.
    QTest::newRow("cards only by default")
        << QStringList{} << "ww"
        << "counted as confirmed: QSL cards\nnew worked: 0\nnew confirmed: 0\nconfirmations "
           "added: 0\nLoTW or eQSL confirmations added: 2\n";
    QTest::newRow("paper confirms nothing from LoTW")
        << QStringList{"--confirmations", "paper"} << "ww"
        << "LoTW or eQSL confirmations added: 2\n";
    QTest::newRow("LoTW counted") << QStringList{"--confirmations", "paper,lotw"} << "cc"
                                  << "counted as confirmed: QSL cards, LoTW\nnew worked: "
                                     "0\nnew confirmed: 0\nconfirmations added: 2\n";
    QTest::newRow("dry run") << QStringList{"--dry-run", "--confirmations", "lotw"} << "ww"
                             << "confirmations added: 2\n";
}

// A LoTW report downloaded without detail names no locator: its confirmations go to the QSOs
// already logged, whatever their sub-square; a call the log lacks stays unknown.
void TestAdifImport::lotwReportMerges()
{
    QFETCH(QStringList, options);
    QFETCH(QString, qsl);
    QFETCH(QString, output);
    ProgramFolder folder;
    folder.addQsos({{1, "AB", "IK4ABC", "2024-03-01", "23:55", "P", "AN", "DIGITAL", "HF", "w"},
                    {2, "XX", "I1XYZ", "2024-03-02", "08:00", "P", "AN", "DIGITAL", "VHF", "w"}});
    const QByteArray report =
        "ARRL Logbook of the World Status Report\nGenerated at 2024-03-05 10:00:00\n"
        "<PROGRAMID:4>LoTW\n<APP_LoTW_NUMREC:1>3\n<eoh>\n" +
        field("CALL", "IK4ABC") + field("BAND", "20M") + field("MODE", "FT8") +
        field("QSO_DATE", "20240302") + field("TIME_ON", "001000") + field("QSL_RCVD", "Y") +
        field("QSLRDATE", "20240304") + "<eor>\n" + field("CALL", "I1XYZ") + field("BAND", "2M") +
        field("MODE", "FT4") + field("QSO_DATE", "20240302") + field("TIME_ON", "0805") +
        field("QSL_RCVD", "Y") + "<eor>\n" + field("CALL", "W1AW") + field("BAND", "20M") +
        field("MODE", "SSB") + field("QSO_DATE", "20240302") + field("TIME_ON", "0805") +
        field("QSL_RCVD", "Y") + "<eor>\n";
    const QString path = writeFile(folder.path(), "lotwreport.adi", report);

    const CommandRun run = runCommand(
        QStringList{"kx47", "import", path, "--folder", folder.path()} + options, folder.path());
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains(output), qPrintable(run.out));
    QVERIFY2(run.out.contains("sub-square unknown: 1\n"), qPrintable(run.out));
    const QList<QsoRow> rows = folder.qsos();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].qsl + rows[1].qsl, qsl);
    const QStringList electronic = options.contains("--dry-run")
                                       ? QStringList{"   ", "   "}
                                       : QStringList{"Y 2024-03-04  ", "Y   "};
    QCOMPARE(folder.electronic(), electronic);
}

QTEST_MAIN(TestAdifImport)
#include "tst_adifimport.moc"
