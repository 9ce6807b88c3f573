#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

class QSqlQuery;

namespace kx47
{

class Database;

// The highest number a QSO can have: the log's numbers are 32-bit signed integers.
constexpr qint64 highestQsoNumber = 2147483647;

// The number of a new QSO: the highest number in the log plus 1, or 1 for an empty log. A
// number is reused only after the QSO holding the highest one was deleted. Nothing when the log
// already holds highestQsoNumber (or beyond): numbers never wrap.
std::optional<int> nextQsoNumber(const Database &log);

// The statement nextQsoNumber() runs, for a caller that prepares it once and runs it often.
extern const QString highestQsoNumberSql;
// The number of a new QSO from a run of highestQsoNumberSql, as nextQsoNumber() gives it; the
// query is read and finished.
std::optional<int> nextQsoNumber(QSqlQuery &highest);

} // namespace kx47
