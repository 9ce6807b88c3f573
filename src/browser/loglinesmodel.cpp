#include "loglinesmodel.h"

#include "logquery.h"

#include "platform/logchange.h"

namespace kx47
{

LogLinesModel::LogLinesModel(QObject *parent) : QAbstractListModel(parent) {}

void LogLinesModel::setListing(LogListing listing)
{
    beginResetModel();
    m_listing = std::move(listing);
    endResetModel();
}

void LogLinesModel::setLines(LogLines lines)
{
    LogListing listing;
    listing.counts = QVector<qint32>(lines.size() + 1, 0);
    listing.lines = std::move(lines);
    setListing(std::move(listing));
}

void LogLinesModel::follow(const LogChange &change, const Database &log, const LogQuery &query,
                           bool countTable)
{
    int tableRows = m_listing.counts.size() - 1;
    for (const qint64 count : change.removed) {
        const int line = m_listing.lineOf(qint32(count));
        if (line >= 0)
            removeLine(line);
        --tableRows;
    }
    for (const qint64 count : change.changed)
        followQso(count, log, query);
    for (const qint64 count : change.added) {
        followQso(count, log, query);
        ++tableRows;
    }
    if (countTable)
        setTableRows(tableRows);
}

void LogLinesModel::setTableRows(int rows)
{
    m_listing.counts.resize(qMax(rows, m_listing.lines.size()) + 1);
}

void LogLinesModel::followQso(qint64 count, const Database &log, const LogQuery &query)
{
    const int line = m_listing.lineOf(qint32(count));
    const std::optional<ListedQso> qso = LogListing::readQso(log, query, count);
    if (!qso || !qso->matches) {
        if (line >= 0)
            removeLine(line);
        return;
    }
    const int place = m_listing.placeFor(*qso, query.order(), line);
    if (line < 0) {
        beginInsertRows(QModelIndex(), place, place);
        m_listing.lines.insert(place, qso->line);
        m_listing.counts.insert(place, qso->count);
        endInsertRows();
        return;
    }
    if (place != line) {
        // The destination is counted before the line leaves its place.
        beginMoveRows(QModelIndex(), line, line, QModelIndex(), place > line ? place + 1 : place);
        m_listing.lines.move(line, place);
        m_listing.counts.remove(line);
        m_listing.counts.insert(place, qso->count);
        endMoveRows();
    }
    m_listing.lines.replace(place, qso->line);
    const QModelIndex changed = index(place);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}

void LogLinesModel::removeLine(int line)
{
    beginRemoveRows(QModelIndex(), line, line);
    m_listing.lines.remove(line);
    m_listing.counts.remove(line);
    // The index keeps its length: the entry past the lines is 0.
    m_listing.counts.append(0);
    endRemoveRows();
}

int LogLinesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_listing.lines.size();
}

QVariant LogLinesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_listing.lines.size() ||
        (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    return m_listing.lines.at(index.row());
}

} // namespace kx47
