#include "logmarks.h"

#include <QFileInfo>
#include <QSettings>
#include <QUrl>

namespace kx47
{

namespace
{

QSettings settings()
{
    return QSettings(QStringLiteral("KX47"), QStringLiteral("KX47"));
}

} // namespace

LogMarks::LogMarks(const QString &logPath)
    : m_log(QString::fromLatin1(QUrl::toPercentEncoding(QFileInfo(logPath).absoluteFilePath())))
{
}

QString LogMarks::key(const char *what) const
{
    return QStringLiteral("logs/%1/%2").arg(m_log, QLatin1String(what));
}

bool LogMarks::endedCleanly() const
{
    const QSettings s = settings();
    return s.value(key("endedCleanly"), false).toBool() && !s.value(key("damaged"), false).toBool();
}

void LogMarks::markRunning()
{
    QSettings s = settings();
    s.setValue(key("endedCleanly"), false);
    s.sync();
}

void LogMarks::markEndedCleanly()
{
    QSettings s = settings();
    s.setValue(key("endedCleanly"), true);
    s.sync();
}

QDateTime LogMarks::lastCheck() const
{
    return settings().value(key("lastCheck")).toDateTime();
}

void LogMarks::markChecked(const QDateTime &when)
{
    QSettings s = settings();
    s.setValue(key("lastCheck"), when);
    s.remove(key("damaged"));
    s.sync();
}

void LogMarks::markDamaged()
{
    QSettings s = settings();
    s.setValue(key("damaged"), true);
    s.sync();
}

bool LogMarks::checkDue(const QDateTime &now) const
{
    const QDateTime last = lastCheck();
    return !last.isValid() || last > now || last.daysTo(now) >= checkEveryDays;
}

} // namespace kx47
