#pragma once

#include "printer.h"

#include <QDateTime>
#include <QFont>
#include <QPageLayout>
#include <QString>

namespace kx47
{

class Desktop;
class Dialogs;

// Prints with Qt on A4 paper. When the system has a default printer the document goes there
// at once, with no dialog. When it has none, the document is written as a PDF into the folder
// "Printouts" of the program folder and opened with the desktop's viewer. A document that
// cannot be printed or saved is reported to the user, and its Printer says so through ok().
class QtPrintService : public PrintService
{
public:
    enum class Destination {
        DefaultPrinter, // the system's default printer, or a PDF where there is none
        PdfFile,        // always a PDF in Printouts
    };

    QtPrintService(const QString &programFolder, Dialogs &dialogs, Desktop &desktop,
                   Destination destination = Destination::DefaultPrinter);

    std::unique_ptr<Printer> startDocument(const QString &documentName) override;

    // The folder that receives the PDF printouts.
    QString printoutFolder() const;

    // A4, portrait, with side margins narrow enough for a 115-character line in Courier New at
    // 8 points.
    static QPageLayout pageLayout();
    // The font a line is printed in: "Courier New" and "Times New Roman" fall back to their
    // metric-compatible Liberation faces where the system lacks them.
    static QFont pageFont(const QString &name, double points, bool bold);
    // The text as it reaches the page: the tick box U+008D of the fee line prints as a box,
    // the other C1 control characters (U+0080 to U+009F) are left out.
    static QString pageText(const QString &line);
    // The PDF file name of a document printed at a given moment: the document's name, the
    // date and the time.
    static QString printoutFileName(const QString &documentName, const QDateTime &when);

private:
    QString m_programFolder;
    Dialogs &m_dialogs;
    Desktop &m_desktop;
    Destination m_destination;
};

} // namespace kx47
