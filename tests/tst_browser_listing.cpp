// The log browser's plain parts: the column header and the lines, the searches as they are
// kept, and the query chosen for every order and search, checked by the rows it lists.
#include "browserlog.h"
#include "fixture.h"

#include "browser/logline.h"
#include "browser/loglinesmodel.h"
#include "browser/loglister.h"
#include "browser/loglisting.h"
#include "log/logchange.h"
#include "log/logquery.h"
#include "log/logsearch.h"
#include "storage/database.h"
#include "storage/sqltext.h"
#include "text/fixedwidth.h"

#include <QAbstractItemModelTester>
#include <QSqlQuery>
#include <QtTest>
#include <random>

using namespace kx47;
using namespace kx47::test;

Q_DECLARE_METATYPE(kx47::LogOrderKey)
Q_DECLARE_METATYPE(kx47::LogSecondaryOrder)
Q_DECLARE_METATYPE(kx47::LogSearch)
Q_DECLARE_METATYPE(kx47::test::QsoRow)

namespace
{

const QList<int> barPositions{12, 21, 53, 59, 69, 78, 91, 99};

// The screen columns of the bars of a line.
QList<int> barsOf(const QString &text)
{
    QList<int> bars;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('|'))
            bars << displayWidth(text.left(i));
    }
    return bars;
}

LogLineFields fieldsOf(const QsoRow &row)
{
    return {row.call, row.locator, row.place, row.prov, row.mode,
            row.band, row.date,    row.time,  row.qsl};
}

QString keyName(LogOrderKey key)
{
    switch (key) {
    case LogOrderKey::Call:
        return QStringLiteral("call");
    case LogOrderKey::Place:
        return QStringLiteral("place");
    case LogOrderKey::WWLocator:
        return QStringLiteral("WWLocator");
    case LogOrderKey::Band:
        break;
    }
    return QStringLiteral("band");
}

// The browser's query as the log browser was described to its users, with the searched values
// written into the text between apostrophes: the rows it lists are the ones LogQuery must list.
QString describedQuery(LogOrderKey key, LogSecondaryOrder secondary, const LogSearch &s)
{
    const QString k = keyName(key);
    const QString sec = secondary == LogSecondaryOrder::BandMode ? QStringLiteral(", Band, Mode")
                                                                 : QStringLiteral(", Mode, Band");
    const QString select = QStringLiteral("select * from data");
    if (key != LogOrderKey::Band) {
        if (!s.call.isEmpty())
            return select + " where call = '" + s.call + "' order by " + k + sec + ", prov asc;";
        if (!s.wwLocator.isEmpty())
            return select + " where WWLocator = '" + s.wwLocator + "' order by " + k + sec +
                   ", prov asc;";
        if (!s.place.isEmpty() && !s.prov.isEmpty())
            return select + " where place = '" + s.place + "' and prov ='" + s.prov +
                   "' order by " + k + sec + ", prov asc;";
        if (!s.prov.isEmpty())
            return select + " where prov ='" + s.prov + "' order by " + k +
                   ", mode, band,prov asc;";
        if (!s.place.isEmpty())
            return select + " where place = '" + s.place + "' order by " + k +
                   ", mode, band,prov asc;";
        return select + " order by " + k + sec + ", prov asc;";
    }
    if (!s.call.isEmpty())
        return select + " where call = '" + s.call + "' order by " + k +
               " , mode, WWLocator,prov asc;";
    if (!s.wwLocator.isEmpty())
        return select + " where WWLocator = '" + s.wwLocator + "' order by " + k +
               ", mode, WWLocator, prov asc;";
    if (!s.place.isEmpty() && !s.prov.isEmpty())
        return select + " where place = '" + s.place + "' and prov ='" + s.prov + "' order by " +
               k + ", mode, prov asc;";
    if (!s.prov.isEmpty())
        return select + " where prov ='" + s.prov + "' order by " + k +
               ", mode, WWLocator, prov asc;";
    if (!s.place.isEmpty())
        return select + " where place = '" + s.place + "' order by " + k +
               ", mode, WWLocator, prov asc;";
    return select + " order by " + k + ", mode, WWLocator, prov asc;";
}

QList<QsoRow> fortyQsos()
{
    QList<QsoRow> rows;
    for (int count = 1; count <= 40; ++count) {
        QsoRow row;
        row.count = count;
        row.locator = QString(QChar('A' + count % 24)) + QChar('A' + count % 5);
        row.call = QStringLiteral("IK%1").arg(40 - count);
        row.band = count % 3 ? QStringLiteral("HF") : QStringLiteral("VHF");
        rows << row;
    }
    return rows;
}

QVector<qint32> countsOf(QSqlDatabase db, const QString &sql)
{
    QSqlQuery query(db);
    if (!query.exec(sql))
        return {-1};
    QVector<qint32> counts;
    while (query.next())
        counts << query.value(QStringLiteral("count")).toInt();
    return counts;
}

} // namespace

class TestBrowserListing : public QObject
{
    Q_OBJECT

private slots:
    void headerBars();
    void lineColumns_data();
    void lineColumns();
    void longValuesAreCutAndKeepAlignment_data();
    void longValuesAreCutAndKeepAlignment();
    void searchesKeepApostrophesDoubled_data();
    void searchesKeepApostrophesDoubled();
    void listsTheRowsOfTheDescribedQuery_data();
    void listsTheRowsOfTheDescribedQuery();
    void ordersIgnoreLetterCase_data();
    void ordersIgnoreLetterCase();
    void equalKeysComeByNumber();
    void lineIndexIsSizedFromTheWholeTable_data();
    void lineIndexIsSizedFromTheWholeTable();
    void linesShowTheStoredValues_data();
    void linesShowTheStoredValues();
    void modelShowsEachLine();
    void followedChangesEqualAFreshListing_data();
    void followedChangesEqualAFreshListing();
    void listerDeliversTheListingAskedForLast();
    void firstLinesGiveUpPastTheirTime();
};

void TestBrowserListing::headerBars()
{
    const QString header = LogLine::header();
    QCOMPARE(header.size(), 104);
    QCOMPARE(barsOf(header), barPositions);
    QVERIFY(header.startsWith(" Call "));
    QVERIFY(header.endsWith("| Qsl"));
}

void TestBrowserListing::lineColumns_data()
{
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("expected");

    QTest::newRow("one-digit hour") << "09:05"
                                    << "2004-12-07"
                                    << "IK0AAA      | KX47AB | BRANVOLE                      | PG  "
                                       "| MIXED   | HF     | 07/12/04   | 09.05 | c";
    QTest::newRow("two-digit hour") << "14:30"
                                    << "1999-01-31"
                                    << "IK0AAA      | KX47AB | BRANVOLE                      | PG  "
                                       "| MIXED   | HF     | 31/01/99   | 14.30 | c";
    QTest::newRow("midnight") << "00:00"
                              << "2029-02-28"
                              << "IK0AAA      | KX47AB | BRANVOLE                      | PG  "
                                 "| MIXED   | HF     | 28/02/29   | 00.00 | c";
}

void TestBrowserListing::lineColumns()
{
    QFETCH(QString, time);
    QFETCH(QString, date);
    QFETCH(QString, expected);
    QsoRow row;
    row.locator = "AB";
    row.call = "IK0AAA";
    row.place = "BRANVOLE";
    row.prov = "PG";
    row.date = date;
    row.time = time;
    const QString line = LogLine::text(fieldsOf(row));
    QCOMPARE(line, expected);
    QCOMPARE(line.size(), 102);
    QCOMPARE(barsOf(line), barPositions);
}

void TestBrowserListing::longValuesAreCutAndKeepAlignment_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("place");
    QTest::addColumn<QString>("prov");
    QTest::addColumn<QString>("band");
    QTest::addColumn<QString>("callShown");
    QTest::addColumn<QString>("placeShown");

    QTest::newRow("15-character call") << "IK0AAAAAAAAAAAZ"
                                       << "BRANVOLE"
                                       << "AN"
                                       << "50 MHz"
                                       << "IK0AAAAAAAA"
                                       << "BRANVOLE";
    QTest::newRow("50-character place") << "I0B" << QString(50, QLatin1Char('P')) << "RSM"
                                        << "SAT"
                                        << "I0B" << QString(29, QLatin1Char('P'));
    QTest::newRow("exactly full") << "IK0AAAAAAAA" << QString(29, QLatin1Char('Q')) << "RSM"
                                  << "50 MHz"
                                  << "IK0AAAAAAAA" << QString(29, QLatin1Char('Q'));
    QTest::newRow("empty values") << ""
                                  << ""
                                  << ""
                                  << ""
                                  << ""
                                  << "";
    QTest::newRow("long province") << "I0B"
                                   << "X"
                                   << "ROMAGNA"
                                   << "HF"
                                   << "I0B"
                                   << "X";
    // Stored by another program: controls take a blank, direction overrides nothing, and a
    // value written from right to left is set apart (its marks take no room on the screen).
    QTest::newRow("controls") << QString("IK0\tA\u0007B") << QString("BRAN\nVOLE") << "AN"
                              << "HF"
                              << "IK0 A B"
                              << "BRAN VOLE";
    QTest::newRow("direction override")
        << QString("\u202EIK0AAA") << QString("\u202DELOVNARB\u202C") << "AN"
        << "HF"
        << "IK0AAA"
        << "ELOVNARB";
    QTest::newRow("right to left") << "I0B" << QString("\u05D0\u05D1\u05D2") << "AN"
                                   << "HF"
                                   << "I0B" << QString("\u2068\u05D0\u05D1\u05D2\u2069");
    // Measured by what the eye sees: accents take no cell, wide characters and emoji two,
    // invisible characters none; a cut falls between two characters as shown.
    QTest::newRow("combining accents") << "I0B" << QString("CITTA\u0300 DI CASTELLO") << "PG"
                                       << "HF"
                                       << "I0B" << QString("CITTA\u0300 DI CASTELLO");
    QTest::newRow("cut after accents") << "I0B" << QString(28, 'P') + "E\u0301\u0302X"
                                       << "PG"
                                       << "HF"
                                       << "I0B" << QString(28, 'P') + "E\u0301\u0302";
    QTest::newRow("zero-width characters and BOM")
        << QString("\uFEFFIK0\u200BAAA\u2060") << QString("BRAN\u00ADVOLE") << "PG"
        << "HF"
        << "IK0AAA"
        << "BRANVOLE";
    QTest::newRow("wide characters") << "JA1ABC" << QString("東京都千代田区") << "PG"
                                     << "HF"
                                     << "JA1ABC" << QString("東京都千代田区");
    QTest::newRow("wide character at the cut") << "I0B" << QString(28, 'P') + "東"
                                               << "PG"
                                               << "HF"
                                               << "I0B" << QString(28, 'P');
    QTest::newRow("emoji cut whole")
        << QString("IK0😀😀😀😀😀") << QString("🇮🇹 👨‍👩‍👧 ok") << "PG"
        << "HF" << QString("IK0😀😀😀😀") << QString("🇮🇹 👨‍👩‍👧 ok");
}

void TestBrowserListing::longValuesAreCutAndKeepAlignment()
{
    QFETCH(QString, call);
    QFETCH(QString, place);
    QFETCH(QString, prov);
    QFETCH(QString, band);
    QFETCH(QString, callShown);
    QFETCH(QString, placeShown);
    QsoRow row;
    row.locator = "XX";
    row.call = call;
    row.place = place;
    row.prov = prov;
    row.band = band;
    const QString line = LogLine::text(fieldsOf(row));
    QCOMPARE(displayWidth(line), 102);
    QCOMPARE(barsOf(line), barPositions);
    const QStringList columns = line.split(fieldSeparator());
    QCOMPARE(columns.value(0).trimmed(), callShown);
    QCOMPARE(columns.value(2).trimmed(), placeShown);
    QCOMPARE(columns.value(3).trimmed(), prov.left(3));
    QCOMPARE(columns.value(5).trimmed(), band);
}

void TestBrowserListing::searchesKeepApostrophesDoubled_data()
{
    QTest::addColumn<LogSearch>("search");
    QTest::addColumn<LogSearch>("expected");
    QTest::addColumn<QStringList>("typed");

    LogSearch call;
    call.call = "O''HARA";
    QTest::newRow("call") << LogSearch::byCall("O'HARA") << call
                          << QStringList{"O'HARA", "", "", ""};
    LogSearch square;
    square.wwLocator = "''a";
    QTest::newRow("sub-square") << LogSearch::byWWLocator("'a") << square
                                << QStringList{"", "'a", "", ""};
    LogSearch place;
    place.place = "SANT''ERMINIO";
    place.prov = "''''";
    QTest::newRow("place and province") << LogSearch::byPlace("SANT'ERMINIO", "''") << place
                                        << QStringList{"", "", "SANT'ERMINIO", "''"};
    QTest::newRow("nothing") << LogSearch::byPlace("", "") << LogSearch()
                             << QStringList{"", "", "", ""};
}

void TestBrowserListing::searchesKeepApostrophesDoubled()
{
    QFETCH(LogSearch, search);
    QFETCH(LogSearch, expected);
    QFETCH(QStringList, typed);
    QVERIFY(search == expected);
    QCOMPARE(search.call, quoteSql(typed[0]));
    QCOMPARE(LogSearch::typedText(search.call), typed[0]);
    QCOMPARE(LogSearch::typedText(search.wwLocator), typed[1]);
    QCOMPARE(LogSearch::typedText(search.place), typed[2]);
    QCOMPARE(LogSearch::typedText(search.prov), typed[3]);
}

void TestBrowserListing::listsTheRowsOfTheDescribedQuery_data()
{
    QTest::addColumn<LogOrderKey>("key");
    QTest::addColumn<LogSecondaryOrder>("secondary");
    QTest::addColumn<LogSearch>("search");
    QTest::addColumn<int>("rows");

    const struct {
        const char *name;
        LogSearch search;
        int rows;
    } searches[] = {
        {"whole log", LogSearch(), 12},
        {"call", LogSearch::byCall("IK0AAA"), 5},
        {"call in small letters", LogSearch::byCall("ik0aaa"), 5},
        {"call with apostrophe", LogSearch::byCall("o'hara"), 1},
        {"unknown call", LogSearch::byCall("NOBODY"), 0},
        {"sub-square in small letters", LogSearch::byWWLocator("ab"), 5},
        {"full sub-square", LogSearch::byWWLocator("KX47AB"), 0},
        {"place and province", LogSearch::byPlace("BRANVOLE", "PG"), 4},
        {"place only", LogSearch::byPlace("branvole", ""), 5},
        {"province only", LogSearch::byPlace("", "pg"), 4},
        {"place with apostrophe", LogSearch::byPlace("SANT'ERMINIO", ""), 2},
        {"place with apostrophe and province", LogSearch::byPlace("sant'erminio", "FC"), 2},
        {"place in small letters stored", LogSearch::byPlace("COLLEVARO", "rn"), 2},
        {"place and province of no QSO", LogSearch::byPlace("BRANVOLE", "RN"), 0},
    };
    const struct {
        const char *name;
        LogOrderKey key;
    } keys[] = {{"call", LogOrderKey::Call},
                {"place", LogOrderKey::Place},
                {"WWLocator", LogOrderKey::WWLocator},
                {"band", LogOrderKey::Band}};
    const struct {
        const char *name;
        LogSecondaryOrder secondary;
    } secondaries[] = {{"band, mode", LogSecondaryOrder::BandMode},
                       {"mode, band", LogSecondaryOrder::ModeBand}};
    for (const auto &search : searches) {
        for (const auto &key : keys) {
            for (const auto &secondary : secondaries) {
                QTest::addRow("%s by %s and %s", search.name, key.name, secondary.name)
                    << key.key << secondary.secondary << search.search << search.rows;
            }
        }
    }
}

void TestBrowserListing::listsTheRowsOfTheDescribedQuery()
{
    QFETCH(LogOrderKey, key);
    QFETCH(LogSecondaryOrder, secondary);
    QFETCH(LogSearch, search);
    QFETCH(int, rows);

    ProgramFolder folder;
    folder.addQsos(browserLog());
    const OpenedFile log(folder.logPath());

    // Ordering by band greys out the "And:" choice.
    const LogQuery query(key, secondary, key != LogOrderKey::Band, search);
    const LogListing listing = LogListing::read(log, query);
    const QVector<qint32> expected = countsOf(folder.log(), describedQuery(key, secondary, search));
    QCOMPARE(expected.size(), rows);
    QCOMPARE(listing.lines.size(), rows);
    QCOMPARE(listedCounts(listing.counts, rows), expected);

    // Each line shows the QSO whose number stands at its index.
    for (int i = 0; i < rows; ++i)
        QCOMPARE(listing.lines[i], LogLine::text(fieldsOf(folder.qso(listing.counts[i]))));
}

void TestBrowserListing::ordersIgnoreLetterCase_data()
{
    QTest::addColumn<LogOrderKey>("key");
    QTest::addColumn<bool>("secondaryEnabled");
    QTest::addColumn<QVector<qint32>>("expected");

    // By call (I0BBB, IK0AAA with ik0aaa, IW3CCC, IZ4ZZZ, O'HARA), then band, mode, province.
    QTest::newRow("call, band, mode")
        << LogOrderKey::Call << true << QVector<qint32>{6, 12, 5, 4, 8, 1, 11, 2, 10, 9, 3, 7};
    // By place (ALTOMIRA, BRANVOLE, collevaro with COLLEVARO, ...), then band, mode, province.
    QTest::newRow("place, band, mode")
        << LogOrderKey::Place << true << QVector<qint32>{6, 9, 4, 8, 11, 7, 5, 2, 12, 3, 10, 1};
    // By band, mode, sub-square (AB with ab), province; "And:" greyed out.
    QTest::newRow("band, mode, sub-square")
        << LogOrderKey::Band << false << QVector<qint32>{4, 10, 8, 1, 11, 2, 6, 9, 7, 12, 3, 5};
}

void TestBrowserListing::ordersIgnoreLetterCase()
{
    QFETCH(LogOrderKey, key);
    QFETCH(bool, secondaryEnabled);
    QFETCH(QVector<qint32>, expected);
    ProgramFolder folder;
    folder.addQsos(browserLog());
    const OpenedFile log(folder.logPath());
    const LogListing listing = LogListing::read(
        log, LogQuery(key, LogSecondaryOrder::BandMode, secondaryEnabled, LogSearch()));
    QCOMPARE(listedCounts(listing.counts, listing.lines.size()), expected);
}

void TestBrowserListing::equalKeysComeByNumber()
{
    // The same call, band, mode and province three times, logged out of order.
    ProgramFolder folder;
    QsoRow row;
    row.locator = "AA";
    row.call = "IK0AAA";
    for (int count : {7, 3, 5}) {
        row.count = count;
        folder.addQso(row);
    }
    const OpenedFile log(folder.logPath());
    for (LogOrderKey key : {LogOrderKey::Call, LogOrderKey::Band}) {
        const LogListing listing = LogListing::read(
            log, LogQuery(key, LogSecondaryOrder::None, false, LogSearch::byCall("ik0aaa")));
        QCOMPARE(listedCounts(listing.counts, listing.lines.size()), (QVector<qint32>{3, 5, 7}));
    }
}

void TestBrowserListing::lineIndexIsSizedFromTheWholeTable_data()
{
    QTest::addColumn<QList<QsoRow>>("log");
    QTest::addColumn<LogSearch>("search");
    QTest::addColumn<int>("lines");

    QTest::newRow("empty log") << QList<QsoRow>() << LogSearch() << 0;
    QTest::newRow("whole log") << browserLog() << LogSearch() << 12;
    QTest::newRow("one call") << browserLog() << LogSearch::byCall("IW3CCC") << 2;
    QTest::newRow("nothing found") << browserLog() << LogSearch::byWWLocator("ZZ") << 0;
}

void TestBrowserListing::lineIndexIsSizedFromTheWholeTable()
{
    QFETCH(QList<QsoRow>, log);
    QFETCH(LogSearch, search);
    QFETCH(int, lines);
    ProgramFolder folder;
    folder.addQsos(log);
    const OpenedFile open(folder.logPath());
    const LogListing listing = LogListing::read(
        open, LogQuery(LogOrderKey::Call, LogSecondaryOrder::BandMode, true, search));
    QCOMPARE(listing.lines.size(), lines);
    QCOMPARE(listing.counts.size(), log.size() + 1);
    for (int i = 0; i < listing.counts.size(); ++i)
        QCOMPARE(listing.counts[i] != 0, i < lines);
}

void TestBrowserListing::linesShowTheStoredValues_data()
{
    QTest::addColumn<QList<QsoRow>>("log");

    // Letters beyond ASCII, in values that are cut and in values that repeat from line to line.
    QsoRow accented;
    accented.count = 1;
    accented.locator = "AB";
    accented.call = QString::fromUtf8("OZ/SM\u00d8ABC");
    accented.place = QString::fromUtf8("FORL\u00cc");
    accented.prov = QString::fromUtf8("F\u00d6");
    QsoRow longAccented = accented;
    longAccented.count = 2;
    longAccented.call = QString::fromUtf8("\u00c9\u00c9\u00c9\u00c9\u00c9\u00c9\u00c9\u00c9"
                                          "\u00c9\u00c9\u00c9\u00c9\u00c9");
    longAccented.place = QString::fromUtf8("SANT'\u00c0GATA SUL SANTERNO E DINTORNI DI LUGO");
    longAccented.mode = QString::fromUtf8("\u00c9MODE-LONG");
    longAccented.band = "50 MHz long";
    longAccented.time = "14:30";
    QTest::newRow("letters beyond ASCII") << QList<QsoRow>{accented, longAccented};

    // Lines that share some values and differ in others, and values that differ only in case.
    QList<QsoRow> mixed;
    const char *modes[] = {"CW", "cw", "SSB", "CW"};
    const char *bands[] = {"HF", "VHF", "HF", "Satellite"};
    const char *dates[] = {"2004-12-07", "2004-12-08", "2004-12-07", "1999-01-31"};
    const char *times[] = {"09:05", "09:05", "23:59", "00:00"};
    for (int i = 0; i < 4; ++i) {
        QsoRow row;
        row.count = i + 1;
        row.locator = i % 2 ? "ab" : "AB";
        row.call = QStringLiteral("IK%1AAA").arg(i);
        row.mode = modes[i];
        row.band = bands[i];
        row.date = dates[i];
        row.time = times[i];
        row.qsl = i == 3 ? "a" : "c";
        mixed << row;
    }
    QTest::newRow("shared and distinct values") << mixed;
    QTest::newRow("sample log") << browserLog();
}

void TestBrowserListing::linesShowTheStoredValues()
{
    QFETCH(QList<QsoRow>, log);
    ProgramFolder folder;
    folder.addQsos(log);
    const OpenedFile open(folder.logPath());
    const LogListing listing = LogListing::read(
        open, LogQuery(LogOrderKey::Call, LogSecondaryOrder::BandMode, true, LogSearch()));
    QCOMPARE(listing.lines.size(), log.size());
    for (int i = 0; i < listing.lines.size(); ++i) {
        const QString line = listing.lines.at(i);
        QCOMPARE(line, LogLine::text(fieldsOf(folder.qso(listing.counts[i]))));
        QCOMPARE(line.size(), 102);
        QCOMPARE(barsOf(line), barPositions);
    }
}

void TestBrowserListing::modelShowsEachLine()
{
    ProgramFolder folder;
    folder.addQsos(browserLog());
    const OpenedFile open(folder.logPath());
    LogListing listing = LogListing::read(
        open, LogQuery(LogOrderKey::Place, LogSecondaryOrder::ModeBand, true, LogSearch()));
    const LogLines lines = listing.lines;

    LogLinesModel model;
    QCOMPARE(model.rowCount(), 0);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    model.setLines(std::move(listing.lines));
    QCOMPARE(resets.count(), 1);
    QCOMPARE(model.rowCount(), browserLog().size());
    for (int row = 0; row < model.rowCount(); ++row) {
        QCOMPARE(model.index(row, 0).data().toString(), lines.at(row));
        QCOMPARE(model.index(row, 0).data(Qt::EditRole).toString(), lines.at(row));
        QVERIFY(!model.index(row, 0).data(Qt::ToolTipRole).isValid());
        QCOMPARE(model.rowCount(model.index(row, 0)), 0);
    }
    QVERIFY(!model.index(model.rowCount(), 0).isValid());
    QVERIFY(!model.data(model.index(model.rowCount(), 0)).isValid());

    model.setLines(LogLines());
    QCOMPARE(resets.count(), 2);
    QCOMPARE(model.rowCount(), 0);
}

void TestBrowserListing::followedChangesEqualAFreshListing_data()
{
    QTest::addColumn<LogOrderKey>("key");
    QTest::addColumn<LogSecondaryOrder>("secondary");
    QTest::addColumn<LogSearch>("search");
    // -1: the whole listing from the start; else its first lines alone, the whole listing,
    // read before any change, taken after this many changes.
    QTest::addColumn<int>("completedAfter");
    // -1: the first lines at once; else none at first, the first lines, read before any
    // change, taken after this many changes (as when the background seeks them).
    QTest::addColumn<int>("firstAfter");

    const QList<std::pair<const char *, LogSearch>> searches{
        {"whole log", LogSearch()},
        {"call", LogSearch::byCall("ik0aaa")},
        {"sub-square", LogSearch::byWWLocator("ab")},
        {"place and province", LogSearch::byPlace("sant'erminio", "PG")},
        {"province", LogSearch::byPlace("", "pg")},
        {"place", LogSearch::byPlace("BRANVOLE", "")}};
    for (LogOrderKey key :
         {LogOrderKey::Call, LogOrderKey::Place, LogOrderKey::WWLocator, LogOrderKey::Band}) {
        for (LogSecondaryOrder secondary :
             {LogSecondaryOrder::BandMode, LogSecondaryOrder::ModeBand}) {
            if (key == LogOrderKey::Band && secondary == LogSecondaryOrder::ModeBand)
                continue;
            for (const auto &[name, search] : searches) {
                for (int completedAfter : {-1, 0, 30}) {
                    QTest::addRow("%s, %s, %s, %d", qPrintable(keyName(key)),
                                  secondary == LogSecondaryOrder::BandMode ? "band" : "mode", name,
                                  completedAfter)
                        << key << secondary << search << completedAfter << -1;
                }
                if (QByteArray(name) == "whole log") {
                    QTest::addRow("%s, %s, %s, first lines late", qPrintable(keyName(key)),
                                  secondary == LogSecondaryOrder::BandMode ? "band" : "mode", name)
                        << key << secondary << search << 30 << 10;
                }
            }
        }
    }
}

// Random QSOs added, edited and deleted, one or several at a time, each change followed by the
// model: after every change its lines and line index are those of a fresh listing, or while it
// holds the first lines alone, the first lines of one.
void TestBrowserListing::followedChangesEqualAFreshListing()
{
    QFETCH(LogOrderKey, key);
    QFETCH(LogSecondaryOrder, secondary);
    QFETCH(LogSearch, search);
    QFETCH(int, completedAfter);
    QFETCH(int, firstAfter);
    const LogQuery query(key, secondary, key != LogOrderKey::Band, search);

    // Few values, in both cases, with apostrophes and letters beyond ASCII, so that many QSOs
    // share keys and ties fall to the QSO number.
    const QStringList calls{"IK0AAA", "ik0aaa", "IK0AA", "O'HARA", QString::fromUtf8("\u00d8Z1A"),
                            "OZ1A",   "IW3CCC"};
    const QStringList locators{"AB", "ab", "AA", "XX", "Ab"};
    const QStringList places{
        "BRANVOLE", "Branvole", "SANT'ERMINIO", "COLLEVARO", QString::fromUtf8("FORL\u00cc"),
        "FORLI"};
    const QStringList provs{"PG", "pg", "AN", "RSM"};
    const QStringList modes{"MIXED", "SSB", "ssb", "CW", "DIGITAL"};
    const QStringList bands{"HF", "50 MHz", "VHF", "vhf", "SAT"};

    std::mt19937 random(uint(qHash(QByteArray(QTest::currentDataTag()))));
    const auto pick = [&random](const QStringList &values) {
        return values[std::uniform_int_distribution<int>(0, int(values.size()) - 1)(random)];
    };
    const auto randomQso = [&](int count) {
        QsoRow row;
        row.count = count;
        row.locator = pick(locators);
        row.call = pick(calls);
        row.place = pick(places);
        row.prov = pick(provs);
        row.mode = pick(modes);
        row.band = pick(bands);
        row.qsl = pick({"w", "c", "a"});
        row.time = pick({"09:05", "14:30"});
        return row;
    };

    ProgramFolder folder;
    // Nothing here needs to outlive a crash: the test's changes need not wait for the disk.
    QSqlQuery(folder.log()).exec(QStringLiteral("pragma synchronous = off"));
    RandomChanges changes{folder, random, randomQso};
    for (; changes.next <= 15; ++changes.next) {
        folder.addQso(randomQso(changes.next));
        changes.numbers << changes.next;
    }
    const OpenedFile log(folder.logPath());
    LogLinesModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const LogListing whole = LogListing::read(log, query);
    LogListing lateFirst;
    bool complete = true;
    if (completedAfter < 0) {
        model.setListing(whole);
    } else {
        LogListing first = LogListing::readFirst(log, query, 4, &complete);
        QCOMPARE(complete, whole.lines.size() <= 4);
        if (firstAfter < 0) {
            model.setListing(std::move(first), complete);
        } else {
            LogListing none;
            none.counts = QVector<qint32>(1, 0);
            model.setListing(std::move(none), false);
            lateFirst = std::move(first);
        }
    }

    for (int step = 0; step < 60; ++step) {
        if (step == firstAfter)
            model.takeFirst(lateFirst, log, query);
        if (step == completedAfter)
            model.complete(whole, log, query);
        LogChange change;
        folder.log().transaction();
        const int qsos = std::uniform_int_distribution<int>(1, 3)(random);
        for (int i = 0; i < qsos; ++i)
            changes.step(change);
        folder.log().commit();
        model.follow(change, log, query);

        const LogListing fresh = LogListing::read(log, query);
        QCOMPARE(model.isComplete(), complete || completedAfter <= step);
        if (model.isComplete()) {
            QCOMPARE(model.listing().counts, fresh.counts);
            QCOMPARE(model.rowCount(), fresh.lines.size());
        }
        QVERIFY(model.rowCount() <= fresh.lines.size());
        for (int line = 0; line < model.rowCount(); ++line) {
            QCOMPARE(model.listing().counts[line], fresh.counts[line]);
            QCOMPARE(model.index(line, 0).data().toString(), fresh.lines.at(line));
        }
    }
}

// The thread that reads long logs: only the listing asked for last arrives, nothing after a
// cancel, and a log it cannot read is told.
void TestBrowserListing::listerDeliversTheListingAskedForLast()
{
    ProgramFolder folder;
    folder.addQsos(fortyQsos());
    const OpenedFile log(folder.logPath());
    const LogQuery byCall(LogOrderKey::Call, LogSecondaryOrder::BandMode, true, LogSearch());
    const LogQuery byBand(LogOrderKey::Band, LogSecondaryOrder::BandMode, false, LogSearch());

    LogLister lister(folder.logPath());
    QVector<QVector<qint32>> listed;
    int failures = 0;
    connect(&lister, &LogLister::listed, this,
            [&](const LogListing &listing) { listed << listing.counts; });
    connect(&lister, &LogLister::failed, this, [&] { ++failures; });
    lister.start(byCall);
    lister.start(byBand);
    QVERIFY(lister.isListing());
    QTRY_VERIFY(!lister.isListing());
    QCOMPARE(listed, QVector<QVector<qint32>>{LogListing::read(log, byBand).counts});

    lister.start(byCall);
    lister.cancel();
    QTest::qWait(100);
    QCOMPARE(listed.size(), 1);
    QCOMPARE(failures, 0);

    LogLister missing(folder.path() + QStringLiteral("/missing.mdb"));
    connect(&missing, &LogLister::failed, this, [&] { ++failures; });
    missing.start(byCall);
    QTRY_COMPARE(failures, 1);
    QVERIFY(!missing.isListing());
}

// First lines the engine cannot find in time are left to the whole listing; the log's own
// connection is as it was afterwards.
void TestBrowserListing::firstLinesGiveUpPastTheirTime()
{
    ProgramFolder folder;
    folder.addQsos(fortyQsos());
    const OpenedFile log(folder.logPath());
    const LogQuery byBand(LogOrderKey::Band, LogSecondaryOrder::BandMode, false, LogSearch());
    bool complete = true;
    const LogListing none = LogListing::readFirst(log, byBand, 5, &complete, 0);
    QVERIFY(!complete);
    QCOMPARE(none.lines.size(), 0);
    const LogListing first = LogListing::readFirst(log, byBand, 5, &complete, 60000);
    QVERIFY(!complete);
    QCOMPARE(first.counts.mid(0, 5), LogListing::read(log, byBand).counts.mid(0, 5));
    QCOMPARE(LogListing::read(log, byBand).lines.size(), 40);
}

QTEST_GUILESS_MAIN(TestBrowserListing)
#include "tst_browser_listing.moc"
