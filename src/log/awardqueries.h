#pragma once

#include <QList>
#include <QSqlQuery>
#include <QString>

namespace kx47
{

class Database;

// The log as the award requests read it: QSOs of one band and mode by QSL state.
class AwardQueries
{
public:
    explicit AwardQueries(const Database &log);

    // How many QSOs of the band and mode are in the state "w", "c" or "a".
    int count(const QString &band, const QString &mode, const QString &qsl) const;
    // The confirmed QSOs of the band and mode in sub-square order (the order of logging within
    // one sub-square), every column.
    QSqlQuery confirmed(const QString &band, const QString &mode) const;

private:
    const Database &m_log;
};

} // namespace kx47
