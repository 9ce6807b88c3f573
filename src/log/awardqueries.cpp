#include "awardqueries.h"

#include "log/awardvocabulary.h"
#include "storage/database.h"

namespace kx47
{

namespace
{

const QString countByState = QStringLiteral(
    "select count(*) as contatore from data where mode = ? and qsl = ? and band = ?");
const QString selectConfirmed = QStringLiteral(
    "select * from data where mode = ? and qsl = ? and band = ? order by WWLocator, count");

} // namespace

AwardQueries::AwardQueries(const Database &log) : m_log(log) {}

int AwardQueries::count(const QString &band, const QString &mode, const QString &qsl) const
{
    return m_log.count(countByState, {mode, qsl, band});
}

QSqlQuery AwardQueries::confirmed(const QString &band, const QString &mode) const
{
    return m_log.run(selectConfirmed, {mode, QString(vocabulary::qslConfirmed), band});
}

} // namespace kx47
