#pragma once

#include "reportcheck.h"
#include "service.h"

#include <QByteArray>
#include <QDate>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QTemporaryFile>
#include <QTimer>
#include <QUrl>
#include <memory>

class QNetworkReply;

namespace kx47
{

struct DownloadRequest {
    Service service = Service::Lotw;
    QUrl address; // the service's address (servicesettings::address)
    QString login;
    QString password;
    QString nickname; // eQSL's QTH nickname, may be empty
    QDate since;      // the first day of confirmations to fetch; invalid: all of them
};

struct DownloadResult {
    enum class Status { Done, Failed, Cancelled };
    Status status = Status::Failed;
    QString message; // for Failed: what happened, in plain words, never with the password
    QString path;    // for Done: the whole report, kept while the download object lives
    ReportCheck check;
};

// Fetches the confirmations of a service into a temporary file and checks that the answer is
// a whole report before anyone reads it:
// - LoTW: one GET of the report of confirmations (lotwreport.adi) since a day, with detail;
// - eQSL: the inbox download (DownloadInBox.cfm), whose page names the ADIF file fetched next.
// Only HTTPS is used, except plain HTTP to this machine (a local stand-in for a service). The
// desktop's proxy is used. A download that receives nothing for stallMs is stopped; a dropped
// connection or a report cut short is tried once more; an answer is bounded to maxBytes.
// Runs in the background on the caller's event loop; finished() tells the end.
class ConfirmationDownload : public QObject
{
    Q_OBJECT
public:
    static constexpr int defaultStallMs = 30000;
    static constexpr qint64 maxBytes = qint64(512) << 20;
    static constexpr qint64 maxPageBytes = 1 << 20;

    explicit ConfirmationDownload(QObject *parent = nullptr);
    ~ConfirmationDownload() override;

    void setStallTimeout(int ms) { m_stallMs = ms; }

    void start(const DownloadRequest &request);
    // Stops the download; finished() follows with Cancelled.
    void cancel();
    bool isRunning() const { return m_running; }
    const DownloadResult &result() const { return m_result; }
    // How many requests the last download sent, retries included.
    int attempts() const { return m_attempts; }

    // Starts and waits for the end, running an event loop (for the command line).
    const DownloadResult &run(const DownloadRequest &request);

    // The address the first request goes to (the password included), for the tests.
    static QUrl firstAddress(const DownloadRequest &request);
    // Whether a download may go to address: HTTPS, or plain HTTP to this machine.
    static bool isAllowed(const QUrl &address);

signals:
    void progress(qint64 received, qint64 total);
    void finished();

private:
    enum class Step { Report, EqslPage, EqslFile };

    void fetch(const QUrl &address, Step step);
    void onReadyRead();
    void onFinished();
    void onStalled();
    void verify();
    void retryOrFail(const QString &message);
    void fail(const QString &message);
    void finish(DownloadResult::Status status);
    // Takes the password (and the address that carries it) out of a text from the network.
    QString withoutSecrets(const QString &text) const;
    QString name() const { return serviceName(m_request.service); }

    QNetworkAccessManager m_manager;
    QPointer<QNetworkReply> m_reply;
    QTimer m_stall;
    int m_stallMs = defaultStallMs;
    DownloadRequest m_request;
    Step m_step = Step::Report;
    QUrl m_address;
    bool m_retried = false;
    int m_attempts = 0;
    bool m_running = false;
    bool m_stalled = false;
    bool m_cancelled = false;
    bool m_tooLarge = false;
    qint64 m_received = 0;
    QByteArray m_page;
    std::unique_ptr<QTemporaryFile> m_file;
    DownloadResult m_result;
};

} // namespace kx47
