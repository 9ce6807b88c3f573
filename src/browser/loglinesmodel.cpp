#include "loglinesmodel.h"

#include "log/logquery.h"

#include "storage/database.h"

#include <utility>

namespace kx47
{

LogLinesModel::LogLinesModel(QObject *parent) : QAbstractListModel(parent) {}

LogListing LogLinesModel::setListing(LogListing listing, bool complete)
{
    beginResetModel();
    LogListing replaced = std::exchange(m_listing, std::move(listing));
    m_complete = complete;
    m_followedMeanwhile.clear();
    endResetModel();
    return replaced;
}

void LogLinesModel::complete(LogListing whole, const Database &log, const LogQuery &query)
{
    if (m_complete)
        return;
    const int first = m_listing.lines.size();
    if (m_followedMeanwhile.isEmpty() && whole.lines.size() >= first) {
        if (whole.lines.size() > first)
            beginInsertRows(QModelIndex(), first, whole.lines.size() - 1);
        m_listing = std::move(whole);
        m_complete = true;
        if (m_listing.lines.size() > first)
            endInsertRows();
        // The first lines come from the same log; they are shown afresh all the same.
        if (first > 0)
            emit dataChanged(index(0), index(first - 1), {Qt::DisplayRole});
        return;
    }
    // The whole listing may be older or newer than each change followed: following one again
    // reads its QSOs afresh, and the table is counted anew.
    const QVector<LogChange> changes = m_followedMeanwhile;
    setListing(std::move(whole));
    for (const LogChange &change : changes)
        follow(change, log, query, false);
    setTableRows(log.count(LogQuery::countAllSql()));
}

void LogLinesModel::takeFirst(LogListing first, const Database &log, const LogQuery &query)
{
    if (m_complete || !m_listing.lines.isEmpty())
        return;
    // The first lines may be older or newer than each change followed: following one again
    // reads its QSOs afresh.
    QVector<LogChange> changes;
    changes.swap(m_followedMeanwhile);
    const int lines = first.lines.size();
    if (lines > 0)
        beginInsertRows(QModelIndex(), 0, lines - 1);
    m_listing = std::move(first);
    if (lines > 0)
        endInsertRows();
    for (const LogChange &change : changes)
        follow(change, log, query, false);
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
    if (!m_complete)
        m_followedMeanwhile << change;
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
    // Past the first lines of a listing not yet complete, the QSO's place is not known.
    if (!m_complete && place >= m_listing.lines.size() - (line >= 0 ? 1 : 0)) {
        if (line >= 0)
            removeLine(line);
        return;
    }
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

#include "moc_loglinesmodel.cpp"
