#include "browserlog.h"

#include <QAbstractItemView>

namespace kx47::test
{

namespace
{

QsoRow qso(int count, const char *locator, const char *call, const char *place, const char *prov,
           const char *mode, const char *band, const char *time, const char *qsl)
{
    QsoRow row;
    row.count = count;
    row.locator = QString::fromLatin1(locator);
    row.call = QString::fromLatin1(call);
    row.date = QStringLiteral("2004-12-%1").arg(count, 2, 10, QLatin1Char('0'));
    row.time = QString::fromLatin1(time);
    row.place = QString::fromLatin1(place);
    row.prov = QString::fromLatin1(prov);
    row.mode = QString::fromLatin1(mode);
    row.band = QString::fromLatin1(band);
    row.qsl = QString::fromLatin1(qsl);
    return row;
}

} // namespace

QList<QsoRow> browserLog()
{
    return {
        qso(1, "AB", "IK0AAA", "SANT'ERMINIO", "FC", "MIXED", "HF", "09:05", "c"),
        qso(2, "AA", "IK0AAA", "collevaro", "RN", "SSB", "HF", "14:30", "w"),
        qso(3, "XX", "IZ4ZZZ", "MOSTIRANA", "RSM", "CW", "VHF", "00:00", "a"),
        qso(4, "AB", "ik0aaa", "BRANVOLE", "PG", "MIXED", "50 MHz", "23:59", "c"),
        qso(5, "AC", "I0BBB", "BRANVOLE", "PG", "SSB", "VHF", "10:00", "w"),
        qso(6, "AB", "I0BBB", "ALTOMIRA", "AR", "DIGITAL", "SAT", "01:10", "c"),
        qso(7, "AD", "O'HARA", "BRANVOLE", "PG", "CW", "UHF", "12:00", "c"),
        qso(8, "AB", "IK0AAA", "BRANVOLE", "AN", "MIXED", "HF", "08:45", "w"),
        qso(9, "AA", "IW3CCC", "ALTOMIRA", "AR", "MIXED", "SHF", "19:20", "w"),
        qso(10, "ab", "IW3CCC", "SANT'ERMINIO", "FC", "SSB", "50 MHz", "07:07", "c"),
        qso(11, "AA", "IK0AAA", "BRANVOLE", "PG", "SSB", "HF", "16:16", "c"),
        qso(12, "AE", "I0BBB", "COLLEVARO", "RN", "MIXED", "UHF", "11:11", "w"),
    };
}

const QVector<qint32> byCallBandMode{6, 12, 5, 4, 8, 1, 11, 2, 10, 9, 3, 7};

QVector<qint32> listedCounts(const QVector<qint32> &listCounts, int lines)
{
    return listCounts.mid(0, lines);
}

QStringList listedLines(const QAbstractItemView *list)
{
    QStringList lines;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        lines << list->model()->index(row, 0).data().toString();
    return lines;
}

} // namespace kx47::test
