#include "database.h"

#include "connection.h"
#include "journalfolder.h"
#include "platform/dialogs.h"

#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <sqlite3.h>

namespace kx47
{

namespace
{

const QString beginSql = QStringLiteral("begin immediate");
const QString commitSql = QStringLiteral("commit");
const QString rollbackSql = QStringLiteral("rollback");
// PASSIVE never waits for a reader or a writer: an ordinary Submit never stalls on it.

} // namespace

Database::Database(const QString &connectionName) : m_connectionName(connectionName) {}

Database::~Database()
{
    // The folder's connection closes first; the log's own, the last, folds what is left.
    m_journalFolder.reset();
    if (QSqlDatabase::contains(m_connectionName)) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_connectionName);
    }
}

bool Database::open(const QString &path, QString *error, Access access)
{
    // A file: address (a file read as unchanging) names its file and SQLite's flags.
    ConnectionOptions options;
    const QString file = fileOfDatabaseName(path, &options.immutable);
    if (!QFileInfo(file).isFile()) {
        if (error)
            *error = QStringLiteral("The file cannot be found.");
        return false;
    }
    options.readOnly = access == Access::ReadOnly;
    QSqlDatabase db = openConnection(m_connectionName, file, options);
    if (!db.isValid()) {
        if (error)
            *error = QStringLiteral("The SQLite driver of Qt is not installed.");
        return false;
    }
    if (!db.isOpen()) {
        if (error)
            *error = db.lastError().text();
        return false;
    }
    m_writable = access == Access::ReadWrite;
    return true;
}

Database::PageCache::PageCache(const Database &db, int kib) noexcept : m_db(db)
{
    QSqlQuery query(db.handle());
    if (query.exec(QStringLiteral("pragma cache_size")) && query.next())
        m_former = query.value(0).toString();
    query.finish();
    if (!m_former.isEmpty())
        query.exec(QStringLiteral("pragma cache_size = -%1").arg(kib));
}

Database::PageCache::~PageCache()
{
    if (!m_former.isEmpty())
        QSqlQuery(m_db.handle()).exec(QStringLiteral("pragma cache_size = %1").arg(m_former));
}

sqlite3 *Database::engineHandle(const QSqlDatabase &db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

EngineStatement::EngineStatement(const Database &db, const QByteArray &sql)
    : m_engine(Database::engineHandle(db.handle())), m_sql(sql)
{
    if (!m_engine)
        Database::fail(QStringLiteral("The log is not open.\n") + QString::fromUtf8(sql));
    const int code = sqlite3_prepare_v3(m_engine, m_sql.constData(), int(m_sql.size()),
                                        SQLITE_PREPARE_PERSISTENT, &m_statement, nullptr);
    if (code != SQLITE_OK)
        fail(code);
}

EngineStatement::~EngineStatement()
{
    sqlite3_finalize(m_statement);
}

void EngineStatement::fail(int code)
{
    const QString text = QString::fromUtf8(m_engine ? sqlite3_errmsg(m_engine) : "") +
                         QLatin1String("\n") + QString::fromUtf8(m_sql);
    if (m_statement)
        sqlite3_reset(m_statement);
    throw DatabaseError(DatabaseError::kindOfCode(code), text, code);
}

void EngineStatement::bind(int position, const QString &text)
{
    // The engine reads a null pointer as NULL; the log's columns hold empty texts instead.
    static const char16_t empty = 0;
    const void *chars = text.isEmpty() ? static_cast<const void *>(&empty) : text.utf16();
    const int code =
        sqlite3_bind_text16(m_statement, position, chars,
                            int(text.size() * qsizetype(sizeof(char16_t))), SQLITE_STATIC);
    if (code != SQLITE_OK)
        fail(code);
}

void EngineStatement::bind(int position, QLatin1String text)
{
    // Only ASCII reaches here (the QSL letters), which is the same in UTF-8.
    const int code = sqlite3_bind_text(m_statement, position, text.data() ? text.data() : "",
                                       int(text.size()), SQLITE_STATIC);
    if (code != SQLITE_OK)
        fail(code);
}

void EngineStatement::bind(int position, qint64 number)
{
    const int code = sqlite3_bind_int64(m_statement, position, number);
    if (code != SQLITE_OK)
        fail(code);
}

void EngineStatement::bind(int position, const QVariant &value)
{
    if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong) {
        bind(position, value.toLongLong());
        return;
    }
    const QString text = value.toString();
    static const char16_t empty = 0;
    const int code = sqlite3_bind_text16(
        m_statement, position, text.isEmpty() ? static_cast<const void *>(&empty) : text.utf16(),
        int(text.size() * qsizetype(sizeof(char16_t))), SQLITE_TRANSIENT);
    if (code != SQLITE_OK)
        fail(code);
}

bool EngineStatement::next()
{
    const int code = sqlite3_step(m_statement);
    if (code == SQLITE_ROW)
        return true;
    if (code != SQLITE_DONE)
        fail(code);
    sqlite3_reset(m_statement);
    return false;
}

void EngineStatement::finish()
{
    sqlite3_reset(m_statement);
}

bool EngineStatement::isNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

qint64 EngineStatement::integer(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

QByteArrayView EngineStatement::bytes(int column) const
{
    // The text first, then its length, as the engine asks.
    const auto *chars = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
    return QByteArrayView(chars, sqlite3_column_bytes(m_statement, column));
}

QString EngineStatement::text(int column) const
{
    const auto *chars = static_cast<const char16_t *>(sqlite3_column_text16(m_statement, column));
    return QString(reinterpret_cast<const QChar *>(chars),
                   sqlite3_column_bytes16(m_statement, column) / qsizetype(sizeof(char16_t)));
}

bool Database::isOpen() const
{
    return QSqlDatabase::contains(m_connectionName) &&
           QSqlDatabase::database(m_connectionName, false).isOpen();
}

QSqlDatabase Database::handle() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

QSqlQuery Database::run(const QString &sql, const QVariantList &values) const
{
    QSqlQuery query = prepare(sql);
    exec(query, values);
    return query;
}

QSqlQuery Database::prepare(const QString &sql) const
{
    QSqlQuery query(handle());
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw DatabaseError::fromSqlError(query.lastError(), sql);
    return query;
}

void Database::exec(QSqlQuery &query, const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values.at(i));
    if (!query.exec())
        throw DatabaseError::fromSqlError(query.lastError(), query.lastQuery());
}

int Database::count(const QString &sql, const QVariantList &values) const
{
    QSqlQuery query = run(sql, values);
    if (!query.next())
        fail(QStringLiteral("A count gave no row.\n") + sql);
    return query.value(QStringLiteral("contatore")).toInt();
}

void Database::execute(const QString &statement) const
{
    QSqlQuery query(handle());
    if (!query.exec(statement))
        throw DatabaseError::fromSqlError(query.lastError(), statement);
}

void Database::beginTransaction() const
{
    if (!m_writable)
        throw DatabaseError(DatabaseError::Kind::ReadOnly,
                            QStringLiteral("The log was opened for reading only."));
    if (m_beforeWrite)
        m_beforeWrite();
    // Qt's own transaction() opens a deferred one, which reads first and may then find the
    // write lock taken without waiting for it.
    execute(beginSql);
}

void Database::commit() const
{
    execute(commitSql);
    if (m_journalFolder)
        m_journalFolder->request();
}

void Database::rollback() const noexcept
{
    try {
        // After some failures the engine has rolled back already; the statement then fails
        // harmlessly.
        QSqlQuery query(handle());
        query.exec(rollbackSql);
    } catch (...) {
    }
}

bool Database::probeWritable() const
{
    // Only a refusal to write says the log is read-only; a lock held by another program says
    // nothing about it.
    const auto readOnly = [](const QSqlQuery &query) {
        return DatabaseError::kindOf(query.lastError()) == DatabaseError::Kind::ReadOnly;
    };
    QSqlQuery query(handle());
    if (!query.exec(beginSql))
        return !readOnly(query);
    // The engine takes its write lock only when it writes: the file's user version is written
    // back unchanged, and the transaction rolled back.
    bool writable = true;
    if (query.exec(QStringLiteral("pragma user_version")) && query.next()) {
        const int version = query.value(0).toInt();
        query.finish();
        if (!query.exec(QStringLiteral("pragma user_version = %1").arg(version)))
            writable = !readOnly(query);
    }
    rollback();
    return writable;
}

void Database::useWriteAheadJournal()
{
    for (const char *pragma : {"pragma journal_mode = wal", "pragma synchronous = normal"}) {
        QSqlQuery query(handle());
        query.exec(QString::fromLatin1(pragma));
    }
    QSqlQuery mode(handle());
    if (mode.exec(QStringLiteral("pragma journal_mode")) && mode.next() &&
        mode.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0 &&
        !m_journalFolder)
        m_journalFolder = std::make_unique<JournalFolder>(handle().databaseName());
}

void Database::waitUntilJournalFolded() const
{
    if (m_journalFolder)
        m_journalFolder->waitUntilFolded();
}

void Database::checkpoint() const noexcept
{
    try {
        QSqlQuery query(handle());
        query.exec(JournalFolder::checkpointSql);
    } catch (...) {
    }
}

void Database::fail(const QString &engineText)
{
    throw DatabaseError(DatabaseError::Kind::Other, engineText);
}

const QString readOnlyLogMessage =
    QStringLiteral("The log is read-only: KX47 opened it for browsing, counting and printing "
                   "only, and nothing can be saved in it. To change the log, make data.mdb and "
                   "its folder writable and start KX47 again.");

bool refusedAsReadOnly(const Database &log, Dialogs &dialogs)
{
    if (log.isWritable())
        return false;
    dialogs.message(readOnlyLogMessage, MessageIcon::Critical, MessageButtons::Ok);
    return true;
}

} // namespace kx47
