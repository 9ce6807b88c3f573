// "&Print all QSOs": the title, the blank lines and fonts around it, one 115-character line per
// QSO ordered by sub-square, mode and band; on the recording printer and on paper (PDF).
#include "fixture.h"
#include "printouttext.h"

#include "app/fulllogprintout.h"
#include "platform/qtprintservice.h"
#include "storage/database.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QtTest>

using namespace kx47;
using namespace kx47::test;

Q_DECLARE_METATYPE(QList<kx47::test::QsoRow>)

namespace
{

QsoRow qso(int count, const QString &locator, const QString &call, const QString &mode,
           const QString &band, const QString &date = "2004-12-07", const QString &time = "09:05",
           const QString &place = "COLLEVARO", const QString &prov = "RN", const QString &qsl = "c")
{
    QsoRow row;
    row.count = count;
    row.locator = locator;
    row.call = call;
    row.mode = mode;
    row.band = band;
    row.date = date;
    row.time = time;
    row.place = place;
    row.prov = prov;
    row.qsl = qsl;
    return row;
}

// The seven lines before the QSOs: three blanks at 8 points, the title and three blanks at 14.
QStringList head(const QString &title)
{
    return {" ", " ", " ", title, " ", " ", " "};
}

const QString noCallTitle = " ALL QSOs";

} // namespace

class TestPrintFullLog : public QObject
{
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
    void fontsAndSizes();
    void menuPrintsAtOnceAndChangesNothing();
    void paperKeepsLinesColumnsAndPages();
};

void TestPrintFullLog::lines_data()
{
    QTest::addColumn<QList<QsoRow>>("log");
    QTest::addColumn<QString>("applicantCall"); // empty: no userData row
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("empty log, no applicant") << QList<QsoRow>() << QString() << head(noCallTitle);
    QTest::newRow("empty log, applicant")
        << QList<QsoRow>() << "IK0XYZ" << head("              ALL QSOs of IK0XYZ");
    QTest::newRow("one QSO at 9:05")
        << QList<QsoRow>{qso(1, "AA", "IK0ABC", "CW", "50 MHz")} << "IK0XYZ"
        << head("              ALL QSOs of IK0XYZ") +
               QStringList{"           IK0ABC       | KX47AA | COLLEVARO                     | RN "
                           "| 50 MHz  | CW     | 07/12/04   | 09.05   | c"};
    QTest::newRow("sub-square, then mode, then band")
        << QList<QsoRow>{qso(1, "AB", "IK0AB1", "CW", "HF"), qso(2, "AA", "IK0SSB", "SSB", "HF"),
                         qso(3, "AA", "IK0HF", "CW", "HF"), qso(4, "AA", "IK050", "CW", "50 MHz")}
        << QString()
        << head(noCallTitle) +
               QStringList{
                   "           IK050        | KX47AA | COLLEVARO                     | RN | 50 MHz "
                   " | CW     | 07/12/04   | 09.05   | c",
                   "           IK0HF        | KX47AA | COLLEVARO                     | RN | HF     "
                   " | CW     | 07/12/04   | 09.05   | c",
                   "           IK0SSB       | KX47AA | COLLEVARO                     | RN | HF     "
                   " | SSB    | 07/12/04   | 09.05   | c",
                   "           IK0AB1       | KX47AB | COLLEVARO                     | RN | HF     "
                   " | CW     | 07/12/04   | 09.05   | c"};
    QTest::newRow("times, dates, states, a full call")
        << QList<QsoRow>{qso(7, "XX", "IK0ABCDEFGHI", "SSB", "VHF", "2000-01-01", "00:00",
                             "ALTOMIRA", "AR", "w"),
                         qso(8, "AC", "IZ4ZZZ/P", "MIXED", "HF", "1999-12-31", "14:30", "BRANVOLE",
                             "PG", "a")}
        << "IK0XYZ"
        << head("              ALL QSOs of IK0XYZ") +
               QStringList{
                   "           IZ4ZZZ/P     | KX47AC | BRANVOLE                      | PG | HF     "
                   " | MIXED  | 31/12/99   | 14.30   | a",
                   "           IK0ABCDEFGHI | KX47XX | ALTOMIRA                      | AR | VHF    "
                   " | SSB    | 01/01/00   | 00.00   | w"};
    QTest::newRow("longer values are cut to their fields")
        << QList<QsoRow>{qso(1, "AB", "IK0ABCDEFGHIJKL", "DIGITAL", "UHF", "2024-02-29", "23:59",
                             "SANT'ERMINIO DI SOPRA E DI SOTTO ALLA VALLE", "RSM")}
        << QString()
        << head(noCallTitle) +
               QStringList{"           IK0ABCDEFGHI | KX47AB | SANT'ERMINIO DI SOPRA E DI SO | RS "
                           "| UHF     | DIGITA | 29/02/24   | 23.59   | c"};
}

void TestPrintFullLog::lines()
{
    QFETCH(QList<QsoRow>, log);
    QFETCH(QString, applicantCall);
    QFETCH(QStringList, expected);
    ProgramFolder folder;
    folder.addQsos(log);
    if (!applicantCall.isEmpty())
        folder.setUserData(applicantCall);
    OpenedFile db(folder.logPath());

    RecordingPrintService service;
    FullLogPrintout(db).print(service);
    QCOMPARE(service.documents.size(), 1);
    const PrintedDocument document = service.documents.first();
    QCOMPARE(document.name, QString("KX47 ALL QSOs"));
    QVERIFY(document.ended);
    QCOMPARE(document.texts(), expected);
    for (int i = head(QString()).size(); i < expected.size(); ++i)
        QCOMPARE(document.lines[i].text.size(), 115);
}

void TestPrintFullLog::fontsAndSizes()
{
    ProgramFolder folder;
    folder.addQsos({qso(1, "AA", "IK0ABC", "CW", "HF"), qso(2, "AB", "IK0DEF", "CW", "HF")});
    folder.setUserData("IK0XYZ");
    OpenedFile db(folder.logPath());
    RecordingPrintService service;
    FullLogPrintout(db).print(service);
    const QList<PrintedLine> lines = service.documents.first().lines;
    QCOMPARE(lines.size(), 9);
    const QList<double> sizes = {8, 8, 8, 14, 14, 14, 14, 8, 8};
    for (int i = 0; i < lines.size(); ++i) {
        QCOMPARE(lines[i].fontName, QString("Courier New"));
        QCOMPARE(lines[i].fontSize, sizes[i]);
        QCOMPARE(lines[i].bold, false);
    }
}

void TestPrintFullLog::menuPrintsAtOnceAndChangesNothing()
{
    ProgramFolder folder;
    folder.addQsos(
        {qso(1, "AB", "IK0ABC", "CW", "HF", "2004-12-07", "09:05", "BRANVOLE", "PG", "w"),
         qso(2, "AA", "IK0DEF", "SSB", "SAT")});
    const QList<QsoRow> before = folder.qsos();
    TestApp app(folder.path());
    QVERIFY(app.start());
    auto *item = app.menuItem("mnPrintAllQSOs");
    QVERIFY(item);
    const QWidgetList windowsBefore = QApplication::topLevelWidgets();
    item->trigger();

    QCOMPARE(app.printService.documents.size(), 1);
    const PrintedDocument document = app.printService.documents.first();
    QVERIFY(document.ended);
    const QStringList expected =
        head(noCallTitle) +
        QStringList{"           IK0DEF       | KX47AA | COLLEVARO                     | "
                    "RN | SAT     | SSB    | 07/12/04   | 09.05   | c",
                    "           IK0ABC       | KX47AB | BRANVOLE                      | "
                    "PG | HF      | CW     | 07/12/04   | 09.05   | w"};
    QCOMPARE(document.texts(), expected);
    QVERIFY(app.dialogs.messages.isEmpty());
    QCOMPARE(QApplication::topLevelWidgets().size(), windowsBefore.size());
    QCOMPARE(folder.qsos(), before);

    // Each choice of the menu item is a document of its own.
    item->trigger();
    QCOMPARE(app.printService.documents.size(), 2);
    QCOMPARE(app.printService.documents[1].texts(), document.texts());
}

void TestPrintFullLog::paperKeepsLinesColumnsAndPages()
{
    if (!PrintoutText::available())
        QSKIP("pdftotext (poppler-utils) is not installed");
    ProgramFolder folder;
    QList<QsoRow> log;
    const QStringList bands = {"HF", "50 MHz", "VHF", "UHF", "SHF", "SAT"};
    for (int i = 0; i < 230; ++i) {
        const QString locator = QString(QChar('A' + i / 24 % 24)) + QChar('A' + i % 24);
        log << qso(i + 1, locator, QString("IK%1AB").arg(i, 3, 10, QChar('0')),
                   i % 3 ? "CW" : "DIGITAL", bands[i % 6], "2004-12-07",
                   QString("%1:%2").arg(i % 24, 2, 10, QChar('0')).arg(i % 60, 2, 10, QChar('0')),
                   i % 5 ? "BRANVOLE" : "SANT'ERMINIO DI SOPRA E DI SOTTO", i % 7 ? "PG" : "RSM",
                   i % 2 ? "c" : "a");
    }
    folder.addQsos(log);
    folder.setUserData("IK0XYZ");
    OpenedFile db(folder.logPath());

    RecordingPrintService recorded;
    FullLogPrintout(db).print(recorded);
    const QStringList qsoLines = recorded.documents.first().texts().mid(7);
    QCOMPARE(qsoLines.size(), 230);

    QTemporaryDir programFolder;
    FakeDialogs dialogs;
    RecordingDesktop desktop;
    QtPrintService paper(programFolder.path(), dialogs, desktop,
                         QtPrintService::Destination::PdfFile);
    FullLogPrintout(db).print(paper);
    QVERIFY(dialogs.messages.isEmpty());
    QCOMPARE(desktop.opened.size(), 1);
    QVERIFY2(desktop.opened.first().contains("/Printouts/KX47 ALL QSOs "),
             qPrintable(desktop.opened.first()));

    PrintoutText text;
    QVERIFY2(text.read(desktop.opened.first()), qPrintable(text.error()));
    QVERIFY(text.pages().size() >= 3);
    // The title once, on the first page, and no header or footer on the others.
    const int title = text.lineOf("ALL QSOs of IK0XYZ");
    QVERIFY(title >= 0 && title < text.pages().first().size());
    QStringList readBack;
    for (int p = 0; p < text.pages().size(); ++p) {
        for (const QString &line : text.pages()[p]) {
            if (line.contains(" | KX47"))
                readBack << line;
            else
                QVERIFY2((p == 0 && line.simplified() == "ALL QSOs of IK0XYZ") ||
                             line.trimmed().isEmpty(),
                         qPrintable(line));
        }
    }
    const int shift = commonShift(qsoLines, readBack);
    QVERIFY2(shift >= 0, qPrintable(readBack.mid(0, 5).join('\n')));
}

QTEST_MAIN(TestPrintFullLog)
#include "tst_printfulllog.moc"
