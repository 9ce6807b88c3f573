#include "downloadmerge.h"

#include <QDateTime>

namespace kx47::downloadmerge
{

MappingOptions options(Service service, Confirmations accepted)
{
    MappingOptions result;
    result.accepted = accepted;
    result.confirmationsOnly = true;
    result.eqslInbox = service == Service::Eqsl;
    return result;
}

QDate nextSince(const ReportCheck &merged, const QDate &before, const QDate &today)
{
    QDate next = merged.lastConfirmation;
    if (!next.isValid() && merged.records > 0)
        next = today;
    if (!next.isValid() || (before.isValid() && next < before))
        return before;
    return next;
}

void rememberMerged(Service service, const ReportCheck &merged)
{
    servicesettings::setSince(service, nextSince(merged, servicesettings::since(service),
                                                 QDateTime::currentDateTimeUtc().date()));
}

} // namespace kx47::downloadmerge
