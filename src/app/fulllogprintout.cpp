#include "fulllogprintout.h"

#include "applicant/userdatastore.h"
#include "log/logreads.h"
#include "log/logstore.h"
#include "platform/printer.h"
#include "storage/database.h"
#include "text/fixedwidth.h"
#include "text/textforms.h"

#include <QSqlQuery>

namespace kx47
{

namespace
{

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

    const UserDataStore applicant(m_log);
    const QString call = applicant.firstCall();
    printBlankLines(printer, 3);

    printer.setFontSize(titleSize);
    if (applicant.rowsWithACall() != 0)
        printer.printLine(QStringLiteral("              ALL QSOs of ") + call);
    else
        printer.printLine(QStringLiteral(" ALL QSOs"));
    printBlankLines(printer, 3);

    printer.setFontSize(lineSize);
    QSqlQuery rows = LogReads(m_log).qsosBySubSquare();
    const QString margin(11, QLatin1Char(' '));
    const QString square = QStringLiteral("KX47");
    while (rows.next()) {
        const QsoRecord qso = LogStore::recordAt(rows);
        printer.printLine(margin + fixedLine({{qso.call, 12},
                                              {square + qso.locator, 6},
                                              {qso.place, 29},
                                              {qso.prov, 2},
                                              {qso.band, 7},
                                              {qso.mode, 6},
                                              {dateText(qso.date), 10},
                                              {listTime(qso.time), 7},
                                              {QString(vocabulary::qslLetter(qso.qsl)), 1}}));
    }
    printer.endDocument();
}

} // namespace kx47
