#include "benchlog.h"

#include "logfactory.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <cstdio>

namespace kx47::bench
{

BenchLog::BenchLog(int argc, char *argv[])
    : m_qsos(argc > 1 ? QByteArray(argv[1]).toInt() : 100000),
      m_folder(argc > 2 ? QString::fromLocal8Bit(argv[2]) : m_temporary.path())
{
}

bool BenchLog::build()
{
    if (qEnvironmentVariableIsSet("KX47_BENCH_KEEP_LOG") && holdsLog()) {
        std::printf("Log of %d QSOs kept from an earlier run (%s)\n", m_qsos, qPrintable(m_folder));
        std::fflush(stdout);
        return true;
    }
    QElapsedTimer clock;
    clock.start();
    QString error;
    if (!LogFactory(m_qsos).build(m_folder, &error)) {
        std::printf("cannot build the log in %s: %s\n", qPrintable(m_folder), qPrintable(error));
        return false;
    }
    std::printf("Log of %d QSOs built in %lld ms (%s)\n", m_qsos, clock.elapsed(),
                qPrintable(m_folder));
    std::fflush(stdout);
    return true;
}

bool BenchLog::holdsLog() const
{
    if (!QFileInfo::exists(placesPath()) || !QFileInfo::exists(logPath()))
        return false;
    int qsos = -1;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("benchlog-kept"));
        db.setDatabaseName(logPath());
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            QSqlQuery count(QStringLiteral("select count(*) from data"), db);
            if (count.next())
                qsos = count.value(0).toInt();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("benchlog-kept"));
    return qsos == m_qsos;
}

QString BenchLog::logPath() const
{
    return QDir(m_folder).filePath(QStringLiteral("data.mdb"));
}

QString BenchLog::placesPath() const
{
    return QDir(m_folder).filePath(QStringLiteral("places.mdb"));
}

OpenLog::OpenLog(const QString &logPath, const QString &placesPath)
{
    QString error;
    if (!log.open(logPath, &error) || !places.open(placesPath, &error))
        qFatal("cannot open the log: %s", qPrintable(error));
}

QSet<QString> accreditedSlots(const Database &log)
{
    QSet<QString> held;
    QSqlQuery query =
        log.run(QStringLiteral("select distinct WWLocator, band, mode from data where qsl = 'a'"));
    while (query.next())
        held.insert((query.value(0).toString() + '|' + query.value(1).toString() + '|' +
                     query.value(2).toString())
                        .toUpper());
    return held;
}

bool copyLog(const QString &from, const QString &to)
{
    QFile::remove(to);
    return QFile::copy(from, to);
}

} // namespace kx47::bench
