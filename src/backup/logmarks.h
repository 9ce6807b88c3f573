#pragma once

#include <QDateTime>
#include <QString>

namespace kx47
{

// What the program remembers about a log between two runs, in its settings (never beside the
// log): whether the last run on it ended cleanly, and when SQLite's check of the whole file last
// found it sound. A log never opened before counts as one whose last run did not end cleanly.
class LogMarks
{
public:
    // How often the whole file is checked in the background after a clean end.
    static constexpr int checkEveryDays = 7;

    explicit LogMarks(const QString &logPath);

    // False also for a log found damaged until a check finds it whole again.
    bool endedCleanly() const;
    // Set when the program starts on the log, taken away by markEndedCleanly.
    void markRunning();
    void markEndedCleanly();

    QDateTime lastCheck() const;
    // The whole file was found sound at that moment.
    void markChecked(const QDateTime &when = QDateTime::currentDateTime());
    // The whole file was found damaged: checked again before the first window of the next run.
    void markDamaged();
    // Whether the whole file is due for its check in the background.
    bool checkDue(const QDateTime &now = QDateTime::currentDateTime()) const;

private:
    QString key(const char *what) const;

    QString m_log;
};

} // namespace kx47
