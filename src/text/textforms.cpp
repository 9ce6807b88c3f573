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

// True when the text is digits where the pattern has '9' and the pattern's own character
// elsewhere: the stored forms "9999-99-99" and "99:99".
bool matches(const QString &text, QLatin1String pattern)
{
    if (text.size() != pattern.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (pattern.at(i) == QLatin1Char('9') ? (c < u'0' || c > u'9') : c != pattern.at(i))
            return false;
    }
    return true;
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
    // The stored form itself, as almost every row holds it: its digits are the text's.
    if (matches(storedDate, QLatin1String("9999-99-99"))) {
        const QChar text[] = {storedDate[8], storedDate[9],    QLatin1Char('/'), storedDate[5],
                              storedDate[6], QLatin1Char('/'), storedDate[2],    storedDate[3]};
        return QString(text, 8);
    }
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
    if (matches(storedTime, QLatin1String("99:99")))
        return storedTime.left(2) + QLatin1Char('.') + storedTime.mid(3);
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
