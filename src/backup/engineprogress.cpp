#include "engineprogress.h"

#include "storage/engineprogresshandler.h"

#include <QApplication>
#include <QCoreApplication>
#include <QProgressDialog>

namespace kx47
{

namespace
{

constexpr qint64 delayMs = 500;
constexpr qint64 stepMs = 50;
// Virtual machine steps between two looks at the clock.
constexpr int engineSteps = 20000;

} // namespace

EngineProgress::EngineProgress(QSqlDatabase db, const QString &label) : m_label(label)
{
    m_clock.start();
    m_handler =
        std::make_unique<EngineProgressHandler>(db, engineSteps, [this] { return stepped(); });
}

EngineProgress::~EngineProgress()
{
    m_handler.reset();
    delete m_dialog;
}

bool EngineProgress::stepped()
{
    const qint64 elapsed = m_clock.elapsed();
    if (elapsed < delayMs || elapsed - m_lastShown < stepMs)
        return m_cancelled;
    m_lastShown = elapsed;
    // From the command line there is no window to show.
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return m_cancelled;
    if (!m_dialog) {
        m_dialog = new QProgressDialog(m_label, QStringLiteral("Cancel"), 0, 0);
        m_dialog->setObjectName(QStringLiteral("frmBackupProgress"));
        m_dialog->setWindowTitle(QStringLiteral("KX47"));
        m_dialog->setWindowModality(Qt::ApplicationModal);
        m_dialog->setMinimumDuration(0);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->show();
    }
    QCoreApplication::processEvents();
    m_cancelled = m_cancelled || m_dialog->wasCanceled();
    return m_cancelled;
}

} // namespace kx47
