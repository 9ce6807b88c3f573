#pragma once

#include "loglines.h"

#include <QAbstractListModel>

namespace kx47
{

// The model of the browser's list: one row per line, whose display role is the line's text,
// made only for the rows a view asks for.
class LogLinesModel : public QAbstractListModel
{
    Q_OBJECT
public:
    explicit LogLinesModel(QObject *parent = nullptr);

    // Replaces every line; views are reset, so no line stays selected.
    void setLines(LogLines lines);
    const LogLines &lines() const { return m_lines; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    LogLines m_lines;
};

} // namespace kx47
