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

quint32 LogLines::Pool::add(const QByteArray &stored)
{
    auto known = m_index.constFind(stored);
    if (known == m_index.constEnd()) {
        known = m_index.insert(stored, quint32(m_texts.size()));
        m_texts.append(QString::fromUtf8(stored));
    }
    return *known;
}

qint64 LogLines::Pool::bytes() const
{
    qint64 total = 0;
    for (auto entry = m_index.constBegin(); entry != m_index.constEnd(); ++entry)
        total += sizeof(QByteArray) + sizeof(quint32) + blockBytes(entry.key().capacity(), 1);
    for (const QString &text : m_texts)
        total += sizeof(QString) + blockBytes(text.capacity(), sizeof(QChar));
    return total;
}

void LogLines::append(StoredLogLine &&line)
{
    m_rows.append({std::move(line.call), std::move(line.place), m_wwLocators.add(line.wwLocator),
                   m_provs.add(line.prov), m_modes.add(line.mode), m_bands.add(line.band),
                   m_dates.add(line.date), m_times.add(line.time), m_qsls.add(line.qsl)});
}

QString LogLines::at(int line) const
{
    const Row &row = m_rows[line];
    return LogLine::text({QString::fromUtf8(row.call), m_wwLocators.text(row.wwLocator),
                          QString::fromUtf8(row.place), m_provs.text(row.prov),
                          m_modes.text(row.mode), m_bands.text(row.band), m_dates.text(row.date),
                          m_times.text(row.time), m_qsls.text(row.qsl)});
}

qint64 LogLines::bytes() const
{
    qint64 total = m_rows.capacity() * qint64(sizeof(Row));
    for (const Row &row : m_rows)
        total += blockBytes(row.call.capacity(), 1) + blockBytes(row.place.capacity(), 1);
    for (const Pool *pool :
         {&m_wwLocators, &m_provs, &m_modes, &m_bands, &m_dates, &m_times, &m_qsls})
        total += pool->bytes();
    return total;
}

} // namespace kx47
