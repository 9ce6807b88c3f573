#pragma once

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

    void notifyLogChanged() { emit logChanged(); }

signals:
    void logChanged();
};

} // namespace kx47
