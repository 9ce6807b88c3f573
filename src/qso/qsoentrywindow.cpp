#include "qsoentrywindow.h"

#include "qsoform.h"
#include "qsosubmission.h"

#include "log/lognotifier.h"
#include "platform/appcontext.h"
#include "storage/databaseerror.h"

#include <QCloseEvent>
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
    // An engine failure is reported and the form keeps everything typed, for another Submit.
    if (!guardLogWork(m_context.dialogs,
                      [&] { change = submission.submit(m_form->entry(), editedCount()); }) ||
        !change)
        return;
    cancella();
    // The log browser and the award counter follow the change.
    m_context.logNotifier.notifyLogChanged(*change);
    m_form->focusLocator();
    if (m_mode.hidesAfterSaving)
        hide();
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
