#include "awardqueries.h"

#include "platform/awardvocabulary.h"
#include "platform/database.h"
#include "platform/transaction.h"

namespace kx47
{

namespace
{

const QString countByState = QStringLiteral(
    "select count(*) as contatore from data where mode = ? and qsl = ? and band = ?");
const QString selectConfirmed = QStringLiteral(
    "select * from data where mode = ? and qsl = ? and band = ? order by WWLocator, count");
const QString countApplicantRecords = QStringLiteral("select count(*) as contatore from userData");
const QString setAccredited = QStringLiteral("update data set qsl = ? where count = ?");

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

int AwardQueries::applicantRecords() const
{
    return m_log.count(countApplicantRecords);
}

void AwardQueries::accredit(const QList<int> &qsoNumbers) const
{
    Transaction transaction(m_log);
    for (const int number : qsoNumbers)
        m_log.run(setAccredited, {QString(vocabulary::qslAccredited), number});
    transaction.commit();
}

} // namespace kx47
