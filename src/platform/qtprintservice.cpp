#include "qtprintservice.h"

#include "desktop.h"
#include "dialogs.h"
#include "paths/programplaces.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QMarginsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QRawFont>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <vector>

namespace kx47
{

namespace
{

constexpr int pdfResolution = 16 * 72;

// The box printed for U+008D, where the applicant ticks how the fee is paid.
constexpr char16_t tickBox = 0x2610;

// The metric-compatible faces that stand in for the fonts the printouts ask for.
struct FontSubstitute {
    QString face;
    QFont::StyleHint hint;
    bool fixedPitch;
};

const QHash<QString, FontSubstitute> &fontSubstitutes()
{
    static const QHash<QString, FontSubstitute> substitutes = {
        {QStringLiteral("Courier New"),
         {QStringLiteral("Liberation Mono"), QFont::TypeWriter, true}},
        {QStringLiteral("Times New Roman"),
         {QStringLiteral("Liberation Serif"), QFont::Serif, false}},
    };
    return substitutes;
}

// The glyphs of a font with a grid: characters that each fill one cell of the same width and
// need no shaping (no joining, no combining marks, no text written from right to left) are
// placed straight on the grid, glyph by glyph, as the text layout would place them. Blanks are
// not drawn: their cells are left empty, which is what a blank prints as, and a reader of the
// file still finds the blanks between the words from the gaps.
class GridGlyphs
{
public:
    // Takes the font as the paper sees it; a font without a grid leaves every line to drawText.
    void setFont(const QFont &font)
    {
        m_font = QRawFont::fromFont(font);
        m_glyphs.assign(gridCharacters, unknown);
        m_pitch = 0;
        if (!m_font.isValid() || !QFontInfo(font).fixedPitch())
            return;
        const QList<quint32> space = m_font.glyphIndexesForString(QStringLiteral(" "));
        if (space.size() != 1 || space.first() == 0)
            return;
        m_pitch = advance(space.first());
    }

    // The glyphs and their positions on the grid, from the left end of the baseline, for a
    // line whose characters all have their glyph on the grid; false for any other line.
    bool place(const QString &line)
    {
        m_indexes.clear();
        m_positions.clear();
        if (m_pitch <= 0)
            return false;
        for (qsizetype column = 0; column < line.size(); ++column) {
            const char16_t c = line.at(column).unicode();
            if (c == u' ')
                continue;
            const quint32 glyph = gridGlyph(c);
            if (glyph == 0)
                return false;
            m_indexes.push_back(glyph);
            m_positions.emplace_back(double(column) * m_pitch, 0.0);
        }
        return true;
    }

    // The run of the glyphs placed last; it refers to them until the next place().
    QGlyphRun run() const
    {
        QGlyphRun glyphs;
        glyphs.setRawFont(m_font);
        glyphs.setRawData(m_indexes.data(), m_positions.data(), int(m_indexes.size()));
        return glyphs;
    }

    bool empty() const { return m_indexes.empty(); }

private:
    // Below the combining diacritical marks (U+0300) the characters are Latin letters, digits,
    // punctuation and symbols written from left to right, which the layout shapes one by one.
    static constexpr char16_t gridCharacters = 0x300;
    static constexpr quint32 unknown = ~quint32(0);
    static constexpr char16_t softHyphen = 0xAD;

    // The glyph of a character that fills one cell; 0 when it has none.
    quint32 gridGlyph(char16_t c)
    {
        if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c == softHyphen || c >= gridCharacters)
            return 0;
        quint32 &glyph = m_glyphs[c];
        if (glyph == unknown) {
            const QList<quint32> found = m_font.glyphIndexesForString(QString(QChar(c)));
            glyph = found.size() == 1 ? found.first() : 0;
            if (glyph != 0 && advance(glyph) != m_pitch)
                glyph = 0;
        }
        return glyph;
    }

    qreal advance(quint32 glyph) const
    {
        const QList<QPointF> advances = m_font.advancesForGlyphIndexes({glyph});
        return advances.size() == 1 ? advances.first().x() : 0;
    }

    QRawFont m_font;
    qreal m_pitch = 0;
    std::vector<quint32> m_glyphs;
    std::vector<quint32> m_indexes;
    std::vector<QPointF> m_positions;
};

// How long printing runs before the progress window with its Cancel button shows.
constexpr qint64 progressDelayMs = 500;
// How often, at most, the window is brought up to date and the Cancel button looked at.
constexpr qint64 progressStepMs = 50;

class QtPrinter : public Printer
{
public:
    // To a printer.
    QtPrinter(std::unique_ptr<QPrinter> printer, const QString &documentName, Dialogs &dialogs,
              Desktop &desktop)
        : m_printer(std::move(printer)), m_documentName(documentName), m_dialogs(dialogs),
          m_desktop(desktop)
    {
        begin(m_printer.get());
    }

    // To a PDF file: written under a temporary name and given its own only when complete.
    // insteadOf: the folder that could not take the printout, which is then told.
    QtPrinter(const QString &pdfPath, const QString &documentName, Dialogs &dialogs,
              Desktop &desktop, const QString &insteadOf = QString())
        : m_pdfPath(pdfPath), m_insteadOf(insteadOf), m_documentName(documentName),
          m_dialogs(dialogs), m_desktop(desktop)
    {
        m_file = std::make_unique<QSaveFile>(pdfPath);
        if (!m_file->open(QIODevice::WriteOnly)) {
            fail();
            return;
        }
        m_pdf = std::make_unique<QPdfWriter>(m_file.get());
        m_pdf->setTitle(documentName);
        m_pdf->setCreator(QStringLiteral("KX47"));
        // Whole points give whole pixels at a multiple of 72 dots per inch, so the characters
        // of Courier New keep their exact width and the columns stay on their grid.
        m_pdf->setResolution(pdfResolution);
        m_pdf->setPageLayout(QtPrintService::pageLayout());
        begin(m_pdf.get());
    }

    ~QtPrinter() override
    {
        // A document left unfinished is not printed; an unfinished PDF leaves no file.
        if (m_painter.isActive()) {
            if (m_printer)
                m_printer->abort();
            m_painter.end();
        }
        if (m_file)
            m_file->cancelWriting();
        delete m_progress;
    }

    void setFontName(const QString &name) override { setFont(name, m_fontSize, m_bold); }
    void setFontSize(double points) override { setFont(m_fontName, points, m_bold); }
    void setBold(bool bold) override { setFont(m_fontName, m_fontSize, bold); }

    void printLine(const QString &line) override
    {
        if (!m_ok || m_ended)
            return;
        if (m_fontChanged)
            applyFont();
        if (m_y > 0 && m_y + m_lineHeight > m_pageHeight) {
            if (!device()->newPage()) {
                fail();
                return;
            }
            ++m_page;
            m_y = 0;
        }
        drawLine(line);
        m_y += m_lineHeight;
        if ((++m_lines & 0x3f) == 0)
            showProgress();
    }

    bool printImage(const QImage &image) override
    {
        if (!m_ok || m_ended || image.isNull())
            return false;
        // As wide as the page, and never taller than it.
        QSizeF shown = QSizeF(image.size()).scaled(m_pageWidth, m_pageHeight, Qt::KeepAspectRatio);
        if (m_y > 0 && m_y + shown.height() > m_pageHeight) {
            if (!device()->newPage()) {
                fail();
                return false;
            }
            ++m_page;
            m_y = 0;
        }
        m_painter.drawImage(QRectF(QPointF(0, m_y), shown), image);
        m_y += shown.height();
        return true;
    }

    void endDocument() override
    {
        if (!m_ok || m_ended)
            return;
        m_ended = true;
        showProgress();
        if (!m_ok)
            return;
        const bool painted = m_painter.end();
        delete m_progress;
        m_progress = nullptr;
        if (!painted || (m_file && !m_file->commit())) {
            fail();
            return;
        }
        if (!m_insteadOf.isEmpty()) {
            m_dialogs.message(QStringLiteral("The folder %1 cannot be written to, so the "
                                             "printout has been saved in your documents folder "
                                             "as %2.")
                                  .arg(QDir::toNativeSeparators(m_insteadOf),
                                       QDir::toNativeSeparators(m_pdfPath)),
                              MessageIcon::Information, MessageButtons::Ok);
        }
        if (!m_pdfPath.isEmpty() && !m_desktop.openDocument(m_pdfPath)) {
            m_dialogs.message(QStringLiteral("The printout has been saved as %1.\nNo program "
                                             "to show it could be started: open that file to "
                                             "check it or to print it.")
                                  .arg(QDir::toNativeSeparators(m_pdfPath)),
                              MessageIcon::Information, MessageButtons::Ok);
        }
    }

    bool ok() const override { return m_ok; }

private:
    QPagedPaintDevice *device() const
    {
        return m_printer ? static_cast<QPagedPaintDevice *>(m_printer.get()) : m_pdf.get();
    }

    void begin(QPagedPaintDevice *paper)
    {
        m_clock.start();
        if (!m_painter.begin(paper)) {
            fail();
            return;
        }
        m_resolution = paper->logicalDpiY();
        m_pageHeight = paper->pageLayout().paintRectPixels(m_resolution).height();
        m_pageWidth = paper->pageLayout().paintRectPixels(m_resolution).width();
    }

    void setFont(const QString &name, double points, bool bold)
    {
        m_fontChanged =
            m_fontChanged || name != m_fontName || points != m_fontSize || bold != m_bold;
        m_fontName = name;
        m_fontSize = points;
        m_bold = bold;
    }

    void applyFont()
    {
        // The paper's own metrics, not the screen's: they decide where the page is full.
        const QFont font(QtPrintService::pageFont(m_fontName, m_fontSize, m_bold), device());
        m_painter.setFont(font);
        const QFontMetricsF metrics(font, device());
        m_lineHeight = metrics.lineSpacing();
        m_ascent = metrics.ascent();
        m_grid.setFont(font);
        m_fontChanged = false;
    }

    void drawLine(const QString &line)
    {
        const QPointF baseline(0, m_y + m_ascent);
        // Shaping every line of a long listing costs more than writing it: the lines of a
        // fixed-pitch font go glyph by glyph onto their grid, the others through the layout.
        if (!m_grid.place(line)) {
            m_painter.drawText(baseline, QtPrintService::pageText(line));
            return;
        }
        if (!m_grid.empty())
            m_painter.drawGlyphRun(baseline, m_grid.run());
    }

    // After half a second of printing, a window tells how far it has come and offers Cancel.
    void showProgress()
    {
        const qint64 elapsed = m_clock.elapsed();
        if (elapsed < progressDelayMs || elapsed - m_lastProgress < progressStepMs)
            return;
        m_lastProgress = elapsed;
        if (!m_progress) {
            m_progress = new QProgressDialog;
            m_progress->setObjectName(QStringLiteral("frmPrintProgress"));
            m_progress->setWindowTitle(QStringLiteral("KX47"));
            m_progress->setWindowModality(Qt::ApplicationModal);
            m_progress->setRange(0, 0);
            m_progress->setMinimumDuration(0);
            m_progress->setAutoReset(false);
            m_progress->setAutoClose(false);
            m_progress->show();
        }
        m_progress->setLabelText(
            QStringLiteral("Printing %1: page %2").arg(m_documentName).arg(m_page));
        QCoreApplication::processEvents();
        if (m_progress->wasCanceled())
            cancel();
    }

    // Cancel: nothing reaches the paper and no file is left; no message, since the user asked.
    void cancel()
    {
        m_ok = false;
        if (m_printer)
            m_printer->abort();
        if (m_painter.isActive())
            m_painter.end();
        if (m_file)
            m_file->cancelWriting();
        delete m_progress;
        m_progress = nullptr;
    }

    void fail()
    {
        m_ok = false;
        if (m_printer && m_painter.isActive())
            m_printer->abort();
        if (m_painter.isActive())
            m_painter.end();
        delete m_progress;
        m_progress = nullptr;
        QString text;
        if (m_pdfPath.isEmpty()) {
            text = QStringLiteral("The printout could not be sent to the printer %1.")
                       .arg(m_printer->printerName());
        } else {
            // The temporary file goes; the printout's name was never taken.
            if (m_file)
                m_file->cancelWriting();
            text = QStringLiteral("The printout could not be saved as %1.\nCheck that the "
                                  "folder exists, can be written to and that the disk is not "
                                  "full.")
                       .arg(QDir::toNativeSeparators(m_pdfPath));
        }
        m_dialogs.message(text + QStringLiteral("\nNothing has been changed."),
                          MessageIcon::Critical, MessageButtons::Ok);
    }

    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QSaveFile> m_file;
    std::unique_ptr<QPdfWriter> m_pdf;
    QString m_pdfPath;
    QString m_insteadOf;
    QString m_documentName;
    Dialogs &m_dialogs;
    Desktop &m_desktop;
    QPainter m_painter;
    GridGlyphs m_grid;
    QElapsedTimer m_clock;
    qint64 m_lastProgress = 0;
    QProgressDialog *m_progress = nullptr;
    QString m_fontName = QStringLiteral("Times New Roman");
    double m_fontSize = 12;
    bool m_bold = false;
    bool m_fontChanged = true;
    int m_resolution = 72;
    double m_lineHeight = 0;
    double m_ascent = 0;
    double m_pageHeight = 0;
    double m_pageWidth = 0;
    double m_y = 0;
    int m_page = 1;
    quint64 m_lines = 0;
    bool m_ok = true;
    bool m_ended = false;
};

// A file name in the folder that no earlier printout has taken.
QString freePath(const QDir &folder, const QString &fileName)
{
    const QFileInfo name(fileName);
    QString path = folder.filePath(fileName);
    for (int copy = 2; QFileInfo::exists(path); ++copy) {
        path = folder.filePath(
            QStringLiteral("%1 (%2).%3").arg(name.completeBaseName()).arg(copy).arg(name.suffix()));
    }
    return path;
}

// Makes the folder when it is missing; whether a file can be written in it.
bool takesFiles(const QDir &folder)
{
    if (!folder.mkpath(QStringLiteral(".")))
        return false;
    QTemporaryFile probe(folder.filePath(QStringLiteral(".kx47-XXXXXX")));
    return probe.open();
}

} // namespace

QtPrintService::QtPrintService(const QString &programFolder, Dialogs &dialogs, Desktop &desktop,
                               Destination destination)
    : m_programFolder(programFolder), m_dialogs(dialogs), m_desktop(desktop),
      m_destination(destination)
{
}

std::unique_ptr<Printer> QtPrintService::startDocument(const QString &documentName)
{
    const QPrinterInfo defaultPrinter = m_destination == Destination::DefaultPrinter
                                            ? QPrinterInfo::defaultPrinter()
                                            : QPrinterInfo();
    if (defaultPrinter.isNull()) {
        // A read-only program folder takes no printout: the user's documents folder does.
        QDir folder(printoutFolder());
        QString insteadOf;
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (!takesFiles(folder) && !documents.isEmpty() && takesFiles(QDir(documents))) {
            insteadOf = folder.path();
            folder.setPath(documents);
        }
        const QString pdfPath =
            freePath(folder, printoutFileName(documentName, QDateTime::currentDateTime()));
        return std::make_unique<QtPrinter>(pdfPath, documentName, m_dialogs, m_desktop, insteadOf);
    }
    auto device = std::make_unique<QPrinter>(defaultPrinter, QPrinter::HighResolution);
    device->setDocName(documentName);
    device->setCreator(QStringLiteral("KX47"));
    device->setFullPage(false);
    device->setPageLayout(pageLayout());
    return std::make_unique<QtPrinter>(std::move(device), documentName, m_dialogs, m_desktop);
}

QString QtPrintService::printoutFolder() const
{
    return ProgramPlaces::find(m_programFolder).printoutFolder();
}

QPageLayout QtPrintService::pageLayout()
{
    // 115 characters of Courier New at 8 points are 552 points (195 mm) wide; A4 leaves 15 mm.
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(6, 10, 6, 10),
                       QPageLayout::Millimeter);
}

QFont QtPrintService::pageFont(const QString &name, double points, bool bold)
{
    QFont font(name);
    const auto substitute = fontSubstitutes().constFind(name);
    if (substitute != fontSubstitutes().constEnd()) {
        font.setFamilies({name, substitute->face});
        font.setStyleHint(substitute->hint);
        font.setFixedPitch(substitute->fixedPitch);
    }
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QString QtPrintService::pageText(const QString &line)
{
    QString text;
    text.reserve(line.size());
    for (const QChar c : line) {
        if (c.unicode() == 0x8D)
            text += QChar(tickBox);
        else if (c.unicode() < 0x80 || c.unicode() > 0x9F)
            text += c;
    }
    return text;
}

QString QtPrintService::printoutFileName(const QString &documentName, const QDateTime &when)
{
    QString name = documentName.simplified();
    static const QString unsafe = QStringLiteral("\\/:*?\"<>|");
    for (QChar &c : name) {
        if (unsafe.contains(c) || c.unicode() < 0x20 ||
            (c.unicode() >= 0x7F && c.unicode() <= 0x9F))
            c = QLatin1Char('_');
    }
    if (name.isEmpty())
        name = QStringLiteral("KX47");
    return name + when.toString(QStringLiteral(" yyyy-MM-dd HH.mm.ss")) + QStringLiteral(".pdf");
}

} // namespace kx47
