#pragma once

#include "logchange.h"

#include <QObject>

namespace kx47
{

// Every window that changes table data says so here once; the log browser and the award
// counter follow it, whether they are on screen, hidden or not created yet.
class LogNotifier : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Anything in the log may have changed.
    void notifyLogChanged() { notifyLogChanged(LogChange::everything()); }
    // The QSOs named in `change` were added, changed or removed.
    void notifyLogChanged(const LogChange &change)
    {
        emit qsosChanged(change);
        emit logChanged();
    }

signals:
    // Followers that list QSOs one by one listen here; the others to logChanged().
    void qsosChanged(const kx47::LogChange &change);
    void logChanged();
};

} // namespace kx47
