#include "figures.h"

#include "sqlitecli.h"

#include <cstdio>

namespace kx47::bench
{

namespace
{

QString column(double ms)
{
    return ms < 0 ? QStringLiteral("-") : QString::number(ms, 'f', 3);
}

QString ratio(double ours, double theirs)
{
    return theirs > 0 ? QString::number(ours / theirs, 'f', 2) : QStringLiteral("n/a");
}

} // namespace

void print(const QString &text)
{
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
}

void figureHeadings(const QString &title, int width)
{
    print(QStringLiteral("\n%1\n  %2 %3 %4   %5 %6   %7 %8")
              .arg(title)
              .arg(QString(), -width)
              .arg(QStringLiteral("wall ms"), 10)
              .arg(QStringLiteral("cpu ms"), 10)
              .arg(QStringLiteral("sqlite3"), 10)
              .arg(QStringLiteral("cpu ms"), 10)
              .arg(QStringLiteral("ratio"), 6)
              .arg(QStringLiteral("cpu"), 6));
}

void figure(const QString &what, const Timing::Run &program, const Timing::Run *tool, int width)
{
    QString line = QStringLiteral("  %1 %2 %3")
                       .arg(what, -width)
                       .arg(column(program.wall), 10)
                       .arg(column(program.cpu), 10);
    if (tool) {
        if (!SqliteCli::available()) {
            line += QStringLiteral("   sqlite3 not found");
        } else if (tool->wall < 0) {
            line += QStringLiteral("   sqlite3 did not run");
        } else {
            line += QStringLiteral("   %1 %2   %3 %4")
                        .arg(column(tool->wall), 10)
                        .arg(column(tool->cpu), 10)
                        .arg(ratio(program.wall, tool->wall), 6)
                        .arg(ratio(program.cpu, tool->cpu), 6);
        }
    }
    print(line);
}

void goal(const char *what, double figure, double limit, const char *unit)
{
    std::printf("  %s: %.2f %s, goal under %.2f %s: %s\n", what, figure, unit, limit, unit,
                figure < limit ? "met" : "MISSED");
    std::fflush(stdout);
}

} // namespace kx47::bench
