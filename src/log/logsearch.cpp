#include "logsearch.h"

#include "storage/sqltext.h"

#include <QStringList>

namespace kx47
{

bool LogSearch::operator==(const LogSearch &other) const
{
    return call == other.call && wwLocator == other.wwLocator && place == other.place &&
           prov == other.prov;
}

LogSearch LogSearch::byCall(const QString &typedCall)
{
    LogSearch search;
    search.call = quoteSql(typedCall);
    return search;
}

LogSearch LogSearch::byWWLocator(const QString &typedLetters)
{
    LogSearch search;
    search.wwLocator = quoteSql(typedLetters);
    return search;
}

LogSearch LogSearch::byPlace(const QString &typedPlace, const QString &typedProv)
{
    LogSearch search;
    search.place = quoteSql(typedPlace);
    search.prov = quoteSql(typedProv);
    return search;
}

QString LogSearch::typedText(const QString &keptValue)
{
    QString text = keptValue;
    text.replace(QLatin1String("''"), QLatin1String("'"));
    return text;
}

QString LogSearch::description() const
{
    QStringList parts;
    const auto add = [&parts](const char *name, const QString &value) {
        if (!value.isEmpty())
            parts << QStringLiteral("%1 = %2").arg(QLatin1String(name), typedText(value));
    };
    add("call", call);
    add("WWLocator", wwLocator);
    add("place", place);
    add("prov", prov);
    return parts.join(QLatin1String(", "));
}

QString LogSearch::statusLine(int listed, bool complete) const
{
    const QString searched = description();
    QString count;
    if (!complete)
        count = QStringLiteral("%1 QSOs so far, reading on").arg(listed);
    else if (listed == 0 && !searched.isEmpty())
        count = QStringLiteral("No QSO matches");
    else
        count = listed == 1 ? QStringLiteral("1 QSO") : QStringLiteral("%1 QSOs").arg(listed);
    return searched.isEmpty() ? count : count + QLatin1String(", ") + searched;
}

} // namespace kx47
