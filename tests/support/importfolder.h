#pragma once

#include "fixture.h"

#include "storage/database.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kx47::test
{

// Writes content into the file name of folder and returns its path.
QString writeFile(const QString &folder, const QString &name, const QByteArray &content);

// The log and gazetteer of a program folder, opened as the program opens them, for the import
// and export tests.
struct OpenFolder {
    explicit OpenFolder(const ProgramFolder &folder);
    Database log{QStringLiteral("ImportLog")};
    Database places{QStringLiteral("ImportPlaces")};
};

// What a run of the command line gave: the exit code, standard output and standard error.
struct CommandRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the command line given as the program gets it (its name first), without a display;
// defaultFolder is the program folder when --folder names none.
CommandRun runCommand(const QStringList &arguments, const QString &defaultFolder = QString());

} // namespace kx47::test
