#include "logsearch.h"

#include "storage/sqltext.h"

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

} // namespace kx47
