#include "qtprintservice.h"

#include "desktop.h"
#include "dialogs.h"
#include "programfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QMarginsF>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

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

class QtPrinter : public Printer
{
public:
    // pdfPath is empty when the document goes to a printer.
    QtPrinter(std::unique_ptr<QPrinter> device, const QString &pdfPath, Dialogs &dialogs,
              Desktop &desktop)
        : m_device(std::move(device)), m_pdfPath(pdfPath), m_dialogs(dialogs), m_desktop(desktop)
    {
        if (!m_painter.begin(m_device.get())) {
            fail();
            return;
        }
        m_pageHeight = m_device->pageLayout().paintRectPixels(m_device->resolution()).height();
    }

    ~QtPrinter() override
    {
        if (m_painter.isActive())
            m_painter.end();
    }

    void setFontName(const QString &name) override { setFont(name, m_fontSize, m_bold); }
    void setFontSize(double points) override { setFont(m_fontName, points, m_bold); }
    void setBold(bool bold) override { setFont(m_fontName, m_fontSize, bold); }

    void printLine(const QString &line) override
    {
        if (!m_ok || m_ended)
            return;
        if (m_fontChanged) {
            m_painter.setFont(QtPrintService::pageFont(m_fontName, m_fontSize, m_bold));
            // The printer's own metrics, not the screen's: they decide where the page is full.
            const QFontMetricsF metrics(m_painter.font(), m_device.get());
            m_lineHeight = metrics.lineSpacing();
            m_ascent = metrics.ascent();
            m_fontChanged = false;
        }
        if (m_y > 0 && m_y + m_lineHeight > m_pageHeight) {
            if (!m_device->newPage()) {
                fail();
                return;
            }
            m_y = 0;
        }
        m_painter.drawText(QPointF(0, m_y + m_ascent), QtPrintService::pageText(line));
        m_y += m_lineHeight;
    }

    void endDocument() override
    {
        if (!m_ok || m_ended)
            return;
        m_ended = true;
        if (!m_painter.end() || (!m_pdfPath.isEmpty() && QFileInfo(m_pdfPath).size() == 0)) {
            fail();
            return;
        }
        if (!m_pdfPath.isEmpty())
            m_desktop.open(m_pdfPath);
    }

    bool ok() const override { return m_ok; }

private:
    void setFont(const QString &name, double points, bool bold)
    {
        m_fontChanged =
            m_fontChanged || name != m_fontName || points != m_fontSize || bold != m_bold;
        m_fontName = name;
        m_fontSize = points;
        m_bold = bold;
    }

    void fail()
    {
        m_ok = false;
        if (m_painter.isActive())
            m_painter.end();
        QString text;
        if (m_pdfPath.isEmpty()) {
            text = QStringLiteral("The printout could not be sent to the printer %1.")
                       .arg(m_device->printerName());
        } else {
            QFile::remove(m_pdfPath); // no half-written document is left behind
            text = QStringLiteral("The printout could not be saved as %1.\nCheck that the "
                                  "folder exists and can be written to.")
                       .arg(QDir::toNativeSeparators(m_pdfPath));
        }
        m_dialogs.message(text + QStringLiteral("\nNothing has been changed."),
                          MessageIcon::Critical, MessageButtons::Ok);
    }

    std::unique_ptr<QPrinter> m_device;
    QString m_pdfPath;
    Dialogs &m_dialogs;
    Desktop &m_desktop;
    QPainter m_painter;
    QString m_fontName = QStringLiteral("Times New Roman");
    double m_fontSize = 12;
    bool m_bold = false;
    bool m_fontChanged = true;
    double m_lineHeight = 0;
    double m_ascent = 0;
    double m_pageHeight = 0;
    double m_y = 0;
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
    auto device = defaultPrinter.isNull()
                      ? std::make_unique<QPrinter>(QPrinter::HighResolution)
                      : std::make_unique<QPrinter>(defaultPrinter, QPrinter::HighResolution);
    QString pdfPath;
    if (defaultPrinter.isNull()) {
        const QDir folder(printoutFolder());
        folder.mkpath(QStringLiteral("."));
        pdfPath = freePath(folder, printoutFileName(documentName, QDateTime::currentDateTime()));
        device->setOutputFormat(QPrinter::PdfFormat);
        device->setOutputFileName(pdfPath);
        // Whole points give whole pixels at a multiple of 72 dots per inch, so the characters
        // of Courier New keep their exact width and the columns stay on their grid.
        device->setResolution(pdfResolution);
    }
    device->setDocName(documentName);
    device->setCreator(QStringLiteral("KX47"));
    device->setFullPage(false);
    device->setPageLayout(pageLayout());
    return std::make_unique<QtPrinter>(std::move(device), pdfPath, m_dialogs, m_desktop);
}

QString QtPrintService::printoutFolder() const
{
    return joinProgramPath(m_programFolder, QStringLiteral("Printouts"));
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
