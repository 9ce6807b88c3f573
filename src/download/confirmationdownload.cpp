#include "confirmationdownload.h"

#include <QDir>
#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <cmath>

namespace kx47
{

namespace
{

// One query item, the value percent-encoded whole: a "+" or "&" in a password stays itself.
void addItem(QString &query, const char *key, const QString &value)
{
    if (!query.isEmpty())
        query += QLatin1Char('&');
    query +=
        QLatin1String(key) + QLatin1Char('=') + QString::fromLatin1(QUrl::toPercentEncoding(value));
}

bool isDropped(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::ProxyConnectionClosedError:
        return true;
    default:
        return false;
    }
}

} // namespace

ConfirmationDownload::ConfirmationDownload(QObject *parent) : QObject(parent)
{
    // The proxy the desktop names (its settings or the environment's https_proxy).
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    m_manager.setRedirectPolicy(QNetworkRequest::UserVerifiedRedirectPolicy);
    m_stall.setSingleShot(true);
    connect(&m_stall, &QTimer::timeout, this, &ConfirmationDownload::onStalled);
}

ConfirmationDownload::~ConfirmationDownload()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
}

QUrl ConfirmationDownload::firstAddress(const DownloadRequest &request)
{
    QUrl address = request.address;
    QString query;
    if (request.service == Service::Lotw) {
        addItem(query, "login", request.login);
        addItem(query, "password", request.password);
        addItem(query, "qso_query", QStringLiteral("1"));
        addItem(query, "qso_qsl", QStringLiteral("yes"));
        addItem(query, "qso_qsldetail", QStringLiteral("yes"));
        if (request.since.isValid())
            addItem(query, "qso_qslsince", request.since.toString(Qt::ISODate));
    } else {
        addItem(query, "UserName", request.login);
        addItem(query, "Password", request.password);
        if (request.since.isValid())
            addItem(query, "RcvdSince", request.since.toString(QStringLiteral("yyyyMMdd0000")));
        if (!request.nickname.isEmpty())
            addItem(query, "QTHNickname", request.nickname);
    }
    address.setQuery(query, QUrl::StrictMode);
    return address;
}

bool ConfirmationDownload::isAllowed(const QUrl &address)
{
    const QString scheme = address.scheme().toLower();
    if (scheme == QLatin1String("https"))
        return !address.host().isEmpty();
    if (scheme != QLatin1String("http"))
        return false;
    const QString host = address.host();
    return host == QLatin1String("localhost") || QHostAddress(host).isLoopback();
}

void ConfirmationDownload::start(const DownloadRequest &request)
{
    if (m_running)
        return;
    m_request = request;
    m_result = DownloadResult();
    m_running = true;
    m_cancelled = false;
    m_retried = false;
    m_attempts = 0;
    m_file = std::make_unique<QTemporaryFile>(QDir::tempPath() +
                                              QStringLiteral("/kx47-download-XXXXXX.adi"));
    if (!m_file->open()) {
        fail(QStringLiteral("No temporary file could be made for the download (%1).")
                 .arg(m_file->errorString()));
        return;
    }
    if (!isAllowed(request.address)) {
        fail(QStringLiteral("The address of %1 must start with https:// (it is \"%2\").")
                 .arg(name(), request.address.toString(QUrl::RemoveQuery | QUrl::RemoveUserInfo)));
        return;
    }
    fetch(firstAddress(request), request.service == Service::Lotw ? Step::Report : Step::EqslPage);
}

void ConfirmationDownload::cancel()
{
    if (!m_running)
        return;
    m_cancelled = true;
    if (m_reply)
        m_reply->abort();
    else
        finish(DownloadResult::Status::Cancelled);
}

const DownloadResult &ConfirmationDownload::run(const DownloadRequest &request)
{
    QEventLoop loop;
    connect(this, &ConfirmationDownload::finished, &loop, &QEventLoop::quit);
    start(request);
    if (m_running)
        loop.exec();
    return m_result;
}

void ConfirmationDownload::fetch(const QUrl &address, Step step)
{
    m_step = step;
    m_address = address;
    m_received = 0;
    m_stalled = false;
    m_tooLarge = false;
    m_page.clear();
    if (step != Step::EqslPage && (!m_file->resize(0) || !m_file->seek(0))) {
        fail(QStringLiteral("The temporary file of the download cannot be written (%1).")
                 .arg(m_file->errorString()));
        return;
    }
    ++m_attempts;
    QNetworkRequest request(address);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("KX47 Logbook"));
    m_reply = m_manager.get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &ConfirmationDownload::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &ConfirmationDownload::onFinished);
    QNetworkReply *reply = m_reply;
    connect(m_reply, &QNetworkReply::redirected, this, [this, reply](const QUrl &to) {
        if (isAllowed(to)) {
            emit reply->redirectAllowed();
        } else {
            m_address = to;
            reply->abort();
        }
    });
    m_stall.start(m_stallMs);
}

void ConfirmationDownload::onReadyRead()
{
    if (!m_reply || m_tooLarge || !m_reply->isOpen())
        return;
    m_stall.start(m_stallMs);
    const QByteArray data = m_reply->readAll();
    m_received += data.size();
    if (m_received > (m_step == Step::EqslPage ? maxPageBytes : maxBytes)) {
        m_tooLarge = true;
        m_reply->abort();
        return;
    }
    if (m_step == Step::EqslPage) {
        m_page += data;
    } else if (m_file->write(data) != data.size()) {
        m_tooLarge = true; // stops the download; onFinished tells why
        m_reply->abort();
        return;
    }
    const qint64 total = m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    emit progress(m_received, total > 0 ? total : -1);
}

void ConfirmationDownload::onStalled()
{
    if (!m_reply)
        return;
    m_stalled = true;
    m_reply->abort();
}

void ConfirmationDownload::onFinished()
{
    QNetworkReply *reply = m_reply;
    if (!reply)
        return;
    m_stall.stop();
    onReadyRead();
    m_reply = nullptr;
    reply->deleteLater();
    const QNetworkReply::NetworkError error = reply->error();

    if (m_cancelled) {
        finish(DownloadResult::Status::Cancelled);
        return;
    }
    if (m_stalled) {
        const int seconds = int(std::ceil(m_stallMs / 1000.0));
        fail(QStringLiteral("%1 sent nothing for %2 seconds, so the download was stopped. Try "
                            "again later.")
                 .arg(name())
                 .arg(seconds));
        return;
    }
    if (m_tooLarge) {
        if (m_file && m_file->error() != QFileDevice::NoError)
            fail(QStringLiteral("The download cannot be stored in the temporary folder (%1).")
                     .arg(m_file->errorString()));
        else
            fail(QStringLiteral("The answer of %1 is larger than any report of confirmations, "
                                "so the download was stopped.")
                     .arg(name()));
        return;
    }
    if (!isAllowed(m_address)) {
        fail(QStringLiteral("%1 sent the download to an address that is not secure (%2), so it "
                            "was stopped.")
                 .arg(name(), m_address.toString(QUrl::RemoveQuery | QUrl::RemoveUserInfo)));
        return;
    }
    if (error != QNetworkReply::NoError) {
        const QString why = withoutSecrets(reply->errorString());
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (isDropped(error))
            retryOrFail(QStringLiteral("The connection to %1 was cut before the whole answer "
                                       "arrived (%2). Try again later.")
                            .arg(name(), why));
        else if (status >= 400)
            fail(QStringLiteral("%1 answered with an error (HTTP %2). Try again later.")
                     .arg(name())
                     .arg(status));
        else
            fail(QStringLiteral("%1 could not be reached (%2). Check the connection to the "
                                "Internet and try again.")
                     .arg(name(), why));
        return;
    }
    if (m_step != Step::EqslPage) {
        verify();
        return;
    }
    const EqslPage page = readEqslPage(m_page, m_address);
    if (!page.error.isEmpty()) {
        fail(QStringLiteral("eQSL refused the download: \"%1\"").arg(page.error));
        return;
    }
    if (page.file.isEmpty()) {
        fail(QStringLiteral("eQSL's answer names no file of confirmations. It says:\n%1")
                 .arg(page.text));
        return;
    }
    if (!isAllowed(page.file)) {
        fail(QStringLiteral("eQSL named a file at an address that is not secure (%1), so it "
                            "was not fetched.")
                 .arg(page.file.toString(QUrl::RemoveQuery | QUrl::RemoveUserInfo)));
        return;
    }
    m_retried = false;
    fetch(page.file, Step::EqslFile);
}

void ConfirmationDownload::verify()
{
    if (!m_file->flush()) {
        fail(QStringLiteral("The download cannot be stored in the temporary folder (%1).")
                 .arg(m_file->errorString()));
        return;
    }
    const bool lotw = m_step == Step::Report;
    const ReportCheck check = lotw ? checkLotwReport(*m_file) : checkEqslFile(*m_file);
    m_result.check = check;
    switch (check.verdict) {
    case ReportCheck::Verdict::Whole:
        m_result.path = m_file->fileName();
        finish(DownloadResult::Status::Done);
        return;
    case ReportCheck::Verdict::WebPage:
        fail(lotw ? QStringLiteral("LoTW did not accept the login \"%1\": it answered with a web "
                                   "page instead of a report. Check the user name and password.")
                        .arg(m_request.login)
                  : QStringLiteral("eQSL answered with a web page instead of the file of "
                                   "confirmations. Try again later."));
        return;
    case ReportCheck::Verdict::Cut:
        retryOrFail(QStringLiteral("The connection to %1 was cut before the whole answer "
                                   "arrived: the report stops before its end. Try again later.")
                        .arg(name()));
        return;
    case ReportCheck::Verdict::Foreign:
        fail(QStringLiteral("The answer of %1 is not a report of confirmations.").arg(name()));
        return;
    case ReportCheck::Verdict::Unreadable:
        break;
    }
    fail(QStringLiteral("The download cannot be read back from the temporary folder (%1).")
             .arg(m_file->errorString()));
}

void ConfirmationDownload::retryOrFail(const QString &message)
{
    if (m_retried) {
        fail(message);
        return;
    }
    m_retried = true;
    fetch(m_address, m_step);
}

void ConfirmationDownload::fail(const QString &message)
{
    m_result.message = withoutSecrets(message) + QStringLiteral("\nNothing was merged.");
    m_result.path.clear();
    finish(DownloadResult::Status::Failed);
}

void ConfirmationDownload::finish(DownloadResult::Status status)
{
    m_stall.stop();
    m_running = false;
    m_result.status = status;
    emit finished();
}

QString ConfirmationDownload::withoutSecrets(const QString &text) const
{
    QString clean = text;
    // An address's query carries the login and password.
    static const QRegularExpression query(QStringLiteral("\\?\\S*"));
    clean.replace(query, QString());
    const QString &password = m_request.password;
    if (!password.isEmpty()) {
        for (const QString &form :
             {password, QString::fromLatin1(QUrl::toPercentEncoding(password))})
            clean.replace(form, QStringLiteral("*****"));
    }
    return clean;
}

} // namespace kx47

#include "moc_confirmationdownload.cpp"
