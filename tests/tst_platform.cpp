// Pure helpers shared by every window: quoting, text forms, fixed-width fields, paths, the
// schema and the numbering of new QSOs.
#include "fixture.h"

#include "log/qsonumber.h"
#include "paths/programfolder.h"
#include "platform/windowsettings.h"
#include "storage/database.h"
#include "storage/schema.h"
#include "storage/sqltext.h"
#include "text/fixedwidth.h"
#include "text/textforms.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>

using namespace kx47;

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    void quoteSql_data();
    void quoteSql();
    void joinProgramPath_data();
    void joinProgramPath();
    void textForms_data();
    void textForms();
    void storedDate_data();
    void storedDate();
    void fixedField_data();
    void fixedField();
    void fixedLineKeepsColumns();
    void schemaBuildsFreshFiles();
    void schemaComparesWithoutCase();
    void numbering_data();
    void numbering();
    void numberRuns_data();
    void numberRuns();
    void placeOnScreens_data();
    void placeOnScreens();
};

void TestPlatform::quoteSql_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("quoted");
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("no apostrophe") << "IK0ABC"
                                   << "IK0ABC";
    QTest::newRow("inside") << "O'Brien"
                            << "O''Brien";
    QTest::newRow("first and last") << "'a'"
                                    << "''a''";
    QTest::newRow("two") << "''"
                         << "''''";
    QTest::newRow("only one") << "'"
                              << "''";
    QTest::newRow("other quotes untouched") << "\"x\"`"
                                            << "\"x\"`";
}

void TestPlatform::quoteSql()
{
    QFETCH(QString, value);
    QFETCH(QString, quoted);
    QCOMPARE(kx47::quoteSql(value), quoted);
}

void TestPlatform::joinProgramPath_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("path");
    QTest::newRow("folder") << "/opt/kx47"
                            << "data.mdb"
                            << "/opt/kx47/data.mdb";
    QTest::newRow("root") << "/"
                          << "data.mdb"
                          << "/data.mdb";
    QTest::newRow("drive root") << "C:\\"
                                << "data.mdb"
                                << "C:\\data.mdb";
    QTest::newRow("trailing slash") << "/opt/kx47/"
                                    << "Help/index.htm"
                                    << "/opt/kx47/Help/index.htm";
    QTest::newRow("help") << "/opt/kx47"
                          << "Help/Kx47_reg_eng.pdf"
                          << "/opt/kx47/Help/Kx47_reg_eng.pdf";
}

void TestPlatform::joinProgramPath()
{
    QFETCH(QString, folder);
    QFETCH(QString, file);
    QFETCH(QString, path);
    QCOMPARE(kx47::joinProgramPath(folder, file), path);
}

void TestPlatform::textForms_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("entry");
    QTest::newRow("one-digit hour") << "09:05"
                                    << "9.05.00"
                                    << "09.05"
                                    << "0905";
    QTest::newRow("two-digit hour") << "14:30"
                                    << "14.30.00"
                                    << "14.30"
                                    << "1430";
    QTest::newRow("midnight") << "00:00"
                              << "0.00.00"
                              << "00.00"
                              << "0000";
    QTest::newRow("last minute") << "23:59"
                                 << "23.59.00"
                                 << "23.59"
                                 << "2359";
    QTest::newRow("ten o'clock") << "10:00"
                                 << "10.00.00"
                                 << "10.00"
                                 << "1000";
}

void TestPlatform::textForms()
{
    QFETCH(QString, stored);
    QFETCH(QString, text);
    QFETCH(QString, list);
    QFETCH(QString, entry);
    QCOMPARE(timeText(stored), text);
    QCOMPARE(listTime(stored), list);
    QCOMPARE(entryTime(stored), entry);
}

void TestPlatform::storedDate_data()
{
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("year");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << 7 << 12 << 4 << "2004-12-07"
                           << "07/12/04";
    QTest::newRow("year 29 is 2029") << 1 << 1 << 29 << "2029-01-01"
                                     << "01/01/29";
    QTest::newRow("year 30 is 1930") << 1 << 1 << 30 << "1930-01-01"
                                     << "01/01/30";
    QTest::newRow("year 99 is 1999") << 31 << 12 << 99 << "1999-12-31"
                                     << "31/12/99";
    QTest::newRow("year 0 is 2000") << 15 << 6 << 0 << "2000-06-15"
                                    << "15/06/00";
    QTest::newRow("four-digit year") << 15 << 6 << 1987 << "1987-06-15"
                                     << "15/06/87";
    QTest::newRow("day not in the month is kept") << 31 << 2 << 4 << "2004-02-31"
                                                  << "31/02/04";
}

void TestPlatform::storedDate()
{
    QFETCH(int, day);
    QFETCH(int, month);
    QFETCH(int, year);
    QFETCH(QString, stored);
    QFETCH(QString, text);
    QCOMPARE(kx47::storedDate(day, month, year), stored);
    QCOMPARE(dateText(stored), text);
}

void TestPlatform::fixedField_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("field");
    QTest::newRow("padded") << "CW" << 6 << "CW    ";
    QTest::newRow("exact") << "IK0ABCDEFGHI" << 12 << "IK0ABCDEFGHI";
    QTest::newRow("cut") << "DIGITAL" << 6 << "DIGITA";
    QTest::newRow("empty") << "" << 3 << "   ";
    QTest::newRow("accent takes no cell") << QString("CAFE\u0301") << 5 << QString("CAFE\u0301 ");
    QTest::newRow("wide cut between characters") << QString("東京都") << 5 << QString("東京 ");
    QTest::newRow("emoji with its selector")
        << QString("\u2764\uFE0FA") << 3 << QString("\u2764\uFE0FA");
}

void TestPlatform::fixedField()
{
    QFETCH(QString, value);
    QFETCH(int, width);
    QFETCH(QString, field);
    QCOMPARE(kx47::fixedField(value, width), field);
}

void TestPlatform::fixedLineKeepsColumns()
{
    const QString shortLine = fixedLine({{"A", 3}, {"B", 2}, {"C", 1}});
    const QString longLine = fixedLine({{"ABCDEF", 3}, {"BBBB", 2}, {"CC", 1}});
    QCOMPARE(shortLine, QString("A   | B  | C"));
    QCOMPARE(longLine, QString("ABC | BB | C"));
    QCOMPARE(shortLine.indexOf('|'), longLine.indexOf('|'));
    QCOMPARE(shortLine.lastIndexOf('|'), longLine.lastIndexOf('|'));
}

void TestPlatform::schemaBuildsFreshFiles()
{
    test::ProgramFolder folder;
    for (auto [path, file] : {std::pair{folder.logPath(), Schema::File::Log},
                              std::pair{folder.placesPath(), Schema::File::Places}}) {
        test::OpenedFile db(path);
        QVERIFY(Schema::hasTables(db.handle(), file));
        QSqlQuery version = db.run(QStringLiteral("pragma user_version"));
        QVERIFY(version.next());
        QCOMPARE(version.value(0).toInt(), Schema::version);
    }
    test::OpenedFile log(folder.logPath());
    const QSqlRecord data = log.handle().record(QStringLiteral("data"));
    for (const char *column :
         {"count", "WWLocator", "call", "date", "time", "place", "prov", "mode", "band", "qsl"})
        QVERIFY2(data.indexOf(QLatin1String(column)) >= 0, column);
    const QSqlRecord user = log.handle().record(QStringLiteral("userData"));
    for (const char *column : {"OM/YL/SWL", "call", "fName", "sName", "address", "city", "prov",
                               "country", "ZIPcode", "WWLocator", "email", "count"})
        QVERIFY2(user.indexOf(QLatin1String(column)) >= 0, column);
}

void TestPlatform::schemaComparesWithoutCase()
{
    test::ProgramFolder folder;
    folder.addQsos({{1, "AB", "IK0ABC", "2004-01-01", "10:00", "ROMA", "AN", "CW", "HF", "c"},
                    {2, "aa", "ik0abd", "2004-01-01", "10:00", "roma", "AN", "CW", "HF", "c"}});
    test::OpenedFile log(folder.logPath());
    QCOMPARE(log.count(QStringLiteral("select count(*) as contatore from data where call = ?"),
                       {QStringLiteral("ik0abc")}),
             1);
    QCOMPARE(log.count(QStringLiteral("select count(*) as contatore from data where place = ?"),
                       {QStringLiteral("Roma")}),
             2);
    QSqlQuery ordered = log.run(QStringLiteral("select WWLocator from data order by WWLocator"));
    QStringList order;
    while (ordered.next())
        order << ordered.value(0).toString();
    QCOMPARE(order, QStringList({"aa", "AB"}));
    // The QSO number is unique.
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, folder.addQso({1, "AC", "X", "2004-01-01", "10:00",
                                                                "P", "AN", "CW", "HF", "w"}));
}

void TestPlatform::numbering_data()
{
    QTest::addColumn<QList<int>>("present");
    QTest::addColumn<int>("next");
    QTest::newRow("empty log") << QList<int>{} << 1;
    QTest::newRow("1 2 7") << QList<int>{1, 2, 7} << 8;
    QTest::newRow("1 2 5") << QList<int>{2, 5, 1} << 6;
    QTest::newRow("beyond 9 sorts as a number") << QList<int>{9, 10, 100} << 101;
}

void TestPlatform::numbering()
{
    QFETCH(QList<int>, present);
    QFETCH(int, next);
    test::ProgramFolder folder;
    for (int count : present)
        folder.addQso({count, "AB", "IK0ABC"});
    test::OpenedFile log(folder.logPath());
    QCOMPARE(nextQsoNumber(log).value_or(0), next);
    if (!present.isEmpty()) {
        // The highest number is taken again once its QSO is deleted.
        const int highest = *std::max_element(present.begin(), present.end());
        folder.deleteQso(highest);
        present.removeAll(highest);
        const int expected =
            present.isEmpty() ? 1 : *std::max_element(present.begin(), present.end()) + 1;
        QCOMPARE(nextQsoNumber(log).value_or(0), expected);
    }
}

void TestPlatform::numberRuns_data()
{
    // "+N" puts N in, "-N" takes it out.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QList<int>>("held");
    QTest::newRow("in a row") << "+1 +2 +3" << QList<int>{1, 2, 3};
    QTest::newRow("a gap filled joins two runs") << "+1 +3 +2 +5" << QList<int>{1, 2, 3, 5};
    QTest::newRow("before a run") << "+5 +4 +2 +1 +1" << QList<int>{1, 2, 4, 5};
    QTest::newRow("the middle taken out splits") << "+1 +2 +3 +4 -2" << QList<int>{1, 3, 4};
    QTest::newRow("ends taken out") << "+1 +2 +3 -1 -3 -7" << QList<int>{2};
    QTest::newRow("a run of one taken out") << "+1 +3 -3 +4" << QList<int>{1, 4};
}

void TestPlatform::numberRuns()
{
    QFETCH(QString, steps);
    QFETCH(QList<int>, held);
    QsoNumberRuns runs;
    for (const QString &step : steps.split(QLatin1Char(' '))) {
        if (step.startsWith(QLatin1Char('+')))
            runs.insert(step.mid(1).toInt());
        else
            runs.remove(step.mid(1).toInt());
    }
    for (int number = 0; number <= 8; ++number)
        QCOMPARE(runs.contains(number), held.contains(number));
}

void TestPlatform::placeOnScreens_data()
{
    // Screens in device pixels, seen by the program at a scale factor; the place is saved in
    // the program's own pixels, the frame is what the window manager adds around the window.
    QTest::addColumn<QList<QRect>>("screens");
    QTest::addColumn<double>("factor");
    QTest::addColumn<QMargins>("frame");
    QTest::addColumn<QRect>("saved");
    QTest::addColumn<QRect>("placed");
    const QRect wide(0, 0, 1920, 1040);
    const QList<QRect> two{wide, QRect(1920, 0, 1280, 720)};
    const QMargins none;
    const QMargins decorated(4, 30, 4, 4);
    QTest::newRow("on the screen") << QList<QRect>{wide} << 1.0 << none << QRect(100, 100, 600, 400)
                                   << QRect(100, 100, 600, 400);
    QTest::newRow("on the second screen")
        << two << 1.0 << none << QRect(2000, 50, 600, 400) << QRect(2000, 50, 600, 400);
    QTest::newRow("second screen gone") << QList<QRect>{wide} << 1.0 << none
                                        << QRect(2000, 50, 600, 400) << QRect(1320, 50, 600, 400);
    QTest::newRow("partly off the left") << QList<QRect>{wide} << 1.0 << none
                                         << QRect(-500, 100, 600, 400) << QRect(0, 100, 600, 400);
    QTest::newRow("title bar above the top")
        << QList<QRect>{wide} << 1.0 << none << QRect(100, -30, 600, 400)
        << QRect(100, 0, 600, 400);
    QTest::newRow("title bar under a panel")
        << QList<QRect>{QRect(0, 28, 1920, 1012)} << 1.0 << none << QRect(100, 0, 600, 400)
        << QRect(100, 28, 600, 400);
    QTest::newRow("larger than the screen") << QList<QRect>{QRect(0, 0, 1366, 740)} << 1.0 << none
                                            << QRect(0, 0, 1900, 1000) << QRect(0, 0, 1366, 740);
    QTest::newRow("larger than the second screen")
        << two << 1.0 << none << QRect(1920, 0, 1800, 1000) << QRect(1920, 0, 1280, 720);
    QTest::newRow("below a smaller screen, onto the one it overlaps")
        << two << 1.0 << none << QRect(2600, 710, 600, 300) << QRect(2600, 420, 600, 300);
    QTest::newRow("below a smaller screen, overlapping none")
        << two << 1.0 << none << QRect(2000, 800, 600, 200) << QRect(1320, 800, 600, 200);
    QTest::newRow("no screen known") << QList<QRect>{} << 1.0 << none << QRect(5000, 5000, 600, 400)
                                     << QRect(5000, 5000, 600, 400);
    QTest::newRow("frame's bottom edge below the screen")
        << QList<QRect>{wide} << 1.0 << decorated << QRect(100, 620, 600, 400)
        << QRect(100, 606, 600, 400);
    QTest::newRow("frame's right edge off the screen")
        << QList<QRect>{wide} << 1.0 << decorated << QRect(1318, 100, 600, 400)
        << QRect(1312, 100, 600, 400);
    // The places of the field report: 1600 x 1000 at 200 % is 800 x 500 to the program.
    const QList<QRect> laptop{QRect(0, 0, 1600, 1000)};
    QTest::newRow("main window at 200 %")
        << laptop << 2.0 << decorated << QRect(1171, 642, 856, 706) << QRect(0, 0, 792, 466);
    QTest::newRow("Insert QSO at 200 %")
        << laptop << 2.0 << decorated << QRect(971, 36, 1256, 538) << QRect(0, 0, 792, 466);
    QTest::newRow("saved at 100 %, opened at 150 %")
        << QList<QRect>{QRect(0, 0, 1920, 1080)} << 1.5 << decorated << QRect(900, 300, 600, 400)
        << QRect(672, 286, 600, 400);
    QTest::newRow("second screen at 125 %")
        << QList<QRect>{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1920, 1080)} << 1.25 << decorated
        << QRect(3000, 500, 400, 300) << QRect(2664, 500, 400, 300);
    QTest::newRow("fits at 125 %") << QList<QRect>{QRect(0, 0, 1920, 1080)} << 1.25 << decorated
                                   << QRect(200, 100, 800, 600) << QRect(200, 100, 800, 600);
}

void TestPlatform::placeOnScreens()
{
    QFETCH(QList<QRect>, screens);
    QFETCH(double, factor);
    QFETCH(QMargins, frame);
    QFETCH(QRect, saved);
    QFETCH(QRect, placed);
    QList<QRect> seen;
    for (const QRect &screen : screens)
        seen << QRectF(QPointF(screen.topLeft()) / factor, QSizeF(screen.size()) / factor).toRect();
    const QRect result = windowsettings::placeOnScreens(saved, seen, frame);
    QCOMPARE(result, placed);
    // Frame and all on one screen.
    const QRect whole(result.topLeft(), result.size() + QSize(frame.left() + frame.right(),
                                                              frame.top() + frame.bottom()));
    QVERIFY(seen.isEmpty() || std::any_of(seen.begin(), seen.end(),
                                          [&](const QRect &s) { return s.contains(whole); }));
}

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
