#pragma once

#include <QString>
#include <QStringList>

namespace kx47
{

// What tells the base award request ("frmBAR") and the endorsement request ("frmAE") apart;
// both run the same request and print the same form of application with these differences.
//
// The texts of the application are templates: {name} stands for a value filled in when the
// application is printed: {fName}, {sName}, {call} of the applicant, {listed} (the number of
// sub-squares listed), {band}, {mode}, {confirmed} (confirmed and accredited QSOs of the band
// and mode at this date).
struct AwardRequestKind {
    QString windowName;
    QString caption;

    // How many confirmed sub-squares of a band the application lists (and needs).
    int (*listed)(const QString &band);
    // The award that must be held first, as the number of accredited QSOs of the band and mode
    // it takes; null when there is none. Without it, the request stops before any other check.
    int (*prerequisite)(const QString &band);
    QString prerequisiteMessage;
    // Asked when the band and mode already hold enough accredited QSOs for this award; Yes
    // prints the application again without offering the conversion. Empty: never asked.
    QString requestAgainQuestion;
    // Shown when fewer confirmed QSOs than listed(band) are there.
    QString (*notEnoughMessage)(int listed);

    // The application.
    QString documentName;
    QString title; // printed in bold
    QString undersigned;
    QStringList request;
    QString confirmedSoFar;
    int listingIndent;   // blanks before each line of the listing
    QStringList closing; // after the listing: the declarations, the signatures, the fee line

    static const AwardRequestKind &baseAward();
    static const AwardRequestKind &endorsement();
};

} // namespace kx47
