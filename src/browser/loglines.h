#pragma once

#include "log/logquery.h"

#include "text/textkey.h"

#include <QByteArray>
#include <QByteArrayView>
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

    // The stored bytes of a text column of the order.
    QByteArrayView value(LogColumn column) const;
};

// The lines of the log browser, kept compact and each made when it is asked for: a view shows
// a few dozen of a million. The calls and places are kept one after the other in one block of
// text; the values that repeat from QSO to QSO (sub-square, province, mode, band, date, time,
// QSL state) are kept once each and referred to by number. A line made here is exactly
// LogLine::text of the QSO's values.
class LogLines
{
public:
    int size() const { return m_rows.size(); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    void reserve(int lines) { m_rows.reserve(lines); }
    // Room for `lines` more lines than there are, so that lines added one by one later do
    // not copy a long list to make room.
    void keepRoom(int lines);
    void append(StoredLogLine &&line) { m_rows.append(rowOf(line)); }
    void insert(int at, const StoredLogLine &line) { m_rows.insert(at, rowOf(line)); }
    void replace(int at, const StoredLogLine &line);
    void remove(int at);
    // Moves line `from` to position `to` (counted after it has left its place).
    void move(int from, int to);

    // The text of a line, counted from 0.
    QString at(int line) const;
    QString operator[](int line) const { return at(line); }
    // The stored bytes of a text column of the order on a line.
    QByteArrayView value(int line, LogColumn column) const;

    // The bytes the lines take: rows, the block of calls and places, and the repeating values.
    qint64 bytes() const;

private:
    // Each distinct value once, in the order first met.
    class Pool
    {
    public:
        quint32 add(const QByteArray &stored);
        const QString &text(quint32 index) const { return m_texts[int(index)]; }
        const QByteArray &stored(quint32 index) const { return m_stored[int(index)]; }
        qint64 bytes() const;

    private:
        // A value's bytes, hashed byte by byte (fnv1a): Qt's own hash of short byte arrays
        // costs more than the rest of the listing.
        struct Key {
            QByteArray bytes;
            bool operator==(const Key &other) const { return bytes == other.bytes; }
            friend size_t qHash(const Key &key, size_t seed) noexcept
            {
                return fnv1a(key.bytes) ^ seed;
            }
        };

        QHash<Key, quint32> m_index;
        QVector<QString> m_texts;
        QVector<QByteArray> m_stored;
    };

    struct Row {
        // Where the call starts in m_text; the place follows it.
        quint32 text;
        quint32 callLength;
        quint32 placeLength;
        quint32 wwLocator;
        quint32 prov;
        quint32 mode;
        quint32 band;
        quint32 date;
        quint32 time;
        quint32 qsl;
    };

    Row rowOf(const StoredLogLine &line);
    QByteArrayView call(const Row &row) const;
    QByteArrayView place(const Row &row) const;
    // Drops the calls and places of lines no longer listed once they take half the block.
    void compactText();

    QVector<Row> m_rows;
    QByteArray m_text;
    qint64 m_unusedText = 0;
    Pool m_wwLocators;
    Pool m_provs;
    Pool m_modes;
    Pool m_bands;
    Pool m_dates;
    Pool m_times;
    Pool m_qsls;
};

} // namespace kx47
