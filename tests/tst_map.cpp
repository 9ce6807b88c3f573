// The award map: the state each sub-square shows for a band and mode (and where it shows it),
// the confirmed QSOs the awards still need, a map that follows the log, the saved picture and
// the printed map.
#include "fixture.h"
#include "qsoentryfixture.h"

#include "award/awardrequest.h"
#include "award/awardrequestkind.h"
#include "browser/utilitywindow.h"
#include "log/cardstochase.h"
#include "log/lognotifier.h"
#include "map/awardmap.h"
#include "map/awardmappicture.h"
#include "map/awardmapwindow.h"
#include "map/cardstochasewindow.h"
#include "platform/appcontext.h"
#include "platform/windownames.h"
#include "qso/editqsowindow.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QSvgRenderer>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

using namespace kx47;
using namespace kx47::test;

namespace
{

using Cells = QMap<QString, QChar>; // sub-square letters -> state letter

// "AA=w XA=c" -> cells.
Cells cellsOf(const QString &text)
{
    Cells cells;
    for (const QString &pair : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        cells.insert(pair.left(2), pair.at(3));
    return cells;
}

// The cells the computed map shows a state in.
Cells shownCells(const AwardMap::Data &data)
{
    Cells cells;
    for (int column = 0; column < AwardMap::side; ++column) {
        for (int row = 0; row < AwardMap::side; ++row) {
            if (data.at(column, row) != AwardMap::State::None)
                cells.insert(AwardMap::letters(column, row),
                             AwardMap::stateLetter(data.at(column, row)));
        }
    }
    return cells;
}

// The cells the printed grid shows a state in, read by the position of each letter: the top
// line is row X, the bottom line row A, column A on the left.
Cells printedCells(const QStringList &lines)
{
    Cells cells;
    for (int line = 3; line < 3 + AwardMap::side; ++line) {
        const QChar rowLetter = lines[line].at(1);
        for (int column = 0; column < AwardMap::side; ++column) {
            const QChar shown = lines[line].at(4 + 2 * column);
            if (shown.isLetter())
                cells.insert(QString(QChar('A' + column)) + rowLetter, shown);
        }
    }
    return cells;
}

// Starts the program on a folder holding the log.
struct MapRun {
    explicit MapRun(const QList<QsoRow> &log = {})
    {
        folder.addQsos(log);
        started = app.start();
    }
    AwardMapWindow *openFromMenu()
    {
        app.menuItem("mnAwardMap")->trigger();
        return app.windows().find<AwardMapWindow>(windows::frmAwardMap);
    }
    AwardMap map() { return AwardMap(context().log, context().places); }
    AppContext &context() { return app.app().context(); }

    ProgramFolder folder;
    TestApp app{folder.path()};
    bool started = false;
};

QList<QsoRow> rowsOf(const QStringList &descriptions)
{
    // "letters|qsl|band|mode", L and E after the QSL letter for LoTW and eQSL (see confirmFrom)
    QList<QsoRow> rows;
    for (const QString &description : descriptions) {
        const QStringList parts = description.split(QLatin1Char('|'));
        rows << qsoRow(rows.size() + 1, parts[0], parts[1].left(1), parts[2], parts[3]);
    }
    return rows;
}

// Gives the QSOs of the log written by rowsOf their confirmations by LoTW and eQSL.
void confirmFrom(const ProgramFolder &folder, const QStringList &descriptions)
{
    for (int i = 0; i < descriptions.size(); ++i) {
        const QString qsl = descriptions[i].section(QLatin1Char('|'), 1, 1);
        QSqlQuery query(folder.log());
        query.prepare("update data set lotw = ?, eqsl = ? where count = ?");
        query.addBindValue(qsl.contains('L') ? "Y" : "");
        query.addBindValue(qsl.contains('E') ? "Y" : "");
        query.addBindValue(i + 1);
        query.exec();
    }
}

// n QSOs of one band and mode in n different sub-squares, numbered from first.
QList<QsoRow> spread(int first, int n, const QString &qsl, const QString &band = "HF",
                     const QString &mode = "MIXED")
{
    QList<QsoRow> rows;
    for (int i = 0; i < n; ++i)
        rows << qsoRow(first + i, AwardMap::letters(i % 24, i / 24), qsl, band, mode);
    return rows;
}

// Files this process writes cannot grow beyond a number of bytes while it lives: a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_before);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_before;
        limit.rlim_cur = std::min(bytes, m_before.rlim_max);
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_before); }

private:
    rlimit m_before{};
};

} // namespace

class TestMap : public QObject
{
    Q_OBJECT
private slots:
    void cellStates_data();
    void cellStates();
    void thresholdsLeft_data();
    void thresholdsLeft();
    void followsEditAndDeletion();
    void tooltipTellsQsosAndPlaces();
    void savedPicture_data();
    void savedPicture();
    void failedSaveLeavesNoFile_data();
    void failedSaveLeavesNoFile();
    void printsTheGridAsText();
    void textsFitAtEveryChoice_data();
    void textsFitAtEveryChoice();
    void cardsToChase_data();
    void cardsToChase();
    void cardsToChasePrintedAndExported();
};

void TestMap::cellStates_data()
{
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QString>("band"); // empty: all bands
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty log") << QStringList() << "HF"
                               << "MIXED"
                               << "";
    QTest::newRow("corners") << QStringList{"AA|w|HF|MIXED", "XA|c|HF|MIXED", "AX|a|HF|MIXED",
                                            "XX|w|HF|MIXED"}
                             << "HF"
                             << "MIXED"
                             << "AA=w XA=c AX=a XX=w";
    QTest::newRow("best state wins")
        << QStringList{"AB|w|HF|MIXED", "AB|c|HF|MIXED", "AB|a|HF|MIXED", "AB|w|HF|MIXED",
                       "KC|w|HF|MIXED", "KC|c|HF|MIXED", "KC|w|HF|MIXED"}
        << "HF"
        << "MIXED"
        << "AB=a KC=c";
    QTest::newRow("only the chosen band and mode")
        << QStringList{"AB|c|VHF|MIXED", "AC|c|HF|SSB", "AD|w|HF|MIXED", "AE|a|50 MHz|MIXED"}
        << "HF"
        << "MIXED"
        << "AD=w";
    QTest::newRow("a band with a blank")
        << QStringList{"AB|c|VHF|MIXED", "AE|a|50 MHz|CW", "AF|w|50 MHz|CW"} << "50 MHz"
        << "CW"
        << "AE=a AF=w";
    QTest::newRow("all bands take the best of every band")
        << QStringList{"AB|w|HF|SSB", "AB|a|VHF|SSB", "AC|c|SAT|SSB", "AC|w|UHF|SSB",
                       "AD|a|HF|MIXED"}
        << ""
        << "SSB"
        << "AB=a AC=c";
    QTest::newRow("letter case as the log ignores it")
        << QStringList{"ab|C|hf|MIXED", "xx|W|HF|MIXED", "FG|A|HF|mixed"} << "HF"
        << "MIXED"
        << "AB=c XX=w FG=a";
    QTest::newRow("confirmed electronically, card missing")
        << QStringList{"AB|wL|HF|MIXED",  "AC|wE|HF|MIXED", "AD|cL|HF|MIXED", "AE|w|HF|MIXED",
                       "AE|wE|VHF|MIXED", "AF|w|HF|MIXED",  "AF|wLE|HF|MIXED"}
        << "HF"
        << "MIXED"
        << "AB=e AC=e AD=c AE=w AF=e";
    QTest::newRow("values outside the award")
        << QStringList{"AB|x|HF|MIXED", "AC|c|RTTY|MIXED", "YZ|c|HF|MIXED", "A|c|HF|MIXED",
                       "AD|c|HF|MIXED"}
        << ""
        << "MIXED"
        << "AD=c";
}

void TestMap::cellStates()
{
    QFETCH(QStringList, log);
    QFETCH(QString, band);
    QFETCH(QString, mode);
    QFETCH(QString, expected);
    MapRun run(rowsOf(log));
    QVERIFY(run.started);
    confirmFrom(run.folder, log);

    const AwardMap::Data data = run.map().compute(band, mode);
    const Cells cells = cellsOf(expected);
    QCOMPARE(shownCells(data), cells);
    QCOMPARE(data.worked, int(std::count(cells.begin(), cells.end(), QChar('w'))));
    QCOMPARE(data.electronic, int(std::count(cells.begin(), cells.end(), QChar('e'))));
    QCOMPARE(data.confirmed, int(std::count(cells.begin(), cells.end(), QChar('c'))));
    QCOMPARE(data.accredited, int(std::count(cells.begin(), cells.end(), QChar('a'))));

    // The printed grid and the painted picture put each cell where the square has it.
    const QStringList lines = AwardMap::textLines(data, run.map().withPlaces());
    QCOMPARE(printedCells(lines), cells);

    QImage image(AwardMapPicture::size(), QImage::Format_RGB32);
    QPainter painter(&image);
    const QRectF area(0, 0, 624, 624);
    AwardMapPicture(data, std::bitset<AwardMap::cellCount>().set()).paintGrid(painter, area);
    painter.end();
    const AwardMapPicture::Geometry grid = AwardMapPicture::geometry(area);
    for (int column = 0; column < AwardMap::side; ++column) {
        for (int row = 0; row < AwardMap::side; ++row) {
            // A point near the cell's corner, away from its letter.
            const QPointF corner = grid.cellRect(column, row).topLeft() + QPointF(3, 3);
            const QChar letter = cells.value(AwardMap::letters(column, row), QChar(' '));
            const AwardMap::State state = letter == 'a'   ? AwardMap::State::Accredited
                                          : letter == 'c' ? AwardMap::State::Confirmed
                                          : letter == 'e' ? AwardMap::State::Electronic
                                          : letter == 'w' ? AwardMap::State::Worked
                                                          : AwardMap::State::None;
            QCOMPARE(QColor(image.pixel(corner.toPoint())), AwardMapPicture::colour(state));
        }
    }
    // The bottom-left cell is AA, the bottom-right XA, the top-left AX.
    QCOMPARE(grid.cellAt(grid.cellRect(0, 0).center()), std::make_pair(0, 0));
    QVERIFY(grid.cellRect(0, 0).top() > grid.cellRect(0, 23).top());
    QVERIFY(grid.cellRect(23, 0).left() > grid.cellRect(0, 0).left());
}

void TestMap::thresholdsLeft_data()
{
    QTest::addColumn<QList<QsoRow>>("log");
    QTest::addColumn<QString>("band");
    QTest::addColumn<QStringList>("expected"); // "band obtained? base endorsement" per band

    QTest::newRow("empty log, HF") << QList<QsoRow>() << "HF" << QStringList{"HF no 50 65"};
    QTest::newRow("49 confirmed") << spread(1, 49, "c") << "HF" << QStringList{"HF no 1 16"};
    QTest::newRow("50 confirmed") << spread(1, 50, "c") << "HF" << QStringList{"HF no 0 15"};
    QTest::newRow("worked ones do not count")
        << spread(1, 49, "c") + spread(50, 30, "w") << "HF" << QStringList{"HF no 1 16"};
    QTest::newRow("base obtained, 14 confirmed")
        << spread(1, 50, "a") + spread(51, 14, "c") << "HF" << QStringList{"HF yes 0 1"};
    QTest::newRow("base obtained, 15 confirmed")
        << spread(1, 50, "a") + spread(51, 15, "c") << "HF" << QStringList{"HF yes 0 0"};
    QTest::newRow("other mode does not count")
        << spread(1, 20, "c", "SHF", "SSB") << "SHF" << QStringList{"SHF no 5 10"};
    QTest::newRow("SHF 3 confirmed")
        << spread(1, 3, "c", "SHF") << "SHF" << QStringList{"SHF no 2 7"};
    QTest::newRow("all bands list every band")
        << spread(1, 12, "c", "50 MHz") + spread(20, 5, "a", "SAT") << ""
        << QStringList{"HF no 50 65",  "50 MHz no 3 13", "VHF no 15 25",
                       "UHF no 10 15", "SHF no 5 10",    "SAT yes 0 5"};
}

void TestMap::thresholdsLeft()
{
    QFETCH(QList<QsoRow>, log);
    QFETCH(QString, band);
    QFETCH(QStringList, expected);
    MapRun run(log);
    QVERIFY(run.started);

    const AwardMap::Data data = run.map().compute(band, "MIXED");
    QStringList shown;
    for (const AwardMap::BandProgress &progress : data.progress)
        shown << QStringLiteral("%1 %2 %3 %4")
                     .arg(progress.band, progress.baseObtained ? "yes" : "no")
                     .arg(progress.baseNeeded)
                     .arg(progress.endorsementNeeded);
    QCOMPARE(shown, expected);

    // The base award request agrees: it prints exactly when the map says nothing is missing
    // (and, asked whether to request an award obtained already, the answer is No).
    run.folder.setUserData("I0ABC");
    for (const AwardMap::BandProgress &progress : data.progress) {
        run.app.printService.documents.clear();
        run.app.dialogs.reset();
        run.app.dialogs.answers << MessageAnswer::No << MessageAnswer::No;
        AwardRequest(run.context().log, run.app.dialogs, run.app.printService,
                     run.context().logNotifier)
            .run(AwardRequestKind::baseAward(), progress.band, "MIXED");
        const bool printed = !run.app.printService.documents.isEmpty();
        QCOMPARE(printed, !progress.baseObtained && progress.baseNeeded == 0);
    }
}

void TestMap::followsEditAndDeletion()
{
    MapRun run({qsoRow(1, "CD", "w"), qsoRow(2, "AB", "c")});
    QVERIFY(run.started);
    AwardMapWindow *window = run.openFromMenu();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(run.openFromMenu(), window);
    QCOMPARE(shownCells(window->data()), cellsOf("CD=w AB=c"));
    auto *figures = window->findChild<QLabel *>("lblFigures");
    QVERIFY(figures->text().contains("Sub-squares worked: 1"));

    // Edit QSO turns the worked QSO into a confirmed one.
    auto *editor = qobject_cast<EditQsoWindow *>(run.app.show(windows::frmEditQSO));
    QVERIFY(editor);
    const QsoRow row = run.folder.qso(1);
    textBox(editor, "txtWWLocator")->setText(row.locator);
    textBox(editor, "txtCall")->setText(row.call);
    textBox(editor, "txtTime")->setText("0930");
    textBox(editor, "txtDate0")->setText("07");
    textBox(editor, "txtDate1")->setText("12");
    textBox(editor, "txtDate2")->setText("04");
    listBox(editor, "comboPlace")->setEditText(row.place);
    listBox(editor, "comboProv")->setCurrentText(row.prov);
    listBox(editor, "comboMode")->setCurrentText(row.mode);
    listBox(editor, "comboBand")->setCurrentText(row.band);
    editor->setDbCount(1);
    option(editor, "optQSLConf")->setChecked(true);
    press(editor, "cmdSubmit");
    QCOMPARE(run.folder.qso(1).qsl, QString("c"));
    QCOMPARE(shownCells(window->data()), cellsOf("CD=c AB=c"));
    QVERIFY(figures->text().contains("Sub-squares worked: 0"));
    QVERIFY(figures->text().contains("Sub-squares confirmed: 2"));

    // A double click on AB shows the browser searching AB; deleting its one QSO empties the cell.
    QTest::mouseDClick(window->grid(), Qt::LeftButton, {}, window->grid()->cellCentre(0, 1));
    auto *browser = run.app.windows().find<UtilityWindow>(windows::frmUtility);
    QVERIFY(browser && browser->isVisible());
    QCOMPARE(browser->search().wwLocator, QString("AB"));
    auto *list = browser->findChild<QListView *>("List");
    QCOMPARE(list->model()->rowCount(), 1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(0, 0)).center());
    run.app.dialogs.answers.enqueue(MessageAnswer::Ok);
    browser->deleteSelected();
    QCOMPARE(run.folder.qsos().size(), 1);
    QCOMPARE(shownCells(window->data()), cellsOf("CD=c"));
}

void TestMap::tooltipTellsQsosAndPlaces()
{
    MapRun run({qsoRow(1, "AB", "w"), qsoRow(2, "AB", "c", "VHF")});
    QVERIFY(run.started);
    AwardMapWindow *window = run.openFromMenu();
    const QString tip = window->cellToolTip(0, 1);
    QVERIFY2(tip.contains("KX47AB: worked"), qPrintable(tip));
    QVERIFY2(tip.contains("CALL1  07/12/04  09.30  HF  MIXED  worked"), qPrintable(tip));
    QVERIFY(!tip.contains("CALL2")); // VHF is not the chosen band
    QVERIFY(tip.contains("SANT'ERMINIO (FC)"));
    QVERIFY(window->cellToolTip(5, 5).contains("No place in the gazetteer"));

    // Sub-squares without a place are hatched on the map and marked in the printed grid.
    QVERIFY(window->withPlaces().test(AwardMap::index(0, 1)));
    QVERIFY(!window->withPlaces().test(AwardMap::index(5, 5)));
    QCOMPARE(window->withPlaces().count(), std::size_t(3));
}

void TestMap::savedPicture_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("png") << "map.png"
                         << "map.png";
    QTest::newRow("svg") << "map.svg"
                         << "map.svg";
    QTest::newRow("no suffix") << "map"
                               << "map.png";
}

void TestMap::savedPicture()
{
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    MapRun run({qsoRow(1, "AB", "a"), qsoRow(2, "XX", "w")});
    QVERIFY(run.started);
    AwardMapWindow *window = run.openFromMenu();
    const QString path = QDir(run.folder.path()).filePath(written);
    run.app.dialogs.fileNames.enqueue(QDir(run.folder.path()).filePath(chosen));
    press(window, "cmdSaveImage");
    QCOMPARE(run.app.dialogs.fileCaptions, QStringList{"Save image"});
    QVERIFY(run.app.dialogs.messages.isEmpty());
    if (written.endsWith(".svg")) {
        QSvgRenderer svg(path);
        QVERIFY(svg.isValid());
        QCOMPARE(svg.viewBoxF(), QRectF(QPointF(0, 0), QSizeF(AwardMapPicture::size())));
    } else {
        const QImage image(path, "PNG");
        QVERIFY(!image.isNull());
        QCOMPARE(image.size(), AwardMapPicture::size());
        // AA (no QSO, a place) is white, AB accredited.
        const AwardMapPicture::Geometry grid =
            AwardMapPicture::geometry(QRectF(0, 0, image.height(), image.height()));
        const QPoint ab = (grid.cellRect(0, 1).topLeft() + QPointF(3, 3)).toPoint();
        QCOMPARE(QColor(image.pixel(ab)), AwardMapPicture::colour(AwardMap::State::Accredited));
    }
}

void TestMap::failedSaveLeavesNoFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("diskFull");
    QTest::newRow("png, disk full") << "map.png" << true;
    QTest::newRow("svg, disk full") << "map.svg" << true;
    QTest::newRow("folder gone") << "gone/map.png" << false;
}

void TestMap::failedSaveLeavesNoFile()
{
    QFETCH(QString, name);
    QFETCH(bool, diskFull);
    MapRun run({qsoRow(1, "AB", "a")});
    QVERIFY(run.started);
    AwardMapWindow *window = run.openFromMenu();
    const QString folder = QDir(run.folder.path()).filePath("out");
    QVERIFY(QDir().mkpath(folder));
    run.app.dialogs.fileNames.enqueue(QDir(folder).filePath(name));
    {
        // A disk that fills after the first few kilobytes written.
        FileSizeLimit limit(diskFull ? 2048 : RLIM_INFINITY);
        press(window, "cmdSaveImage");
    }
    QCOMPARE(run.app.dialogs.messages.size(), 1);
    QCOMPARE(run.app.dialogs.messages[0].icon, MessageIcon::Critical);
    QVERIFY(run.app.dialogs.messages[0].text.contains("No file was written"));
    QVERIFY(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System).isEmpty());

    // Cancelling the file chooser writes nothing and says nothing.
    run.app.dialogs.reset();
    press(window, "cmdSaveImage");
    QVERIFY(run.app.dialogs.messages.isEmpty());
}

void TestMap::printsTheGridAsText()
{
    MapRun run({qsoRow(1, "AA", "w", "SAT", "CW"), qsoRow(2, "XA", "c", "SAT", "CW")});
    QVERIFY(run.started);
    AwardMapWindow *window = run.openFromMenu();
    window->findChild<QComboBox *>("comboBand")->setCurrentText("SAT");
    window->findChild<QComboBox *>("comboMode")->setCurrentText("CW");
    press(window, "cmdPrint");
    QCOMPARE(run.app.printService.documents.size(), 1);
    const PrintedDocument &document = run.app.printService.documents[0];
    QVERIFY(document.ended);
    const QStringList lines = document.texts();
    QCOMPARE(lines[0], QString("DIPLOMA KX47 award map, band SAT, mode CW"));
    QCOMPARE(printedCells(lines), cellsOf("AA=w XA=c"));
    // XX has a place, AX none: a point and a slash.
    QCOMPARE(lines[3].at(4 + 2 * 23), QChar('.'));
    QCOMPARE(lines[3].at(4), QChar('/'));
    QVERIFY(lines.contains("SAT base award (5): 4 more confirmed"));
    QVERIFY(lines.contains("SAT endorsement (5): 9 more confirmed"));
    QCOMPARE(document.lines[0].fontName, QString("Courier New"));
    // The picture comes first, sharper than on screen, the lines after it.
    QCOMPARE(document.images.size(), 1);
    QCOMPARE(document.images[0].first, 0);
    const QImage printed = document.images[0].second;
    QVERIFY(printed.width() > AwardMapPicture::size().width());
    QCOMPARE(printed.width() * AwardMapPicture::size().height(),
             printed.height() * AwardMapPicture::size().width());
}

void TestMap::textsFitAtEveryChoice_data()
{
    QTest::addColumn<QString>("band");
    QTest::addColumn<QString>("mode");
    const QStringList bands = vocabulary::bandNames() << "All bands";
    for (const QString &band : bands) {
        for (const QString &mode : vocabulary::modeNames())
            QTest::addRow("%s, %s", qPrintable(band), qPrintable(mode)) << band << mode;
    }
}

void TestMap::textsFitAtEveryChoice()
{
    QFETCH(QString, band);
    QFETCH(QString, mode);
    // Figures of two digits on every band.
    QList<QsoRow> log;
    for (const QString &each : vocabulary::bandNames())
        log << spread(log.size() + 1, 11, "w", each, mode);
    MapRun run(log);
    QVERIFY(run.started);
    AwardMapWindow *window = run.openFromMenu();
    window->findChild<QComboBox *>("comboBand")->setCurrentText(band);
    window->findChild<QComboBox *>("comboMode")->setCurrentText(mode);
    const AwardMapPicture picture(window->data(), window->withPlaces());
    const QRectF beside(AwardMapPicture::size().height(), 0,
                        AwardMapPicture::size().width() - AwardMapPicture::size().height(),
                        AwardMapPicture::size().height());
    const QVector<AwardMapPicture::LegendText> texts = picture.legendTexts();
    int swatches = 0;
    for (const AwardMapPicture::LegendText &text : texts) {
        const QFontMetricsF metrics(text.font);
        // Drawn centred on its line: the baseline lies half the ascent less the descent below
        // the middle.
        const QRectF inked = metrics.boundingRect(text.text).translated(
            text.bounds.left(),
            text.bounds.center().y() + (metrics.ascent() - metrics.descent()) / 2);
        QVERIFY2(beside.contains(text.bounds) && beside.contains(inked), qPrintable(text.text));
        if (text.state || text.hatched) {
            QVERIFY2(beside.contains(text.swatch) && text.swatch.right() < text.bounds.left(),
                     qPrintable(text.text));
            ++swatches;
        }
    }
    QCOMPARE(swatches, AwardMap::legendStates().size() + 1);
    QVERIFY(texts.size() > 4 + AwardMap::figureLines(window->data()).size());
    // The window's figures are shown whole.
    QCoreApplication::sendPostedEvents();
    auto *figures = window->findChild<QLabel *>("lblFigures");
    QVERIFY(figures->width() >= figures->sizeHint().width());
    QVERIFY(figures->height() >= figures->sizeHint().height());
}

void TestMap::cardsToChase_data()
{
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QString>("band");     // empty: all bands
    QTest::addColumn<QString>("expected"); // call@sub-square, in the order listed

    QTest::newRow("one QSO a sub-square without card, LoTW and eQSL first")
        << QStringList{"AB|w|HF|MIXED", "AB|wL|HF|MIXED", "AC|wL|HF|MIXED", "AC|c|HF|MIXED",
                       "AD|w|HF|MIXED", "AD|a|HF|MIXED",  "AE|wE|HF|MIXED", "AF|w|VHF|MIXED",
                       "AG|wE|HF|SSB",  "AA|w|HF|MIXED"}
        << "HF"
        << "CALL2@AB CALL7@AE CALL10@AA";
    // SHF needs one confirmed QSO more for its base award, VHF fifteen, HF fifty.
    QTest::newRow("the band nearest to an award first")
        << QStringList{"AB|w|HF|MIXED",  "AC|w|SHF|MIXED", "AD|c|SHF|MIXED", "AE|c|SHF|MIXED",
                       "AF|c|SHF|MIXED", "AG|c|SHF|MIXED", "AB|w|VHF|MIXED"}
        << ""
        << "CALL2@AC CALL7@AB CALL1@AB";
}

void TestMap::cardsToChase()
{
    QFETCH(QStringList, log);
    QFETCH(QString, band);
    QFETCH(QString, expected);
    MapRun run(rowsOf(log));
    QVERIFY(run.started);
    confirmFrom(run.folder, log);

    QStringList listed;
    for (const CardsToChase::Card &card : CardsToChase(run.context().log).list(band, "MIXED"))
        listed << card.qso.call + QLatin1Char('@') + card.qso.locator;
    QCOMPARE(listed.join(QLatin1Char(' ')), expected);
}

void TestMap::cardsToChasePrintedAndExported()
{
    const QStringList log{"AB|wL|UHF|CW", "AC|w|UHF|CW", "AD|c|UHF|CW"};
    MapRun run(rowsOf(log));
    QVERIFY(run.started);
    confirmFrom(run.folder, log);
    run.app.menuItem("mnCardsToChase")->trigger();
    auto *window = run.app.windows().find<CardsToChaseWindow>(CardsToChaseWindow::name);
    QVERIFY(window && window->isVisible());
    window->findChild<QComboBox *>("comboBand")->setCurrentText("UHF");
    window->findChild<QComboBox *>("comboMode")->setCurrentText("CW");
    QCOMPARE(window->cards().size(), 2);

    press(window, "cmdPrint");
    QCOMPARE(run.app.printService.documents.size(), 1);
    const QStringList lines = run.app.printService.documents[0].texts();
    QCOMPARE(lines.size(), 5);
    QVERIFY(lines[3].startsWith("CALL1           | 07/12/04 | 09.30 | KX47AB | UHF    | LoTW"));
    QVERIFY(lines[4].contains("| KX47AC | UHF    | worked"));

    // The list for QSL request labels; a file that cannot be written is told and not made.
    const QString path = run.folder.path() + "/cards.adi";
    run.app.dialogs.fileNames << run.folder.path() + "/missing/cards.adi" << path;
    press(window, "cmdExportAdif");
    QCOMPARE(run.app.dialogs.messages.last().icon, MessageIcon::Critical);
    QVERIFY(!QFile::exists(run.folder.path() + "/missing/cards.adi"));
    press(window, "cmdExportAdif");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    QCOMPARE(written.count("<EOR>"), 2);
    QVERIFY(written.contains("<CALL:5>CALL1 "));
    QVERIFY(written.contains("<LOTW_QSL_RCVD:1>Y"));

    // The list follows the log.
    QSqlQuery(run.folder.log()).exec("update data set qsl = 'c' where count = 2");
    run.context().logNotifier.notifyLogChanged();
    QCOMPARE(window->cards().size(), 1);
}

QTEST_MAIN(TestMap)
#include "tst_map.moc"
