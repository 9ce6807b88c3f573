// The checks of the QSO entry form, the numeric-text rule and the row formed from the form.
#include "fakedialogs.h"
#include "qsoentryfixture.h"

#include "qso/numerictext.h"
#include "qso/qsochecks.h"
#include "qso/qsoentry.h"

#include <QtTest>

using namespace kx47;
using namespace kx47::test;

namespace
{

// Changes one field of an entry, named as in the form.
void setField(QsoEntry &e, const QString &field, const QString &value)
{
    QString *target = field == QLatin1String("locator") ? &e.locator
                      : field == QLatin1String("call")  ? &e.call
                      : field == QLatin1String("day")   ? &e.day
                      : field == QLatin1String("month") ? &e.month
                      : field == QLatin1String("year")  ? &e.year
                      : field == QLatin1String("time")  ? &e.time
                                                        : &e.place;
    *target = value;
}

QsoEntry withField(const QString &field, const QString &value)
{
    QsoEntry e = validQso();
    setField(e, field, value);
    return e;
}

} // namespace

class TestQsoChecks : public QObject
{
    Q_OBJECT

private slots:
    void numericText_data();
    void numericText();
    void valueOfNumericText_data();
    void valueOfNumericText();
    void singleField_data();
    void singleField();
    void severalFailuresInOrder_data();
    void severalFailuresInOrder();
    void lengthsAfterQuotingOrAsTyped_data();
    void lengthsAfterQuotingOrAsTyped();
    void failuresShownAsErrors();
    void passingEntryShowsNothing();
    void storedValues_data();
    void storedValues();
    void qslLetter();
};

void TestQsoChecks::numericText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    QTest::newRow("digits") << "0930" << true;
    QTest::newRow("leading zero") << "08" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("blanks only") << "   " << false;
    QTest::newRow("blanks around") << " 12 " << true;
    QTest::newRow("tab before") << "\t7" << true;
    QTest::newRow("minus") << "-1" << true;
    QTest::newRow("plus") << "+930" << true;
    QTest::newRow("sign alone") << "-" << false;
    QTest::newRow("two signs") << "+-1" << false;
    QTest::newRow("blank after sign") << "- 1" << false;
    QTest::newRow("blank inside") << "1 2" << false;
    QTest::newRow("decimal point") << "9.30" << true;
    QTest::newRow("trailing point") << "1." << true;
    QTest::newRow("leading point") << ".5" << true;
    QTest::newRow("lone point") << "." << false;
    QTest::newRow("two points") << "1.2.3" << false;
    QTest::newRow("exponent") << "1e03" << true;
    QTest::newRow("capital exponent") << "2E+1" << true;
    QTest::newRow("negative exponent") << "5e-1" << true;
    QTest::newRow("exponent without digits") << "1e" << false;
    QTest::newRow("exponent alone") << "e3" << false;
    QTest::newRow("exponent with point") << "1e1.5" << false;
    QTest::newRow("colon") << "9:30" << false;
    QTest::newRow("letters") << "AB" << false;
    QTest::newRow("letter and digit") << "A1" << false;
    QTest::newRow("digits in sub-square") << "12" << true;
    QTest::newRow("decimal comma") << "1,5" << false;
    QTest::newRow("hexadecimal") << "0x1F" << false;
    QTest::newRow("too large to hold") << "1e999" << false;
}

void TestQsoChecks::numericText()
{
    QFETCH(QString, text);
    QFETCH(bool, numeric);
    QCOMPARE(isNumericText(text), numeric);
    QCOMPARE(numericValue(text).has_value(), numeric);
}

void TestQsoChecks::valueOfNumericText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("leading zero") << "08" << 8.0;
    QTest::newRow("negative") << "-1" << -1.0;
    QTest::newRow("blanks") << "  31 " << 31.0;
    QTest::newRow("fraction") << ".5" << 0.5;
    QTest::newRow("exponent") << "1e03" << 1000.0;
    QTest::newRow("signed exponent") << "-25E-1" << -2.5;
}

void TestQsoChecks::valueOfNumericText()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    const std::optional<double> read = numericValue(text);
    QVERIFY(read.has_value());
    QCOMPARE(*read, value);
}

void TestQsoChecks::singleField_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("messages");

    const QStringList none;
    auto one = [](const char *text) { return QStringList{QString::fromLatin1(text)}; };

    QTest::newRow("sub-square one letter") << "locator"
                                           << "A" << one("WWLocator Field must be two characters");
    QTest::newRow("sub-square three letters")
        << "locator"
        << "ABC" << one("WWLocator Field must be two characters");
    QTest::newRow("sub-square empty") << "locator"
                                      << "" << one("WWLocator Field must be two characters");
    QTest::newRow("sub-square 12") << "locator"
                                   << "12" << one("WWLocator Field cannot be numerical");
    QTest::newRow("sub-square -1") << "locator"
                                   << "-1" << one("WWLocator Field cannot be numerical");
    const QStringList notASubSquare = one("WWLocator Field must be two letters from A to X");
    QTest::newRow("sub-square A1") << "locator"
                                   << "A1" << notASubSquare;
    QTest::newRow("sub-square ZZ") << "locator"
                                   << "ZZ" << notASubSquare;
    QTest::newRow("sub-square AY") << "locator"
                                   << "AY" << notASubSquare;
    QTest::newRow("sub-square with a blank") << "locator"
                                             << " A" << notASubSquare;
    QTest::newRow("sub-square AA") << "locator"
                                   << "AA" << none;
    QTest::newRow("sub-square XX") << "locator"
                                   << "XX" << none;
    QTest::newRow("call empty") << "call"
                                << "" << one("Call Field cannot be null");
    QTest::newRow("call of 15") << "call"
                                << "ABCDEFGHIJKLMNO" << none;
    QTest::newRow("call of 16") << "call"
                                << "ABCDEFGHIJKLMNOP" << one("Call Field is too long");
    QTest::newRow("day empty") << "day"
                               << "" << one("Date Fields cannot be null");
    QTest::newRow("month empty") << "month"
                                 << "" << one("Date Fields cannot be null");
    QTest::newRow("year empty") << "year"
                                << "" << one("Date Fields cannot be null");
    QTest::newRow("day letters") << "day"
                                 << "AB" << one("date fields must be numeric");
    QTest::newRow("year letters") << "year"
                                  << "O4" << one("date fields must be numeric");
    QTest::newRow("day 0") << "day"
                           << "0" << one("error in date field format");
    QTest::newRow("day 1") << "day"
                           << "1" << none;
    QTest::newRow("day 31") << "day"
                            << "31" << none;
    QTest::newRow("day 32") << "day"
                            << "32" << one("error in date field format");
    QTest::newRow("day -1") << "day"
                            << "-1" << one("error in date field format");
    QTest::newRow("day .5") << "day"
                            << ".5" << one("error in date field format");
    QTest::newRow("month 0") << "month"
                             << "00" << one("error in date field format");
    QTest::newRow("month 13") << "month"
                              << "13" << one("error in date field format");
    QTest::newRow("month 12") << "month"
                              << "12" << none;
    QTest::newRow("day 31 month 2") << "day"
                                    << "31" << none;
    QTest::newRow("year any number") << "year"
                                     << "-5" << none;
    QTest::newRow("time empty") << "time"
                                << "" << one("time field cannot be null");
    QTest::newRow("time 9:30") << "time"
                               << "9:30" << one("time field must be numeric");
    QTest::newRow("time 930") << "time"
                              << "930" << one("time field must be 4 numbers");
    QTest::newRow("time 09300") << "time"
                                << "09300" << one("time field must be 4 numbers");
    QTest::newRow("time 0000") << "time"
                               << "0000" << none;
    QTest::newRow("time 2359") << "time"
                               << "2359" << none;
    QTest::newRow("time 2400") << "time"
                               << "2400" << one("error in time field format");
    QTest::newRow("time 1260") << "time"
                               << "1260" << one("error in time field format");
    QTest::newRow("time 1e03") << "time"
                               << "1e03" << one("error in time field format");
    QTest::newRow("time 12e1") << "time"
                               << "12e1" << one("error in time field format");
    QTest::newRow("time 9.30") << "time"
                               << "9.30" << none;
    QTest::newRow("time 23.5") << "time"
                               << "23.5" << one("error in time field format");
    QTest::newRow("time 1.59") << "time"
                               << "1.59" << none;
    QTest::newRow("time +930") << "time"
                               << "+930" << none;
    QTest::newRow("time -930") << "time"
                               << "-930" << one("error in time field format");
    QTest::newRow("place empty") << "place"
                                 << "" << one("place field cannot be null");
    QTest::newRow("place of 50") << "place" << QString(50, 'P') << none;
    QTest::newRow("place of 51") << "place" << QString(51, 'P') << one("place field is too long");
    QTest::newRow("place not in the gazetteer") << "place"
                                                << "NOWHERE" << none;
}

void TestQsoChecks::singleField()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QStringList, messages);
    const QsoEntry entry = withField(field, value);
    QCOMPARE(QsoChecks::messages(entry, LengthMeasure::AfterQuoting), messages);
    QCOMPARE(QsoChecks::messages(entry, LengthMeasure::AsTyped), messages);
}

void TestQsoChecks::severalFailuresInOrder_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QStringList>("messages");

    // Days that are not in the calendar are refused as a wrong date.
    const QStringList wrongDate{"error in date field format"};
    QTest::newRow("31 February") << QStringList{"day", "month"} << QStringList{"31", "2"}
                                 << wrongDate;
    QTest::newRow("29 February outside a leap year")
        << QStringList{"day", "month", "year"} << QStringList{"29", "02", "23"} << wrongDate;
    QTest::newRow("29 February of 2000")
        << QStringList{"day", "month", "year"} << QStringList{"29", "2", "2000"} << QStringList{};
    QTest::newRow("31 April") << QStringList{"day", "month"} << QStringList{"31", "4"} << wrongDate;
    QTest::newRow("30 April") << QStringList{"day", "month"} << QStringList{"30", "4"}
                              << QStringList{};
    QTest::newRow("long call, then 30 February")
        << QStringList{"call", "day", "month"} << QStringList{QString(16, 'C'), "30", "2"}
        << QStringList{"Call Field is too long", "error in date field format"};
    QTest::newRow("long call, then empty place")
        << QStringList{"call", "place"} << QStringList{"A'B'C'D'EFGH", ""}
        << QStringList{"Call Field is too long", "place field cannot be null"};
    QTest::newRow("long call, then long place")
        << QStringList{"call", "place"} << QStringList{QString(16, 'C'), QString(51, 'P')}
        << QStringList{"Call Field is too long", "place field is too long"};
    QTest::newRow("long call, then the date stops")
        << QStringList{"call", "day", "place"} << QStringList{QString(16, 'C'), "", ""}
        << QStringList{"Call Field is too long", "Date Fields cannot be null"};
    QTest::newRow("empty date before non-numeric date")
        << QStringList{"day", "month", "year"} << QStringList{"AA", "", "BB"}
        << QStringList{"Date Fields cannot be null"};
    QTest::newRow("sub-square stops before the call")
        << QStringList{"locator", "call"} << QStringList{"A", ""}
        << QStringList{"WWLocator Field must be two characters"};
    QTest::newRow("empty call stops before the date")
        << QStringList{"call", "day"} << QStringList{"", ""}
        << QStringList{"Call Field cannot be null"};
    QTest::newRow("date format stops before the time")
        << QStringList{"month", "time"} << QStringList{"13", ""}
        << QStringList{"error in date field format"};
    QTest::newRow("time stops before the place")
        << QStringList{"time", "place"} << QStringList{"2400", ""}
        << QStringList{"error in time field format"};
    QTest::newRow("non-numeric time before its length")
        << QStringList{"time"} << QStringList{"9:3"} << QStringList{"time field must be numeric"};
}

void TestQsoChecks::severalFailuresInOrder()
{
    QFETCH(QStringList, fields);
    QFETCH(QStringList, values);
    QFETCH(QStringList, messages);
    QsoEntry entry = validQso();
    for (int i = 0; i < fields.size(); ++i)
        setField(entry, fields[i], values[i]);
    QCOMPARE(QsoChecks::messages(entry, LengthMeasure::AfterQuoting), messages);
}

void TestQsoChecks::lengthsAfterQuotingOrAsTyped_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("afterQuoting");
    QTest::addColumn<QStringList>("asTyped");

    const QStringList none;
    const QStringList longCall{"Call Field is too long"};
    const QStringList longPlace{"place field is too long"};
    QTest::newRow("call of 12 with 4 apostrophes") << "call"
                                                   << "A'B'C'D'EFGH" << longCall << none;
    QTest::newRow("call of 14 with 1 apostrophe") << "call"
                                                  << "O'BRIENABCDEFG" << none << none;
    QTest::newRow("call of 14 with 2 apostrophes") << "call"
                                                   << "O'BRIEN'ABCDEF" << longCall << none;
    QTest::newRow("place of 49 with 1 apostrophe") << "place"
                                                   << "SANT'" + QString(44, 'A') << none << none;
    QTest::newRow("place of 49 with 2 apostrophes")
        << "place"
        << "SANT''" + QString(43, 'A') << longPlace << none;
    QTest::newRow("place of 51 as typed") << "place" << QString(51, 'A') << longPlace << longPlace;
}

void TestQsoChecks::lengthsAfterQuotingOrAsTyped()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QStringList, afterQuoting);
    QFETCH(QStringList, asTyped);
    const QsoEntry entry = withField(field, value);
    QCOMPARE(QsoChecks::messages(entry, LengthMeasure::AfterQuoting), afterQuoting);
    QCOMPARE(QsoChecks::messages(entry, LengthMeasure::AsTyped), asTyped);
}

void TestQsoChecks::failuresShownAsErrors()
{
    FakeDialogs dialogs;
    QsoEntry entry = withField(QStringLiteral("call"), QString(16, 'C'));
    entry.place.clear();
    QVERIFY(!QsoChecks::confirm(entry, LengthMeasure::AfterQuoting, dialogs));
    QCOMPARE(dialogs.texts(),
             (QStringList{"Call Field is too long", "place field cannot be null"}));
    for (const FakeDialogs::Message &message : dialogs.messages) {
        QCOMPARE(message.icon, MessageIcon::Critical);
        QCOMPARE(message.buttons, MessageButtons::Ok);
        QCOMPARE(message.title, QString("error"));
    }
}

void TestQsoChecks::passingEntryShowsNothing()
{
    FakeDialogs dialogs;
    QVERIFY(QsoChecks::confirm(validQso(), LengthMeasure::AfterQuoting, dialogs));
    QVERIFY(dialogs.messages.isEmpty());
}

void TestQsoChecks::storedValues_data()
{
    QTest::addColumn<QString>("day");
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("storedTime");

    QTest::newRow("two digits each") << "07"
                                     << "12"
                                     << "04"
                                     << "0930"
                                     << "2004-12-07"
                                     << "09:30";
    QTest::newRow("one digit day and month") << "7"
                                             << "2"
                                             << "04"
                                             << "0000"
                                             << "2004-02-07"
                                             << "00:00";
    QTest::newRow("last minute") << "1"
                                 << "1"
                                 << "99"
                                 << "2359"
                                 << "1999-01-01"
                                 << "23:59";
    QTest::newRow("29 February of a leap year") << "29"
                                                << "2"
                                                << "04"
                                                << "1200"
                                                << "2004-02-29"
                                                << "12:00";
    QTest::newRow("four-digit year") << "1"
                                     << "1"
                                     << "2004"
                                     << "1200"
                                     << "2004-01-01"
                                     << "12:00";
    QTest::newRow("negative year") << "1"
                                   << "1"
                                   << "-5"
                                   << "1200"
                                   << "2005-01-01"
                                   << "12:00";
    QTest::newRow("year with point") << "1."
                                     << "3."
                                     << "4."
                                     << "1200"
                                     << "2004-03-01"
                                     << "12:00";
    QTest::newRow("blanks around") << " 9"
                                   << "3 "
                                   << " 4"
                                   << " 930"
                                   << "2004-03-09"
                                   << "09:30";
    QTest::newRow("time with point") << "1"
                                     << "1"
                                     << "04"
                                     << "9.30"
                                     << "2004-01-01"
                                     << "09:30";
    QTest::newRow("time with sign") << "1"
                                    << "1"
                                    << "04"
                                    << "+930"
                                    << "2004-01-01"
                                    << "09:30";
    QTest::newRow("time with minus zero") << "1"
                                          << "1"
                                          << "04"
                                          << "-030"
                                          << "2004-01-01"
                                          << "00:30";
}

void TestQsoChecks::storedValues()
{
    QFETCH(QString, day);
    QFETCH(QString, month);
    QFETCH(QString, year);
    QFETCH(QString, time);
    QFETCH(QString, date);
    QFETCH(QString, storedTime);
    QsoEntry entry = validQso();
    entry.day = day;
    entry.month = month;
    entry.year = year;
    entry.time = time;
    entry.prov = QStringLiteral("PG");
    entry.band = QStringLiteral("50 MHz");
    // Only an entry that passes the checks is ever stored.
    QCOMPARE(QsoChecks::messages(entry, LengthMeasure::AfterQuoting), QStringList());
    const QsoRecord row = entry.record();
    QCOMPARE(row.date, date);
    QCOMPARE(row.time, storedTime);
    QCOMPARE(row.locator, entry.locator);
    QCOMPARE(row.call, entry.call);
    QCOMPARE(row.place, entry.place);
    QCOMPARE(row.prov, entry.prov);
    QCOMPARE(row.mode, entry.mode);
    QCOMPARE(row.band, QString("50 MHz"));
    QCOMPARE(row.count, 0);
}

void TestQsoChecks::qslLetter()
{
    QsoEntry entry = validQso();
    QCOMPARE(entry.record().qsl, vocabulary::QslState::Confirmed);
    entry.confirmed = false;
    QCOMPARE(entry.record().qsl, vocabulary::QslState::Worked);
}

QTEST_GUILESS_MAIN(TestQsoChecks)
#include "tst_qsochecks.moc"
