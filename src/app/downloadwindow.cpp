#include "downloadwindow.h"

#include "importoptionswindow.h"

#include "download/credentials.h"
#include "download/downloadmerge.h"
#include "platform/appcontext.h"
#include "platform/dialogs.h"
#include "platform/windowregistry.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace kx47
{

namespace
{

// The date edits show this day as "from the beginning".
const QDate firstDay(1990, 1, 1);

// The kinds of confirmation that count as confirmed: the choice remembered from the import
// window, QSL cards alone (the award's rules) until one was made.
Confirmations acceptedConfirmations()
{
    return ImportOptionsWindow::remembered().accepted;
}

} // namespace

const QString DownloadWindow::name = QStringLiteral("frmDownloadConfirmations");

DownloadWindow::DownloadWindow(AppContext &context) : m_context(context), m_commands(context, this)
{
    setObjectName(name);
    setWindowTitle(QStringLiteral("Download confirmations"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto *layout = new QVBoxLayout(this);
    m_panels[0].service = Service::Lotw;
    m_panels[1].service = Service::Eqsl;
    for (Panel &panel : m_panels)
        layout->addWidget(makePanel(panel));

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_status->setWordWrap(true);
    layout->addWidget(m_status);
    auto *bottom = new QHBoxLayout;
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("prgDownload"));
    m_progress->setRange(0, 0);
    m_progress->hide();
    bottom->addWidget(m_progress, 1);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cancel->setEnabled(false);
    bottom->addWidget(m_cancel);
    auto *exit = new QPushButton(QStringLiteral("Exit"), this);
    exit->setObjectName(QStringLiteral("cmdExit"));
    bottom->addWidget(exit);
    layout->addLayout(bottom);

    connect(m_cancel, &QPushButton::clicked, &m_download, &ConfirmationDownload::cancel);
    connect(exit, &QPushButton::clicked, this, &QWidget::hide);
    connect(&m_download, &ConfirmationDownload::progress, this,
            [this](qint64 received, qint64 total) {
                m_progress->setRange(0, total > 0 ? 1000 : 0);
                if (total > 0)
                    m_progress->setValue(int(qMin(received, total) * 1000 / total));
                m_status->setText(QStringLiteral("%1 KB received from %2...")
                                      .arg(received / 1024)
                                      .arg(serviceName(m_running->service)));
            });
    connect(&m_download, &ConfirmationDownload::finished, this, &DownloadWindow::downloadFinished);
}

QWidget *DownloadWindow::makePanel(Panel &panel)
{
    const QString word = serviceWord(panel.service);
    const QString prefix = word.left(1).toUpper() + word.mid(1);
    auto *box = new QGroupBox(serviceName(panel.service), this);
    box->setObjectName(QStringLiteral("fra") + prefix);
    auto *form = new QFormLayout(box);

    panel.login = new QLineEdit(servicesettings::login(panel.service), box);
    panel.login->setObjectName(QStringLiteral("txt%1Login").arg(prefix));
    form->addRow(QStringLiteral("&Login:"), panel.login);
    panel.password = new QLineEdit(box);
    panel.password->setObjectName(QStringLiteral("txt%1Password").arg(prefix));
    panel.password->setEchoMode(QLineEdit::Password);
    panel.password->setPlaceholderText(QStringLiteral("from the keyring when empty"));
    form->addRow(QStringLiteral("&Password:"), panel.password);
    if (panel.service == Service::Eqsl) {
        panel.nickname = new QLineEdit(servicesettings::nickname(panel.service), box);
        panel.nickname->setObjectName(QStringLiteral("txtEqslNickname"));
        panel.nickname->setPlaceholderText(QStringLiteral("only for an account with several"));
        form->addRow(QStringLiteral("QTH &nickname:"), panel.nickname);
    }
    panel.remember =
        new QCheckBox(QStringLiteral("&Keep the password in the desktop's keyring"), box);
    panel.remember->setObjectName(QStringLiteral("chk%1Remember").arg(prefix));
    form->addRow(QString(), panel.remember);
    panel.since = new QDateEdit(box);
    panel.since->setObjectName(QStringLiteral("dt%1Since").arg(prefix));
    panel.since->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    panel.since->setCalendarPopup(true);
    panel.since->setMinimumDate(firstDay);
    panel.since->setSpecialValueText(QStringLiteral("from the beginning"));
    showSince(panel);
    form->addRow(QStringLiteral("Confirmations &since:"), panel.since);
    panel.button = new QPushButton(QStringLiteral("&Download"), box);
    panel.button->setObjectName(QStringLiteral("cmd%1Download").arg(prefix));
    form->addRow(QString(), panel.button);
    const Service service = panel.service;
    connect(panel.button, &QPushButton::clicked, this, [this, service] { startDownload(service); });
    return box;
}

DownloadWindow::Panel &DownloadWindow::panelOf(Service service)
{
    return m_panels[service == Service::Lotw ? 0 : 1];
}

void DownloadWindow::showSince(Panel &panel)
{
    const QDate since = servicesettings::since(panel.service);
    panel.since->setDate(since.isValid() ? since : firstDay);
}

void DownloadWindow::setRunning(bool running)
{
    for (Panel &panel : m_panels)
        panel.button->setEnabled(!running);
    m_cancel->setEnabled(running);
    m_progress->setVisible(running);
    m_progress->setRange(0, 0);
}

void DownloadWindow::startDownload(Service service)
{
    if (m_download.isRunning())
        return;
    Panel &panel = panelOf(service);
    Dialogs &dialogs = m_context.dialogs;
    const QString serviceTitle = serviceName(service);
    const QString login = panel.login->text().trimmed();
    if (login.isEmpty()) {
        dialogs.message(QStringLiteral("Enter your %1 login first.").arg(serviceTitle),
                        MessageIcon::Exclamation, MessageButtons::Ok);
        return;
    }
    servicesettings::setLogin(service, login);
    if (panel.nickname)
        servicesettings::setNickname(service, panel.nickname->text());

    m_password = panel.password->text();
    if (m_password.isEmpty()) {
        const CredentialStore::Status status =
            CredentialStore::instance().read(service, login, &m_password);
        if (status != CredentialStore::Status::Found) {
            dialogs.message(
                status == CredentialStore::Status::Unavailable
                    ? QStringLiteral("Enter your %1 password. (This desktop has no keyring, so "
                                     "the password is asked for each time and kept nowhere.)")
                          .arg(serviceTitle)
                    : QStringLiteral("Enter your %1 password.").arg(serviceTitle),
                MessageIcon::Exclamation, MessageButtons::Ok);
            return;
        }
    }

    DownloadRequest request;
    request.service = service;
    request.address = servicesettings::address(service);
    request.login = login;
    request.password = m_password;
    request.nickname = panel.nickname ? panel.nickname->text().trimmed() : QString();
    if (panel.since->date() > firstDay)
        request.since = panel.since->date();
    m_running = &panel;
    setRunning(true);
    m_status->setText(QStringLiteral("Asking %1...").arg(serviceTitle));
    m_download.start(request);
}

void DownloadWindow::downloadFinished()
{
    Panel &panel = *m_running;
    const Service service = panel.service;
    const QString password = m_password;
    m_password.clear();
    setRunning(false);
    const DownloadResult &result = m_download.result();
    Dialogs &dialogs = m_context.dialogs;
    switch (result.status) {
    case DownloadResult::Status::Cancelled:
        m_status->setText(QStringLiteral("The download was cancelled; nothing was merged."));
        return;
    case DownloadResult::Status::Failed:
        m_status->setText(QStringLiteral("The download failed; nothing was merged."));
        dialogs.message(result.message, MessageIcon::Critical, MessageButtons::Ok);
        return;
    case DownloadResult::Status::Done:
        break;
    }

    // The login was accepted: the password is kept now, when the user asked for it.
    if (panel.remember->isChecked() && !panel.password->text().isEmpty() &&
        !CredentialStore::instance().write(service, panel.login->text().trimmed(), password))
        dialogs.message(QStringLiteral("The password could not be kept: this desktop has no "
                                       "keyring, or it refused. Type it again next time."),
                        MessageIcon::Exclamation, MessageButtons::Ok);

    m_status->setText(QStringLiteral("%1 records received from %2.")
                          .arg(result.check.records)
                          .arg(serviceName(service)));
    const AdifCommands::Merge merge = m_commands.importChecked(
        {result.path}, QStringLiteral("%1's report").arg(serviceName(service)),
        downloadmerge::options(service, acceptedConfirmations()));
    if (merge == AdifCommands::Merge::NotImported)
        return;
    downloadmerge::rememberMerged(service, result.check);
    showSince(panel);
}

void DownloadWindow::hideEvent(QHideEvent *event)
{
    // Exit or the close box stop the download; a minimised window goes on.
    if (!event->spontaneous())
        m_download.cancel();
    QWidget::hideEvent(event);
}

void registerDownloadWindow(AppContext &context)
{
    context.windows.registerWindow(DownloadWindow::name,
                                   [&context] { return new DownloadWindow(context); });
}

} // namespace kx47

#include "moc_downloadwindow.cpp"
