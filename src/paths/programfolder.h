#pragma once

#include <QString>

namespace kx47
{

// Joins the program folder with a file name or relative path: a folder that already ends in a
// separator (a drive or file-system root) gets no second one.
QString joinProgramPath(const QString &folder, const QString &relativePath);

} // namespace kx47
