#include "qsoentrywindow.h"

#include "qsochecks.h"
#include "qsoentry.h"
#include "qsoform.h"
#include "qsosubmission.h"

#include "log/lognotifier.h"
#include "platform/appcontext.h"
#include "storage/databaseerror.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace kx47
{

QsoEntryWindow::QsoEntryWindow(AppContext &context, const EntryMode &mode, QWidget *parent)
    : QWidget(parent), m_context(context), m_mode(mode), m_places(context.places),
      m_form(new QsoForm(mode, m_places, this))
{
    setObjectName(mode.windowName);
    setWindowTitle(mode.caption);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_form);
    connect(m_form->submitButton(), &QPushButton::clicked, this, &QsoEntryWindow::submit);
    connect(m_form->clearButton(), &QPushButton::clicked, this, &QsoEntryWindow::cancella);
    connect(m_form->exitButton(), &QPushButton::clicked, this, &QsoEntryWindow::exit);
    m_form->applyDefaults();
}

void QsoEntryWindow::cancella()
{
    m_form->cancella();
}

void QsoEntryWindow::submit()
{
    QsoSubmission submission(m_context.log, m_context.dialogs, m_mode);
    std::optional<LogChange> change;
    const QsoEntry entry = m_form->entry();
    // An engine failure is reported and the form keeps everything typed, for another Submit.
    if (!guardLogWork(m_context.dialogs,
                      [&] { change = submission.submit(entry, editedCount()); }) ||
        !change) {
        // A date refused is mended from its day on.
        if (QsoChecks::messages(entry, m_mode.lengths).contains(QsoChecks::dateMessage))
            m_form->focusDay();
        return;
    }
    cancella();
    // The log browser and the award counter follow the change.
    m_context.logNotifier.notifyLogChanged(*change);
    m_form->focusLocator();
    if (m_mode.hidesAfterSaving)
        hide();
}

void QsoEntryWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    m_form->submitButton()->click();
}

void QsoEntryWindow::exit()
{
    cancella();
    hide();
}

void QsoEntryWindow::closeEvent(QCloseEvent *event)
{
    // The window is discarded after this; the next opening shows the defaults again.
    cancella();
    hide();
    event->accept();
}

} // namespace kx47

#include "moc_qsoentrywindow.cpp"
