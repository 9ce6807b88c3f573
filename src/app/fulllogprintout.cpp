#include "fulllogprintout.h"

#include "platform/fixedwidth.h"
#include "platform/printer.h"
#include "platform/textforms.h"
#include "storage/database.h"

#include <QSqlQuery>

namespace kx47
{

namespace
{

const QString selectApplicantCall = QStringLiteral("select call from userData");
const QString countApplicantCalls = QStringLiteral("select count(call) as contatore from userData");
// Rows of the same sub-square, mode and band keep the order in which they were logged. Only
// the printed columns, in the order of the line.
const QString selectLog =
    QStringLiteral("select call, WWLocator, place, prov, band, mode, date, time, qsl from data "
                   "order by WWLocator, mode, band, count");
enum Column { Call, Locator, Place, Prov, Band, Mode, Date, Time, Qsl };

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
    const QString margin(11, QLatin1Char(' '));
    const QString square = QStringLiteral("KX47");
    auto text = [&rows](Column column) { return rows.value(column).toString(); };
    while (rows.next()) {
        printer.printLine(margin + fixedLine({{text(Call), 12},
                                              {square + text(Locator), 6},
                                              {text(Place), 29},
                                              {text(Prov), 2},
                                              {text(Band), 7},
                                              {text(Mode), 6},
                                              {dateText(text(Date)), 10},
                                              {listTime(text(Time)), 7},
                                              {text(Qsl), 1}}));
    }
    printer.endDocument();
}

} // namespace kx47
