#include "qsonumber.h"

#include "storage/database.h"

#include <algorithm>

namespace kx47
{

// max() on the unique index reads one entry instead of walking the whole log.
const QString highestQsoNumberSql = QStringLiteral("select max(count) as highest from data");

std::optional<int> nextQsoNumber(const Database &log)
{
    QSqlQuery query = log.run(highestQsoNumberSql);
    return nextQsoNumber(query);
}

std::optional<int> nextQsoNumber(QSqlQuery &query)
{
    const bool found = query.next();
    const QVariant value = found ? query.value(0) : QVariant();
    query.finish();
    if (!found || value.isNull())
        return 1;
    bool isNumber = false;
    const qint64 highest = value.toLongLong(&isNumber);
    if (!isNumber || highest >= highestQsoNumber)
        return std::nullopt;
    // A log whose numbers are all below 1 still starts at 1.
    return highest < 1 ? 1 : static_cast<int>(highest + 1);
}

namespace
{

// The first run that ends at or after number.
template <class Runs> auto runFor(Runs &runs, qint64 number)
{
    return std::lower_bound(runs.begin(), runs.end(), number,
                            [](const auto &run, qint64 wanted) { return run.second < wanted; });
}

} // namespace

bool QsoNumberRuns::contains(qint64 number) const
{
    const auto run = runFor(m_runs, number);
    return run != m_runs.end() && run->first <= number;
}

void QsoNumberRuns::insert(qint64 number)
{
    // The usual case: the number after the highest.
    if (!m_runs.empty() && m_runs.back().second + 1 == number) {
        m_runs.back().second = number;
        return;
    }
    const auto next = runFor(m_runs, number);
    if (next != m_runs.end() && next->first <= number)
        return;
    const bool joinsNext = next != m_runs.end() && next->first == number + 1;
    const bool joinsPrevious = next != m_runs.begin() && std::prev(next)->second + 1 == number;
    if (joinsPrevious && joinsNext) {
        std::prev(next)->second = next->second;
        m_runs.erase(next);
    } else if (joinsPrevious) {
        std::prev(next)->second = number;
    } else if (joinsNext) {
        next->first = number;
    } else {
        m_runs.insert(next, {number, number});
    }
}

void QsoNumberRuns::remove(qint64 number)
{
    const auto run = runFor(m_runs, number);
    if (run == m_runs.end() || run->first > number)
        return;
    if (run->first == run->second) {
        m_runs.erase(run);
    } else if (run->first == number) {
        ++run->first;
    } else if (run->second == number) {
        --run->second;
    } else {
        const qint64 last = run->second;
        run->second = number - 1;
        m_runs.insert(std::next(run), {number + 1, last});
    }
}

} // namespace kx47
