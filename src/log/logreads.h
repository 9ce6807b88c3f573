#pragma once

#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <memory>

class QSqlDatabase;

namespace kx47
{

class Database;
class EngineStatement;
struct LogSearch;
struct QsoBytes;

// The reads of the log's QSOs that the printouts, the files, the map and the backups make.
// Each gives a query positioned before its first row, forward only; a statement the engine
// refuses throws DatabaseError.
class LogReads
{
public:
    explicit LogReads(const Database &log) : m_log(log) {}

    // How many QSOs the log holds.
    int qsoCount() const;
    // The QSOs of a log file opened by a connection of its own (a backup); -1 when the engine
    // cannot read them.
    static int qsoCount(const QSqlDatabase &file);

    // How many QSOs a search of the browser finds.
    int qsoCount(const LogSearch &search) const;
    // The QSOs a search finds (the whole log for an empty search) in the order of their number,
    // LogStore::qsoColumns, read straight from the engine by qsoBytesAt: Qt's reading (a QVariant
    // and a text of its own for each value) would cost more than the engine takes to read the row.
    std::unique_ptr<EngineStatement> qsoBytesByNumber(const LogSearch &search) const;
    // Fills qso with views into the statement's current row, valid until its next row.
    static void qsoBytesAt(const EngineStatement &row, QsoBytes &qso);
    // Every QSO by sub-square, mode and band, in the order of logging within them,
    // LogStore::qsoColumns.
    QSqlQuery qsosBySubSquare() const;
    // Of every QSO: count, WWLocator, call, date, time, mode, band, qsl, lotw, lotwDate, eqsl,
    // eqslDate (what an import matches the records of a file with). Given bands, only the QSOs
    // whose band is one of them in any ASCII letter case (the column's collation), and those
    // whose band holds a character outside printable ASCII, which only Qt's case mapping
    // compares.
    QSqlQuery qsosForMatching(const QStringList &bands = {}) const;

    // The QSOs of one mode, and one band unless bandOrAll is empty, grouped by band, QSL state
    // and sub-square: band, qsl, WWLocator and the number of QSOs. The statement and its values
    // are given apart for a caller that runs them on a connection of its own.
    static QString groupedSql(const QString &bandOrAll);
    static QVariantList groupedValues(const QString &bandOrAll, const QString &mode);
    QSqlQuery grouped(const QString &bandOrAll, const QString &mode) const;
    // The sub-squares of one mode, and one band unless bandOrAll is empty, that hold a QSO
    // confirmed by LoTW or eQSL: band, WWLocator.
    QSqlQuery electronicSubSquares(const QString &bandOrAll, const QString &mode) const;
    // The QSOs of one sub-square and mode, and one band unless bandOrAll is empty, by date and
    // time: call, date, time, band, mode, qsl, lotw, eqsl.
    QSqlQuery qsosOfSubSquare(const QString &locator, const QString &bandOrAll,
                              const QString &mode) const;

private:
    const Database &m_log;
};

} // namespace kx47
