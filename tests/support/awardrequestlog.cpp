#include "awardrequestlog.h"

#include <algorithm>

namespace kx47::test
{

QString squareLetters(int index)
{
    return QString(QChar('A' + index / 24 % 24)) + QChar('A' + index % 24);
}

QList<QsoRow> awardQsos(int firstCount, int quantity, const QString &band, const QString &mode,
                        const QString &qsl, int firstSquare)
{
    QList<QsoRow> rows;
    for (int i = 0; i < quantity; ++i) {
        const int square = firstSquare + i;
        QsoRow row;
        row.count = firstCount + quantity - 1 - i;
        row.locator = squareLetters(square);
        row.call = QStringLiteral("C%1%2%3")
                       .arg(QString(band).remove(QLatin1Char(' ')), mode.left(3))
                       .arg(square);
        row.date = QStringLiteral("2004-%1-%2")
                       .arg(square % 12 + 1, 2, 10, QLatin1Char('0'))
                       .arg(square % 28 + 1, 2, 10, QLatin1Char('0'));
        row.time = QStringLiteral("%1:%2")
                       .arg(square % 24, 2, 10, QLatin1Char('0'))
                       .arg(square % 60, 2, 10, QLatin1Char('0'));
        row.place = QStringLiteral("PLACE %1").arg(square);
        row.prov = square % 2 ? QStringLiteral("RSM") : QStringLiteral("AN");
        row.band = band;
        row.mode = mode;
        row.qsl = qsl;
        rows << row;
    }
    return rows;
}

QList<int> countsInState(const ProgramFolder &folder, const QString &qsl)
{
    QList<int> counts;
    for (const QsoRow &row : folder.qsos()) {
        if (row.qsl == qsl)
            counts << row.count;
    }
    return counts;
}

QStringList callsInState(const ProgramFolder &folder, const QString &qsl)
{
    QList<QsoRow> rows;
    for (const QsoRow &row : folder.qsos()) {
        if (row.qsl == qsl)
            rows << row;
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const QsoRow &a, const QsoRow &b) { return a.locator < b.locator; });
    QStringList calls;
    for (const QsoRow &row : rows)
        calls << row.call;
    return calls;
}

} // namespace kx47::test
