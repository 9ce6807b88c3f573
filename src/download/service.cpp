#include "service.h"

#include <QSettings>

namespace kx47
{

namespace
{

QSettings settings()
{
    return QSettings(QStringLiteral("KX47"), QStringLiteral("KX47"));
}

QString key(Service service, const char *name)
{
    return QStringLiteral("Download/%1/%2").arg(serviceWord(service), QLatin1String(name));
}

} // namespace

QString serviceName(Service service)
{
    return service == Service::Lotw ? QStringLiteral("LoTW") : QStringLiteral("eQSL");
}

QString serviceWord(Service service)
{
    return service == Service::Lotw ? QStringLiteral("lotw") : QStringLiteral("eqsl");
}

bool serviceFromWord(const QString &word, Service *service)
{
    for (const Service s : {Service::Lotw, Service::Eqsl}) {
        if (word.compare(serviceWord(s), Qt::CaseInsensitive) == 0) {
            *service = s;
            return true;
        }
    }
    return false;
}

namespace servicesettings
{

QUrl defaultAddress(Service service)
{
    return QUrl(service == Service::Lotw
                    ? QStringLiteral("https://lotw.arrl.org/lotwuser/lotwreport.adi")
                    : QStringLiteral("https://www.eqsl.cc/qslcard/DownloadInBox.cfm"));
}

QUrl address(Service service)
{
    const QUrl saved(settings().value(key(service, "address")).toString());
    return saved.isValid() && !saved.isEmpty() ? saved : defaultAddress(service);
}

void setAddress(Service service, const QUrl &address)
{
    settings().setValue(key(service, "address"), address.toString());
}

QString login(Service service)
{
    return settings().value(key(service, "login")).toString();
}

void setLogin(Service service, const QString &login)
{
    settings().setValue(key(service, "login"), login.trimmed());
}

QString nickname(Service service)
{
    return settings().value(key(service, "nickname")).toString();
}

void setNickname(Service service, const QString &nickname)
{
    settings().setValue(key(service, "nickname"), nickname.trimmed());
}

QDate since(Service service)
{
    return QDate::fromString(settings().value(key(service, "since")).toString(), Qt::ISODate);
}

void setSince(Service service, const QDate &since)
{
    settings().setValue(key(service, "since"), since.toString(Qt::ISODate));
}

} // namespace servicesettings

} // namespace kx47
