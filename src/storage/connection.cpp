#include "connection.h"

#include "database.h"

#include <QFileInfo>
#include <QUrl>

namespace kx47
{

QSqlDatabase openConnection(const QString &name, const QString &path,
                            const ConnectionOptions &options)
{
    QSqlDatabase db = QSqlDatabase::contains(name)
                          ? QSqlDatabase::database(name, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    if (!db.isValid())
        return db;
    QString connectOptions = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(Database::busyTimeoutMs);
    if (options.readOnly || options.immutable)
        connectOptions += QStringLiteral(";QSQLITE_OPEN_READONLY");
    if (options.immutable) {
        connectOptions += QStringLiteral(";QSQLITE_OPEN_URI");
        db.setDatabaseName(
            QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded) +
            QStringLiteral("?immutable=1"));
    } else {
        db.setDatabaseName(path);
    }
    db.setConnectOptions(connectOptions);
    db.open();
    return db;
}

QString fileOfDatabaseName(const QString &databaseName, bool *unchanging)
{
    const bool uri = databaseName.startsWith(QLatin1String("file:"));
    if (unchanging)
        *unchanging = uri && databaseName.contains(QLatin1String("immutable=1"));
    return uri ? QUrl(databaseName).toLocalFile() : databaseName;
}

} // namespace kx47
