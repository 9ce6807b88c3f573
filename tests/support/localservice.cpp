#include "localservice.h"

#include <QTcpSocket>
#include <QTimer>

namespace kx47::test
{

LocalService::LocalService()
{
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
        }
    });
}

QUrl LocalService::url(const QString &path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
}

void LocalService::answer(const QList<Answer> &answers)
{
    for (const Answer &a : answers)
        answer(a);
}

void LocalService::serve(QTcpSocket *socket)
{
    if (!socket->canReadLine() || socket->property("served").toBool())
        return;
    socket->setProperty("served", true);
    const QList<QByteArray> line = socket->readLine().trimmed().split(' ');
    const QString target = QString::fromLatin1(line.value(1));
    requests << target;
    const QString path = target.section(QLatin1Char('?'), 0, 0);
    const auto found = m_answers.constFind(path);
    Answer a =
        found != m_answers.constEnd() ? *found : Answer{path, "not here", Fault::None, 0, -1, 404};
    const int served = m_served[path]++;
    if (a.faultyTimes >= 0 && served >= a.faultyTimes)
        a.fault = Fault::None;

    QByteArray head = "HTTP/1.1 " + QByteArray::number(a.status) + " X\r\nConnection: close\r\n";
    if (a.fault != Fault::Cut)
        head += "Content-Length: " + QByteArray::number(a.body.size()) + "\r\n";
    socket->write(head + "\r\n");
    socket->write(a.fault == Fault::None ? a.body : a.body.left(a.cutAt));
    // Closed a moment later, as a server far away would: a client that sees the close before
    // the answer may send its request again on its own.
    if (a.fault != Fault::Stall)
        QTimer::singleShot(50, socket, [socket] { socket->disconnectFromHost(); });
}

QByteArray lotwReport(const QStringList &records, bool withEnd)
{
    auto field = [](const char *name, const QString &value) {
        return QStringLiteral("<%1:%2>%3\n").arg(QLatin1String(name)).arg(value.size()).arg(value);
    };
    QString text = QStringLiteral("ARRL Logbook of the World Status Report\n"
                                  "Generated at 2024-03-01 10:00:00\nfor IK0ABC\nQuery:\n"
                                  "        QSL ONLY: YES\n\n<PROGRAMID:4>LoTW\n"
                                  "<APP_LoTW_NUMREC:%1>%2\n\n<eoh>\n")
                       .arg(QString::number(records.size()).size())
                       .arg(records.size());
    for (const QString &record : records) {
        const QStringList f = record.split(QLatin1Char(','));
        text += QLatin1Char('\n') + field("APP_LoTW_OWNCALL", QStringLiteral("IK0ABC")) +
                field("CALL", f.value(0)) + field("BAND", f.value(3)) + field("MODE", f.value(4)) +
                field("QSO_DATE", f.value(1)) +
                field("TIME_ON", f.value(2) + QStringLiteral("00")) +
                field("QSL_RCVD", QStringLiteral("Y")) + field("QSLRDATE", f.value(6));
        if (!f.value(5).isEmpty())
            text += field("GRIDSQUARE", f.value(5));
        text += QStringLiteral("<eor>\n");
    }
    if (withEnd)
        text += QStringLiteral("\n<APP_LoTW_EOF>\n");
    return text.toUtf8();
}

QByteArray eqslInbox(const QStringList &records)
{
    auto field = [](const char *name, const QString &value) {
        return QStringLiteral("<%1:%2>%3").arg(QLatin1String(name)).arg(value.size()).arg(value);
    };
    QString text = QStringLiteral("ADIF 3 Export from eQSL.cc\nReceived eQSLs for IK0ABC\n"
                                  "<PROGRAMID:21>eQSL.cc DownloadInBox\n<EOH>\n");
    for (const QString &record : records) {
        const QStringList f = record.split(QLatin1Char(','));
        text += field("CALL", f.value(0)) + field("QSO_DATE", f.value(1)) +
                field("TIME_ON", f.value(2)) + field("BAND", f.value(3)) +
                field("MODE", f.value(4)) + field("QSL_SENT", QStringLiteral("Y")) +
                field("QSL_SENT_VIA", QStringLiteral("E"));
        if (!f.value(5).isEmpty())
            text += field("GRIDSQUARE", f.value(5));
        text += QStringLiteral("<EOR>\n");
    }
    return text.toUtf8();
}

} // namespace kx47::test
