#pragma once

#include <QString>
#include <optional>

namespace kx47
{

class Database;
struct QsoRecord;

// The award rules of the log as the entry windows apply them, and the writing of a QSO.
class QsoStore
{
public:
    explicit QsoStore(const Database &log) : m_log(log) {}

    // A sub-square that is accredited on a band and mode takes no further QSO there.
    bool accreditedExists(const QString &locator, const QString &band, const QString &mode) const;

    // The number of the QSO of the same sub-square, band, mode and QSL state that a new one would
    // replace (there is at most one confirmed QSO per sub-square, band and mode), leaving out the
    // QSO numbered `excluded`; nothing when there is none.
    std::optional<int> qsoToReplace(const QsoRecord &record,
                                    std::optional<int> excluded = std::nullopt) const;

    bool contains(int count) const;

    // Deletes the replaced QSO, if any, and appends the record under the next number, both or
    // neither. Returns the new number.
    int append(const QsoRecord &record, std::optional<int> replaced = std::nullopt) const;

    // Deletes the replaced QSO, if any, and rewrites the QSO numbered record.count with the
    // record's values, both or neither. False, with nothing changed, when that QSO is no longer
    // in the log.
    bool rewrite(const QsoRecord &record, std::optional<int> replaced = std::nullopt) const;

private:
    void remove(int count) const;

    const Database &m_log;
};

} // namespace kx47
