#pragma once

#include <QVector>

namespace kx47
{

// What one change of table data did, by QSO number (count), so that the views that list the log
// can follow it line by line. A change of many QSOs at once (an import, a restored backup) sets
// wholeLog, and the views read the log afresh.
struct LogChange {
    QVector<qint64> added;
    QVector<qint64> changed;
    QVector<qint64> removed;
    bool wholeLog = false;

    static LogChange everything()
    {
        LogChange change;
        change.wholeLog = true;
        return change;
    }
    bool isEmpty() const
    {
        return !wholeLog && added.isEmpty() && changed.isEmpty() && removed.isEmpty();
    }
};

} // namespace kx47
