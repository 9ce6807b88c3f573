#pragma once

#include <QString>

namespace kx47
{

class Database;
class Desktop;
class Dialogs;
class LogNotifier;
class PrintService;
class WindowRegistry;

// What every window works with: the two open databases, the desktop services and the other
// windows. Owned by the application for the whole run.
struct AppContext {
    QString programFolder;
    Database &log;    // data.mdb: tables data and userData
    Database &places; // places.mdb: table places, only read
    Dialogs &dialogs;
    PrintService &printService;
    Desktop &desktop;
    WindowRegistry &windows;
    LogNotifier &logNotifier;
    QString logFolder;     // data.mdb, Backups/, Printouts/: the program folder or the user's
    QString installFolder; // places.mdb, Help/: the program folder or <prefix>/share/kx47
};

} // namespace kx47
