#pragma once

#include <QHash>
#include <QList>
#include <QString>

namespace kx47
{

class Database;
class Printer;
struct AwardRequestKind;

// The paper application of an award request: the award office's address, the applicant's
// record, what is requested, the listing of confirmed QSOs of the band and mode in sub-square
// order, and the declarations to sign.
class AwardApplicationPrintout
{
public:
    AwardApplicationPrintout(const Database &log, const AwardRequestKind &kind);

    // Prints the whole document and ends it. The listing holds the first `listed` confirmed QSOs
    // of the band and mode, or all of them when there are fewer. Returns the numbers (count) of
    // the QSOs listed, in the order printed.
    QList<int> print(Printer &printer, const QString &band, const QString &mode, int listed) const;

    // The three lines of the award office the application is sent to.
    static QStringList officeAddress();

    // The template with each {name} replaced by its value; a {name} without a value stays as it
    // is. The values themselves are never read as templates.
    static QString fill(const QString &text, const QHash<QString, QString> &values);

private:
    QList<int> printListing(Printer &printer, const QString &band, const QString &mode,
                            int listed) const;

    const Database &m_log;
    const AwardRequestKind &m_kind;
};

} // namespace kx47
