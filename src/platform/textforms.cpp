#include "textforms.h"

#include <QStringList>
#include <cstdlib>

namespace kx47
{

namespace
{

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value % 100, 2, 10, QLatin1Char('0'));
}

} // namespace

int fullYear(int year)
{
    year = std::abs(year);
    if (year < 30)
        return 2000 + year;
    if (year < 100)
        return 1900 + year;
    return year;
}

QString storedDate(int day, int month, int year)
{
    return QStringLiteral("%1-%2-%3")
        .arg(fullYear(year), 4, 10, QLatin1Char('0'))
        .arg(std::abs(month), 2, 10, QLatin1Char('0'))
        .arg(std::abs(day), 2, 10, QLatin1Char('0'));
}

QString storedTime(int hours, int minutes)
{
    return QStringLiteral("%1:%2")
        .arg(hours, 2, 10, QLatin1Char('0'))
        .arg(minutes, 2, 10, QLatin1Char('0'));
}

QString dateText(const QString &storedDate)
{
    const QStringList parts = storedDate.split(QLatin1Char('-'));
    if (parts.size() != 3)
        return storedDate;
    return twoDigits(parts[2].toInt()) + QLatin1Char('/') + twoDigits(parts[1].toInt()) +
           QLatin1Char('/') + twoDigits(parts[0].toInt());
}

QString timeText(const QString &storedTime)
{
    const QStringList parts = storedTime.split(QLatin1Char(':'));
    if (parts.size() < 2)
        return storedTime;
    return QString::number(parts[0].toInt()) + QLatin1Char('.') + twoDigits(parts[1].toInt()) +
           QLatin1String(".00");
}

QString listTime(const QString &storedTime)
{
    QString text = timeText(storedTime);
    if (text.size() > 1 && text.at(1) == QLatin1Char('.'))
        text = QLatin1Char('0') + text.left(5);
    return text.left(5);
}

QString entryTime(const QString &storedTime)
{
    QString text = timeText(storedTime);
    if (text.size() < 8)
        text.prepend(QLatin1Char('0'));
    return text.mid(0, 2) + text.mid(3, 2);
}

} // namespace kx47
