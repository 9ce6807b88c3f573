#include "timing.h"

#include <QElapsedTimer>
#include <algorithm>
#include <ctime>

namespace kx47::bench
{

namespace
{

double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

} // namespace

QVector<Timing::Run> Timing::runs(int count, const std::function<void()> &work)
{
    QVector<Run> times;
    times.reserve(count);
    for (int i = 0; i < count; ++i) {
        QElapsedTimer clock;
        const double cpuStart = cpuMs();
        clock.start();
        work();
        times.append({clock.nsecsElapsed() / 1e6, cpuMs() - cpuStart});
    }
    return times;
}

double Timing::median(QVector<double> values)
{
    if (values.isEmpty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const int middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

double Timing::maximum(const QVector<double> &values)
{
    return values.isEmpty() ? 0.0 : *std::max_element(values.begin(), values.end());
}

QVector<double> Timing::wall(const QVector<Run> &runs)
{
    QVector<double> values;
    for (const Run &run : runs)
        values << run.wall;
    return values;
}

QVector<double> Timing::cpu(const QVector<Run> &runs)
{
    QVector<double> values;
    for (const Run &run : runs)
        values << run.cpu;
    return values;
}

Timing::Run Timing::medianOf(int count, const std::function<void()> &work)
{
    const QVector<Run> all = runs(count, work);
    return {median(wall(all)), median(cpu(all))};
}

QString Timing::ms(double value)
{
    return QStringLiteral("%1 ms").arg(value, 0, 'f', 3);
}

} // namespace kx47::bench
