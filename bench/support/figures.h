#pragma once

#include "timing.h"

#include <QString>

namespace kx47::bench
{

// The benchmarks' printed lines, written at once so that a slow run shows how far it came.
void print(const QString &text);
// The title of a table of figures with the headings of its columns, as figure() fills them.
void figureHeadings(const QString &title, int width = 46);

// One line of figures: the program's median wall and processor times and, for a statement, the
// sqlite3 tool's for the same statement with the ratios; `what` fills a column of `width`.
void figure(const QString &what, const Timing::Run &program, const Timing::Run *tool = nullptr,
            int width = 46);

// "  what: figure unit, goal under limit unit: met" (or MISSED).
void goal(const char *what, double figure, double limit, const char *unit);

} // namespace kx47::bench
