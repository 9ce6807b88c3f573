#include "singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

namespace kx47
{

namespace
{

// A message is the paths, each ending with a line break, then an empty line; the program that
// took them answers "ok" and a line break.
const QByteArray taken = QByteArrayLiteral("ok\n");

QString userName()
{
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? QDir::homePath() : user;
}

} // namespace

QString SingleInstance::serverName(const QString &logPath)
{
    const QFileInfo info(logPath);
    const QString path =
        info.canonicalFilePath().isEmpty() ? info.absoluteFilePath() : info.canonicalFilePath();
    const QByteArray key = (userName() + QLatin1Char('\n') + path).toUtf8();
    return QStringLiteral("kx47-") +
           QString::fromLatin1(
               QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(24));
}

SingleInstance::SingleInstance(const QString &name, QObject *parent) : QObject(parent), m_name(name)
{
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::handOver(const QStringList &files, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray message;
    for (const QString &file : files)
        message += QFileInfo(file).absoluteFilePath().toUtf8() + '\n';
    message += '\n';
    socket.write(message);
    // A program that answers is running on the log, even when it is too busy to read the files
    // at once: they wait in the socket until it does, and this start must not open the log too.
    socket.waitForBytesWritten(timeoutMs);
    while (socket.bytesAvailable() < taken.size() && socket.waitForReadyRead(timeoutMs)) {
    }
    return true;
}

bool SingleInstance::listen()
{
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::readConnection);
    }
    if (m_server->listen(m_name))
        return true;
    // Nobody answered on the name (handOver() came first): what is left is a dead program's.
    if (m_server->serverError() == QAbstractSocket::AddressInUseError) {
        QLocalServer::removeServer(m_name);
        if (m_server->listen(m_name))
            return true;
    }
    m_error = m_server->errorString();
    return false;
}

void SingleInstance::readConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QPointer<QLocalSocket> guarded(socket);
        connect(socket, &QLocalSocket::readyRead, this, [this, guarded] {
            if (!guarded)
                return;
            QLocalSocket *s = guarded.data();
            // A message longer than any real one, or one that never ends, is dropped.
            if (s->bytesAvailable() > messageLimit) {
                s->abort();
                return;
            }
            const QByteArray data = s->peek(messageLimit);
            if (!data.endsWith("\n\n") && data != "\n")
                return;
            s->read(data.size());
            QStringList files;
            for (const QByteArray &line : data.split('\n')) {
                if (!line.isEmpty())
                    files.append(QString::fromUtf8(line));
            }
            s->write(taken);
            s->flush();
            emit filesReceived(files);
        });
    }
}

} // namespace kx47

#include "moc_singleinstance.cpp"
