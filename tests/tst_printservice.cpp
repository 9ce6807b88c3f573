// The real printer: A4 pages written as PDF into Printouts, read back with pdftotext to see the
// lines, their columns and the page breaks as a reader of the paper would.
#include "documentsfolder.h"
#include "fakedialogs.h"
#include "filesizelimit.h"
#include "printouttext.h"
#include "recordingdesktop.h"

#include "platform/qtprintservice.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace kx47;
using namespace kx47::test;

namespace
{

constexpr double pointsPerMillimetre = 72 / 25.4;

// One line of a test document: the font it is printed in and its text.
struct Line {
    QString font;
    double size;
    bool bold;
    QString text;
};

// A 115-character line of the full log, made of the given values in their columns.
QString logLine(int number)
{
    const QString call = QStringLiteral("IK%1ABCDEFGH").arg(number, 2, 10, QLatin1Char('0'));
    return QString(11, QLatin1Char(' ')) + call.left(12).leftJustified(12) + " | KX47AB | " +
           QStringLiteral("PLACE %1").arg(number).leftJustified(29) + " | RN | 50 MHz  | " +
           "DIGITA | 07/12/04   | 09.05   | c";
}

} // namespace

class TestPrintService : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void pageText_data();
    void pageText();
    void pageFont_data();
    void pageFont();
    void printoutFileName_data();
    void printoutFileName();

    void pdfKeepsLinesAndColumns();
    void linesReadAsTheLayoutDrawsThem_data();
    void linesReadAsTheLayoutDrawsThem();
    void pageBreaksFallWhereThePageIsFull_data();
    void pageBreaksFallWhereThePageIsFull();
    void fontsOnPaper();
    void tickBoxesOnPaper();
    void unwritableFolderIsReportedAndNothingOpened();
    void readOnlyFolderPrintsToDocuments();
    void everyDocumentGetsItsOwnFile();
    void failureMidwayLeavesNoFile();
    void cancelOfALongPrintoutLeavesNoFile();
    void printoutWithoutViewerIsFoundInWords_data();
    void printoutWithoutViewerIsFoundInWords();

private:
    // Prints the lines as one document into a fresh program folder and reads the PDF back.
    bool printAndRead(const QList<Line> &lines, PrintoutText *text);
    // The print service of the test's folder, printing into PDF files.
    QtPrintService pdfService()
    {
        return {m_folder->path(), m_dialogs, m_desktop, QtPrintService::Destination::PdfFile};
    }

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<OwnDocumentsFolder> m_documents;
    FakeDialogs m_dialogs;
    RecordingDesktop m_desktop;
};

void TestPrintService::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    m_documents.reset();
    m_documents = std::make_unique<OwnDocumentsFolder>();
    m_dialogs.reset();
    m_desktop.opened.clear();
    m_desktop.viewerOpens = true;
}

bool TestPrintService::printAndRead(const QList<Line> &lines, PrintoutText *text)
{
    QtPrintService service = pdfService();
    std::unique_ptr<Printer> printer = service.startDocument(QStringLiteral("KX47 TEST"));
    for (const Line &line : lines) {
        printer->setFontName(line.font);
        printer->setFontSize(line.size);
        printer->setBold(line.bold);
        printer->printLine(line.text);
    }
    printer->endDocument();
    if (!printer->ok() || m_desktop.opened.size() != 1 || !m_dialogs.messages.isEmpty())
        return false;
    if (!text->read(m_desktop.opened.first())) {
        qWarning() << text->error();
        return false;
    }
    return true;
}

void TestPrintService::pageText_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("onPaper");
    const QChar box(0x2610);
    QTest::newRow("plain text stays") << "  ALL QSOs of IK0ABC"
                                      << "  ALL QSOs of IK0ABC";
    QTest::newRow("tick box") << QString(QChar(0x8D)) << QString(box);
    QTest::newRow("fee line") << QString("enclose: ") + QChar(0x8D) + "€ 5,00 " + QChar(0x8D) +
                                     "$ 7,00 " + QChar(0x8D) + " 7 I.R.C"
                              << QString("enclose: ") + box + "€ 5,00 " + box + "$ 7,00 " + box +
                                     " 7 I.R.C";
    QTest::newRow("first C1 dropped") << QString("A") + QChar(0x80) + "B"
                                      << "AB";
    QTest::newRow("last C1 dropped") << QString("A") + QChar(0x9F) + "B"
                                     << "AB";
    QTest::newRow("next line dropped")
        << QString(QChar(0x85)) + "X" + QChar(0x8C) + QChar(0x8E) << "X";
    QTest::newRow("no-break space stays")
        << QString("A") + QChar(0xA0) + QChar(0x7E) << QString("A") + QChar(0xA0) + QChar(0x7E);
    QTest::newRow("accents stay") << "FORLÌ € ñ"
                                  << "FORLÌ € ñ";
    QTest::newRow("blanks stay") << QString(62, ' ') << QString(62, ' ');
}

void TestPrintService::pageText()
{
    QFETCH(QString, line);
    QFETCH(QString, onPaper);
    QCOMPARE(QtPrintService::pageText(line), onPaper);
}

void TestPrintService::pageFont_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("size");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QString>("face");
    QTest::addColumn<bool>("fixedPitch");
    QTest::newRow("Courier New 8") << "Courier New" << 8.0 << false << "Liberation Mono" << true;
    QTest::newRow("Courier New 8 bold")
        << "Courier New" << 8.0 << true << "Liberation Mono" << true;
    QTest::newRow("Times New Roman 12 bold")
        << "Times New Roman" << 12.0 << true << "Liberation Serif" << false;
    QTest::newRow("Times New Roman 8")
        << "Times New Roman" << 8.0 << false << "Liberation Serif" << false;
}

void TestPrintService::pageFont()
{
    QFETCH(QString, name);
    QFETCH(double, size);
    QFETCH(bool, bold);
    QFETCH(QString, face);
    QFETCH(bool, fixedPitch);
    const QFont font = QtPrintService::pageFont(name, size, bold);
    const QFontInfo resolved(font);
    QCOMPARE(resolved.family(), face);
    QCOMPARE(resolved.fixedPitch(), fixedPitch);
    QCOMPARE(resolved.bold(), bold);
    QCOMPARE(font.pointSizeF(), size);
}

void TestPrintService::printoutFileName_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("plain") << "DIPLOMA KX47 APPLICATION"
                           << "DIPLOMA KX47 APPLICATION 2024-03-09 07.05.03.pdf";
    QTest::newRow("unsafe characters") << "A/B\\C:D*E?F\"G<H>I|J"
                                       << "A_B_C_D_E_F_G_H_I_J 2024-03-09 07.05.03.pdf";
    QTest::newRow("controls and runs of blanks")
        << QString("  KX47 \t ALL") + QChar(0x8D) << "KX47 ALL_ 2024-03-09 07.05.03.pdf";
    QTest::newRow("no name") << ""
                             << "KX47 2024-03-09 07.05.03.pdf";
}

void TestPrintService::printoutFileName()
{
    QFETCH(QString, document);
    QFETCH(QString, fileName);
    const QDateTime when(QDate(2024, 3, 9), QTime(7, 5, 3));
    QCOMPARE(QtPrintService::printoutFileName(document, when), fileName);
}

void TestPrintService::pdfKeepsLinesAndColumns()
{
    if (!PrintoutText::available())
        QSKIP("pdftotext (poppler-utils) is not installed");
    const QString courier = QStringLiteral("Courier New");
    QList<Line> lines = {{courier, 8, false, "LEFT"},
                         {courier, 14, false, "              ALL QSOs of IK0ABC"},
                         {courier, 8, false, " "}};
    QStringList courierLines;
    for (int i = 0; i < 40; ++i)
        courierLines << logLine(i);
    // Fields filled to the last character and a line of the listing of an application.
    courierLines << QString(11, ' ') + "IK0ABCDEFGHI | KX47XX | " + QString(29, 'W') +
                        " | RS | UHF     | MIXED  | 31/12/99   | 23.59   | a"
                 << QString(14, ' ') + "IZ4ZZZ       | KX47AA | SANT'ERMINIO                  | " +
                        "RSM | 01/01/00   | 00.00";
    for (const QString &text : courierLines)
        lines.append({courier, 8, false, text});
    QCOMPARE(courierLines.first().size(), 115);

    PrintoutText text;
    QVERIFY(printAndRead(lines, &text));
    const QString pdf = m_desktop.opened.first();
    QCOMPARE(QFileInfo(pdf).absolutePath(), QDir(m_folder->path()).filePath("Printouts"));
    QVERIFY2(QFileInfo(pdf).fileName().contains(QRegularExpression(
                 "^KX47 TEST \\d{4}-\\d\\d-\\d\\d \\d\\d\\.\\d\\d\\.\\d\\d\\.pdf$")),
             qPrintable(pdf));

    QCOMPARE(text.pages().size(), 1);
    const QStringList page = text.pages().first();
    const int title = text.lineOf("ALL QSOs of IK0ABC");
    QVERIFY(title >= 0);
    const int first = text.lineOf("IK00ABCDEFGH");
    QVERIFY(first > title);
    QVERIFY(page.size() >= first + courierLines.size());
    const int shift = commonShift(courierLines, page.mid(first, courierLines.size()));
    QVERIFY2(shift >= 0, qPrintable(page.mid(first, courierLines.size()).join('\n')));
    // The left margin is at most 7 mm: no more than four columns of 4.8 points.
    QVERIFY2(shift <= 4, qPrintable(QString::number(shift)));

    // The longest line stays inside the page and its right margin of at most 7 mm.
    const PrintoutText::Page &box = text.boxes().first();
    double right = 0;
    double left = box.width;
    for (const PrintoutText::Word &word : box.words) {
        right = std::max(right, word.right);
        left = std::min(left, word.left);
    }
    QVERIFY2(left >= 5 * pointsPerMillimetre && left <= 7 * pointsPerMillimetre,
             qPrintable(QString::number(left)));
    QVERIFY2(right <= box.width - 5 * pointsPerMillimetre, qPrintable(QString::number(right)));
    QCOMPARE(qRound(box.width), 595); // A4
    QCOMPARE(qRound(box.height), 842);
}

void TestPrintService::linesReadAsTheLayoutDrawsThem_data()
{
    QTest::addColumn<double>("size");
    QTest::addColumn<QString>("line");
    QTest::newRow("log line") << 8.0 << logLine(7);
    QTest::newRow("title") << 14.0 << "              ALL QSOs of IK0ABC";
    QTest::newRow("blanks inside and around") << 8.0 << "   A    B C   ";
    QTest::newRow("Latin letters") << 8.0 << "FORLÌ | ŁÓDŹ ÆØÅ ß | ȘTEFĂNEȘTI ǅ ʼ ˚ ~";
    QTest::newRow("pairs that could join") << 8.0 << "ffi fl fi www -- ... ''";
    QTest::newRow("tick box and C1")
        << 8.0 << QString("enclose: ") + QChar(0x8D) + "€ 5,00" + QChar(0x85);
    QTest::newRow("Greek and Cyrillic") << 8.0 << "ΑΘΗΝΑ | МОСКВА | X";
    QTest::newRow("combining mark") << 8.0 << QString("PLACE A") + QChar(0x301) + "B | X";
    QTest::newRow("right to left")
        << 8.0 << QString("IK0ABC | ") + QChar(0x2068) + "שלום" + QChar(0x2069) + " | X";
    QTest::newRow("right to left, not set apart") << 8.0 << "IK0ABC | שלום 12 | X";
}

void TestPrintService::linesReadAsTheLayoutDrawsThem()
{
    if (!PrintoutText::available())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QFETCH(double, size);
    QFETCH(QString, line);
    const QString courier = QStringLiteral("Courier New");
    PrintoutText printed;
    QVERIFY(printAndRead({{courier, size, false, line}, {courier, size, false, line}}, &printed));

    // The same lines through QPainter::drawText, on the printer's page.
    const QString drawnPath = QDir(m_folder->path()).filePath("drawn.pdf");
    {
        QPdfWriter pdf(drawnPath);
        pdf.setResolution(16 * 72);
        pdf.setPageLayout(QtPrintService::pageLayout());
        QPainter painter(&pdf);
        const QFont font(QtPrintService::pageFont(courier, size, false), &pdf);
        painter.setFont(font);
        const QFontMetricsF metrics(font, &pdf);
        for (int i = 0; i < 2; ++i) {
            painter.drawText(QPointF(0, i * metrics.lineSpacing() + metrics.ascent()),
                             QtPrintService::pageText(line));
        }
    }
    PrintoutText drawn;
    QVERIFY2(drawn.read(drawnPath), qPrintable(drawn.error()));

    QCOMPARE(printed.lines(), drawn.lines());
    QCOMPARE(printed.boxes().size(), 1);
    QCOMPARE(drawn.boxes().size(), 1);
    const QList<PrintoutText::Word> words = printed.boxes().first().words;
    const QList<PrintoutText::Word> drawnWords = drawn.boxes().first().words;
    QCOMPARE(words.size(), drawnWords.size());
    for (int i = 0; i < words.size(); ++i) {
        QCOMPARE(words[i].text, drawnWords[i].text);
        for (auto [edge, drawnEdge] : {std::pair{words[i].left, drawnWords[i].left},
                                       {words[i].top, drawnWords[i].top},
                                       {words[i].right, drawnWords[i].right},
                                       {words[i].bottom, drawnWords[i].bottom}})
            QVERIFY2(qAbs(edge - drawnEdge) < 0.01, qPrintable(words[i].text));
    }
}

void TestPrintService::pageBreaksFallWhereThePageIsFull_data()
{
    QTest::addColumn<QString>("font");
    QTest::addColumn<double>("size");
    QTest::addColumn<double>("titleSize");
    QTest::addColumn<int>("lineCount");
    QTest::newRow("Courier New 8") << "Courier New" << 8.0 << 0.0 << 200;
    QTest::newRow("a 14-point title first") << "Courier New" << 8.0 << 14.0 << 200;
    QTest::newRow("Times New Roman 12") << "Times New Roman" << 12.0 << 0.0 << 130;
}

void TestPrintService::pageBreaksFallWhereThePageIsFull()
{
    if (!PrintoutText::available())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QFETCH(QString, font);
    QFETCH(double, size);
    QFETCH(double, titleSize);
    QFETCH(int, lineCount);
    QList<Line> lines;
    if (titleSize > 0)
        lines.append({font, titleSize, true, "TITLE"});
    QStringList printed;
    for (int i = 1; i <= lineCount; ++i) {
        printed << QStringLiteral("LINE%1").arg(i, 3, 10, QLatin1Char('0'));
        lines.append({font, size, false, "  " + printed.last() + " x"});
    }
    PrintoutText text;
    QVERIFY(printAndRead(lines, &text));

    // Every line arrives once, in order, and no page is empty.
    QStringList arrived;
    for (const PrintoutText::Page &page : text.boxes()) {
        QVERIFY(!page.words.isEmpty());
        for (const PrintoutText::Word &word : page.words) {
            if (word.text.startsWith("LINE"))
                arrived << word.text;
        }
    }
    QCOMPARE(arrived, printed);

    const double bottomLimit = text.boxes().first().height - 10 * pointsPerMillimetre;
    double firstTop = -1;
    for (int p = 0; p < text.boxes().size(); ++p) {
        QList<PrintoutText::Word> numbered;
        for (const PrintoutText::Word &word : text.boxes()[p].words) {
            if (word.text.startsWith("LINE"))
                numbered << word;
        }
        QVERIFY(numbered.size() >= 2);
        const double spacing = numbered[1].top - numbered[0].top;
        QVERIFY(spacing > size && spacing < 1.5 * size);
        const double lastBottom = numbered.last().bottom;
        // Nothing is printed into the bottom margin...
        QVERIFY2(lastBottom <= bottomLimit + 0.5,
                 qPrintable(QString("page %1 ends at %2").arg(p + 1).arg(lastBottom)));
        // ...and a page is left only when one more line would not fit on it.
        if (p + 1 < text.boxes().size()) {
            QVERIFY2(lastBottom + spacing > bottomLimit,
                     qPrintable(QString("page %1 ends at %2 with room for another line")
                                    .arg(p + 1)
                                    .arg(lastBottom)));
        }
        // Each new page starts at the top margin, like the first.
        const double top = text.boxes()[p].words.first().top;
        if (firstTop < 0)
            firstTop = top;
        else
            QVERIFY(qAbs(top - firstTop) < 1);
        QVERIFY(top >= 9 * pointsPerMillimetre);
    }
    QVERIFY(text.boxes().size() > 1);
}

void TestPrintService::fontsOnPaper()
{
    if (QStandardPaths::findExecutable("pdffonts").isEmpty())
        QSKIP("pdffonts (poppler-utils) is not installed");
    const QList<Line> lines = {
        {"Times New Roman", 12, true, "DIPLOMA KX47 APPLICATION"},
        {"Times New Roman", 12, false, "The undersigned"},
        {"Courier New", 8, false, "IK0ABC       | KX47AA"},
    };
    PrintoutText text;
    QVERIFY(printAndRead(lines, &text));
    QProcess fonts;
    fonts.start("pdffonts", {m_desktop.opened.first()});
    QVERIFY(fonts.waitForFinished(30000));
    const QString list = QString::fromLocal8Bit(fonts.readAllStandardOutput());
    QVERIFY2(list.contains("LiberationMono"), qPrintable(list));
    QVERIFY2(list.contains("LiberationSerif-Bold"), qPrintable(list));
    QVERIFY2(list.contains(QRegularExpression("LiberationSerif\\s")), qPrintable(list));
}

void TestPrintService::tickBoxesOnPaper()
{
    if (!PrintoutText::available())
        QSKIP("pdftotext (poppler-utils) is not installed");
    const QString fee = QString(15, ' ') +
                        "As a partial fee remboursement I enclose: " + QChar(0x8D) + "€ 5,00 " +
                        QChar(0x8D) + "$ 7,00 " + QChar(0x8D) + " 7 I.R.C" + QString(19, ' ');
    PrintoutText text;
    QVERIFY(printAndRead({{"Times New Roman", 12, false, fee},
                          {"Times New Roman", 12, false, QString("NEXT") + QChar(0x85) + "LINE"}},
                         &text));
    const QString all = text.lines().join('\n');
    const QChar box(0x2610);
    QVERIFY2(all.simplified().contains(QString("I enclose: ") + box + "€ 5,00 " + box + "$ 7,00 " +
                                       box + " 7 I.R.C"),
             qPrintable(all));
    QVERIFY2(all.contains("NEXTLINE"), qPrintable(all));
    for (const QChar c : all)
        QVERIFY2(c.unicode() < 0x80 || c.unicode() > 0x9F, qPrintable(all));
}

void TestPrintService::unwritableFolderIsReportedAndNothingOpened()
{
    // A file where the folder of the printouts should be, and where the documents folder
    // would be.
    QFile blocker(QDir(m_folder->path()).filePath("Printouts"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    m_documents.reset();
    m_documents = std::make_unique<OwnDocumentsFolder>(true);

    QtPrintService service = pdfService();
    std::unique_ptr<Printer> printer = service.startDocument("KX47 ALL QSOs");
    printer->setFontName("Courier New");
    printer->setFontSize(8);
    for (int i = 0; i < 100; ++i)
        printer->printLine("LINE");
    printer->endDocument();
    printer->endDocument();

    QVERIFY(!printer->ok());
    QCOMPARE(m_dialogs.messages.size(), 1);
    const FakeDialogs::Message message = m_dialogs.messages.first();
    QCOMPARE(message.icon, MessageIcon::Critical);
    QCOMPARE(message.buttons, MessageButtons::Ok);
    QCOMPARE(message.title, QString("KX47"));
    QVERIFY2(message.text.contains("could not be saved"), qPrintable(message.text));
    QVERIFY2(message.text.contains(QDir::toNativeSeparators(blocker.fileName())),
             qPrintable(message.text));
    QVERIFY(m_desktop.opened.isEmpty());
    QVERIFY(QFileInfo(blocker.fileName()).isFile());
}

// A read-only program folder: the printout goes to the documents folder, and the user is told.
void TestPrintService::readOnlyFolderPrintsToDocuments()
{
    QFile::setPermissions(m_folder->path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QtPrintService service = pdfService();
    std::unique_ptr<Printer> printer = service.startDocument("KX47 ALL QSOs");
    printer->setFontName("Courier New");
    printer->printLine("LINE");
    printer->endDocument();
    QFile::setPermissions(m_folder->path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (QFileInfo(QDir(m_folder->path()).filePath("Printouts")).exists())
        QSKIP("the folder stays writable (run as root)");
    QVERIFY(printer->ok());
    QCOMPARE(m_desktop.opened.size(), 1);
    QVERIFY(m_desktop.opened.first().startsWith(m_documents->path() + "/KX47 ALL QSOs"));
    QCOMPARE(m_dialogs.messages.size(), 1);
    QVERIFY2(m_dialogs.messages.first().text.contains("saved in your documents folder"),
             qPrintable(m_dialogs.messages.first().text));
}

void TestPrintService::everyDocumentGetsItsOwnFile()
{
    QtPrintService service = pdfService();
    for (int i = 0; i < 3; ++i) {
        std::unique_ptr<Printer> printer = service.startDocument("KX47 ALL QSOs");
        printer->setFontName("Courier New");
        printer->setFontSize(8);
        printer->printLine(QString::number(i));
        printer->endDocument();
        QVERIFY(printer->ok());
    }
    QCOMPARE(m_desktop.opened.size(), 3);
    QCOMPARE(QSet<QString>(m_desktop.opened.begin(), m_desktop.opened.end()).size(), 3);
    const QDir printouts(QDir(m_folder->path()).filePath("Printouts"));
    QCOMPARE(printouts.entryList(QDir::Files).size(), 3);
    for (const QString &path : m_desktop.opened) {
        QVERIFY(QFileInfo(path).size() > 0);
        QCOMPARE(QFileInfo(path).absoluteDir(), printouts);
    }
    QVERIFY(m_dialogs.messages.isEmpty());
}

void TestPrintService::failureMidwayLeavesNoFile()
{
    QtPrintService service = pdfService();
    std::unique_ptr<Printer> printer = service.startDocument("KX47 ALL QSOs");
    {
        // The disk fills up once the document has reached 16 KB.
        FileSizeLimit full(16 * 1024);
        QVERIFY(full.isSet());
        printer->setFontName("Courier New");
        printer->setFontSize(8);
        for (int i = 0; i < 3000; ++i)
            printer->printLine(logLine(i % 100));
        printer->endDocument();
    }
    QVERIFY(!printer->ok());
    QCOMPARE(m_dialogs.messages.size(), 1);
    QCOMPARE(m_dialogs.messages.first().icon, MessageIcon::Critical);
    QVERIFY2(m_dialogs.messages.first().text.contains("could not be saved"),
             qPrintable(m_dialogs.messages.first().text));
    QVERIFY(m_desktop.opened.isEmpty());
    QVERIFY(QDir(service.printoutFolder()).isEmpty(QDir::Files | QDir::Hidden));
}

void TestPrintService::cancelOfALongPrintoutLeavesNoFile()
{
    QtPrintService service = pdfService();
    std::unique_ptr<Printer> printer = service.startDocument("KX47 ALL QSOs");
    // The user presses Cancel as soon as the progress window shows.
    bool shown = false;
    QTimer canceller;
    QObject::connect(&canceller, &QTimer::timeout, [&shown] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            auto *progress = qobject_cast<QProgressDialog *>(window);
            if (progress && progress->isVisible()) {
                shown = true;
                progress->cancel();
            }
        }
    });
    canceller.start(10);
    printer->setFontName("Courier New");
    printer->setFontSize(8);
    QElapsedTimer clock;
    clock.start();
    int lines = 0;
    while (printer->ok() && clock.elapsed() < 60000)
        printer->printLine(logLine(++lines % 100));
    printer->endDocument();
    QVERIFY(shown);
    QVERIFY(clock.elapsed() >= 500); // not before half a second
    QVERIFY(!printer->ok());
    QVERIFY(m_dialogs.messages.isEmpty());
    QVERIFY(m_desktop.opened.isEmpty());
    QVERIFY(QDir(service.printoutFolder()).isEmpty(QDir::Files | QDir::Hidden));
}

void TestPrintService::printoutWithoutViewerIsFoundInWords_data()
{
    QTest::addColumn<bool>("viewer");
    QTest::newRow("a viewer shows it") << true;
    QTest::newRow("no viewer") << false;
}

void TestPrintService::printoutWithoutViewerIsFoundInWords()
{
    QFETCH(bool, viewer);
    m_desktop.viewerOpens = viewer;
    QtPrintService service = pdfService();
    std::unique_ptr<Printer> printer = service.startDocument("KX47 ALL QSOs");
    printer->printLine("LINE");
    printer->endDocument();
    QVERIFY(printer->ok());
    QCOMPARE(m_desktop.opened.size(), 1);
    const QString pdf = m_desktop.opened.first();
    QVERIFY(QFileInfo(pdf).size() > 0);
    if (viewer) {
        QVERIFY(m_dialogs.messages.isEmpty());
        return;
    }
    QCOMPARE(m_dialogs.messages.size(), 1);
    QCOMPARE(m_dialogs.messages.first().icon, MessageIcon::Information);
    QVERIFY2(m_dialogs.messages.first().text.contains(QDir::toNativeSeparators(pdf)),
             qPrintable(m_dialogs.messages.first().text));
}

QTEST_MAIN(TestPrintService)
#include "tst_printservice.moc"
