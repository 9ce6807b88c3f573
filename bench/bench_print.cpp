// The printouts on a log of 100,000 QSOs: "Print all QSOs" made into lines, and written as a
// PDF by the real printer; a base award request and an endorsement, printed and converted.
//
//     bench_print [qsos [folder]]     (the log is kept in folder when one is given)
#include "logfactory.h"
#include "timing.h"

#include "app/fulllogprintout.h"
#include "award/awardrequest.h"
#include "award/awardrequestkind.h"
#include "platform/database.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/lognotifier.h"
#include "platform/qtprintservice.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
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
    figure(QStringLiteral("written as PDF (%1 pages, %2 MB)")
               .arg(pdfPages(desktop.opened))
               .arg(QFileInfo(desktop.opened).size() / 1048576.0, 0, 'f', 1),
           pdf);

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
