#include "databasefiles.h"

#include "platform/database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kx47
{

QString DatabaseFiles::foreignFormat(const QByteArray &header)
{
    if (header.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return QString();
    const QByteArray jet = header.mid(4, 15);
    if (jet == "Standard Jet DB" || jet == "Standard ACE DB")
        return QStringLiteral("a Microsoft Access database");
    if (header.isEmpty())
        return QStringLiteral("an empty file");
    return QStringLiteral("not a SQLite database");
}

bool DatabaseFiles::open(Database &db, const QString &path, Schema::File file, QString *message)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    if (!info.exists()) {
        *message = QStringLiteral("The database file %1 cannot be found.").arg(shown);
        return false;
    }
    QFile raw(path);
    if (!info.isFile() || !raw.open(QIODevice::ReadOnly)) {
        *message = QStringLiteral("The database file %1 cannot be opened.").arg(shown);
        return false;
    }
    const QString foreign = foreignFormat(raw.read(100));
    raw.close();
    if (!foreign.isEmpty()) {
        *message = QStringLiteral("The file %1 is %2: KX47 cannot read it.").arg(shown, foreign);
        return false;
    }
    QString engineText;
    if (!db.open(path, &engineText)) {
        *message =
            QStringLiteral("The database file %1 cannot be opened: %2").arg(shown, engineText);
        return false;
    }
    if (!Schema::hasTables(db.handle(), file)) {
        *message = QStringLiteral("The database file %1 does not hold the tables %2 of KX47: "
                                  "KX47 cannot read it.")
                       .arg(shown, Schema::tables(file).join(QStringLiteral(", ")));
        db.handle().close();
        return false;
    }
    return true;
}

} // namespace kx47
