#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QUrl>

class QIODevice;

namespace kx47
{

// What a downloaded answer of a service turned out to be. Only a Whole report is merged.
struct ReportCheck {
    enum class Verdict {
        Whole,
        WebPage, // a web page instead of a report: the service refused the login
        Cut,     // the report stops before its end
        Foreign, // neither a report nor a web page
        Unreadable,
    };
    Verdict verdict = Verdict::Unreadable;
    int records = 0;
    // The newest day a confirmation in the report was received; invalid when it names none.
    QDate lastConfirmation;
};

// A LoTW report is whole when it starts with the report's first line and ends with the marker
// <APP_LoTW_EOF>, which LoTW writes after the last record.
ReportCheck checkLotwReport(QIODevice &report);
// An eQSL inbox file has no end marker: it is whole when it ends with a whole record (or with
// its header, when it holds none).
ReportCheck checkEqslFile(QIODevice &file);

// eQSL's first answer: a web page that names the ADIF file to fetch next, or says what is
// wrong in a line starting "Error:".
struct EqslPage {
    QUrl file;     // the file to fetch, resolved against the page's address; empty when none
    QString error; // eQSL's own words after "Error:"; empty when none
    QString text;  // the page's text without its markup, cut to a few lines
};
EqslPage readEqslPage(const QByteArray &page, const QUrl &pageAddress);

} // namespace kx47
