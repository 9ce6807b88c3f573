#pragma once

#include <QString>

namespace kx47
{

class Database;
class Dialogs;
class LogNotifier;
class PrintService;
struct AwardRequestKind;

// One press of "Print" in a request window: checks that the log qualifies on the band and
// mode, prints the application, and after two Yes answers turns exactly the QSOs listed on it
// into accredited ones. The log changes only after a printout that succeeded.
class AwardRequest
{
public:
    enum class Outcome {
        Refused,      // a check failed or the user declined: nothing printed
        PrintFailed,  // the printout could not be made; the print service said why
        PrintedAgain, // an award already obtained, printed anyway; no conversion offered
        NotConverted, // No to the conversion question
        Declined,     // Yes, then No to "Are you sure?"
        Converted,    // Yes and Yes: the listed QSOs are accredited
    };

    AwardRequest(const Database &log, Dialogs &dialogs, PrintService &printService,
                 LogNotifier &logNotifier);

    // Throws DatabaseError when the engine fails; the conversion is then not made at all.
    Outcome run(const AwardRequestKind &kind, const QString &band, const QString &mode) const;

    static QString userDataMessage();
    static QString convertQuestion();
    static QString sureQuestion();

private:
    bool checksPass(const AwardRequestKind &kind, const QString &band, const QString &mode,
                    int accredited) const;
    bool print(const AwardRequestKind &kind, const QString &band, const QString &mode,
               QList<int> *listed) const;
    bool yes(const QString &question) const;
    void refuse(const QString &message) const;

    const Database &m_log;
    Dialogs &m_dialogs;
    PrintService &m_printService;
    LogNotifier &m_logNotifier;
};

} // namespace kx47
