#include "loglines.h"

#include "logline.h"

namespace kx47
{

namespace
{

// The heap block of a string or byte array: its header and its characters.
qint64 blockBytes(qsizetype capacity, qsizetype charSize)
{
    return capacity > 0 ? 16 + (capacity + 1) * charSize : 0;
}

} // namespace

QByteArrayView StoredLogLine::value(LogColumn column) const
{
    switch (column) {
    case LogColumn::Call:
        return call;
    case LogColumn::WWLocator:
        return wwLocator;
    case LogColumn::Place:
        return place;
    case LogColumn::Prov:
        return prov;
    case LogColumn::Mode:
        return mode;
    case LogColumn::Band:
        return band;
    case LogColumn::Count:
        break;
    }
    return {};
}

quint32 LogLines::Pool::add(const QByteArray &stored)
{
    const Key key{stored};
    auto known = m_index.constFind(key);
    if (known == m_index.constEnd()) {
        known = m_index.insert(key, quint32(m_texts.size()));
        m_texts.append(QString::fromUtf8(stored));
        m_stored.append(stored);
    }
    return *known;
}

qint64 LogLines::Pool::bytes() const
{
    qint64 total = 0;
    for (auto entry = m_index.constBegin(); entry != m_index.constEnd(); ++entry)
        total += sizeof(Key) + sizeof(quint32) + blockBytes(entry.key().bytes.capacity(), 1);
    for (const QString &text : m_texts)
        total += sizeof(QString) + blockBytes(text.capacity(), sizeof(QChar));
    total += m_stored.capacity() * qint64(sizeof(QByteArray));
    return total;
}

LogLines::Row LogLines::rowOf(const StoredLogLine &line)
{
    Row row{quint32(m_text.size()),     quint32(line.call.size()),
            quint32(line.place.size()), m_wwLocators.add(line.wwLocator),
            m_provs.add(line.prov),     m_modes.add(line.mode),
            m_bands.add(line.band),     m_dates.add(line.date),
            m_times.add(line.time),     m_qsls.add(line.qsl)};
    m_text.append(line.call);
    m_text.append(line.place);
    return row;
}

QByteArrayView LogLines::call(const Row &row) const
{
    return QByteArrayView(m_text.constData() + row.text, row.callLength);
}

QByteArrayView LogLines::place(const Row &row) const
{
    return QByteArrayView(m_text.constData() + row.text + row.callLength, row.placeLength);
}

void LogLines::keepRoom(int lines)
{
    m_rows.reserve(m_rows.size() + lines);
    // A call and a place take a few dozen bytes.
    m_text.reserve(m_text.size() + qsizetype(lines) * 32);
}

void LogLines::replace(int at, const StoredLogLine &line)
{
    m_unusedText += m_rows[at].callLength + m_rows[at].placeLength;
    m_rows[at] = rowOf(line);
    compactText();
}

void LogLines::remove(int at)
{
    m_unusedText += m_rows[at].callLength + m_rows[at].placeLength;
    m_rows.remove(at);
    compactText();
}

void LogLines::move(int from, int to)
{
    if (from == to)
        return;
    const Row row = m_rows[from];
    if (from < to)
        std::copy(m_rows.begin() + from + 1, m_rows.begin() + to + 1, m_rows.begin() + from);
    else
        std::copy_backward(m_rows.begin() + to, m_rows.begin() + from, m_rows.begin() + from + 1);
    m_rows[to] = row;
}

void LogLines::compactText()
{
    if (m_unusedText < 4096 || m_unusedText * 2 < m_text.size())
        return;
    QByteArray text;
    text.reserve(m_text.size() - m_unusedText);
    for (Row &row : m_rows) {
        const quint32 start = quint32(text.size());
        text.append(m_text.constData() + row.text, row.callLength + row.placeLength);
        row.text = start;
    }
    m_text = std::move(text);
    m_unusedText = 0;
}

QString LogLines::at(int line) const
{
    const Row &row = m_rows[line];
    return LogLine::text({QString::fromUtf8(call(row)), m_wwLocators.text(row.wwLocator),
                          QString::fromUtf8(place(row)), m_provs.text(row.prov),
                          m_modes.text(row.mode), m_bands.text(row.band), m_dates.text(row.date),
                          m_times.text(row.time), m_qsls.text(row.qsl)});
}

QByteArrayView LogLines::value(int line, LogColumn column) const
{
    const Row &row = m_rows[line];
    switch (column) {
    case LogColumn::Call:
        return call(row);
    case LogColumn::WWLocator:
        return m_wwLocators.stored(row.wwLocator);
    case LogColumn::Place:
        return place(row);
    case LogColumn::Prov:
        return m_provs.stored(row.prov);
    case LogColumn::Mode:
        return m_modes.stored(row.mode);
    case LogColumn::Band:
        return m_bands.stored(row.band);
    case LogColumn::Count:
        break;
    }
    return {};
}

qint64 LogLines::bytes() const
{
    qint64 total = m_rows.capacity() * qint64(sizeof(Row)) + blockBytes(m_text.capacity(), 1);
    for (const Pool *pool :
         {&m_wwLocators, &m_provs, &m_modes, &m_bands, &m_dates, &m_times, &m_qsls})
        total += pool->bytes();
    return total;
}

} // namespace kx47
