// The printouts on a log of 100,000 QSOs: "Print all QSOs" made into lines, and written as a
// PDF by the real printer beside its anchor, the same lines drawn with QPainter::drawText into
// a plain QPdfWriter on the same pages; a base award request and an endorsement, printed and
// converted.
//
//     bench_print [qsos [folder]]     (the log is kept in folder when one is given)
#include "logfactory.h"
#include "timing.h"

#include "app/fulllogprintout.h"
#include "award/awardrequest.h"
#include "award/awardrequestkind.h"
#include "log/lognotifier.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/qtprintservice.h"
#include "storage/database.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

using namespace kx47;
using namespace kx47::bench;

namespace
{

void print(const QString &text)
{
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
}

void figure(const QString &what, const Timing::Run &run)
{
    print(QStringLiteral("  %1 %2 wall %3 processor")
              .arg(what, -52)
              .arg(Timing::ms(run.wall), 13)
              .arg(Timing::ms(run.cpu), 13));
}

// A figure beside its anchor: the anchor's own line and the figure's share of it.
void figure(const QString &what, const Timing::Run &run, const QString &anchorWhat,
            const Timing::Run &anchor)
{
    figure(what, run);
    figure(anchorWhat, anchor);
    print(QStringLiteral("  %1 %2 wall %3 processor")
              .arg(QStringLiteral("printer / anchor"), -52)
              .arg(QString::number(run.wall / anchor.wall, 'f', 2), 13)
              .arg(QString::number(run.cpu / anchor.cpu, 'f', 2), 13));
}

QString outcomeName(AwardRequest::Outcome outcome)
{
    switch (outcome) {
    case AwardRequest::Outcome::Refused:
        return QStringLiteral("refused");
    case AwardRequest::Outcome::PrintFailed:
        return QStringLiteral("printout failed");
    case AwardRequest::Outcome::PrintedAgain:
        return QStringLiteral("printed again");
    case AwardRequest::Outcome::NotConverted:
        return QStringLiteral("not converted");
    case AwardRequest::Outcome::Declined:
        return QStringLiteral("declined");
    case AwardRequest::Outcome::Converted:
        return QStringLiteral("converted");
    }
    return QString();
}

// Counts the lines and characters it is given, and prints nothing.
class CountingPrinter : public Printer
{
public:
    void setFontName(const QString &) override {}
    void setFontSize(double) override {}
    void setBold(bool) override {}
    void printLine(const QString &line) override
    {
        ++lines;
        characters += line.size();
    }
    void endDocument() override {}
    int lines = 0;
    qint64 characters = 0;
};

// Keeps the lines with the size of their font, to be drawn again by the anchor.
class KeepingPrinter : public Printer
{
public:
    struct Line {
        QString font;
        double size;
        bool bold;
        QString text;
    };
    void setFontName(const QString &name) override { m_font = name; }
    void setFontSize(double points) override { m_size = points; }
    void setBold(bool bold) override { m_bold = bold; }
    void printLine(const QString &line) override { lines.append({m_font, m_size, m_bold, line}); }
    void endDocument() override {}
    QVector<Line> lines;

private:
    QString m_font;
    double m_size = 12;
    bool m_bold = false;
};

// The anchor: the lines drawn one by one with QPainter::drawText into a plain QPdfWriter, on
// the pages of the printer (resolution, paper, fonts, line spacing and page breaks), without
// progress window or checks. Returns the number of pages.
int drawTextIntoPdf(const QVector<KeepingPrinter::Line> &lines, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return 0;
    QPdfWriter pdf(&file);
    pdf.setResolution(16 * 72);
    pdf.setPageLayout(QtPrintService::pageLayout());
    QPainter painter(&pdf);
    const double pageHeight = pdf.pageLayout().paintRectPixels(pdf.logicalDpiY()).height();
    double y = 0;
    double lineHeight = 0;
    double ascent = 0;
    int pages = 1;
    const KeepingPrinter::Line *fontOf = nullptr;
    for (const KeepingPrinter::Line &line : lines) {
        if (!fontOf || line.font != fontOf->font || line.size != fontOf->size ||
            line.bold != fontOf->bold) {
            const QFont font(QtPrintService::pageFont(line.font, line.size, line.bold), &pdf);
            painter.setFont(font);
            const QFontMetricsF metrics(font, &pdf);
            lineHeight = metrics.lineSpacing();
            ascent = metrics.ascent();
            fontOf = &line;
        }
        if (y > 0 && y + lineHeight > pageHeight) {
            pdf.newPage();
            ++pages;
            y = 0;
        }
        painter.drawText(QPointF(0, y + ascent), QtPrintService::pageText(line.text));
        y += lineHeight;
    }
    return painter.end() ? pages : 0;
}

class CountingPrintService : public PrintService
{
public:
    std::unique_ptr<Printer> startDocument(const QString &) override
    {
        return std::make_unique<CountingPrinter>();
    }
};

// Answers Yes to every question.
class YesDialogs : public Dialogs
{
public:
    MessageAnswer message(const QString &text, MessageIcon, MessageButtons buttons,
                          const QString &) override
    {
        messages << text;
        return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }
    QString input(const QString &) override { return QString(); }
    QString openFileName(const QString &, const QString &) override { return QString(); }
    QString saveFileName(const QString &, const QString &, const QString &) override
    {
        return QString();
    }
    QStringList messages;
};

class SilentDesktop : public Desktop
{
public:
    void open(const QString &documentOrUrl) override { opened = documentOrUrl; }
    QString opened;
};

int pdfPages(const QString &path)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {path});
    if (!info.waitForFinished(60000))
        return -1;
    for (const QString &line : QString::fromLocal8Bit(info.readAllStandardOutput()).split('\n')) {
        if (line.startsWith(QLatin1String("Pages:")))
            return line.mid(6).trimmed().toInt();
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApp(argc, argv);
    const int qsos = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;

    QTemporaryDir temporary;
    const QDir folder(argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporary.path());
    const LogFactory factory(qsos);
    QString error;
    if (!factory.build(folder.path(), &error)) {
        print(QStringLiteral("cannot build the log: ") + error);
        return 1;
    }
    Database log(QStringLiteral("bench_print"));
    if (!log.open(folder.filePath(QStringLiteral("data.mdb")), &error)) {
        print(QStringLiteral("cannot open the log: ") + error);
        return 1;
    }
    print(QStringLiteral("Log of %1 QSOs (%2)").arg(qsos).arg(folder.path()));

    print(QStringLiteral("\nPrint all QSOs"));
    CountingPrinter counted;
    FullLogPrintout(log).print(counted);
    const Timing::Run linesMs = Timing::medianOf(5, [&log] {
        CountingPrinter printer;
        FullLogPrintout(log).print(printer);
    });
    figure(QStringLiteral("lines made (%1 lines, median of 5)").arg(counted.lines), linesMs);

    YesDialogs dialogs;
    SilentDesktop desktop;
    QtPrintService paper(folder.path(), dialogs, desktop, QtPrintService::Destination::PdfFile);
    const Timing::Run pdf =
        Timing::runs(1, [&log, &paper] { FullLogPrintout(log).print(paper); }).first();
    KeepingPrinter kept;
    FullLogPrintout(log).print(kept);
    const QString anchorPath = folder.filePath(QStringLiteral("drawText.pdf"));
    int anchorPages = 0;
    const Timing::Run anchor = Timing::runs(1, [&kept, &anchorPath, &anchorPages] {
                                   anchorPages = drawTextIntoPdf(kept.lines, anchorPath);
                               }).first();
    figure(QStringLiteral("written as PDF (%1 pages, %2 MB)")
               .arg(pdfPages(desktop.opened))
               .arg(QFileInfo(desktop.opened).size() / 1048576.0, 0, 'f', 1),
           pdf,
           QStringLiteral("anchor: drawText into QPdfWriter (%1 pages, %2 MB)")
               .arg(anchorPages)
               .arg(QFileInfo(anchorPath).size() / 1048576.0, 0, 'f', 1),
           anchor);
    QFile::remove(anchorPath);

    print(QStringLiteral("\nAward requests, HF MIXED, printed as PDF, Yes to every question"));
    LogNotifier notifier;
    for (const AwardRequestKind *kind :
         {&AwardRequestKind::baseAward(), &AwardRequestKind::endorsement()}) {
        dialogs.messages.clear();
        AwardRequest::Outcome outcome = AwardRequest::Outcome::Refused;
        const Timing::Run run =
            Timing::runs(1, [&] {
                outcome = AwardRequest(log, dialogs, paper, notifier)
                              .run(*kind, QStringLiteral("HF"), QStringLiteral("MIXED"));
            }).first();
        figure(QStringLiteral("%1: %2 after %3 messages")
                   .arg(kind->windowName, outcomeName(outcome))
                   .arg(dialogs.messages.size()),
               run);
    }
    return 0;
}
