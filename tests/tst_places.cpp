// The gazetteer searches and their fixed-width result lines.
#include "fixture.h"

#include "places/placesearch.h"
#include "storage/database.h"

#include <QtTest>
#include <algorithm>
#include <stdexcept>

using namespace kx47;
using namespace kx47::test;

namespace
{

QString line(const char *locator, const char *place, const char *prov)
{
    return PlaceSearch::line(locator, place, prov);
}

QStringList sorted(QStringList lines)
{
    std::sort(lines.begin(), lines.end());
    return lines;
}

// The positions of the vertical bars in a line.
QList<int> bars(const QString &text)
{
    QList<int> positions;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == '|')
            positions << i;
    }
    return positions;
}

} // namespace

class TestPlaces : public QObject
{
    Q_OBJECT

private slots:
    void header();
    void lines_data();
    void lines();
    void bySubSquare_data();
    void bySubSquare();
    void byPlace_data();
    void byPlace();
    void orderIgnoresCase();
};

void TestPlaces::header()
{
    const QString header = PlaceSearch::header();
    QCOMPARE(header, QString(" WWLoc | Place                          | Prov |"));
    QCOMPARE(header.size(), 48);
    QCOMPARE(bars(header), QList<int>({7, 40, 47}));
}

void TestPlaces::lines_data()
{
    QTest::addColumn<QString>("locator");
    QTest::addColumn<QString>("place");
    QTest::addColumn<QString>("prov");
    QTest::addColumn<QString>("line");
    QTest::newRow("plain") << "KX47AB"
                           << "BRANVOLE"
                           << "PG"
                           << "KX47AB | BRANVOLE                       | PG ";
    QTest::newRow("three-letter province") << "KX47XX"
                                           << "MOSTIRANA"
                                           << "RSM"
                                           << "KX47XX | MOSTIRANA                      | RSM";
    QTest::newRow("place of exactly 30") << "KX47AA" << QString(30, 'P') << "AN"
                                         << "KX47AA | " + QString(30, 'P') + " | AN ";
    QTest::newRow("place of 50 cut to 30")
        << "KX47AA" << QString(30, 'P') + QString(20, 'Q') << "AN"
        << "KX47AA | " + QString(30, 'P') + " | AN ";
    QTest::newRow("longer province cut") << "KX47AA"
                                         << "X"
                                         << "ABCD"
                                         << "KX47AA | X                              | ABC";
    QTest::newRow("short locator padded") << "KX47"
                                          << "X"
                                          << "AN"
                                          << "KX47   | X                              | AN ";
    QTest::newRow("empty values") << ""
                                  << ""
                                  << ""
                                  << "       |                                |    ";
    QTest::newRow("apostrophe") << "KX47AB"
                                << "SANT'ERMINIO"
                                << "FC"
                                << "KX47AB | SANT'ERMINIO                   | FC ";
}

void TestPlaces::lines()
{
    QFETCH(QString, locator);
    QFETCH(QString, place);
    QFETCH(QString, prov);
    QFETCH(QString, line);
    const QString made = PlaceSearch::line(locator, place, prov);
    QCOMPARE(made, line);
    QCOMPARE(made.size(), 45);
    QCOMPARE(bars(made), QList<int>({7, 40}));
}

void TestPlaces::bySubSquare_data()
{
    QTest::addColumn<QString>("letters");
    QTest::addColumn<QStringList>("lines");
    const QStringList ab{line("KX47AB", "ALTOMIRA", "AR"), line("KX47AB", "ALTOMIRA", "AR"),
                         line("KX47AB", "BRANVOLE", "PG"), line("KX47AB", "SANT'ERMINIO", "FC")};
    QTest::newRow("AB, ordered by place") << "AB" << ab;
    QTest::newRow("AA") << "AA"
                        << QStringList{line("KX47AA", "BRANVOLE", "PG"),
                                       line("KX47AA", "COLLEVARO", "RN")};
    QTest::newRow("XX, provinces as stored")
        << "XX"
        << QStringList{line("KX47XX", "FUORIVIA", "ZZ"), line("KX47XX", "MOSTIRANA", "RSM")};
    QTest::newRow("small letters") << "ab" << ab;
    QTest::newRow("nothing there") << "QQ" << QStringList{};
    QTest::newRow("empty box: the bare square") << "" << QStringList{};
    QTest::newRow("one letter") << "A" << QStringList{};
    QTest::newRow("apostrophe") << "A'" << QStringList{};
    QTest::newRow("the whole sub-square typed") << "KX47AB" << QStringList{};
}

void TestPlaces::bySubSquare()
{
    QFETCH(QString, letters);
    QFETCH(QStringList, lines);
    ProgramFolder folder;
    OpenedFile places(folder.placesPath());
    QCOMPARE(PlaceSearch(places).bySubSquare(letters), lines);
}

void TestPlaces::byPlace_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("lines");
    const QStringList branvole{line("KX47AA", "BRANVOLE", "PG"), line("KX47AB", "BRANVOLE", "PG")};
    QTest::newRow("two sub-squares") << "BRANVOLE" << branvole;
    QTest::newRow("small letters") << "branvole" << branvole;
    QTest::newRow("mixed case") << "BranVole" << branvole;
    QTest::newRow("two rows of one sub-square")
        << "Altomira"
        << QStringList{line("KX47AB", "ALTOMIRA", "AR"), line("KX47AB", "ALTOMIRA", "AR")};
    QTest::newRow("apostrophe") << "SANT'ERMINIO"
                                << QStringList{line("KX47AB", "SANT'ERMINIO", "FC")};
    QTest::newRow("apostrophe, small letters")
        << "sant'erminio" << QStringList{line("KX47AB", "SANT'ERMINIO", "FC")};
    QTest::newRow("partial name") << "BRAN" << QStringList{};
    QTest::newRow("with a trailing blank") << "BRANVOLE " << QStringList{};
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("only an apostrophe") << "'" << QStringList{};
    QTest::newRow("wildcard") << "%" << QStringList{};
}

void TestPlaces::byPlace()
{
    QFETCH(QString, name);
    QFETCH(QStringList, lines);
    ProgramFolder folder;
    OpenedFile places(folder.placesPath());
    // Entries of one name come in no particular order among themselves.
    QCOMPARE(sorted(PlaceSearch(places).byPlace(name)), lines);
}

void TestPlaces::orderIgnoresCase()
{
    const QString longName = "CASTELNUOVO DI SOTTO SUL FIUME GRANDE";
    ProgramFolder folder({{"zeta", "KX47CD", "AN"},
                          {"Beta", "KX47CD", "AP"},
                          {"ALFA", "KX47CD", "AR"},
                          {"gamma", "KX47CD", "QZ"},
                          {longName, "KX47CD", "PU"},
                          {"ALFA", "KX47CE", "AR"}});
    OpenedFile places(folder.placesPath());
    const QStringList found = PlaceSearch(places).bySubSquare("CD");
    QCOMPARE(found, QStringList({line("KX47CD", "ALFA", "AR"), line("KX47CD", "Beta", "AP"),
                                 PlaceSearch::line("KX47CD", longName, "PU"),
                                 line("KX47CD", "gamma", "QZ"), line("KX47CD", "zeta", "AN")}));
    QCOMPARE(found.at(2), QString("KX47CD | CASTELNUOVO DI SOTTO SUL FIUME | PU "));
    QCOMPARE(PlaceSearch(places).byPlace(longName).size(), 1);
    QCOMPARE(PlaceSearch(places).byPlace("alfa").size(), 2);
}

QTEST_MAIN(TestPlaces)
#include "tst_places.moc"
