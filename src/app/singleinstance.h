#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;

namespace kx47
{

// One program per log. The first program started on a log listens on a local socket whose name
// is made from the log's path; a later start on the same log hands its files to it and ends,
// and the first one opens their import. The command-line import and export do not take part:
// they work beside a running program through the log's own locks.
//
//     SingleInstance instance(SingleInstance::serverName(logPath));
//     if (instance.handOver(files)) return 0;   // the running program took them
//     instance.listen();
//     connect(&instance, &SingleInstance::filesReceived, ...);
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    // The most a message may hold, in bytes: a file manager's handful of paths.
    static constexpr int messageLimit = 64 * 1024;

    // The name of the socket of the log at logPath: the same for every spelling of the path,
    // apart for each user.
    static QString serverName(const QString &logPath);

    explicit SingleInstance(const QString &name, QObject *parent = nullptr);
    ~SingleInstance() override;

    // Hands files (possibly none: the running program is only brought to the front) to a
    // program already listening; true when it took them, false when none runs.
    bool handOver(const QStringList &files, int timeoutMs = 3000);
    // Listens for later starts; a socket left behind by a program that ended without closing
    // it is taken over. False when the socket cannot be made.
    bool listen();
    QString errorString() const { return m_error; }

signals:
    // A later start handed these files over (absolute paths; empty to be brought to the front).
    void filesReceived(const QStringList &files);

private:
    void readConnection();

    QString m_name;
    QLocalServer *m_server = nullptr;
    QString m_error;
};

} // namespace kx47
