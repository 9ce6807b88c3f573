#include "programfolder.h"

namespace kx47
{

QString joinProgramPath(const QString &folder, const QString &relativePath)
{
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')))
        return folder + relativePath;
    return folder + QLatin1Char('/') + relativePath;
}

} // namespace kx47
