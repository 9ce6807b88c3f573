// The award rules applied when a QSO is saved, its number, and the writing of the row, called
// directly on the log.
#include "fakedialogs.h"
#include "qsoentryfixture.h"

#include "adif/importplan.h"
#include "log/awardvocabulary.h"
#include "log/keptfields.h"
#include "log/logstore.h"
#include "qso/entrymode.h"
#include "qso/qsoentry.h"
#include "qso/qsosubmission.h"
#include "storage/database.h"

#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>
#include <memory>
#include <stdexcept>

using namespace kx47;
using namespace kx47::test;

namespace
{

// A QSO on the 7th at 09:05 in SANT'ERMINIO, whose apostrophe the store keeps.
QsoEntry entry(const QString &locator, bool confirmed, const QString &band = QStringLiteral("HF"),
               const QString &mode = QStringLiteral("MIXED"))
{
    QsoEntry e = validQso(band, mode, confirmed);
    e.locator = locator;
    e.day = QStringLiteral("7");
    e.time = QStringLiteral("0905");
    e.place = QStringLiteral("SANT'ERMINIO");
    e.prov = QStringLiteral("FC");
    return e;
}

QList<int> counts(const QList<QsoRow> &rows)
{
    QList<int> result;
    for (const QsoRow &r : rows)
        result << r.count;
    return result;
}

} // namespace

class TestLogStore : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void numbering_data();
    void numbering();
    void accreditedLocator_data();
    void accreditedLocator();
    void confirmedHolder_data();
    void confirmedHolder();
    void appendWritesEveryColumn();
    void replacementTakesFreedNumber();
    void failedAppendKeepsReplacedQso();
    void rewriteKeepsNumber();
    void rewriteKeepsTrueFields_data();
    void rewriteKeepsTrueFields();
    void rewriteOfMissingQsoChangesNothing();
    void failedRewriteKeepsReplacedQso();
    void numberLimit_data();
    void numberLimit();
    void batchIsWholeOrNothing();
    void batchChanges_data();
    void batchChanges();
    void qslOnlyRises_data();
    void qslOnlyRises();
    void writersRefuseWithRule_data();
    void writersRefuseWithRule();
    void rulesHoldThroughEveryWriter_data();
    void rulesHoldThroughEveryWriter();
    void lockHeldBrieflyIsWaitedOut();

    void submitSaves();
    void submitFailedChecksWritesNothing();
    void submitRefusesAccredited_data();
    void submitRefusesAccredited();
    void submitReplacement_data();
    void submitReplacement();
    void submitWorkedNeverAsks();
    void submitEditExcludesItself();
    void submitEditOfDeletedQso();
    void submitEditRefusedWhenItselfAccredited();

private:
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<OpenedFile> m_log;
};

void TestLogStore::init()
{
    m_folder = std::make_unique<ProgramFolder>();
    m_log = std::make_unique<OpenedFile>(m_folder->logPath());
}

void TestLogStore::cleanup()
{
    m_log.reset();
    m_folder.reset();
}

void TestLogStore::numbering_data()
{
    QTest::addColumn<QList<int>>("present");
    QTest::addColumn<int>("next");
    QTest::newRow("empty log") << QList<int>{} << 1;
    QTest::newRow("1 2 5") << QList<int>{1, 2, 5} << 6;
    QTest::newRow("gap at the start") << QList<int>{7} << 8;
    QTest::newRow("out of order") << QList<int>{9, 3, 4} << 10;
}

void TestLogStore::numbering()
{
    QFETCH(QList<int>, present);
    QFETCH(int, next);
    for (int count : present)
        m_folder->addQso(qsoRow(count, QStringLiteral("AA"), QStringLiteral("w")));
    const LogStore store(*m_log);
    QCOMPARE(store.append(entry(QStringLiteral("AB"), false).record()).added,
             QVector<qint64>{next});
    QCOMPARE(m_folder->qso(next).locator, QString("AB"));
}

void TestLogStore::accreditedLocator_data()
{
    QTest::addColumn<QString>("locator");
    QTest::addColumn<QString>("band");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("refused");
    QTest::newRow("same band and mode") << "AB"
                                        << "50 MHz"
                                        << "CW" << true;
    QTest::newRow("lower case letters") << "ab"
                                        << "50 MHz"
                                        << "CW" << true;
    QTest::newRow("other band") << "AB"
                                << "HF"
                                << "CW" << false;
    QTest::newRow("other mode") << "AB"
                                << "50 MHz"
                                << "MIXED" << false;
    QTest::newRow("other sub-square") << "AC"
                                      << "50 MHz"
                                      << "CW" << false;
    QTest::newRow("confirmed only") << "AD"
                                    << "50 MHz"
                                    << "CW" << false;
}

void TestLogStore::accreditedLocator()
{
    QFETCH(QString, locator);
    QFETCH(QString, band);
    QFETCH(QString, mode);
    QFETCH(bool, refused);
    m_folder->addQsos({qsoRow(1, "AB", "a", "50 MHz", "CW"), qsoRow(2, "AD", "c", "50 MHz", "CW"),
                       qsoRow(3, "AC", "w", "50 MHz", "CW")});
    QCOMPARE(LogStore(*m_log).accreditedExists(locator, band, mode), refused);
}

void TestLogStore::confirmedHolder_data()
{
    QTest::addColumn<QString>("locator");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("excluded");
    QTest::addColumn<int>("replaced");
    QTest::newRow("confirmed there") << "AB"
                                     << "CW" << 0 << 2;
    QTest::newRow("only worked there") << "AC"
                                       << "CW" << 0 << 0;
    QTest::newRow("MIXED is a mode of its own") << "AB"
                                                << "MIXED" << 0 << 0;
    QTest::newRow("accredited is not replaced") << "AD"
                                                << "CW" << 0 << 0;
    QTest::newRow("the edited QSO itself") << "AB"
                                           << "CW" << 2 << 0;
    QTest::newRow("another QSO edited") << "AB"
                                        << "CW" << 3 << 2;
}

void TestLogStore::confirmedHolder()
{
    QFETCH(QString, locator);
    QFETCH(QString, mode);
    QFETCH(int, excluded);
    QFETCH(int, replaced);
    m_folder->addQsos({qsoRow(1, "AB", "w", "HF", "CW"), qsoRow(2, "AB", "c", "HF", "CW"),
                       qsoRow(3, "AC", "w", "HF", "CW"), qsoRow(4, "AD", "a", "HF", "CW"),
                       qsoRow(5, "AB", "c", "VHF", "CW")});
    QsoEntry e = entry(locator, true, QStringLiteral("HF"), mode);
    const LogStore store(*m_log);
    const std::optional<int> found =
        excluded ? store.confirmedHolder(e.locator, e.band, e.mode, excluded)
                 : store.confirmedHolder(e.locator, e.band, e.mode);
    QCOMPARE(found.value_or(0), replaced);
}

void TestLogStore::appendWritesEveryColumn()
{
    const LogStore store(*m_log);
    QCOMPARE(store.append(entry(QStringLiteral("XX"), true, "50 MHz", "DIGITAL").record()).added,
             QVector<qint64>{1});
    const QsoRow expected{1,    "XX",      "IK4ABC", "2004-12-07", "09:05", "SANT'ERMINIO",
                          "FC", "DIGITAL", "50 MHz", "c"};
    QCOMPARE(m_folder->qsos(), QList<QsoRow>{expected});
}

void TestLogStore::replacementTakesFreedNumber()
{
    // The old QSO is deleted before the number is taken.
    m_folder->addQsos({qsoRow(1, "AA", "w"), qsoRow(2, "AB", "c")});
    const LogStore store(*m_log);
    const LogChange change = store.append(entry("AB", true).record(), 2);
    // The freed number taken again names a QSO that changed.
    QCOMPARE(change.changed, QVector<qint64>{2});
    QVERIFY(change.added.isEmpty() && change.removed.isEmpty());
    const QList<QsoRow> rows = m_folder->qsos();
    QCOMPARE(counts(rows), (QList<int>{1, 2}));
    QCOMPARE(rows[1].call, QString("IK4ABC"));
}

void TestLogStore::failedAppendKeepsReplacedQso()
{
    m_folder->addQsos({qsoRow(1, "AB", "c"), qsoRow(2, "AC", "w")});
    m_folder->exec("create trigger refuse before insert on data begin select raise(abort, "
                   "'refused'); end");
    const LogStore store(*m_log);
    QVERIFY_THROWS_EXCEPTION(DatabaseError, store.append(entry("AB", true).record(), 1));
    QCOMPARE(counts(m_folder->qsos()), (QList<int>{1, 2}));
    QCOMPARE(m_folder->qso(1).call, QString("CALL1"));
    // The log is usable afterwards: no transaction was left open.
    m_folder->exec("drop trigger refuse");
    QCOMPARE(store.append(entry("AB", true).record(), 1).added, QVector<qint64>{2 + 1});
    QCOMPARE(counts(m_folder->qsos()), (QList<int>{2, 3}));
}

void TestLogStore::rewriteKeepsNumber()
{
    m_folder->addQsos({qsoRow(1, "AA", "w"), qsoRow(2, "AB", "w"), qsoRow(3, "AB", "c")});
    QsoRecord record = entry("AB", true, "SAT", "SSB").record();
    record.count = 2;
    const LogChange change = LogStore(*m_log).rewrite(record, 3);
    QCOMPARE(change.changed, QVector<qint64>{2});
    QCOMPARE(change.removed, QVector<qint64>{3});
    const QList<QsoRow> rows = m_folder->qsos();
    QCOMPARE(counts(rows), (QList<int>{1, 2}));
    QCOMPARE(rows[1].band, QString("SAT"));
    QCOMPARE(rows[1].mode, QString("SSB"));
    QCOMPARE(rows[1].qsl, QString("c"));
    QCOMPARE(rows[1].date, QString("2004-12-07"));
    QCOMPARE(rows[1].place, QString("SANT'ERMINIO"));
}

void TestLogStore::rewriteKeepsTrueFields_data()
{
    QTest::addColumn<QString>("band");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QStringList>("left");
    const QStringList all{"FREQ", "BAND", "MODE", "SUBMODE", "RST_SENT", "COMMENT"};
    QTest::newRow("the same band and mode") << "VHF"
                                            << "DIGITAL" << all;
    QTest::newRow("another band") << "UHF"
                                  << "DIGITAL"
                                  << QStringList{"MODE", "SUBMODE", "RST_SENT", "COMMENT"};
    QTest::newRow("another mode") << "VHF"
                                  << "CW" << QStringList{"FREQ", "BAND", "RST_SENT", "COMMENT"};
}

void TestLogStore::rewriteKeepsTrueFields()
{
    QFETCH(QString, band);
    QFETCH(QString, mode);
    QFETCH(QStringList, left);
    QsoRecord imported = entry("AB", false, "VHF", "DIGITAL").record();
    int field = 0;
    for (const char *value : {"144.174", "2m", "MFSK", "FT4", "-05"})
        keptfields::append(imported.kept, field++, QString::fromLatin1(value));
    keptfields::append(imported.kept, 8, QStringLiteral("a ; comment"));
    LogStore store(*m_log);
    store.append(imported);
    // The edit window knows nothing of the kept fields: its record carries none.
    QsoRecord edited = entry("AB", false, band, mode).record();
    edited.count = 1;
    edited.call = QStringLiteral("IK4ABD");
    store.rewrite(edited);
    QStringList names;
    keptfields::forEach(store.fetch(1)->kept, [&](int f, QStringView) {
        names << QString::fromLatin1(keptfields::names[size_t(f)]);
    });
    QCOMPARE(names, left);
    QCOMPARE(store.fetch(1)->call, QString("IK4ABD"));
}

void TestLogStore::rewriteOfMissingQsoChangesNothing()
{
    m_folder->addQsos({qsoRow(1, "AB", "c"), qsoRow(3, "AC", "w")});
    const QList<QsoRow> before = m_folder->qsos();
    QsoRecord record = entry("AB", true).record();
    record.count = 2;
    QVERIFY(LogStore(*m_log).rewrite(record, 1).isEmpty());
    QCOMPARE(m_folder->qsos(), before);
}

void TestLogStore::failedRewriteKeepsReplacedQso()
{
    m_folder->addQsos({qsoRow(1, "AB", "c"), qsoRow(2, "AB", "w")});
    const QList<QsoRow> before = m_folder->qsos();
    m_folder->exec("create trigger refuse before update on data begin select raise(abort, "
                   "'refused'); end");
    QsoRecord record = entry("AB", true).record();
    record.count = 2;
    QVERIFY_THROWS_EXCEPTION(DatabaseError, LogStore(*m_log).rewrite(record, 1));
    QCOMPARE(m_folder->qsos(), before);
}

void TestLogStore::numberLimit_data()
{
    QTest::addColumn<qint64>("highest");
    QTest::addColumn<qint64>("next"); // 0: refused
    QTest::newRow("one below the limit") << qint64(2147483646) << qint64(2147483647);
    QTest::newRow("at the limit") << qint64(2147483647) << qint64(0);
    QTest::newRow("beyond, written by another program") << (qint64(1) << 40) << qint64(0);
}

void TestLogStore::numberLimit()
{
    QFETCH(qint64, highest);
    QFETCH(qint64, next);
    QSqlQuery insert(m_folder->log());
    QVERIFY(insert.exec(QString("insert into data (count, WWLocator, call, date, time, place, "
                                "prov, mode, band, qsl) values (%1, 'AA', 'CALL', '2004-01-01', "
                                "'10:00', 'P', 'AN', 'CW', 'HF', 'w')")
                            .arg(highest)));
    const LogStore store(*m_log);
    const QsoRecord record = entry("AB", false).record();
    if (next) {
        QCOMPARE(store.append(record).added, QVector<qint64>{next});
        QCOMPARE(m_folder->qsos().size(), 2);
        return;
    }
    try {
        store.append(record);
        QFAIL("a number past the highest was given");
    } catch (const DatabaseError &error) {
        QCOMPARE(error.kind(), DatabaseError::Kind::NumberLimit);
    }
    QCOMPARE(m_folder->qsos().size(), 1);
}

void TestLogStore::batchIsWholeOrNothing()
{
    m_folder->addQsos({qsoRow(1, "AA", "w"), qsoRow(2, "AB", "c")});
    const QList<QsoRow> before = m_folder->qsos();
    const LogStore store(*m_log);
    // Any exception leaving the work undoes what it did and goes on to the caller.
    QVERIFY_THROWS_EXCEPTION(std::logic_error, store.write([](LogStore::Batch &batch) {
        batch.remove(1);
        batch.upgradeQsl(2, vocabulary::QslState::Accredited);
        batch.append(entry("AC", false).record());
        throw std::logic_error("stopped halfway");
    }));
    QCOMPARE(m_folder->qsos(), before);
    // A batch sees its own changes, and says what it did.
    const LogChange change = store.write([](LogStore::Batch &batch) {
        QVERIFY(batch.remove(1));
        QVERIFY(!batch.remove(1));
        QVERIFY(!batch.contains(1));
        QCOMPARE(batch.append(entry("AC", false).record()).count, 3);
        QVERIFY(batch.upgradeQsl(2, vocabulary::QslState::Accredited));
        QVERIFY(batch.accreditedExists("ab", "HF", "MIXED"));
    });
    QCOMPARE(change.removed, QVector<qint64>{1});
    QCOMPARE(change.added, QVector<qint64>{3});
    QCOMPARE(change.changed, QVector<qint64>{2});
    QCOMPARE(counts(m_folder->qsos()), (QList<int>{2, 3}));
}

void TestLogStore::batchChanges_data()
{
    QTest::addColumn<QList<int>>("present"); // worked QSOs
    // "+" appends, "-N" removes N, "cN" and "aN" raise N to confirmed or accredited, "rN"
    // rewrites N.
    QTest::addColumn<QString>("work");
    QTest::addColumn<QString>("numbers"); // given by the appends
    QTest::addColumn<QVector<qint64>>("added");
    QTest::addColumn<QVector<qint64>>("changed");
    QTest::addColumn<QVector<qint64>>("removed");
    QTest::addColumn<QList<int>>("after");
    QTest::newRow("appends in a row number on")
        << QList<int>{1, 2, 5} << "+ + +"
        << "6 7 8" << QVector<qint64>{6, 7, 8} << QVector<qint64>{} << QVector<qint64>{}
        << QList<int>{1, 2, 5, 6, 7, 8};
    QTest::newRow("the highest removed is numbered again")
        << QList<int>{1, 2} << "+ -3 +"
        << "3 3" << QVector<qint64>{} << QVector<qint64>{3} << QVector<qint64>{}
        << QList<int>{1, 2, 3};
    QTest::newRow("another removed leaves the numbers as they are")
        << QList<int>{1, 2} << "-1 + +"
        << "3 4" << QVector<qint64>{3, 4} << QVector<qint64>{} << QVector<qint64>{1}
        << QList<int>{2, 3, 4};
    QTest::newRow("appended, then confirmed: only added")
        << QList<int>{1} << "+ c2"
        << "2" << QVector<qint64>{2} << QVector<qint64>{} << QVector<qint64>{} << QList<int>{1, 2};
    QTest::newRow("confirmed, then accredited: changed once")
        << QList<int>{1, 2} << "c1 a1"
        << "" << QVector<qint64>{} << QVector<qint64>{1} << QVector<qint64>{} << QList<int>{1, 2};
    QTest::newRow("confirmed, then removed: only removed")
        << QList<int>{1, 2} << "c1 -1"
        << "" << QVector<qint64>{} << QVector<qint64>{} << QVector<qint64>{1} << QList<int>{2};
    QTest::newRow("rewritten, then accredited: changed once")
        << QList<int>{1} << "r1 a1"
        << "" << QVector<qint64>{} << QVector<qint64>{1} << QVector<qint64>{} << QList<int>{1};
    QTest::newRow("appended, one between removed, the last confirmed: only added")
        << QList<int>{1} << "+ + + -3 c4"
        << "2 3 4" << QVector<qint64>{2, 4} << QVector<qint64>{} << QVector<qint64>{3}
        << QList<int>{1, 2, 4};
    QTest::newRow("removed, numbered again, confirmed: changed once")
        << QList<int>{1, 2} << "-2 + c2"
        << "2" << QVector<qint64>{} << QVector<qint64>{2} << QVector<qint64>{} << QList<int>{1, 2};
}

void TestLogStore::batchChanges()
{
    QFETCH(QList<int>, present);
    QFETCH(QString, work);
    QFETCH(QString, numbers);
    QFETCH(QVector<qint64>, added);
    QFETCH(QVector<qint64>, changed);
    QFETCH(QVector<qint64>, removed);
    QFETCH(QList<int>, after);
    for (int count : present)
        m_folder->addQso(qsoRow(count, QStringLiteral("AA"), QStringLiteral("w")));
    QStringList given;
    const LogChange change = LogStore(*m_log).write([&](LogStore::Batch &batch) {
        for (const QString &step : work.split(QLatin1Char(' '))) {
            const int count = step.mid(1).toInt();
            if (step == QLatin1String("+")) {
                given << QString::number(
                    batch.append(entry(QStringLiteral("AB"), false).record()).count);
            } else if (step.startsWith(QLatin1Char('-'))) {
                QVERIFY(batch.remove(count));
            } else if (step.startsWith(QLatin1Char('r'))) {
                QsoRecord record = entry(QStringLiteral("AC"), false).record();
                record.count = count;
                QVERIFY(batch.rewrite(record));
            } else {
                QVERIFY(batch.upgradeQsl(count, vocabulary::storedQslState(step.left(1))));
            }
        }
    });
    QCOMPARE(given.join(QLatin1Char(' ')), numbers);
    QCOMPARE(change.added, added);
    QCOMPARE(change.changed, changed);
    QCOMPARE(change.removed, removed);
    QCOMPARE(counts(m_folder->qsos()), after);
}

void TestLogStore::qslOnlyRises_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("wanted");
    QTest::addColumn<QString>("result");
    QTest::newRow("worked to confirmed") << "w"
                                         << "c"
                                         << "c";
    QTest::newRow("confirmed to accredited") << "c"
                                             << "a"
                                             << "a";
    QTest::newRow("accredited stays") << "a"
                                      << "c"
                                      << "a";
    QTest::newRow("confirmed never back to worked") << "c"
                                                    << "w"
                                                    << "c";
    QTest::newRow("small letter stored") << "C"
                                         << "c"
                                         << "C";
}

void TestLogStore::qslOnlyRises()
{
    QFETCH(QString, stored);
    QFETCH(QString, wanted);
    QFETCH(QString, result);
    m_folder->addQso(qsoRow(1, "AA", stored));
    const LogChange change =
        LogStore(*m_log).upgradeQsl({1, 7}, vocabulary::storedQslState(wanted));
    QCOMPARE(m_folder->qso(1).qsl, result);
    QCOMPARE(change.changed, result == stored ? QVector<qint64>{} : QVector<qint64>{1});
}

void TestLogStore::writersRefuseWithRule_data()
{
    // The log: 1 AA accredited, 2 AB confirmed, 3 worked (on AC, or on the row's sub-square
    // when it is upgraded), all on HF MIXED.
    QTest::addColumn<QString>("writer"); // "append", "rewrite 3" or "upgrade 3"
    QTest::addColumn<QString>("locator");
    QTest::addColumn<QString>("qsl");
    QTest::addColumn<int>("rule"); // LogStore::Rule
    const int kept = int(LogStore::Rule::Kept);
    const int accredited = int(LogStore::Rule::Accredited);
    const int taken = int(LogStore::Rule::ConfirmedTaken);
    QTest::newRow("worked on an accredited slot") << "append"
                                                  << "aa"
                                                  << "w" << accredited;
    QTest::newRow("second confirmed") << "append"
                                      << "AB"
                                      << "c" << taken;
    QTest::newRow("worked beside a confirmed") << "append"
                                               << "AB"
                                               << "w" << kept;
    QTest::newRow("moved onto an accredited slot") << "rewrite 3"
                                                   << "AA"
                                                   << "w" << accredited;
    QTest::newRow("moved as confirmed beside one") << "rewrite 3"
                                                   << "AB"
                                                   << "C" << taken;
    QTest::newRow("rewritten where it is") << "rewrite 3"
                                           << "AC"
                                           << "c" << kept;
    QTest::newRow("confirmed beside a confirmed") << "upgrade 3"
                                                  << "AB"
                                                  << "c" << taken;
    QTest::newRow("accredited beside an accredited") << "upgrade 3"
                                                     << "AA"
                                                     << "a" << accredited;
    QTest::newRow("the holder itself accredited") << "upgrade 2"
                                                  << "AB"
                                                  << "a" << kept;
}

void TestLogStore::writersRefuseWithRule()
{
    QFETCH(QString, writer);
    QFETCH(QString, locator);
    QFETCH(QString, qsl);
    QFETCH(int, rule);
    // An upgraded QSO 3 stands on the row's sub-square.
    const bool upgrade = writer.startsWith(QLatin1String("upgrade"));
    m_folder->addQsos({qsoRow(1, "AA", "a"), qsoRow(2, "AB", "c"),
                       qsoRow(3, upgrade ? locator : QStringLiteral("AC"), "w")});
    const QList<QsoRow> before = m_folder->qsos();
    LogStore::Written written;
    LogStore(*m_log).write([&](LogStore::Batch &batch) {
        QsoRecord record = entry(locator, false).record();
        record.qsl = vocabulary::storedQslState(qsl);
        record.count = writer.section(QLatin1Char(' '), 1).toInt();
        if (writer == QLatin1String("append"))
            written = batch.append(record);
        else if (upgrade)
            written = batch.upgradeQsl(record.count, record.qsl);
        else
            written = batch.rewrite(record);
    });
    QCOMPARE(int(written.refused), rule);
    QCOMPARE(bool(written), rule == int(LogStore::Rule::Kept));
    if (!written)
        QCOMPARE(m_folder->qsos(), before);
}

namespace
{

// The sub-square, band and mode of a QSO, as the log compares them.
QString slotOf(const QsoRow &r)
{
    return (r.locator + QLatin1Char('/') + r.band + QLatin1Char('/') + r.mode).toUpper();
}

bool holdsSlot(const QString &qsl)
{
    return qsl.compare(QLatin1String("c"), Qt::CaseInsensitive) == 0 ||
           qsl.compare(QLatin1String("a"), Qt::CaseInsensitive) == 0;
}

// The rules between the log before and after one change: every accredited QSO stays as it was,
// no QSO came onto a sub-square, band and mode that another QSO, still there, held accredited,
// and none of them holds two confirmed QSOs.
QString brokenRule(const QList<QsoRow> &before, const QList<QsoRow> &after)
{
    QHash<QString, int> accreditedBy; // slot -> the accredited QSO before the change
    QHash<int, QString> slotBefore;
    QHash<int, QsoRow> present;
    for (const QsoRow &r : after)
        present.insert(r.count, r);
    for (const QsoRow &r : before) {
        slotBefore.insert(r.count, slotOf(r));
        if (r.qsl.compare(QLatin1String("a"), Qt::CaseInsensitive) != 0)
            continue;
        accreditedBy.insert(slotOf(r), r.count);
        if (!(present.value(r.count) == r))
            return QStringLiteral("the accredited QSO %1 was changed or deleted").arg(r.count);
    }
    QHash<QString, int> holders;
    for (const QsoRow &r : after) {
        const QString slot = slotOf(r);
        const bool came = slotBefore.value(r.count) != slot;
        if (came && accreditedBy.contains(slot) && accreditedBy.value(slot) != r.count &&
            present.contains(accreditedBy.value(slot)))
            return QStringLiteral("QSO %1 came onto the accredited %2").arg(r.count).arg(slot);
        if (holdsSlot(r.qsl) && ++holders[slot] > 1)
            return QStringLiteral("%1 holds two confirmed QSOs").arg(slot);
    }
    return QString();
}

} // namespace

void TestLogStore::rulesHoldThroughEveryWriter_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<bool>("aside"); // the batches set the indexes aside
    for (quint32 seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u})
        QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed << false;
    for (quint32 seed : {1u, 2u, 3u, 4u})
        QTest::newRow(qPrintable(QStringLiteral("seed %1, indexes set aside").arg(seed)))
            << seed << true;
}

void TestLogStore::rulesHoldThroughEveryWriter()
{
    // Few sub-squares, bands and states, so that the changes meet each other often.
    QFETCH(quint32, seed);
    QFETCH(bool, aside);
    // With the indexes set aside, the same changes give the same log as with them.
    QList<QsoRow> withIndexes;
    for (const bool setAside : aside ? QList<bool>{false, true} : QList<bool>{false}) {
        m_folder->exec(QStringLiteral("delete from data"));
        QRandomGenerator random(seed);
        const QStringList locators{"AA", "ab", "AB"};
        const QStringList bands{"HF", "VHF"};
        const QStringList states{"w", "c", "a", "C"};
        auto pick = [&random](const QStringList &list) {
            return list.at(int(random.bounded(quint32(list.size()))));
        };
        auto record = [&](int count) {
            QsoRecord r = entry(pick(locators), false, pick(bands)).record();
            r.qsl = vocabulary::storedQslState(pick(states));
            r.time = QStringLiteral("1%1:00").arg(random.bounded(3u));
            r.count = count;
            return r;
        };
        const LogStore store(*m_log);
        for (int step = 0; step < 120; ++step) {
            const QList<QsoRow> before = m_folder->qsos();
            const int some =
                before.isEmpty() ? 1 : before.at(int(random.bounded(quint32(before.size())))).count;
            const std::optional<qint64> other =
                random.bounded(2u) ? std::optional<qint64>(some + 1) : std::nullopt;
            switch (random.bounded(7u)) {
            case 0:
                store.append(record(0), other);
                break;
            case 1:
                store.rewrite(record(some), other);
                break;
            case 2:
                store.upgradeQsl({some, int(some + 1)}, vocabulary::storedQslState(pick(states)));
                break;
            case 3:
                store.remove(some);
                break;
            case 4:
                store.write([&](LogStore::Batch &batch) {
                    if (setAside)
                        batch.setIndexesAside();
                    batch.append(record(0));
                    batch.rewrite(record(some));
                    batch.upgradeQsl(some, vocabulary::storedQslState(pick(states)));
                    if (aside)
                        batch.remove(some + 1);
                });
                break;
            default: {
                // An import: the plan applied to the log in one batch, as AdifImport does.
                ImportPlan plan;
                store.write([&](LogStore::Batch &batch) {
                    plan.loadLog(*m_log);
                    if (setAside)
                        batch.setIndexesAside();
                    plan.append = [&batch](const QsoRecord &qso) {
                        return batch.append(qso).count;
                    };
                    plan.confirm = [&batch](int count) {
                        batch.upgradeQsl(count, vocabulary::QslState::Confirmed);
                    };
                    for (int i = 0; i < 3; ++i)
                        plan.add(record(0));
                });
            }
            }
            const QString broken = brokenRule(before, m_folder->qsos());
            QVERIFY2(broken.isEmpty(),
                     qPrintable(QStringLiteral("step %1: %2").arg(step).arg(broken)));
        }
        if (!setAside)
            withIndexes = m_folder->qsos();
    }
    QCOMPARE(m_folder->qsos(), withIndexes);
}

void TestLogStore::lockHeldBrieflyIsWaitedOut()
{
    // Another program takes the write lock, adds QSO 100 and holds the lock for a second.
    LockHolder other(m_folder->logPath(),
                     "insert into data (count, WWLocator, call, date, time, place, prov, mode, "
                     "band, qsl) values (100, 'XX', 'OTHER', '2004-01-01', '10:00', 'P', 'AN', "
                     "'CW', 'HF', 'w')",
                     1000);
    LogChange change;
    try {
        change = LogStore(*m_log).append(entry("AB", false).record());
    } catch (const DatabaseError &error) {
        QFAIL(error.what());
    }
    other.release();
    // The number was taken after the other program's QSO was in.
    QCOMPARE(change.added, QVector<qint64>{101});
    QCOMPARE(counts(m_folder->qsos()), (QList<int>{100, 101}));
}

void TestLogStore::submitSaves()
{
    m_folder->addQsos({qsoRow(1, "AA", "w"), qsoRow(2, "AB", "w")});
    FakeDialogs dialogs;
    QsoSubmission submission(*m_log, dialogs, EntryMode::insertQso());
    QVERIFY(submission.submit(entry("AB", true)));
    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(dialogs.messages[0].text, QString("QSO saved"));
    QCOMPARE(dialogs.messages[0].icon, MessageIcon::Information);
    QCOMPARE(dialogs.messages[0].buttons, MessageButtons::Ok);
    QCOMPARE(dialogs.messages[0].title, QString("KX47"));
    QCOMPARE(m_folder->qso(3).call, QString("IK4ABC"));
}

void TestLogStore::submitFailedChecksWritesNothing()
{
    FakeDialogs dialogs;
    QsoSubmission submission(*m_log, dialogs, EntryMode::insertQso());
    QsoEntry e = entry("AB", true);
    e.call = "A'B'C'D'EFGH";
    e.place.clear();
    QVERIFY(!submission.submit(e));
    QCOMPARE(dialogs.texts(),
             (QStringList{"Call Field is too long", "place field cannot be null"}));
    QVERIFY(m_folder->qsos().isEmpty());
}

void TestLogStore::submitRefusesAccredited_data()
{
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<QString>("band");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("refused");
    QTest::newRow("confirmed, same band and mode") << true << "VHF"
                                                   << "SSB" << true;
    QTest::newRow("worked, same band and mode") << false << "VHF"
                                                << "SSB" << true;
    QTest::newRow("confirmed, other band") << true << "UHF"
                                           << "SSB" << false;
    QTest::newRow("worked, other mode") << false << "VHF"
                                        << "CW" << false;
    QTest::newRow("confirmed, MIXED") << true << "VHF"
                                      << "MIXED" << false;
}

void TestLogStore::submitRefusesAccredited()
{
    QFETCH(bool, confirmed);
    QFETCH(QString, band);
    QFETCH(QString, mode);
    QFETCH(bool, refused);
    m_folder->addQso(qsoRow(1, "AB", "a", "VHF", "SSB"));
    FakeDialogs dialogs;
    QsoSubmission submission(*m_log, dialogs, EntryMode::insertQso());
    QCOMPARE(submission.submit(entry("AB", confirmed, band, mode)).has_value(), !refused);
    QCOMPARE(dialogs.messages.size(), 1);
    if (refused) {
        QCOMPARE(dialogs.messages[0].text, QsoSubmission::accreditedMessage);
        QCOMPARE(dialogs.messages[0].text,
                 QString("Another QSO with the same accreditated locator already exists! new qso "
                         "will not be saved"));
        QCOMPARE(dialogs.messages[0].icon, MessageIcon::Critical);
        QCOMPARE(dialogs.messages[0].title, QString("Error"));
        QCOMPARE(counts(m_folder->qsos()), QList<int>{1});
    } else {
        QCOMPARE(dialogs.messages[0].text, QString("QSO saved"));
        QCOMPARE(counts(m_folder->qsos()), (QList<int>{1, 2}));
    }
}

void TestLogStore::submitReplacement_data()
{
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QList<int>>("remaining");
    QTest::newRow("yes") << true << QList<int>{1, 3, 4};
    QTest::newRow("no") << false << QList<int>{1, 2, 3};
}

void TestLogStore::submitReplacement()
{
    QFETCH(bool, yes);
    QFETCH(QList<int>, remaining);
    m_folder->addQsos({qsoRow(1, "AB", "w", "SHF", "CW"), qsoRow(2, "AB", "c", "SHF", "CW"),
                       qsoRow(3, "AB", "c", "SHF", "SSB")});
    FakeDialogs dialogs;
    dialogs.answers.enqueue(yes ? MessageAnswer::Yes : MessageAnswer::No);
    QsoSubmission submission(*m_log, dialogs, EntryMode::insertQso());
    QCOMPARE(submission.submit(entry("ab", true, "SHF", "CW")).has_value(), yes);
    QCOMPARE(dialogs.messages[0].text,
             QString("warning: the same locator confirmed already exist! do you want to replace "
                     "it? Last QSO will be deleted"));
    QCOMPARE(dialogs.messages[0].icon, MessageIcon::None);
    QCOMPARE(dialogs.messages[0].buttons, MessageButtons::YesNo);
    QCOMPARE(dialogs.messages[0].title, QString("warning"));
    QCOMPARE(dialogs.texts().mid(1), yes ? QStringList{"QSO saved"} : QStringList{});
    QCOMPARE(counts(m_folder->qsos()), remaining);
    int confirmedCw = 0;
    for (const QsoRow &r : m_folder->qsos())
        confirmedCw += r.qsl == "c" && r.mode == "CW";
    QCOMPARE(confirmedCw, 1);
}

void TestLogStore::submitWorkedNeverAsks()
{
    m_folder->addQsos({qsoRow(1, "AB", "c"), qsoRow(2, "AB", "w")});
    FakeDialogs dialogs;
    QsoSubmission submission(*m_log, dialogs, EntryMode::insertQso());
    QVERIFY(submission.submit(entry("AB", false)));
    QCOMPARE(dialogs.texts(), QStringList{"QSO saved"});
    QCOMPARE(dialogs.unanswered, 0);
    QCOMPARE(counts(m_folder->qsos()), (QList<int>{1, 2, 3}));
}

void TestLogStore::submitEditExcludesItself()
{
    m_folder->addQsos({qsoRow(1, "AB", "c", "HF", "CW"), qsoRow(2, "AC", "w")});
    FakeDialogs dialogs;
    QsoSubmission submission(*m_log, dialogs, EntryMode::editQso());
    QsoEntry e = entry("AB", true, "HF", "CW");
    e.call = QString(12, 'C') + "'''"; // 15 as typed, 18 after quoting
    QVERIFY(submission.submit(e, 1));
    QCOMPARE(dialogs.texts(), QStringList{"QSO edited"});
    QCOMPARE(dialogs.messages[0].title, QString("KX47"));
    QCOMPARE(counts(m_folder->qsos()), (QList<int>{1, 2}));
    QCOMPARE(m_folder->qso(1).call, e.call);
}

void TestLogStore::submitEditOfDeletedQso()
{
    m_folder->addQsos({qsoRow(1, "AB", "c"), qsoRow(3, "AC", "w")});
    const QList<QsoRow> before = m_folder->qsos();
    FakeDialogs dialogs;
    dialogs.answers.enqueue(MessageAnswer::Yes);
    QsoSubmission submission(*m_log, dialogs, EntryMode::editQso());
    QVERIFY(!submission.submit(entry("AB", true), 2));
    QCOMPARE(dialogs.texts(), QStringList{QsoSubmission::goneMessage});
    QCOMPARE(dialogs.messages[0].icon, MessageIcon::Critical);
    QCOMPARE(m_folder->qsos(), before);
}

void TestLogStore::submitEditRefusedWhenItselfAccredited()
{
    m_folder->addQso(qsoRow(1, "AB", "a"));
    FakeDialogs dialogs;
    QsoSubmission submission(*m_log, dialogs, EntryMode::editQso());
    QVERIFY(!submission.submit(entry("AB", true), 1));
    QCOMPARE(dialogs.texts(), QStringList{QsoSubmission::accreditedMessage});
    QCOMPARE(m_folder->qso(1).qsl, QString("a"));
}

QTEST_GUILESS_MAIN(TestLogStore)
#include "tst_logstore.moc"
