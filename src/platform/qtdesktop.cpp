#include "qtdesktop.h"

#include <QDesktopServices>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
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

bool QtDesktop::openDocument(const QString &path)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // The freedesktop opener starts whether or not a viewer is registered for the type; ask the
    // desktop's list of viewers first.
    const QString mime = QMimeDatabase().mimeTypeForFile(path).name();
    if (!QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty()) {
        QProcess query;
        query.start(QStringLiteral("xdg-mime"),
                    {QStringLiteral("query"), QStringLiteral("default"), mime});
        if (query.waitForFinished(3000) && query.exitCode() == 0 &&
            query.readAllStandardOutput().trimmed().isEmpty())
            return false;
    }
#endif
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace kx47
