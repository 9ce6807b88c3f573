#include "qtdesktop.h"

#include <QDesktopServices>
#include <QUrl>

namespace kx47
{

void QtDesktop::open(const QString &documentOrUrl)
{
    const QUrl url = documentOrUrl.contains(QLatin1String("://"))
                         ? QUrl(documentOrUrl)
                         : QUrl::fromLocalFile(documentOrUrl);
    QDesktopServices::openUrl(url); // a missing document or viewer is not reported
}

} // namespace kx47
