#include "loglinesmodel.h"

namespace kx47
{

LogLinesModel::LogLinesModel(QObject *parent) : QAbstractListModel(parent) {}

void LogLinesModel::setLines(LogLines lines)
{
    beginResetModel();
    m_lines = std::move(lines);
    endResetModel();
}

int LogLinesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_lines.size();
}

QVariant LogLinesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_lines.size() ||
        (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    return m_lines.at(index.row());
}

} // namespace kx47
