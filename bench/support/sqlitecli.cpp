#include "sqlitecli.h"

#include "timing.h"

#include "storage/database.h"
#include "storage/sqltext.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QVector>

namespace kx47::bench
{

namespace
{

QString program()
{
    return QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
}

} // namespace

bool SqliteCli::available()
{
    return !program().isEmpty();
}

Timing::Run SqliteCli::medianMs(const QString &databasePath, const QString &sql, int runs)
{
    return medianMs(databasePath, QStringList{sql}, runs);
}

Timing::Run SqliteCli::medianMs(const QString &databasePath, const QStringList &group, int runs)
{
    const Timing::Run failed{-1, -1};
    if (!available())
        return failed;
    QString script = QStringLiteral(".timer on\n.output /dev/null\n");
    for (int i = 0; i < runs; ++i)
        script += group.join(QLatin1Char('\n')) + QLatin1Char('\n');
    QProcess tool;
    tool.start(program(), {QStringLiteral("-readonly"), databasePath});
    if (!tool.waitForStarted())
        return failed;
    tool.write(script.toUtf8());
    tool.closeWriteChannel();
    if (!tool.waitForFinished(600000))
        return failed;
    const QString output = QString::fromUtf8(tool.readAllStandardOutput());
    static const QRegularExpression runTime(
        QStringLiteral("Run Time: real ([0-9.]+) user ([0-9.]+) sys ([0-9.]+)"));
    QVector<double> real(runs, 0.0);
    QVector<double> cpu(runs, 0.0);
    auto match = runTime.globalMatch(output);
    int statement = 0;
    for (; match.hasNext(); ++statement) {
        const QRegularExpressionMatch times = match.next();
        const int run = statement / group.size();
        if (run >= runs)
            break;
        real[run] += times.captured(1).toDouble() * 1000.0;
        cpu[run] += (times.captured(2).toDouble() + times.captured(3).toDouble()) * 1000.0;
    }
    if (statement < runs * group.size())
        return failed;
    return {Timing::median(real), Timing::median(cpu)};
}

QString SqliteCli::withValues(QString sql, const QVariantList &values)
{
    for (const QVariant &value : values) {
        const int mark = sql.indexOf(QLatin1Char('?'));
        if (mark < 0)
            break;
        sql.replace(mark, 1, QLatin1Char('\'') + quoteSql(value.toString()) + QLatin1Char('\''));
    }
    return sql;
}

double SqliteCli::scriptMs(const QString &databasePath, const QByteArray &script)
{
    if (!available())
        return -1;
    QProcess tool;
    QElapsedTimer clock;
    clock.start();
    tool.start(program(), {databasePath});
    if (!tool.waitForStarted())
        return -1;
    tool.write(script);
    tool.closeWriteChannel();
    if (!tool.waitForFinished(600000) || tool.exitCode() != 0)
        return -1;
    return double(clock.nsecsElapsed()) / 1e6;
}

QByteArray SqliteCli::importScript(const Database &log, int from, const QString &csvPath)
{
    QFile csv(csvPath);
    csv.open(QIODevice::WriteOnly);
    QSqlQuery query =
        log.run(QStringLiteral("select * from data where count > ? order by count"), {from});
    QByteArray text;
    while (query.next()) {
        for (int i = 0; i < query.record().count(); ++i) {
            if (i > 0)
                text += ',';
            text +=
                '"' + query.value(i).toString().replace('"', QStringLiteral("\"\"")).toUtf8() + '"';
        }
        text += '\n';
        if (text.size() > (1 << 20)) {
            csv.write(text);
            text.clear();
        }
    }
    csv.write(text);
    return "begin immediate;\n.import --csv " + csvPath.toUtf8() + " data\ncommit;\n";
}

} // namespace kx47::bench
