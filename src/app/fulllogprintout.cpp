#include "fulllogprintout.h"

#include "platform/database.h"
#include "platform/fixedwidth.h"
#include "platform/printer.h"
#include "platform/textforms.h"

#include <QSqlRecord>

namespace kx47
{

namespace
{

const QString selectApplicantCall = QStringLiteral("select call from userData");
const QString countApplicantCalls = QStringLiteral("select count(call) as contatore from userData");
// Rows of the same sub-square, mode and band keep the order in which they were logged.
const QString selectLog =
    QStringLiteral("select * from data order by WWLocator, mode, band, count");

const QString courierNew = QStringLiteral("Courier New");
constexpr double lineSize = 8;
constexpr double titleSize = 14;

void printBlankLines(Printer &printer, int lines)
{
    for (int i = 0; i < lines; ++i)
        printer.printLine(QStringLiteral(" "));
}

} // namespace

FullLogPrintout::FullLogPrintout(const Database &log) : m_log(log) {}

QString FullLogPrintout::documentName()
{
    return QStringLiteral("KX47 ALL QSOs");
}

void FullLogPrintout::print(PrintService &service) const
{
    print(*service.startDocument(documentName()));
}

void FullLogPrintout::print(Printer &printer) const
{
    printer.setFontSize(lineSize);
    printer.setFontName(courierNew);

    QSqlQuery applicant = m_log.run(selectApplicantCall);
    const QString call = applicant.next() ? applicant.value(0).toString() : QString();
    printBlankLines(printer, 3);

    printer.setFontSize(titleSize);
    if (m_log.count(countApplicantCalls) != 0)
        printer.printLine(QStringLiteral("              ALL QSOs of ") + call);
    else
        printer.printLine(QStringLiteral(" ALL QSOs"));
    printBlankLines(printer, 3);

    printer.setFontSize(lineSize);
    QSqlQuery rows = m_log.run(selectLog);
    const QSqlRecord columns = rows.record();
    const int callColumn = columns.indexOf(QStringLiteral("call"));
    const int locatorColumn = columns.indexOf(QStringLiteral("WWLocator"));
    const int placeColumn = columns.indexOf(QStringLiteral("place"));
    const int provColumn = columns.indexOf(QStringLiteral("prov"));
    const int bandColumn = columns.indexOf(QStringLiteral("band"));
    const int modeColumn = columns.indexOf(QStringLiteral("mode"));
    const int dateColumn = columns.indexOf(QStringLiteral("date"));
    const int timeColumn = columns.indexOf(QStringLiteral("time"));
    const int qslColumn = columns.indexOf(QStringLiteral("qsl"));
    const QString margin(11, QLatin1Char(' '));
    while (rows.next()) {
        printer.printLine(
            margin + fixedLine({{rows.value(callColumn).toString(), 12},
                                {QStringLiteral("KX47") + rows.value(locatorColumn).toString(), 6},
                                {rows.value(placeColumn).toString(), 29},
                                {rows.value(provColumn).toString(), 2},
                                {rows.value(bandColumn).toString(), 7},
                                {rows.value(modeColumn).toString(), 6},
                                {dateText(rows.value(dateColumn).toString()), 10},
                                {listTime(rows.value(timeColumn).toString()), 7},
                                {rows.value(qslColumn).toString(), 1}}));
    }
    printer.endDocument();
}

} // namespace kx47
