// The applicant's record: the checks of Submit in their fixed order, the one row of table
// userData that Submit creates and replaces, and the reader that takes whatever the row holds.
#include "fixture.h"

#include "applicant/userdatarecord.h"
#include "applicant/userdatastore.h"
#include "storage/database.h"
#include "userdata/userdatachecks.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>
#include <stdexcept>

using namespace kx47;
using namespace kx47::test;

namespace
{

using Field = QString UserDataRecord::*;

Field field(const QString &name)
{
    static const QHash<QString, Field> fields{
        {"category", &UserDataRecord::category}, {"call", &UserDataRecord::call},
        {"fName", &UserDataRecord::fName},       {"sName", &UserDataRecord::sName},
        {"address", &UserDataRecord::address},   {"city", &UserDataRecord::city},
        {"prov", &UserDataRecord::prov},         {"country", &UserDataRecord::country},
        {"zipCode", &UserDataRecord::zipCode},   {"wwLocator", &UserDataRecord::wwLocator},
        {"email", &UserDataRecord::email}};
    return fields.value(name);
}

// A record that passes every check, each value distinct so that a mixed-up column shows.
UserDataRecord validRecord()
{
    UserDataRecord record;
    record.category = "YL";
    record.call = "IK0XYZ";
    record.fName = "GIULIA";
    record.sName = "VERDI";
    record.address = "VIA ROMA 12";
    record.city = "VALDORIA";
    record.prov = "QZ";
    record.country = "ITALY";
    record.zipCode = "00100";
    record.wwLocator = "JN61FV";
    record.email = "IK0XYZ@EXAMPLE.ORG";
    return record;
}

// The record with changes given as name, value, name, value...
UserDataRecord changed(const QStringList &changes)
{
    UserDataRecord record = validRecord();
    for (int i = 0; i + 1 < changes.size(); i += 2)
        record.*field(changes.at(i)) = changes.at(i + 1);
    return record;
}

// Every column of the rows of userData in table order, NULL as "<null>".
QList<QStringList> rowsOf(const ProgramFolder &folder)
{
    QSqlQuery query(folder.log());
    if (!query.exec("select \"OM/YL/SWL\", call, fName, sName, address, city, prov, country, "
                    "ZIPcode, WWLocator, email, count from userData order by rowid"))
        throw std::runtime_error(query.lastError().text().toStdString());
    QList<QStringList> rows;
    while (query.next()) {
        QStringList row;
        for (int i = 0; i < 12; ++i)
            row << (query.isNull(i) ? QString("<null>") : query.value(i).toString());
        rows << row;
    }
    return rows;
}

QStringList columnsOf(const UserDataRecord &r, const QString &count)
{
    return {r.category, r.call,    r.fName,   r.sName,     r.address, r.city,
            r.prov,     r.country, r.zipCode, r.wwLocator, r.email,   count};
}

} // namespace

class TestUserData : public QObject
{
    Q_OBJECT

private slots:
    void checks_data();
    void checks();
    void characterCount_data();
    void characterCount();
    void firstWriteCreatesTheRow();
    void laterWritesReplaceTheRow();
    void emailAsWritten_data();
    void emailAsWritten();
    void valuesWrittenAsTyped();
    void onlyTheFirstOfHandWrittenRowsIsReplaced();
    void readsNoRecordFromAnEmptyTable();
    void readsHandWrittenRows_data();
    void readsHandWrittenRows();
};

void TestUserData::checks_data()
{
    QTest::addColumn<QStringList>("changes");
    QTest::addColumn<QString>("message");

    const auto blank = [](int n) { return QString(n, ' '); };
    const auto text = [](int n) { return QString(n, 'A'); };

    QTest::newRow("valid") << QStringList{} << "";
    QTest::newRow("every field empty")
        << QStringList{"call", "", "fName",   "", "sName",   "", "address",   "", "city",  "",
                       "prov", "", "country", "", "zipCode", "", "wwLocator", "", "email", ""}
        << "Address field cannot be null";

    struct Limit {
        const char *field;
        int limit;
        const char *empty;
        const char *tooLong;
    };
    const Limit limits[] = {
        {"address", 40, "Address field cannot be null",
         "Address field cannot hold more than 40 characters"},
        {"call", 10, "Call field cannot be null", "Call field cannot hold more than 10 characters"},
        {"city", 20, "City field cannot be null", "City field cannot hold more than 20 characters"},
        {"country", 20, "Country field cannot be null",
         "Country field cannot hold more than 20 characters"},
        {"fName", 20, "First Name field cannot be null",
         "First Name field cannot hold more than 20 characters"},
        {"sName", 20, "sencod Name field cannot be null",
         "Second Name field cannot hold more than 20 characters"},
        {"zipCode", 10, "Zip Code field cannot be null",
         "Zip Code field cannot hold more than 10 characters"},
        {"prov", 20, "Prov field cannot be null", "Prov field cannot hold more than 20 characters"},
        {"wwLocator", 6, "WWLocator field cannot be null",
         "WWLocator field cannot hold more than 6 characters"},
        {"email", 50, "", "e-mail field cannot hold more than 50 characters"},
    };
    for (const Limit &l : limits) {
        const QString name = l.field;
        QTest::addRow("%s empty", l.field) << QStringList{name, ""} << QString(l.empty);
        QTest::addRow("%s one blank", l.field) << QStringList{name, " "} << "";
        QTest::addRow("%s of blanks at the limit", l.field)
            << QStringList{name, blank(l.limit)} << "";
        QTest::addRow("%s at the limit", l.field) << QStringList{name, text(l.limit)} << "";
        QTest::addRow("%s one over", l.field)
            << QStringList{name, text(l.limit + 1)} << QString(l.tooLong);
        QTest::addRow("%s of blanks one over", l.field)
            << QStringList{name, blank(l.limit + 1)} << QString(l.tooLong);
        QTest::addRow("%s with blanks around, not trimmed", l.field)
            << QStringList{name, " " + text(l.limit - 1) + " "} << QString(l.tooLong);
    }

    // The first failing field in the fixed order is the one reported.
    QTest::newRow("address long before call empty")
        << QStringList{"address", text(41), "call", ""}
        << "Address field cannot hold more than 40 characters";
    QTest::newRow("call empty before city long")
        << QStringList{"call", "", "city", text(21)} << "Call field cannot be null";
    QTest::newRow("city before country")
        << QStringList{"country", "", "city", ""} << "City field cannot be null";
    QTest::newRow("country before first name")
        << QStringList{"fName", "", "country", text(21)}
        << "Country field cannot hold more than 20 characters";
    QTest::newRow("first name before second name")
        << QStringList{"sName", "", "fName", ""} << "First Name field cannot be null";
    QTest::newRow("second name before zip code")
        << QStringList{"zipCode", "", "sName", ""} << "sencod Name field cannot be null";
    QTest::newRow("zip code before prov") << QStringList{"prov", "", "zipCode", text(11)}
                                          << "Zip Code field cannot hold more than 10 characters";
    QTest::newRow("prov before locator")
        << QStringList{"wwLocator", "", "prov", ""} << "Prov field cannot be null";
    QTest::newRow("locator before e-mail") << QStringList{"email", text(51), "wwLocator", text(7)}
                                           << "WWLocator field cannot hold more than 6 characters";
    QTest::newRow("category needs no check") << QStringList{"category", ""} << "";
}

void TestUserData::checks()
{
    QFETCH(QStringList, changes);
    QFETCH(QString, message);
    QCOMPARE(UserDataChecks::firstFailure(changed(changes)), message);
}

void TestUserData::characterCount_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("length");
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("plain") << "IK0XYZ" << 6;
    QTest::newRow("accented") << QString::fromUtf8("FORLÌ") << 5;
    QTest::newRow("outside the basic plane")
        << QString::fromUtf8("\xF0\x9D\x90\x80\xF0\x9D\x90\x81X") << 3;
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + "A" << 2;
}

void TestUserData::characterCount()
{
    QFETCH(QString, value);
    QFETCH(int, length);
    QCOMPARE(UserDataChecks::length(value), length);
}

void TestUserData::firstWriteCreatesTheRow()
{
    ProgramFolder folder;
    OpenedFile log(folder.logPath());
    UserDataStore store(log);
    QCOMPARE(store.rows(), 0);
    store.write(validRecord());
    QCOMPARE(store.rows(), 1);
    QCOMPARE(rowsOf(folder), QList<QStringList>{columnsOf(validRecord(), "1")});
}

void TestUserData::laterWritesReplaceTheRow()
{
    ProgramFolder folder;
    OpenedFile log(folder.logPath());
    UserDataStore store(log);
    UserDataRecord last;
    for (const QString &call : QStringList{"IK0AAA", "IK0BBB", "IK0CCC"}) {
        last = changed(
            {"call", call, "category", call == "IK0BBB" ? "SWL" : "OM", "email", call + "@X.ORG"});
        store.write(last);
        QCOMPARE(store.rows(), 1);
    }
    QCOMPARE(rowsOf(folder), QList<QStringList>{columnsOf(last, "1")});
}

void TestUserData::emailAsWritten_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("empty") << ""
                           << " ";
    QTest::newRow("null") << QString() << " ";
    QTest::newRow("one blank") << " "
                               << " ";
    QTest::newRow("two blanks") << "  "
                                << "  ";
    QTest::newRow("an address") << "A@B.C"
                                << "A@B.C";
}

void TestUserData::emailAsWritten()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    ProgramFolder folder;
    OpenedFile log(folder.logPath());
    UserDataStore store(log);
    // Once on the new row, once on the row being replaced.
    for (int write = 0; write < 2; ++write) {
        UserDataRecord record = validRecord();
        record.email = typed;
        store.write(record);
        const QList<QStringList> rows = rowsOf(folder);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().at(10), stored);
        QCOMPARE(store.read().email, stored);
    }
}

void TestUserData::valuesWrittenAsTyped()
{
    ProgramFolder folder;
    OpenedFile log(folder.logPath());
    UserDataStore store(log);
    const UserDataRecord record = changed({"sName", "D'ANGELO", "address", "VIA DELL'ORO 3", "city",
                                           " ", "call", "ik0abc", "country", "\"X\"; --"});
    store.write(record);
    QCOMPARE(rowsOf(folder), QList<QStringList>{columnsOf(record, "1")});
    UserDataRecord read = store.read();
    QVERIFY(read.present);
    QCOMPARE(columnsOf(read, "1"), columnsOf(record, "1"));
}

void TestUserData::onlyTheFirstOfHandWrittenRowsIsReplaced()
{
    ProgramFolder folder;
    folder.exec("insert into userData (\"OM/YL/SWL\", call, count) values ('OM', "
                "'FIRST', 1)");
    folder.exec("insert into userData (\"OM/YL/SWL\", call, count) values ('YL', "
                "'SECOND', 2)");
    OpenedFile log(folder.logPath());
    UserDataStore store(log);
    QCOMPARE(store.read().call, QString("FIRST"));
    store.write(validRecord());
    const QList<QStringList> rows = rowsOf(folder);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0), columnsOf(validRecord(), "1"));
    QCOMPARE(rows.at(1).at(1), QString("SECOND"));
    QCOMPARE(store.read().call, validRecord().call);
}

void TestUserData::readsNoRecordFromAnEmptyTable()
{
    ProgramFolder folder;
    OpenedFile log(folder.logPath());
    const UserDataRecord record = UserDataStore(log).read();
    QVERIFY(!record.present);
    QCOMPARE(columnsOf(record, ""), QStringList(12, QString()));
}

void TestUserData::readsHandWrittenRows_data()
{
    QTest::addColumn<QString>("insert");
    QTest::addColumn<QStringList>("values");
    const QString longCall(64, 'K');
    const QString longEmail = QString(300, 'e') + "@X.ORG";
    QTest::newRow("every column NULL")
        << "insert into userData (count) values (NULL)" << QStringList(11, QString());
    QTest::newRow("some columns NULL")
        << "insert into userData (call, email) values ('IK0ABC', NULL)"
        << QStringList{"", "IK0ABC", "", "", "", "", "", "", "", "", ""};
    QTest::newRow("over-long values")
        << QString("insert into userData (\"OM/YL/SWL\", call, fName, sName, address, city, prov, "
                   "country, ZIPcode, WWLocator, email, count) values ('SWL', '%1', '%2', '%2', "
                   "'%2', '%2', '%2', '%2', '%3', 'JN61FVXX', '%4', 7)")
               .arg(longCall, QString(100, 'N'), QString(30, '9'), longEmail)
        << QStringList{"SWL",
                       longCall,
                       QString(100, 'N'),
                       QString(100, 'N'),
                       QString(100, 'N'),
                       QString(100, 'N'),
                       QString(100, 'N'),
                       QString(100, 'N'),
                       QString(30, '9'),
                       "JN61FVXX",
                       longEmail};
    QTest::newRow("numbers and lower case")
        << "insert into userData (\"OM/YL/SWL\", call, ZIPcode) values ('om', 'ik0abc', 147)"
        << QStringList{"om", "ik0abc", "", "", "", "", "", "", "147", "", ""};
}

void TestUserData::readsHandWrittenRows()
{
    QFETCH(QString, insert);
    QFETCH(QStringList, values);
    ProgramFolder folder;
    folder.exec(insert);
    OpenedFile log(folder.logPath());
    const UserDataRecord record = UserDataStore(log).read();
    QVERIFY(record.present);
    QStringList read = columnsOf(record, "");
    read.removeLast();
    QCOMPARE(read, values);
}

QTEST_MAIN(TestUserData)
#include "tst_userdata.moc"
