#pragma once

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QString>
#include <memory>

class QProgressDialog;

namespace kx47
{

class EngineProgressHandler;

// While a long statement runs on a connection of its own (a backup), a progress window shows
// after half a second and its Cancel button interrupts the statement. Only for connections no
// window uses: the window's events are handled while the statement runs.
class EngineProgress
{
public:
    EngineProgress(QSqlDatabase db, const QString &label);
    ~EngineProgress();
    EngineProgress(const EngineProgress &) = delete;
    EngineProgress &operator=(const EngineProgress &) = delete;

    bool cancelled() const { return m_cancelled; }

private:
    bool stepped();

    std::unique_ptr<EngineProgressHandler> m_handler;
    QString m_label;
    QElapsedTimer m_clock;
    qint64 m_lastShown = 0;
    QProgressDialog *m_dialog = nullptr;
    bool m_cancelled = false;
};

} // namespace kx47
