#pragma once

#include "fixture.h"

#include "storage/database.h"

#include <QByteArray>
#include <QString>

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

} // namespace kx47::test
