#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVector>

namespace kx47
{

// One QSO's values as the log stores them, text as UTF-8 bytes: the row the listing reads.
struct StoredLogLine {
    QByteArray call;
    QByteArray wwLocator;
    QByteArray place;
    QByteArray prov;
    QByteArray mode;
    QByteArray band;
    QByteArray date;
    QByteArray time;
    QByteArray qsl;
};

// The lines of the log browser, kept compact and each made when it is asked for: a view shows
// a few dozen of a hundred thousand. The call and the place are kept as the log stores them;
// the values that repeat from QSO to QSO (sub-square, province, mode, band, date, time, QSL
// state) are kept once each and referred to by number. A line made here is exactly
// LogLine::text of the QSO's values.
class LogLines
{
public:
    int size() const { return m_rows.size(); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    void reserve(int lines) { m_rows.reserve(lines); }
    void append(StoredLogLine &&line);

    // The text of a line, counted from 0.
    QString at(int line) const;
    QString operator[](int line) const { return at(line); }

    // The bytes the lines take: rows, their call and place, and the repeating values.
    qint64 bytes() const;

private:
    // Each distinct value once, in the order first met.
    class Pool
    {
    public:
        quint32 add(const QByteArray &stored);
        const QString &text(quint32 index) const { return m_texts[int(index)]; }
        qint64 bytes() const;

    private:
        QHash<QByteArray, quint32> m_index;
        QVector<QString> m_texts;
    };

    struct Row {
        QByteArray call;
        QByteArray place;
        quint32 wwLocator;
        quint32 prov;
        quint32 mode;
        quint32 band;
        quint32 date;
        quint32 time;
        quint32 qsl;
    };

    QVector<Row> m_rows;
    Pool m_wwLocators;
    Pool m_provs;
    Pool m_modes;
    Pool m_bands;
    Pool m_dates;
    Pool m_times;
    Pool m_qsls;
};

} // namespace kx47
