#pragma once

#include <QString>

namespace kx47
{

// Where the program finds its files. A portable program folder (the build folder, a folder the
// user unpacked: data.mdb beside the program) keeps everything beside the program. An installed
// program (the executable in <prefix>/bin; the gazetteer, the help and the empty log in
// <prefix>/share/kx47, where the user cannot write) keeps the log, its backups and the
// printouts in the user's data folder.
struct ProgramPlaces {
    QString logFolder;     // data.mdb, Backups/, Printouts/
    QString installFolder; // places.mdb, Help/
    QString logTemplate;   // the installed empty log copied to logFolder on first start, or empty

    // The places for a program in programFolder.
    static ProgramPlaces find(const QString &programFolder);

    QString logPath() const;
    QString placesPath() const;
    QString backupFolder() const;
    QString printoutFolder() const;

    // Makes the log from the installed empty log when logFolder has none; an existing log is
    // never touched. Returns false, with the reason, when the copy cannot be made.
    bool makeLog(QString *error) const;
};

} // namespace kx47
