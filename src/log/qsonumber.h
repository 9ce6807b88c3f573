#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>
#include <utility>
#include <vector>

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

// A set of QSO numbers kept as runs of numbers that follow each other: the numbers a change
// appends do, so a million of them take a few bytes instead of an entry each.
class QsoNumberRuns
{
public:
    bool contains(qint64 number) const;
    void insert(qint64 number);
    void remove(qint64 number);

private:
    // First and last number of each run, in order, apart from each other.
    std::vector<std::pair<qint64, qint64>> m_runs;
};

} // namespace kx47
