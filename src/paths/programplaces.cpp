#include "programplaces.h"

#include "programfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace kx47
{

namespace
{

const QString logName = QStringLiteral("data.mdb");
const QString placesName = QStringLiteral("places.mdb");

} // namespace

ProgramPlaces ProgramPlaces::find(const QString &programFolder)
{
    const QString shared =
        QDir::cleanPath(joinProgramPath(programFolder, QStringLiteral("../share/kx47")));
    const bool portablePlaces = QFileInfo::exists(joinProgramPath(programFolder, placesName));
    const bool sharedPlaces = QFileInfo::exists(joinProgramPath(shared, placesName));
    const QString portableLog = joinProgramPath(programFolder, logName);
    const QString sharedLog = joinProgramPath(shared, logName);

    ProgramPlaces places;
    places.installFolder = portablePlaces || !sharedPlaces ? programFolder : shared;
    places.logFolder = programFolder;
    // A log beside the program stays there, even where it can only be read; so does a missing
    // one where nothing was installed, to be reported there.
    if (QFileInfo::exists(portableLog) || !QFileInfo::exists(sharedLog))
        return places;
    places.logFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    places.logTemplate = sharedLog;
    return places;
}

QString ProgramPlaces::logPath() const
{
    return joinProgramPath(logFolder, logName);
}

QString ProgramPlaces::placesPath() const
{
    return joinProgramPath(installFolder, placesName);
}

QString ProgramPlaces::backupFolder() const
{
    return joinProgramPath(logFolder, QStringLiteral("Backups"));
}

QString ProgramPlaces::printoutFolder() const
{
    return joinProgramPath(logFolder, QStringLiteral("Printouts"));
}

bool ProgramPlaces::makeLog(QString *error) const
{
    const QString target = logPath();
    if (logTemplate.isEmpty() || QFileInfo::exists(target))
        return true;
    if (!QDir().mkpath(logFolder)) {
        *error = QStringLiteral("The folder %1 cannot be made.")
                     .arg(QDir::toNativeSeparators(logFolder));
        return false;
    }
    // QFile::copy writes a temporary file and renames it, and never replaces an existing file:
    // a copy cut short leaves no half log behind.
    if (!QFile::copy(logTemplate, target)) {
        *error = QStringLiteral("The empty log %1 cannot be copied to %2.")
                     .arg(QDir::toNativeSeparators(logTemplate), QDir::toNativeSeparators(target));
        return false;
    }
    // The installed file is read-only for the user; the copy is the user's own log.
    QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner |
                                      QFileDevice::ReadOwner);
    return true;
}

} // namespace kx47
