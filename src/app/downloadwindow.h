#pragma once

#include "adifcommands.h"

#include "download/confirmationdownload.h"
#include "download/service.h"

#include <QWidget>
#include <array>

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace kx47
{

struct AppContext;

// "Download confirmations...": LoTW and eQSL, each with its login, password, the day the
// download starts from and a Download button. The download runs in the background with a
// progress bar and Cancel; a whole report is then merged as an import of confirmations only,
// with the import's preview, backup and summary. The day of the next download advances only
// after a merge. A password is kept in the desktop's keyring when the user asks for it and the
// desktop has one; otherwise it is typed each time.
class DownloadWindow : public QWidget
{
    Q_OBJECT
public:
    static const QString name; // frmDownloadConfirmations

    explicit DownloadWindow(AppContext &context);

    // The download the window runs (tests shorten its stall time).
    ConfirmationDownload &download() { return m_download; }
    // Starts the download of a service as its button does.
    void startDownload(Service service);

protected:
    void hideEvent(QHideEvent *event) override;

private:
    struct Panel {
        Service service;
        QLineEdit *login = nullptr;
        QLineEdit *password = nullptr;
        QLineEdit *nickname = nullptr; // eQSL only
        QCheckBox *remember = nullptr;
        QDateEdit *since = nullptr;
        QPushButton *button = nullptr;
    };
    QWidget *makePanel(Panel &panel);
    Panel &panelOf(Service service);
    void showSince(Panel &panel);
    void setRunning(bool running);
    void downloadFinished();

    AppContext &m_context;
    AdifCommands m_commands;
    ConfirmationDownload m_download;
    std::array<Panel, 2> m_panels;
    Panel *m_running = nullptr;
    QString m_password; // of the running download, kept until it ends
    QProgressBar *m_progress;
    QLabel *m_status;
    QPushButton *m_cancel;
};

void registerDownloadWindow(AppContext &context);

} // namespace kx47
