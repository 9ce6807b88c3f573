#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QStringList>
#include <QTcpServer>
#include <QUrl>

namespace kx47::test
{

// A stand-in for an online service on 127.0.0.1: answers each GET by its path with a scripted
// answer, whole or with a fault, and records what was asked.
class LocalService : public QObject
{
public:
    enum class Fault {
        None,
        Cut,   // the answer without a length, the connection closed after cutAt bytes
        Drop,  // the answer's whole length announced, the connection closed after cutAt bytes
        Stall, // cutAt bytes sent, then nothing, the connection left open
    };
    struct Answer {
        QString path;
        QByteArray body;
        Fault fault = Fault::None;
        qint64 cutAt = 0;
        int faultyTimes = -1; // how many requests get the fault; -1 all of them
        int status = 200;
    };

    LocalService();
    QUrl url(const QString &path) const;
    void answer(const Answer &answer) { m_answers.insert(answer.path, answer); }
    void answer(const QList<Answer> &answers);
    // The requests received, each as its path and query ("/report.adi?login=...").
    QStringList requests;

private:
    void serve(QTcpSocket *socket);

    QTcpServer m_server;
    QHash<QString, Answer> m_answers;
    QHash<QString, int> m_served;
};

// A LoTW report of confirmations in the form LoTW writes it; each record "CALL,YYYYMMDD,HHMM,
// BAND,MODE,GRID,QSLRDATE" (an empty grid is left out).
QByteArray lotwReport(const QStringList &records, bool withEnd = true);
// An eQSL inbox file; each record "CALL,YYYYMMDD,HHMM,BAND,MODE,GRID".
QByteArray eqslInbox(const QStringList &records);

} // namespace kx47::test

Q_DECLARE_METATYPE(kx47::test::LocalService::Answer)
