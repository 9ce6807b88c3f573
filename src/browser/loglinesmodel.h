#pragma once

#include "loglisting.h"

#include "log/logchange.h"

#include <QAbstractListModel>

namespace kx47
{

class Database;

// The model of the browser's list: one row per line, whose display role is the line's text,
// made only for the rows a view asks for. It follows changes of the log line by line.
class LogLinesModel : public QAbstractListModel
{
    Q_OBJECT
public:
    explicit LogLinesModel(QObject *parent = nullptr);

    // Replaces every line; views are reset, so no line stays selected. A listing that is not
    // complete holds the first lines of the log alone, until complete() brings the rest.
    // Returns the lines replaced, for the caller to free where it costs the window nothing.
    LogListing setListing(LogListing listing, bool complete = true);
    bool isComplete() const { return m_complete; }
    // Takes the whole listing of which the model holds the first lines. When the log has not
    // changed in the meantime the lines past those are added, and the views keep their
    // selection; otherwise every line is replaced and the changes followed since are followed
    // again on the whole listing. A complete model ignores it.
    void complete(LogListing whole, const Database &log, const LogQuery &query);
    // Takes the first lines of the listing when the model was given none (their reading was
    // left to the background) and holds none yet; the changes followed since are followed
    // again on them.
    void takeFirst(LogListing first, const Database &log, const LogQuery &query);
    // The same with lines alone, tied to no QSO.
    void setLines(LogLines lines);
    const LogListing &listing() const { return m_listing; }
    const LogLines &lines() const { return m_listing.lines; }

    // Puts the QSOs named in the change where the order of the query puts them, reading each
    // afresh by its number: a QSO added or changed to one the search finds gets its line, at
    // its place; one removed or changed to one the search does not find loses it. Each QSO is
    // read anew, so following the same change twice changes nothing more. With countTable
    // the line index is sized by the QSOs added and removed; otherwise the caller sizes it.
    // While the listing is not complete, only QSOs that go among its first lines are listed.
    void follow(const LogChange &change, const Database &log, const LogQuery &query,
                bool countTable = true);
    // Sizes the line index for a table of the given number of rows.
    void setTableRows(int rows);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    void followQso(qint64 count, const Database &log, const LogQuery &query);
    void removeLine(int line);

    LogListing m_listing;
    bool m_complete = true;
    // The changes followed while the listing was not complete.
    QVector<LogChange> m_followedMeanwhile;
};

} // namespace kx47
