#pragma once

#include <QString>
#include <QVector>
#include <functional>

namespace kx47::bench
{

// Figures of repeated runs, in milliseconds: wall-clock time, and the processor time of this
// process, which other programs on a busy machine disturb less.
class Timing
{
public:
    struct Run {
        double wall;
        double cpu;
    };

    // Runs work the given number of times and returns each run's times.
    static QVector<Run> runs(int count, const std::function<void()> &work);
    static double median(QVector<double> values);
    static double maximum(const QVector<double> &values);
    static QVector<double> wall(const QVector<Run> &runs);
    static QVector<double> cpu(const QVector<Run> &runs);
    // The median wall and processor times of a number of runs.
    static Run medianOf(int count, const std::function<void()> &work);
    // "12.345 ms"
    static QString ms(double value);
};

} // namespace kx47::bench
