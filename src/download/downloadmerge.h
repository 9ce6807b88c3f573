#pragma once

#include "reportcheck.h"
#include "service.h"

#include "adif/adifmapping.h"

#include <QDate>

namespace kx47
{

// A downloaded report is merged as an import of confirmations only (adif/adifimport.h): a
// record confirms the QSO already logged, never adds one, and counts only as the user's
// choice of what counts as confirmed says.
namespace downloadmerge
{

MappingOptions options(Service service, Confirmations accepted);

// The day the next download of a service starts from, once a report was merged: the day of
// its newest confirmation (fetched again, which changes nothing, rather than missing those
// that arrive later that day); the download's own day for a report that names no day; the
// day before for a report without records.
QDate nextSince(const ReportCheck &merged, const QDate &before, const QDate &today);

// Remembers nextSince() for the service; called only after a merge succeeded.
void rememberMerged(Service service, const ReportCheck &merged);

} // namespace downloadmerge

} // namespace kx47
