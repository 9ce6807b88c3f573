#include "fixture.h"
#include "memorycredentials.h"

#include "storage/database.h"
#include "storage/schema.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QTimer>
#include <QVariant>
#include <atomic>
#include <stdexcept>

namespace kx47::test
{

namespace
{

std::atomic<int> connectionNumber{0};

void execOrThrow(QSqlQuery &query)
{
    if (!query.exec())
        throw std::runtime_error(query.lastError().text().toStdString());
}

void makeFile(const QString &path, const QString &connection, Schema::File file)
{
    QFile(path).open(QIODevice::WriteOnly);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        QString error;
        if (!db.open() || !Schema::apply(db, file, &error))
            throw std::runtime_error(error.toStdString());
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
}

} // namespace

bool QsoRow::operator==(const QsoRow &o) const
{
    return count == o.count && locator == o.locator && call == o.call && date == o.date &&
           time == o.time && place == o.place && prov == o.prov && mode == o.mode &&
           band == o.band && qsl == o.qsl;
}

QList<QsoRow> numberedQsos(int howMany)
{
    QList<QsoRow> rows;
    for (int count = 1; count <= howMany; ++count)
        rows << QsoRow{count, QStringLiteral("AB"), QStringLiteral("IK%1XYZ").arg(count)};
    return rows;
}

QList<PlaceRow> ProgramFolder::defaultPlaces()
{
    return {
        {QStringLiteral("BRANVOLE"), QStringLiteral("KX47AB"), QStringLiteral("PG")},
        {QStringLiteral("ALTOMIRA"), QStringLiteral("KX47AB"), QStringLiteral("AR")},
        {QStringLiteral("ALTOMIRA"), QStringLiteral("KX47AB"), QStringLiteral("AR")},
        {QStringLiteral("SANT'ERMINIO"), QStringLiteral("KX47AB"), QStringLiteral("FC")},
        {QStringLiteral("COLLEVARO"), QStringLiteral("KX47AA"), QStringLiteral("RN")},
        {QStringLiteral("BRANVOLE"), QStringLiteral("KX47AA"), QStringLiteral("PG")},
        {QStringLiteral("MOSTIRANA"), QStringLiteral("KX47XX"), QStringLiteral("RSM")},
        {QStringLiteral("FUORIVIA"), QStringLiteral("KX47XX"), QStringLiteral("ZZ")},
    };
}

ProgramFolder::ProgramFolder() : ProgramFolder(defaultPlaces()) {}

ProgramFolder::ProgramFolder(const QList<PlaceRow> &places)
    : m_connection(QStringLiteral("fixture-%1").arg(++connectionNumber))
{
    makeFile(logPath(), m_connection + QLatin1String("-mk"), Schema::File::Log);
    makeFile(placesPath(), m_connection + QLatin1String("-mk"), Schema::File::Places);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"),
                                                    m_connection + QLatin1String("-pl"));
        db.setDatabaseName(placesPath());
        db.open();
        db.transaction();
        QSqlQuery insert(db);
        insert.prepare(
            QStringLiteral("insert into places (place, WWLocator, prov) values (?,?,?)"));
        for (const PlaceRow &row : places) {
            insert.addBindValue(row.place);
            insert.addBindValue(row.locator);
            insert.addBindValue(row.prov);
            execOrThrow(insert);
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection + QLatin1String("-pl"));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(logPath());
    db.open();
}

ProgramFolder::~ProgramFolder()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

QString ProgramFolder::logPath() const
{
    return m_dir.filePath(QStringLiteral("data.mdb"));
}

QString ProgramFolder::placesPath() const
{
    return m_dir.filePath(QStringLiteral("places.mdb"));
}

QSqlDatabase ProgramFolder::log() const
{
    return QSqlDatabase::database(m_connection, false);
}

void ProgramFolder::addQso(const QsoRow &row)
{
    QSqlQuery insert(log());
    insert.prepare(QStringLiteral("insert into data (count, WWLocator, call, date, time, place, "
                                  "prov, mode, band, qsl) values (?,?,?,?,?,?,?,?,?,?)"));
    for (const QVariant &value :
         {QVariant(row.count), QVariant(row.locator), QVariant(row.call), QVariant(row.date),
          QVariant(row.time), QVariant(row.place), QVariant(row.prov), QVariant(row.mode),
          QVariant(row.band), QVariant(row.qsl)})
        insert.addBindValue(value);
    execOrThrow(insert);
}

void ProgramFolder::addQsos(const QList<QsoRow> &rows)
{
    log().transaction();
    for (const QsoRow &row : rows)
        addQso(row);
    log().commit();
}

QList<QsoRow> ProgramFolder::qsos() const
{
    QSqlQuery query(log());
    query.prepare(QStringLiteral("select * from data order by count"));
    execOrThrow(query);
    QList<QsoRow> rows;
    while (query.next()) {
        QsoRow row;
        row.count = query.value(QStringLiteral("count")).toInt();
        row.locator = query.value(QStringLiteral("WWLocator")).toString();
        row.call = query.value(QStringLiteral("call")).toString();
        row.date = query.value(QStringLiteral("date")).toString();
        row.time = query.value(QStringLiteral("time")).toString();
        row.place = query.value(QStringLiteral("place")).toString();
        row.prov = query.value(QStringLiteral("prov")).toString();
        row.mode = query.value(QStringLiteral("mode")).toString();
        row.band = query.value(QStringLiteral("band")).toString();
        row.qsl = query.value(QStringLiteral("qsl")).toString();
        rows << row;
    }
    return rows;
}

void answerImportOptions(const QString &ticked, QString *shown)
{
    QTimer::singleShot(0, [ticked, shown] {
        auto *window = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!window || window->objectName() != QLatin1String("frmImportOptions"))
            qFatal("no import options window");
        const QStringList names{QStringLiteral("paper"), QStringLiteral("lotw"),
                                QStringLiteral("eqsl"), QStringLiteral("mixed")};
        const QStringList boxes{QStringLiteral("chkPaper"), QStringLiteral("chkLotw"),
                                QStringLiteral("chkEqsl"), QStringLiteral("chkMixed")};
        QStringList wasTicked;
        for (int i = 0; i < names.size(); ++i) {
            auto *box = window->findChild<QCheckBox *>(boxes[i]);
            if (box->isChecked())
                wasTicked << names[i];
            box->setChecked(ticked.split(QLatin1Char(',')).contains(names[i]));
        }
        if (shown)
            *shown = wasTicked.join(QLatin1Char(','));
        if (ticked == QLatin1String("cancel"))
            window->reject();
        else
            window->accept();
    });
}

QStringList ProgramFolder::electronic() const
{
    QSqlQuery query(log());
    query.prepare(QStringLiteral("select lotw || ' ' || lotwDate || ' ' || eqsl || ' ' || "
                                 "eqslDate from data order by count"));
    execOrThrow(query);
    QStringList rows;
    while (query.next())
        rows << query.value(0).toString();
    return rows;
}

QsoRow ProgramFolder::qso(int count) const
{
    for (const QsoRow &row : qsos()) {
        if (row.count == count)
            return row;
    }
    return QsoRow();
}

void ProgramFolder::setQsl(int count, const QString &qsl)
{
    QSqlQuery query(log());
    query.prepare(QStringLiteral("update data set qsl = ? where count = ?"));
    query.addBindValue(qsl);
    query.addBindValue(count);
    execOrThrow(query);
}

void ProgramFolder::deleteQso(int count)
{
    QSqlQuery query(log());
    query.prepare(QStringLiteral("delete from data where count = ?"));
    query.addBindValue(count);
    execOrThrow(query);
}

void ProgramFolder::setUserData(const QString &call, const QString &email)
{
    QSqlQuery query(log());
    query.prepare(QStringLiteral("delete from userData"));
    execOrThrow(query);
    query.prepare(QStringLiteral(
        "insert into userData (\"OM/YL/SWL\", call, fName, sName, address, city, prov, country, "
        "ZIPcode, WWLocator, email, count) values ('OM', ?, 'MARIO', 'ROSSINI', 'VIA LUNGA 1', "
        "'VALDORIA', 'QZ', 'ITALY', '00147', 'JN63AB', ?, 1)"));
    query.addBindValue(call);
    query.addBindValue(email);
    execOrThrow(query);
}

int ProgramFolder::userDataRows() const
{
    QSqlQuery query(log());
    query.prepare(QStringLiteral("select count(*) from userData"));
    execOrThrow(query);
    query.next();
    return query.value(0).toInt();
}

void ProgramFolder::exec(const QString &sql) const
{
    QSqlQuery query(log());
    if (!query.exec(sql))
        throw std::runtime_error(query.lastError().text().toStdString());
}

QStringList ProgramFolder::rows(const QString &select) const
{
    QSqlQuery query(log());
    if (!query.exec(select))
        throw std::runtime_error(query.lastError().text().toStdString());
    QStringList rows;
    while (query.next()) {
        QStringList values;
        for (int i = 0; i < query.record().count(); ++i)
            values << query.value(i).toString();
        rows << values.join(QLatin1Char('|'));
    }
    return rows;
}

OtherProgram::OtherProgram(const QString &path)
    : m_connection(QStringLiteral("other-program-%1").arg(++connectionNumber))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(path);
    if (!db.open())
        qWarning() << "another program cannot open" << path << db.lastError().text();
}

OtherProgram::~OtherProgram()
{
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

void OtherProgram::exec(const QString &sql) const
{
    QSqlQuery query(db());
    if (!query.exec(sql))
        qWarning() << sql << query.lastError().text();
}

QSqlDatabase OtherProgram::db() const
{
    return QSqlDatabase::database(m_connection, false);
}

LockHolder::LockHolder(const QString &path, const QString &statement, int holdMs)
    : m_process(std::make_unique<QProcess>())
{
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process->start(QStringLiteral(KX47_OTHER_PROGRAM),
                     {QStringLiteral("hold"), path, QString::number(holdMs), statement});
    // Until the other program tells that it holds the lock.
    while (!m_process->canReadLine() && m_process->waitForReadyRead(10000)) {
    }
    if (m_process->readLine().trimmed() != "held")
        qWarning() << "the other program did not take the lock of" << path;
}

LockHolder::~LockHolder()
{
    release();
}

void LockHolder::release()
{
    if (m_process && !m_process->waitForFinished(30000))
        qWarning() << "the other program holding the lock did not end";
    m_process.reset();
}

TestApp::TestApp(const QString &programFolder)
    : m_app(std::make_unique<Application>(programFolder, dialogs, printService, desktop))
{
    // Each program folder keeps its own remembered windows and choices.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, programFolder + "/settings");
}

TestApp::~TestApp() = default;

bool TestApp::start(bool waitForStartUpWork)
{
    const bool started = m_app->start();
    if (started && waitForStartUpWork)
        m_app->waitForStartUpWork();
    return started;
}

QAction *TestApp::menuItem(const QString &name)
{
    return control<QAction>(m_app->mainWindow(), name);
}

QString applyToLog(Database &log, const QSqlDatabase &other, const QStringList &statements)
{
    for (const QString &statement : statements) {
        if (statement == QLatin1String("#read-only") || statement == QLatin1String("#writable")) {
            log.setWritable(statement == QLatin1String("#writable"));
            continue;
        }
        try {
            if (statement.startsWith('@')) {
                QSqlQuery query(other);
                if (!query.exec(statement.mid(1)))
                    return statement;
            } else {
                log.run(statement);
            }
        } catch (const DatabaseError &) {
            return statement;
        }
    }
    return QString();
}

OpenedFile::OpenedFile(const QString &path, Access access)
    : Database(QStringLiteral("opened-%1").arg(++connectionNumber))
{
    QString error;
    if (!open(path, &error, access))
        qFatal("cannot open %s: %s", qPrintable(path), qPrintable(error));
}

QLineEdit *textBox(QWidget *window, const QString &name)
{
    return control<QLineEdit>(window, name);
}

QComboBox *listBox(QWidget *window, const QString &name)
{
    return control<QComboBox>(window, name);
}

QRadioButton *option(QWidget *window, const QString &name)
{
    return control<QRadioButton>(window, name);
}

void press(QWidget *window, const QString &button)
{
    QTest::mouseClick(control<QPushButton>(window, button), Qt::LeftButton);
}

QStringList itemTexts(const QComboBox *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->itemText(i);
    return texts;
}

bool activate(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }, 2000);
}

void typeText(QWidget *widget, const QString &text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 128)
            QTest::keyClick(widget, ch.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(ch.toUpper().unicode()), QString(ch),
                                Qt::NoModifier);
    }
}

void addTypingAroundColumns()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<int>("left");
    QTest::addColumn<QString>("then");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
}

void checkTypingAround(QLineEdit *box)
{
    QFETCH(QString, first);
    QFETCH(int, left);
    QFETCH(QString, then);
    QFETCH(QString, text);
    QFETCH(int, caret);
    box->setFocus();
    typeText(box, first);
    for (int i = 0; i < left; ++i)
        QTest::keyClick(box, Qt::Key_Left);
    typeText(box, then);
    QCOMPARE(box->text(), text);
    QCOMPARE(box->cursorPosition(), caret);
}

void RandomChanges::step(LogChange &change)
{
    const int action = numbers.isEmpty() ? 0 : std::uniform_int_distribution<int>(0, 2)(random);
    if (action == 0) {
        folder.addQso(make(next));
        numbers << next;
        change.added << next++;
        return;
    }
    const int count =
        numbers.takeAt(std::uniform_int_distribution<int>(0, int(numbers.size()) - 1)(random));
    folder.deleteQso(count);
    if (action == 1) {
        folder.addQso(make(count));
        numbers << count;
        change.changed << count;
    } else {
        change.removed << count;
    }
}

} // namespace kx47::test

namespace
{

// The tests never read or write the user's own settings (outside a TestApp they are kept in a
// temporary folder of the test program) nor the passwords in the desktop's keyring.
void keepSettingsAway()
{
    static QTemporaryDir folder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
    kx47::CredentialStore::replace(&kx47::test::credentials());
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(keepSettingsAway)
