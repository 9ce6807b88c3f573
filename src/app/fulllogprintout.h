#pragma once

#include <QString>

namespace kx47
{

class Database;
class Printer;
class PrintService;

// "&Print all QSOs": the whole log on paper as one document. A title with the applicant's call,
// then one 115-character line per QSO in Courier New, ordered by sub-square, mode and band. No
// column header, no page header or footer; the printer breaks the pages where they are full.
class FullLogPrintout
{
public:
    explicit FullLogPrintout(const Database &log);

    static QString documentName();

    // Starts the document, prints it and ends it.
    void print(PrintService &service) const;
    void print(Printer &printer) const;

private:
    const Database &m_log;
};

} // namespace kx47
