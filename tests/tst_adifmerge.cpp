// How imported records merge with the log: matching, confirmations, the award rules, and the
// records of one file meeting each other.
#include "adif/adifmapping.h"
#include "adif/importplan.h"

#include <QtTest>

using namespace kx47;

namespace
{

// "CALL LOCATOR BAND MODE DATE TIME QSL", the band with "_" for its blank, "-" for no locator;
// after the QSL letter, L for a LoTW and E for an eQSL confirmation.
QsoRecord qso(const QString &text, int count = 0)
{
    const QStringList f = text.split(QLatin1Char(' '));
    QsoRecord r;
    r.count = count;
    r.call = f.at(0);
    r.locator = f.at(1) == QLatin1String("-") ? QString() : f.at(1);
    if (f.at(6).contains(QLatin1Char('L')))
        r.lotw = QStringLiteral("Y");
    if (f.at(6).contains(QLatin1Char('E')))
        r.eqsl = QStringLiteral("Y");
    r.band = QString(f.at(2)).replace(QLatin1Char('_'), QLatin1Char(' '));
    r.mode = f.at(3);
    r.date = f.at(4);
    r.time = f.at(5);
    r.qsl = vocabulary::storedQslState(f.at(6).left(1));
    r.place = QStringLiteral("PLACE");
    r.prov = QStringLiteral("AN");
    return r;
}

// What a plan writes: new QSOs are numbered from 1001. Confirmations by LoTW or eQSL are
// listed among the confirmed as the number followed by L and E.
struct Written {
    QList<QsoRecord> appended;
    QStringList confirmed;
};

Written plan(const QStringList &log, const QStringList &file, ImportPlan &p)
{
    Written w;
    p.append = [&w](const QsoRecord &r) {
        w.appended << r;
        return 1000 + int(w.appended.size());
    };
    p.confirm = [&w](int count) {
        if (count > 1000)
            w.appended[count - 1001].qsl = vocabulary::QslState::Confirmed;
        else
            w.confirmed << QString::number(count);
    };
    p.addElectronic = [&w](int count, const QsoRecord &r) {
        w.confirmed << QString::number(count) + (r.lotw.isEmpty() ? "" : "L") +
                           (r.eqsl.isEmpty() ? "" : "E");
    };
    int count = 0;
    for (const QString &line : log)
        p.addLogQso(qso(line, ++count));
    for (const QString &line : file)
        p.add(qso(line));
    return w;
}

// The counts of the first four outcomes and of the two refusals, as "nw nc ca al ra sw", then
// those of the electronic confirmations and of the records without a QSO when there are any.
QString counts(const ImportPlan &p)
{
    QStringList c;
    for (ImportOutcome o : {ImportOutcome::NewWorked, ImportOutcome::NewConfirmed,
                            ImportOutcome::ConfirmationAdded, ImportOutcome::AlreadyInLog,
                            ImportOutcome::RefusedAccredited, ImportOutcome::StoredAsWorked})
        c << QString::number(p.count(o));
    for (ImportOutcome o : {ImportOutcome::ElectronicAdded, ImportOutcome::SubSquareUnknown,
                            ImportOutcome::SubSquareDiffers})
        if (p.count(o) > 0)
            c << ImportPlan::caption(o) + QLatin1Char('=') + QString::number(p.count(o));
    return c.join(QLatin1Char(' '));
}

QString newStates(const Written &w)
{
    QString s;
    for (const QsoRecord &r : w.appended)
        s += vocabulary::qslLetter(r.qsl);
    return s;
}

} // namespace

class TestAdifMerge : public QObject
{
    Q_OBJECT

private slots:
    void outcomes_data();
    void outcomes();
    void sameFileTwiceChangesNothing();
    void summaryLines();
};

void TestAdifMerge::outcomes_data()
{
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QStringList>("file");
    QTest::addColumn<QString>("counts"); // new worked, new confirmed, confirmations added,
                                         // already, refused accredited, stored as worked
    QTest::addColumn<QString>("newStates");
    QTest::addColumn<QString>("confirmed");

    const QString w = QStringLiteral("IK4ABC AB HF CW 2024-03-01 12:00 w");
    QTest::newRow("new worked into empty log") << QStringList{} << QStringList{w} << "1 0 0 0 0 0"
                                               << "w"
                                               << "";
    QTest::newRow("new confirmed into empty log")
        << QStringList{} << QStringList{"IK4ABC AB HF CW 2024-03-01 12:00 c"} << "0 1 0 0 0 0"
        << "c"
        << "";
    QTest::newRow("same QSO 30 minutes later is already logged")
        << QStringList{w} << QStringList{"IK4ABC AB HF CW 2024-03-01 12:30 w"} << "0 0 0 1 0 0"
        << ""
        << "";
    QTest::newRow("31 minutes later is another QSO")
        << QStringList{w} << QStringList{"IK4ABC AB HF CW 2024-03-01 12:31 w"} << "1 0 0 0 0 0"
        << "w"
        << "";
    QTest::newRow("call in other letter case matches")
        << QStringList{w} << QStringList{"ik4abc ab HF CW 2024-03-01 12:10 w"} << "0 0 0 1 0 0"
        << ""
        << "";
    QTest::newRow("other band is another QSO")
        << QStringList{w} << QStringList{"IK4ABC AB VHF CW 2024-03-01 12:00 w"} << "1 0 0 0 0 0"
        << "w"
        << "";
    QTest::newRow("other mode is another QSO")
        << QStringList{w} << QStringList{"IK4ABC AB HF SSB 2024-03-01 12:00 w"} << "1 0 0 0 0 0"
        << "w"
        << "";
    QTest::newRow("across midnight, forwards")
        << QStringList{"IK4ABC AB HF CW 2024-02-29 23:50 w"}
        << QStringList{"IK4ABC AB HF CW 2024-03-01 00:15 c"} << "0 0 1 0 0 0"
        << ""
        << "1";
    QTest::newRow("across midnight and year, backwards")
        << QStringList{"IK4ABC AB HF CW 2025-01-01 00:10 w"}
        << QStringList{"IK4ABC AB HF CW 2024-12-31 23:45 c"} << "0 0 1 0 0 0"
        << ""
        << "1";
    QTest::newRow("nearest of two wins")
        << QStringList{"IK4ABC AB HF CW 2024-03-01 12:00 w", "IK4ABC AB HF CW 2024-03-01 12:20 w"}
        << QStringList{"IK4ABC AB HF CW 2024-03-01 12:14 c"} << "0 0 1 0 0 0"
        << ""
        << "2";
    QTest::newRow("of two equally near, the first logged wins")
        << QStringList{"IK4ABC AB HF CW 2024-03-01 12:10 w", "IK4ABC AB HF CW 2024-03-01 11:50 w",
                       "IK4ABC AB HF CW 2024-03-01 12:40 w"}
        << QStringList{"IK4ABC AB HF CW 2024-03-01 12:00 c"} << "0 0 1 0 0 0"
        << ""
        << "1";
    QTest::newRow("call with a blank before it matches")
        << QStringList{w} << QStringList{"\tIK4ABC AB HF CW 2024-03-01 12:05 c"} << "0 0 1 0 0 0"
        << ""
        << "1";
    QTest::newRow("call with a sharp s matches it in capitals")
        << QStringList{"STRASSE AB HF CW 2024-03-01 12:00 w"}
        << QStringList{QStringLiteral("straße ab hf cw 2024-03-01 12:05 c")} << "0 0 1 0 0 0"
        << ""
        << "1";
    QTest::newRow("accented call matches in other letter case")
        << QStringList{QStringLiteral("OH2ÄÖ AB HF CW 2024-03-01 12:00 w")}
        << QStringList{QStringLiteral("oh2äö AB HF CW 2024-03-01 12:05 c")} << "0 0 1 0 0 0"
        << ""
        << "1";
    QTest::newRow("confirmed in capitals holds the slot")
        << QStringList{"I1XYZ AB HF CW 2024-01-01 08:00 C"}
        << QStringList{"IK4ABC AB HF CW 2024-03-01 12:00 c"} << "0 0 0 0 0 1"
        << "w"
        << "";
    // As the log's own rules read it (and Insert with them): no state, so nothing is closed.
    QTest::newRow("accredited with a blank before it is no state")
        << QStringList{"I1XYZ AB HF CW 2024-01-01 08:00 \tA"}
        << QStringList{"IK4ABC AB HF CW 2024-03-01 12:00 w"} << "1 0 0 0 0 0"
        << "w"
        << "";
    QTest::newRow("confirmation of a confirmed QSO changes nothing")
        << QStringList{"IK4ABC AB HF CW 2024-03-01 12:00 c"}
        << QStringList{"IK4ABC AB HF CW 2024-03-01 12:05 c"} << "0 0 0 1 0 0"
        << ""
        << "";
    QTest::newRow("worked record never downgrades")
        << QStringList{"IK4ABC AB HF CW 2024-03-01 12:00 c"}
        << QStringList{"IK4ABC AB HF CW 2024-03-01 12:05 w"} << "0 0 0 1 0 0"
        << ""
        << "";
    QTest::newRow("confirmation where another QSO is confirmed")
        << QStringList{"I1XYZ AB HF CW 2024-01-01 08:00 c", w}
        << QStringList{"IK4ABC AB HF CW 2024-03-01 12:00 c"} << "0 0 0 1 0 0"
        << ""
        << "";
    QTest::newRow("confirmation where another QSO is accredited")
        << QStringList{"I1XYZ AB HF CW 2024-01-01 08:00 a", w}
        << QStringList{"IK4ABC AB HF CW 2024-03-01 12:00 c"} << "0 0 0 1 0 0"
        << ""
        << "";
    QTest::newRow("new worked where accredited is refused")
        << QStringList{"I1XYZ AB HF CW 2024-01-01 08:00 a"}
        << QStringList{"IK4ABC AB HF CW 2024-03-01 12:00 w"} << "0 0 0 0 1 0"
        << ""
        << "";
    QTest::newRow("accredited on another band refuses nothing")
        << QStringList{"I1XYZ AB SHF CW 2024-01-01 08:00 a"}
        << QStringList{"IK4ABC AB HF CW 2024-03-01 12:00 w"} << "1 0 0 0 0 0"
        << "w"
        << "";
    QTest::newRow("new confirmed where one is confirmed is stored as worked")
        << QStringList{"I1XYZ AB 50_MHz CW 2024-01-01 08:00 c"}
        << QStringList{"IK4ABC AB 50_MHz CW 2024-03-01 12:00 c"} << "0 0 0 0 0 1"
        << "w"
        << "";
    QTest::newRow("two new confirmed of one slot in the file")
        << QStringList{}
        << QStringList{"IK4ABC AB HF CW 2024-03-01 12:00 c", "I1XYZ AB HF CW 2024-03-02 12:00 c"}
        << "0 1 0 0 0 1"
        << "cw"
        << "";
    QTest::newRow("the same QSO twice in the file")
        << QStringList{} << QStringList{w, "IK4ABC AB HF CW 2024-03-01 12:02 w"} << "1 0 0 1 0 0"
        << "w"
        << "";
    QTest::newRow("worked, then confirmed in the same file")
        << QStringList{} << QStringList{w, "IK4ABC AB HF CW 2024-03-01 12:02 c"} << "0 1 0 1 0 0"
        << "c"
        << "";
    QTest::newRow("one confirmation twice in the file")
        << QStringList{w}
        << QStringList{"IK4ABC AB HF CW 2024-03-01 12:00 c", "IK4ABC AB HF CW 2024-03-01 12:01 c"}
        << "0 0 1 1 0 0"
        << ""
        << "1";
    QTest::newRow("confirmed in the file holds the slot against a confirmation")
        << QStringList{w}
        << QStringList{"I1XYZ AB HF CW 2024-02-01 10:00 c", "IK4ABC AB HF CW 2024-03-01 12:00 c"}
        << "0 1 0 1 0 0"
        << "c"
        << "";
    // Records that name no sub-square, as in a LoTW report: the logged QSO takes them.
    QTest::newRow("no locator confirms the logged QSO")
        << QStringList{"I1XYZ AC HF CW 2024-03-01 12:00 w", w}
        << QStringList{"IK4ABC - HF CW 2024-03-01 12:20 cL"} << "0 0 1 0 0 0"
        << ""
        << "2,2L";
    QTest::newRow("no locator, nearest of two sub-squares")
        << QStringList{w, "IK4ABC AC HF CW 2024-03-01 23:50 w"}
        << QStringList{"IK4ABC - HF CW 2024-03-02 00:05 c"} << "0 0 1 0 0 0"
        << ""
        << "2";
    QTest::newRow("no locator and no QSO logged")
        << QStringList{w} << QStringList{"IK4ABC - HF SSB 2024-03-01 12:00 c"}
        << "0 0 0 0 0 0 sub-square unknown=1"
        << ""
        << "";
    QTest::newRow("another sub-square than the logged QSO")
        << QStringList{w} << QStringList{"IK4ABC AC HF CW 2024-03-01 12:10 c"}
        << "0 0 0 0 0 0 sub-square differs from the log=1"
        << ""
        << "";
    QTest::newRow("a station on the move in one file")
        << QStringList{} << QStringList{w, "IK4ABC AC HF CW 2024-03-01 12:10 w"} << "2 0 0 0 0 0"
        << "ww"
        << "";
    QTest::newRow("another sub-square far in time is a new QSO")
        << QStringList{w} << QStringList{"IK4ABC AC HF CW 2024-03-01 14:00 w"} << "1 0 0 0 0 0"
        << "w"
        << "";
    // Confirmations by LoTW and eQSL are kept, counted as confirmed or not.
    QTest::newRow("LoTW kept on a worked QSO")
        << QStringList{w} << QStringList{"IK4ABC AB HF CW 2024-03-01 12:00 wL"}
        << "0 0 0 0 0 0 LoTW or eQSL confirmations added=1"
        << ""
        << "1L";
    QTest::newRow("eQSL kept on a confirmed QSO")
        << QStringList{"IK4ABC AB HF CW 2024-03-01 12:00 c"}
        << QStringList{"IK4ABC - HF CW 2024-03-01 12:00 wE"}
        << "0 0 0 0 0 0 LoTW or eQSL confirmations added=1"
        << ""
        << "1E";
    QTest::newRow("LoTW known already")
        << QStringList{"IK4ABC AB HF CW 2024-03-01 12:00 wL"}
        << QStringList{"IK4ABC AB HF CW 2024-03-01 12:00 wL"} << "0 0 0 1 0 0"
        << ""
        << "";
    QTest::newRow("accredited QSOs of an exported log come back with their slot's others")
        << QStringList{}
        << QStringList{"I1XYZ AB HF CW 2024-02-01 10:00 a", "IK4ABC AB HF CW 2024-03-01 12:00 w"}
        << "1 1 0 0 0 0"
        << "aw"
        << "";
}

void TestAdifMerge::outcomes()
{
    QFETCH(QStringList, log);
    QFETCH(QStringList, file);
    QFETCH(QString, counts);
    QFETCH(QString, newStates);
    QFETCH(QString, confirmed);
    ImportPlan p;
    const Written w = plan(log, file, p);
    QCOMPARE(::counts(p), counts);
    QCOMPARE(::newStates(w), newStates);
    QCOMPARE(w.confirmed.join(QLatin1Char(',')), confirmed);
    QCOMPARE(p.changesLog(), !w.appended.isEmpty() || !w.confirmed.isEmpty());
}

void TestAdifMerge::sameFileTwiceChangesNothing()
{
    const QStringList log{"I1XYZ AB HF CW 2024-01-01 08:00 c", "I2AAA XX HF CW 2024-01-01 08:00 a",
                          "IK4ABC AC VHF SSB 2024-03-01 23:55 w"};
    const QStringList file{
        "IK4ABC AC VHF SSB 2024-03-02 00:05 c", "IK4ABC AB HF CW 2024-03-01 12:00 c",
        "I9ZZZ XX HF CW 2024-03-01 12:00 w", "I9ZZZ AD UHF DIGITAL 2024-03-01 12:00 w",
        "I9ZZZ AD UHF DIGITAL 2024-03-01 12:20 c"};
    ImportPlan first;
    const Written w = plan(log, file, first);
    QVERIFY(first.changesLog());

    // The log as the first import leaves it.
    QStringList after = log;
    for (const QString &count : w.confirmed) {
        QString &line = after[count.toInt() - 1];
        line.replace(line.size() - 1, 1, QLatin1Char('c'));
    }
    for (const QsoRecord &r : w.appended)
        after << QStringList{r.call,
                             r.locator,
                             r.band,
                             r.mode,
                             r.date,
                             r.time,
                             QString(vocabulary::qslLetter(r.qsl))}
                     .join(' ');

    ImportPlan second;
    const Written again = plan(after, file, second);
    QVERIFY(!second.changesLog());
    QVERIFY(again.appended.isEmpty() && again.confirmed.isEmpty());
    QCOMPARE(second.count(ImportOutcome::AlreadyInLog) +
                 second.count(ImportOutcome::RefusedAccredited),
             file.size());
}

void TestAdifMerge::summaryLines()
{
    ImportPlan p;
    p.addLogQso(qso("IK4ABC AB HF CW 2024-03-01 12:00 w", 1));
    p.add(qso("I1XYZ AB HF CW 2024-03-01 12:00 c"));
    p.skip(ImportOutcome::OutsideKx47);
    p.skip(ImportOutcome::Unreadable, 7, QStringLiteral("no call"));
    p.add(qso("IK4ABC AC HF CW 2024-03-01 12:05 c"), 9);
    p.setCounted(confirmationsText(Confirmation::Paper | Confirmation::Eqsl));
    const QStringList lines = p.summaryLines();
    QCOMPARE(lines.size(), ImportPlan::outcomeCount + 3);
    QCOMPARE(lines.at(0), QStringLiteral("counted as confirmed: QSL cards, eQSL"));
    QCOMPARE(lines.at(2), QStringLiteral("new confirmed: 1"));
    QCOMPARE(lines.at(6), QStringLiteral("outside KX47: 1"));
    QCOMPARE(lines.at(8), QStringLiteral("sub-square differs from the log: 1"));
    QCOMPARE(lines.at(12), QStringLiteral("unreadable: 1"));
    QCOMPARE(lines.at(13), QStringLiteral("record 7: no call"));
    QCOMPARE(lines.at(14),
             QStringLiteral("record 9: IK4ABC 2024-03-01 12:05 in KX47AC, logged in KX47AB"));
}

QTEST_GUILESS_MAIN(TestAdifMerge)
#include "tst_adifmerge.moc"
