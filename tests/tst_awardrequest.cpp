// The base award request and the endorsement request: their checks and messages in order, the
// two applications line by line with their fonts, and the conversion of exactly the QSOs listed.
#include "awardrequestlog.h"
#include "documentsfolder.h"
#include "filesizelimit.h"
#include "fixture.h"
#include "printouttext.h"

#include "award/awardapplicationprintout.h"
#include "award/awardrequest.h"
#include "award/awardrequestkind.h"
#include "backup/backups.h"
#include "log/lognotifier.h"
#include "platform/qtprintservice.h"
#include "storage/database.h"
#include "storage/databaseerror.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace kx47;
using namespace kx47::test;

Q_DECLARE_METATYPE(kx47::AwardRequest::Outcome)
Q_DECLARE_METATYPE(kx47::MessageAnswer)
Q_DECLARE_METATYPE(QList<kx47::MessageAnswer>)
Q_DECLARE_METATYPE(QList<kx47::test::QsoRow>)

namespace
{

enum class Kind { Base, Endorsement };

const AwardRequestKind &kindOf(Kind kind)
{
    return kind == Kind::Base ? AwardRequestKind::baseAward() : AwardRequestKind::endorsement();
}

QString blanks(int count)
{
    return QString(count, ' ');
}

const QString sorryBase50 = "We are sorry, you must have 50 or more QSOs!";
const QString needBaseAward = "We are sorry, you must have the Base Award before the endorsement!";
const QString notEnoughForEndorsement =
    "We are sorry, you have not enought QSOs to request an endorsement!";
const QString insertUserData = "Please, insert your userData in menu Utility -> userData";
const QString askConvert = "Do you want to to convert the confirmed QSO in accredited QSO?";
const QString askSure = "Are you sure? (check the print, is it ok?)";
const QString askAgain = "You have just requested this award! Do you want to request it anyway?";

// One expected line of a printout with its font.
struct Expected {
    QString text;
    QString font;
    double size;
    bool bold;
};

// The applicant written by ProgramFolder::setUserData.
struct Applicant {
    QString call = "IK0XYZ";
    QString email = "A@B.C";
};

// The lines of an application down to the six blanks before the listing.
QList<Expected> head(Kind kind, const Applicant *applicant, int listed, const QString &band,
                     const QString &mode, int confirmedSoFar)
{
    const QString tnr = "Times New Roman";
    const bool base = kind == Kind::Base;
    const QString call = applicant ? applicant->call : QString();
    QList<Expected> lines = {
        {" ", tnr, 12, true},
        {" ", tnr, 12, true},
        {base ? blanks(57) + "DIPLOMA KX47 APPLICATION"
              : blanks(50) + "DIPLOMA KX47 ENDORSEMENT APPLICATION",
         tnr, 12, true},
    };
    const QStringList plain = {
        " ",
        " ",
        blanks(15) + "To KX47 Award Manager",
        blanks(15) + "P.O. Box 47",
        blanks(15) + "47047 Borgo Zelvorana, Italy",
        " ",
        " ",
        applicant
            ? blanks(15) + "The undersigned MARIO ROSSINI with the call " + call + (base ? "" : " ")
            : blanks(15) + "The undersigned   with the call " + (base ? "" : " "),
        blanks(15) + (applicant ? "VIA LUNGA 1" : ""),
        blanks(15) + (applicant ? "00147 VALDORIA QZ" : "  "),
        blanks(15) + (applicant ? "ITALY" : ""),
        blanks(15) + (applicant ? applicant->email : ""),
        " ",
        base ? blanks(15) +
                   QString("Request the award DIPLOMA KX47 to have connected and confirmied n° "
                           "%1 Sub-sqares of the")
                       .arg(listed)
             : blanks(15) + QString("request the award endorsement DIPLOMA KX47 to have "
                                    "connected and confirmied n° %1 new")
                                .arg(listed),
        base ? blanks(15) + "SQUARE KX47 in the band " + band + " and mode " + mode
             : blanks(15) + "Sub-squares of the SQUARE KX47 in the band " + band + " and mode " +
                   mode,
        " ",
        blanks(15) +
            (base ? "At this date the WWLocator confirmed are: "
                  : "At this date the WWlocator confirmed are: ") +
            QString::number(confirmedSoFar),
        blanks(6),
    };
    for (const QString &text : plain)
        lines.append({text, tnr, 12, false});
    return lines;
}

// The lines after the listing.
QList<Expected> closing(Kind kind, const QString &call)
{
    const QString tnr = "Times New Roman";
    QList<Expected> lines = {{" ", tnr, 8, false}};
    QStringList texts;
    if (kind == Kind::Base) {
        const QString affirm = blanks(15) + "Affirm that " + call +
                               " owns the QSLs for the application of the DIPLOMA KX47";
        const QString undersigned =
            blanks(15) + "The undersigned" + blanks(76) + "Call" + blanks(15);
        texts = {blanks(15) + "The original QSLs don't be attached because already checked by 2 OM "
                              "undersigned. ",
                 blanks(15) + "Behind your application I will send you the original QSLs ",
                 blanks(8),
                 blanks(15) + "Signature" + blanks(70) + "Date" + blanks(22),
                 blanks(15) + QString(82, '_'),
                 blanks(3),
                 undersigned,
                 affirm,
                 blanks(34),
                 blanks(15) + "Signature" + blanks(64),
                 blanks(15) + QString(82, '_'),
                 blanks(3),
                 undersigned,
                 affirm,
                 blanks(35),
                 blanks(15) + "Signature" + blanks(65),
                 blanks(15) + QString(82, '_'),
                 blanks(10),
                 blanks(15) + "As a partial fee remboursement I enclose: " + QChar(0x8D) +
                     "€ 5,00 " + QChar(0x8D) + "$ 7,00 " + QChar(0x8D) + " 7 I.R.C" + blanks(19),
                 blanks(62),
                 blanks(62),
                 blanks(62)};
    } else {
        const QString owns = call + " owns the QSLs for the application of the DIPLOMA KX47";
        texts = {blanks(15) +
                     "The original QSLs don't be attached because already checked by 2 OM "
                     "undersigned" +
                     blanks(6),
                 blanks(15) + "Behind yor application I will send you the original QSLs.",
                 blanks(11),
                 blanks(15) + "Signature" + blanks(85) + "Date" + blanks(22),
                 blanks(15) + QString(84, '_'),
                 blanks(5),
                 blanks(14) + "The undersigned" + blanks(76) + "Call" + blanks(15),
                 blanks(14) + "affirm that  " + owns,
                 blanks(34),
                 blanks(14) + "Signature" + blanks(64),
                 blanks(14) + QString(85, '_'),
                 blanks(5),
                 blanks(14) + "The undersigned" + blanks(78) + "Call" + blanks(15),
                 blanks(14) + "affirm that " + owns,
                 blanks(35),
                 blanks(14) + "Signature" + blanks(64),
                 blanks(14) + QString(85, '_'),
                 blanks(10),
                 blanks(14)};
    }
    for (const QString &text : texts)
        lines.append({text, tnr, 12, false});
    return lines;
}

// A listing line: the indent, then call 12, sub-square 6, place 29, province 3, date 10 and
// time 5, joined by " | ".
QString listingLine(int indent, const QsoRow &row, const QString &date, const QString &time)
{
    auto field = [](const QString &value, int width) {
        return value.left(width).leftJustified(width);
    };
    return blanks(indent) + field(row.call, 12) + " | " + field("KX47" + row.locator, 6) + " | " +
           field(row.place, 29) + " | " + field(row.prov, 3) + " | " + field(date, 10) + " | " +
           field(time, 5);
}

// The listing lines of the rows of awardQsos, in the order given.
QList<Expected> listing(Kind kind, const QList<QsoRow> &rows)
{
    QList<Expected> lines;
    for (const QsoRow &row : rows) {
        const QString date =
            row.date.mid(8, 2) + "/" + row.date.mid(5, 2) + "/" + row.date.mid(2, 2);
        const QString time = row.time.left(2) + "." + row.time.mid(3, 2);
        lines.append(
            {listingLine(kind == Kind::Base ? 14 : 12, row, date, time), "Courier New", 8, false});
    }
    return lines;
}

// Rows in sub-square order (the order in which awardQsos made them is by sub-square).
QList<QsoRow> firstRows(const QList<QsoRow> &rows, int quantity)
{
    return rows.mid(0, quantity);
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class TestAwardRequest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void fill_data();
    void fill();
    void baseRefusals_data();
    void baseRefusals();
    void endorsementRefusals_data();
    void endorsementRefusals();
    void baseApplication();
    void endorsementApplication();
    void listingLines_data();
    void listingLines();
    void conversion_data();
    void conversion();
    void conversionTakesTheListedQsosOfASharedSubSquare();
    void requestAgain_data();
    void requestAgain();
    void requestAgainWithoutApplicant();
    void confirmedSoFar_data();
    void confirmedSoFar();
    void secondEndorsementNeedsNewQsos();
    void failedPrintoutChangesNothing_data();
    void failedPrintoutChangesNothing();
    void failedConversionChangesNothing_data();
    void failedConversionChangesNothing();
    void applicationOnPaper_data();
    void applicationOnPaper();

private:
    AwardRequest::Outcome run(Kind kind, const QString &band = "HF", const QString &mode = "MIXED");
    void compareDocument(const QList<Expected> &expected);
    void compareMessages(const QStringList &texts);

    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<OpenedFile> m_db;
    FakeDialogs m_dialogs;
    RecordingPrintService m_printer;
    std::unique_ptr<LogNotifier> m_notifier;
    std::unique_ptr<QSignalSpy> m_recounts;
};

void TestAwardRequest::init()
{
    m_folder = std::make_unique<ProgramFolder>();
    m_db = std::make_unique<OpenedFile>(m_folder->logPath());
    m_dialogs.reset();
    m_printer.documents.clear();
    m_notifier = std::make_unique<LogNotifier>();
    m_recounts = std::make_unique<QSignalSpy>(m_notifier.get(), &LogNotifier::logChanged);
}

void TestAwardRequest::cleanup()
{
    m_recounts.reset();
    m_notifier.reset();
    m_db.reset();
    m_folder.reset();
}

AwardRequest::Outcome TestAwardRequest::run(Kind kind, const QString &band, const QString &mode)
{
    return AwardRequest(*m_db, m_dialogs, m_printer, *m_notifier).run(kindOf(kind), band, mode);
}

void TestAwardRequest::compareDocument(const QList<Expected> &expected)
{
    QCOMPARE(m_printer.documents.size(), 1);
    const PrintedDocument &document = m_printer.documents.first();
    QVERIFY(document.ended);
    for (int i = 0; i < std::min(expected.size(), document.lines.size()); ++i) {
        const PrintedLine &line = document.lines[i];
        const QByteArray where = QString("line %1").arg(i + 1).toUtf8();
        QVERIFY2(line.text == expected[i].text, where + ": \"" + line.text.toUtf8() +
                                                    "\" instead of \"" + expected[i].text.toUtf8() +
                                                    "\"");
        QVERIFY2(line.fontName == expected[i].font, where + ": " + line.fontName.toUtf8());
        QVERIFY2(line.fontSize == expected[i].size,
                 where + ": " + QByteArray::number(line.fontSize));
        QVERIFY2(line.bold == expected[i].bold, where);
    }
    QCOMPARE(document.lines.size(), expected.size());
}

void TestAwardRequest::compareMessages(const QStringList &texts)
{
    QCOMPARE(m_dialogs.texts(), texts);
    for (const FakeDialogs::Message &message : m_dialogs.messages) {
        QCOMPARE(message.title, QString("KX47"));
        const bool question = message.text.contains('?');
        QCOMPARE(message.icon, question ? MessageIcon::None : MessageIcon::Exclamation);
        QCOMPARE(message.buttons, question ? MessageButtons::YesNo : MessageButtons::Ok);
    }
}

void TestAwardRequest::fill_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("filled");
    QTest::newRow("values") << "The undersigned {fName} {sName} with the call {call}"
                            << "The undersigned A B with the call {sName}";
    QTest::newRow("no template") << "Behind yor application"
                                 << "Behind yor application";
    QTest::newRow("unknown name kept") << "{nothing} {call}"
                                       << "{nothing} {sName}";
    QTest::newRow("open brace only") << "a { b"
                                     << "a { b";
    QTest::newRow("at the ends") << "{fName}{fName}"
                                 << "AA";
    QTest::newRow("empty") << ""
                           << "";
}

void TestAwardRequest::fill()
{
    QFETCH(QString, text);
    QFETCH(QString, filled);
    // A call that looks like a template is printed as it is.
    QCOMPARE(
        AwardApplicationPrintout::fill(text, {{"fName", "A"}, {"sName", "B"}, {"call", "{sName}"}}),
        filled);
}

void TestAwardRequest::baseRefusals_data()
{
    QTest::addColumn<QString>("band");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QList<QsoRow>>("log");
    QTest::addColumn<bool>("applicant");
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("HF MIXED, 49 confirmed")
        << "HF"
        << "MIXED" << awardQsos(1, 49, "HF", "MIXED", "c") << true << QStringList{sorryBase50};
    QTest::newRow("no confirmed QSO and no applicant")
        << "HF"
        << "MIXED" << QList<QsoRow>() << false << QStringList{sorryBase50, insertUserData};
    QTest::newRow("enough QSOs but no applicant")
        << "HF"
        << "MIXED" << awardQsos(1, 50, "HF", "MIXED", "c") << false << QStringList{insertUserData};
    QTest::newRow("SSB QSOs do not count for MIXED")
        << "HF"
        << "MIXED" << awardQsos(1, 60, "HF", "SSB", "c") << true << QStringList{sorryBase50};
    QTest::newRow("worked QSOs do not count")
        << "HF"
        << "MIXED" << awardQsos(1, 60, "HF", "MIXED", "w") << true << QStringList{sorryBase50};
    QTest::newRow("other band does not count")
        << "VHF"
        << "CW" << awardQsos(1, 20, "UHF", "CW", "c") + awardQsos(21, 14, "VHF", "CW", "c") << true
        << QStringList{"We are sorry, you must have 15 or more QSOs!"};
    QTest::newRow("50 MHz, 14 confirmed")
        << "50 MHz"
        << "DIGITAL" << awardQsos(1, 14, "50 MHz", "DIGITAL", "c") << true
        << QStringList{"We are sorry, you must have 15 or more QSOs!"};
    QTest::newRow("UHF, 9 confirmed")
        << "UHF"
        << "SSB" << awardQsos(1, 9, "UHF", "SSB", "c") << true
        << QStringList{"We are sorry, you must have 10 or more QSOs!"};
    QTest::newRow("SHF, 4 confirmed, no applicant")
        << "SHF"
        << "CW" << awardQsos(1, 4, "SHF", "CW", "c") << false
        << QStringList{"We are sorry, you must have 5 or more QSOs!", insertUserData};
    QTest::newRow("SAT, 4 confirmed and 4 accredited")
        << "SAT"
        << "MIXED" << awardQsos(1, 4, "SAT", "MIXED", "c") + awardQsos(5, 4, "SAT", "MIXED", "a", 4)
        << true << QStringList{"We are sorry, you must have 5 or more QSOs!"};
}

void TestAwardRequest::baseRefusals()
{
    QFETCH(QString, band);
    QFETCH(QString, mode);
    QFETCH(QList<QsoRow>, log);
    QFETCH(bool, applicant);
    QFETCH(QStringList, messages);
    m_folder->addQsos(log);
    if (applicant)
        m_folder->setUserData("IK0XYZ");
    const QList<QsoRow> before = m_folder->qsos();

    QCOMPARE(run(Kind::Base, band, mode), AwardRequest::Outcome::Refused);
    compareMessages(messages);
    QVERIFY(m_printer.documents.isEmpty());
    QCOMPARE(m_folder->qsos(), before);
    QCOMPARE(m_recounts->size(), 0);
}

void TestAwardRequest::endorsementRefusals_data()
{
    QTest::addColumn<QString>("band");
    QTest::addColumn<QList<QsoRow>>("log");
    QTest::addColumn<bool>("applicant");
    QTest::addColumn<QStringList>("messages");

    auto log = [](const QString &band, int accredited, int confirmed) {
        return awardQsos(1, accredited, band, "MIXED", "a") +
               awardQsos(accredited + 1, confirmed, band, "MIXED", "c", accredited);
    };
    QTest::newRow("49 accredited, 20 confirmed")
        << "HF" << log("HF", 49, 20) << true << QStringList{needBaseAward};
    QTest::newRow("49 accredited, no confirmed")
        << "HF" << log("HF", 49, 0) << true << QStringList{needBaseAward};
    QTest::newRow("49 accredited, 10 confirmed, no applicant")
        << "HF" << log("HF", 49, 10) << false << QStringList{needBaseAward};
    QTest::newRow("50 accredited, no confirmed: silence")
        << "HF" << log("HF", 50, 0) << false << QStringList();
    QTest::newRow("50 accredited, 14 confirmed")
        << "HF" << log("HF", 50, 14) << true << QStringList{notEnoughForEndorsement};
    QTest::newRow("50 accredited, 20 confirmed, no applicant")
        << "HF" << log("HF", 50, 20) << false << QStringList{insertUserData};
    QTest::newRow("50 accredited, 10 confirmed, no applicant")
        << "HF" << log("HF", 50, 10) << false
        << QStringList{notEnoughForEndorsement, insertUserData};
    QTest::newRow("UHF, 10 accredited, 4 confirmed")
        << "UHF" << log("UHF", 10, 4) << true << QStringList{notEnoughForEndorsement};
    QTest::newRow("UHF, 9 accredited, 5 confirmed")
        << "UHF" << log("UHF", 9, 5) << true << QStringList{needBaseAward};
    QTest::newRow("SAT, 4 accredited, 5 confirmed")
        << "SAT" << log("SAT", 4, 5) << true << QStringList{needBaseAward};
    QTest::newRow("accredited on another band")
        << "VHF" << log("HF", 50, 0) + awardQsos(60, 12, "VHF", "MIXED", "c", 60) << true
        << QStringList{needBaseAward};
}

void TestAwardRequest::endorsementRefusals()
{
    QFETCH(QString, band);
    QFETCH(QList<QsoRow>, log);
    QFETCH(bool, applicant);
    QFETCH(QStringList, messages);
    m_folder->addQsos(log);
    if (applicant)
        m_folder->setUserData("IK0XYZ");
    const QList<QsoRow> before = m_folder->qsos();

    QCOMPARE(run(Kind::Endorsement, band), AwardRequest::Outcome::Refused);
    compareMessages(messages);
    QVERIFY(m_printer.documents.isEmpty());
    QCOMPARE(m_folder->qsos(), before);
    QCOMPARE(m_recounts->size(), 0);
}

void TestAwardRequest::baseApplication()
{
    const QList<QsoRow> rows = awardQsos(1, 50, "HF", "MIXED", "c");
    m_folder->addQsos(rows);
    m_folder->setUserData("IK0XYZ");
    QCOMPARE(run(Kind::Base), AwardRequest::Outcome::NotConverted);

    const Applicant applicant;
    compareDocument(head(Kind::Base, &applicant, 50, "HF", "MIXED", 50) +
                    listing(Kind::Base, rows) + closing(Kind::Base, "IK0XYZ"));
    QCOMPARE(m_printer.documents.first().name, QString("DIPLOMA KX47 APPLICATION"));
    // Line 17 with N, and the 94 lines of a 50-line listing.
    QCOMPARE(m_printer.documents.first().lines.size(), 21 + 50 + 1 + 22);
    QVERIFY(m_printer.documents.first().lines[16].text.endsWith("n° 50 Sub-sqares of the"));
    compareMessages({askConvert});
}

void TestAwardRequest::endorsementApplication()
{
    const QList<QsoRow> confirmed = awardQsos(51, 20, "SHF", "CW", "c", 50);
    m_folder->addQsos(awardQsos(1, 50, "SHF", "CW", "a") + confirmed);
    m_folder->setUserData("IK0XYZ", " ");
    QCOMPARE(run(Kind::Endorsement, "SHF", "CW"), AwardRequest::Outcome::NotConverted);

    const Applicant applicant{"IK0XYZ", " "};
    compareDocument(head(Kind::Endorsement, &applicant, 5, "SHF", "CW", 70) +
                    listing(Kind::Endorsement, firstRows(confirmed, 5)) +
                    closing(Kind::Endorsement, "IK0XYZ"));
    QCOMPARE(m_printer.documents.first().name, QString("DIPLOMA KX47 ENDORSEMENT APPLICATION"));
    QVERIFY(m_printer.documents.first().lines[16].text.endsWith("n° 5 new"));
    // No fee line on an endorsement.
    for (const PrintedLine &line : m_printer.documents.first().lines)
        QVERIFY(!line.text.contains(QChar(0x8D)));
    compareMessages({askConvert});
}

void TestAwardRequest::listingLines_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("line");
    QTest::newRow("base, 9:05") << Kind::Base << "09:05"
                                << "              IK0ABC       | KX47AB | PLACE                    "
                                   "     | RSM | 07/12/04   | 09.05";
    QTest::newRow("base, 14:30") << Kind::Base << "14:30"
                                 << "              IK0ABC       | KX47AB | PLACE                   "
                                    "      | RSM | 07/12/04   | 14.30";
    QTest::newRow("endorsement, 0:00") << Kind::Endorsement << "00:00"
                                       << "            IK0ABC       | KX47AB | PLACE               "
                                          "          | RSM | 07/12/04   | 00.00";
}

void TestAwardRequest::listingLines()
{
    QFETCH(Kind, kind);
    QFETCH(QString, time);
    QFETCH(QString, line);
    // Five SHF QSOs: the first in sub-square order is AB, with the time under test.
    QList<QsoRow> rows = awardQsos(1, 5, "SHF", "SSB", "c", 2);
    QsoRow first;
    first.count = 9;
    first.locator = "AB";
    first.call = "IK0ABC";
    first.time = time;
    first.place = "PLACE";
    first.prov = "RSM";
    first.band = "SHF";
    first.mode = "SSB";
    rows << first;
    if (kind == Kind::Endorsement)
        rows << awardQsos(20, 5, "SHF", "SSB", "a", 40);
    m_folder->addQsos(rows);
    m_folder->setUserData("IK0XYZ");
    QCOMPARE(run(kind, "SHF", "SSB"), AwardRequest::Outcome::NotConverted);
    QCOMPARE(m_printer.documents.size(), 1);
    const PrintedLine printed = m_printer.documents.first().lines[21];
    QCOMPARE(printed.text, line);
    QCOMPARE(printed.fontName, QString("Courier New"));
    QCOMPARE(printed.fontSize, 8.0);
}

void TestAwardRequest::conversion_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QList<MessageAnswer>>("answers");
    QTest::addColumn<AwardRequest::Outcome>("outcome");
    QTest::addColumn<int>("recounts");
    const QList<MessageAnswer> yesYes = {MessageAnswer::Yes, MessageAnswer::Yes};
    const QList<MessageAnswer> yesNo = {MessageAnswer::Yes, MessageAnswer::No};
    const QList<MessageAnswer> no = {MessageAnswer::No};
    QTest::newRow("base, Yes and Yes")
        << Kind::Base << yesYes << AwardRequest::Outcome::Converted << 1;
    QTest::newRow("base, Yes and No")
        << Kind::Base << yesNo << AwardRequest::Outcome::Declined << 1;
    QTest::newRow("base, No") << Kind::Base << no << AwardRequest::Outcome::NotConverted << 0;
    QTest::newRow("endorsement, Yes and Yes")
        << Kind::Endorsement << yesYes << AwardRequest::Outcome::Converted << 1;
    QTest::newRow("endorsement, Yes and No")
        << Kind::Endorsement << yesNo << AwardRequest::Outcome::Declined << 1;
    QTest::newRow("endorsement, No")
        << Kind::Endorsement << no << AwardRequest::Outcome::NotConverted << 0;
}

void TestAwardRequest::conversion()
{
    QFETCH(Kind, kind);
    QFETCH(QList<MessageAnswer>, answers);
    QFETCH(AwardRequest::Outcome, outcome);
    QFETCH(int, recounts);
    // 60 confirmed HF MIXED QSOs (50 accredited first for an endorsement), and QSOs of other
    // bands, modes and states that no request may touch.
    const bool base = kind == Kind::Base;
    const int firstConfirmed = base ? 1 : 51;
    const QList<QsoRow> confirmed = awardQsos(firstConfirmed, 60, "HF", "MIXED", "c", 100);
    QList<QsoRow> log = confirmed + awardQsos(200, 5, "HF", "SSB", "c") +
                        awardQsos(210, 5, "VHF", "MIXED", "c") +
                        awardQsos(220, 5, "HF", "MIXED", "w", 300);
    if (!base)
        log += awardQsos(1, 50, "HF", "MIXED", "a");
    m_folder->addQsos(log);
    m_folder->setUserData("IK0XYZ");
    const QList<QsoRow> before = m_folder->qsos();
    for (const MessageAnswer answer : answers)
        m_dialogs.answers.enqueue(answer);

    QCOMPARE(run(kind), outcome);
    compareMessages(answers.size() == 2 ? QStringList{askConvert, askSure}
                                        : QStringList{askConvert});
    QCOMPARE(m_recounts->size(), recounts);

    // The listing: the first 50 (or 15) confirmed QSOs in sub-square order.
    const int listed = base ? 50 : 15;
    const QList<QsoRow> listedRows = firstRows(confirmed, listed);
    const QList<PrintedLine> lines = m_printer.documents.first().lines;
    QCOMPARE(lines.size(), 21 + listed + 1 + (base ? 22 : 19));
    for (int i = 0; i < listed; ++i)
        QVERIFY2(lines[21 + i].text.contains(listedRows[i].call + " "),
                 qPrintable(lines[21 + i].text));

    QList<QsoRow> expected = before;
    if (outcome == AwardRequest::Outcome::Converted) {
        for (QsoRow &row : expected) {
            for (const QsoRow &listedRow : listedRows) {
                if (row.count == listedRow.count)
                    row.qsl = "a";
            }
        }
    }
    QCOMPARE(m_folder->qsos(), expected);
    // A copy of the log as it was is made before the QSOs are converted.
    const QList<Backups::Backup> backups = Backups::list(Backups::folderOf(*m_db));
    QCOMPARE(backups.size(), outcome == AwardRequest::Outcome::Converted ? 1 : 0);
    if (!backups.isEmpty())
        QCOMPARE(backups.first().qsos, before.size());
    if (outcome == AwardRequest::Outcome::Converted) {
        QStringList listedCalls;
        for (const QsoRow &row : listedRows)
            listedCalls << row.call;
        QCOMPARE(callsInState(*m_folder, "c").size(), 60 - listed + 10);
        QCOMPARE(callsInState(*m_folder, "a").mid(base ? 0 : 50), listedCalls);
    }
}

void TestAwardRequest::conversionTakesTheListedQsosOfASharedSubSquare()
{
    // Two confirmed QSOs in sub-square AA: the one logged first is listed first, and exactly
    // the five QSOs on the paper become accredited.
    QList<QsoRow> rows = awardQsos(10, 5, "SHF", "CW", "c", 1);
    QsoRow twin = rows.last();
    twin.count = 3;
    twin.locator = "AA";
    twin.call = "TWIN3";
    rows << twin;
    twin.count = 30;
    twin.call = "TWIN30";
    rows << twin;
    m_folder->addQsos(rows);
    m_folder->setUserData("IK0XYZ");
    m_dialogs.answers << MessageAnswer::Yes << MessageAnswer::Yes;
    QCOMPARE(run(Kind::Base, "SHF", "CW"), AwardRequest::Outcome::Converted);

    QStringList printedCalls;
    for (const PrintedLine &line : m_printer.documents.first().lines) {
        if (line.fontName == "Courier New")
            printedCalls << line.text.mid(14, 12).trimmed();
    }
    QCOMPARE(printedCalls, (QStringList{"TWIN3", "TWIN30", "CSHFCW1", "CSHFCW2", "CSHFCW3"}));
    QCOMPARE(callsInState(*m_folder, "a"), printedCalls);
    QCOMPARE(callsInState(*m_folder, "c"), (QStringList{"CSHFCW4", "CSHFCW5"}));
}

void TestAwardRequest::requestAgain_data()
{
    QTest::addColumn<MessageAnswer>("answer");
    QTest::addColumn<AwardRequest::Outcome>("outcome");
    QTest::newRow("No") << MessageAnswer::No << AwardRequest::Outcome::Refused;
    QTest::newRow("Yes") << MessageAnswer::Yes << AwardRequest::Outcome::PrintedAgain;
}

void TestAwardRequest::requestAgain()
{
    QFETCH(MessageAnswer, answer);
    QFETCH(AwardRequest::Outcome, outcome);
    // A base award obtained by an earlier request that listed 50 of 60 confirmed QSOs: the 10
    // left confirmed are fewer than 50, so the listing stops at the last of them.
    const QList<QsoRow> confirmed = awardQsos(1, 60, "HF", "MIXED", "c");
    m_folder->addQsos(confirmed);
    m_folder->setUserData("IK0XYZ");
    m_dialogs.answers << MessageAnswer::Yes << MessageAnswer::Yes;
    QCOMPARE(run(Kind::Base), AwardRequest::Outcome::Converted);
    m_dialogs.reset();
    m_printer.documents.clear();
    m_recounts->clear();
    const QList<QsoRow> before = m_folder->qsos();

    m_dialogs.answers << answer;
    QCOMPARE(run(Kind::Base), outcome);
    compareMessages({askAgain});
    QCOMPARE(m_folder->qsos(), before);
    QCOMPARE(m_recounts->size(), 0);
    if (answer == MessageAnswer::No) {
        QVERIFY(m_printer.documents.isEmpty());
        return;
    }
    const Applicant applicant;
    compareDocument(head(Kind::Base, &applicant, 50, "HF", "MIXED", 60) +
                    listing(Kind::Base, confirmed.mid(50)) + closing(Kind::Base, "IK0XYZ"));
}

void TestAwardRequest::requestAgainWithoutApplicant()
{
    // Printed anyway with no userData row: the applicant's lines are there, empty.
    m_folder->addQsos(awardQsos(1, 5, "SAT", "DIGITAL", "a"));
    m_dialogs.answers << MessageAnswer::Yes;
    QCOMPARE(run(Kind::Base, "SAT", "DIGITAL"), AwardRequest::Outcome::PrintedAgain);
    compareMessages({askAgain});
    compareDocument(head(Kind::Base, nullptr, 5, "SAT", "DIGITAL", 5) + closing(Kind::Base, ""));
}

void TestAwardRequest::confirmedSoFar_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<int>("confirmed");
    QTest::addColumn<int>("accredited");
    QTest::addColumn<QString>("line");
    QTest::newRow("base, 50 confirmed")
        << Kind::Base << 50 << 0 << blanks(15) + "At this date the WWLocator confirmed are: 50";
    QTest::newRow("base anyway, 52 confirmed and 50 accredited")
        << Kind::Base << 52 << 50 << blanks(15) + "At this date the WWLocator confirmed are: 102";
    QTest::newRow("endorsement, 20 confirmed and 50 accredited")
        << Kind::Endorsement << 20 << 50
        << blanks(15) + "At this date the WWlocator confirmed are: 70";
}

void TestAwardRequest::confirmedSoFar()
{
    QFETCH(Kind, kind);
    QFETCH(int, confirmed);
    QFETCH(int, accredited);
    QFETCH(QString, line);
    m_folder->addQsos(awardQsos(1, accredited, "HF", "MIXED", "a") +
                      awardQsos(accredited + 1, confirmed, "HF", "MIXED", "c", accredited) +
                      awardQsos(500, 7, "HF", "CW", "c", 200));
    m_folder->setUserData("IK0XYZ");
    m_dialogs.answers << MessageAnswer::Yes << MessageAnswer::No;
    run(kind);
    QCOMPARE(m_printer.documents.size(), 1);
    QCOMPARE(m_printer.documents.first().lines[19].text, line);
}

void TestAwardRequest::secondEndorsementNeedsNewQsos()
{
    const QList<QsoRow> confirmed = awardQsos(51, 20, "HF", "MIXED", "c", 50);
    m_folder->addQsos(awardQsos(1, 50, "HF", "MIXED", "a") + confirmed);
    m_folder->setUserData("IK0XYZ");
    m_dialogs.answers << MessageAnswer::Yes << MessageAnswer::Yes;
    QCOMPARE(run(Kind::Endorsement), AwardRequest::Outcome::Converted);
    QCOMPARE(countsInState(*m_folder, "a").size(), 65);
    QCOMPARE(countsInState(*m_folder, "c").size(), 5);

    // The five left over count towards the next endorsement, which needs fifteen.
    m_dialogs.reset();
    m_printer.documents.clear();
    QCOMPARE(run(Kind::Endorsement), AwardRequest::Outcome::Refused);
    compareMessages({notEnoughForEndorsement});

    const QList<QsoRow> newer = awardQsos(100, 10, "HF", "MIXED", "c", 70);
    m_folder->addQsos(newer);
    m_dialogs.reset();
    m_dialogs.answers << MessageAnswer::Yes << MessageAnswer::Yes;
    QCOMPARE(run(Kind::Endorsement), AwardRequest::Outcome::Converted);
    const Applicant applicant;
    compareDocument(head(Kind::Endorsement, &applicant, 15, "HF", "MIXED", 80) +
                    listing(Kind::Endorsement, confirmed.mid(15) + newer) +
                    closing(Kind::Endorsement, "IK0XYZ"));
    QVERIFY(countsInState(*m_folder, "c").isEmpty());
    QCOMPARE(m_recounts->size(), 2);
}

void TestAwardRequest::failedPrintoutChangesNothing_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<bool>("midway");
    QTest::newRow("base, no folder") << Kind::Base << false;
    QTest::newRow("endorsement, no folder") << Kind::Endorsement << false;
    QTest::newRow("base, disk full midway") << Kind::Base << true;
    QTest::newRow("endorsement, disk full midway") << Kind::Endorsement << true;
}

void TestAwardRequest::failedPrintoutChangesNothing()
{
    QFETCH(Kind, kind);
    QFETCH(bool, midway);
    m_folder->addQsos(awardQsos(1, 50, "HF", "MIXED", kind == Kind::Base ? "c" : "a") +
                      awardQsos(51, 20, "HF", "MIXED", "c", 50));
    m_folder->setUserData("IK0XYZ");
    const QList<QsoRow> before = m_folder->qsos();

    QTemporaryDir programFolder;
    const OwnDocumentsFolder documents(true);
    if (!midway) {
        // The PDF cannot be written: a file stands where the folder of the printouts should be,
        // and where the documents folder would be.
        QFile blocker(QDir(programFolder.path()).filePath("Printouts"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
    }
    RecordingDesktop desktop;
    QtPrintService paper(programFolder.path(), m_dialogs, desktop,
                         QtPrintService::Destination::PdfFile);
    m_dialogs.answers << MessageAnswer::Yes << MessageAnswer::Yes;
    AwardRequest::Outcome outcome = AwardRequest::Outcome::Converted;
    {
        // The disk fills up after the first few kilobytes of the PDF.
        FileSizeLimit limit(midway ? 4096 : -1);
        outcome =
            AwardRequest(*m_db, m_dialogs, paper, *m_notifier).run(kindOf(kind), "HF", "MIXED");
    }

    QCOMPARE(outcome, AwardRequest::Outcome::PrintFailed);
    QCOMPARE(m_dialogs.messages.size(), 1);
    QCOMPARE(m_dialogs.messages.first().icon, MessageIcon::Critical);
    QVERIFY(m_dialogs.messages.first().text.contains("could not be saved"));
    QCOMPARE(m_dialogs.answers.size(), 2); // no question was asked
    QCOMPARE(m_folder->qsos(), before);
    QCOMPARE(m_recounts->size(), 0);
    QVERIFY(desktop.opened.isEmpty());
    if (midway) // no half-written document is left behind
        QVERIFY(QDir(programFolder.path() + "/Printouts").isEmpty(QDir::Files | QDir::Hidden));
}

void TestAwardRequest::failedConversionChangesNothing_data()
{
    // How the fault is made on the log (see applyToLog), how it is taken away, and the first
    // words the user reads.
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QStringList>("fault");
    QTest::addColumn<QStringList>("cure");
    QTest::addColumn<QString>("told");
    const QString refused = "The log could not be changed. Nothing was saved";
    const QString locked = "The log is locked by another program. Nothing was saved";
    // The 11th QSO of the listing is refused, after ten were raised in the same transaction.
    const QStringList midway{"create table seen (n)",
                             "create trigger midway after update of qsl on data begin insert into "
                             "seen values (new.count); select raise(abort, 'refused midway') "
                             "where (select count(*) from seen) > 10; end"};
    QTest::newRow("base, refused midway")
        << Kind::Base << midway << QStringList{"drop trigger midway"} << refused;
    QTest::newRow("endorsement, refused midway")
        << Kind::Endorsement << midway << QStringList{"drop trigger midway"} << refused;
    // Ten free pages, then each raised QSO drags a page-sized row along: the disk is full after
    // a few QSOs.
    QTest::newRow("base, disk full midway")
        << Kind::Base
        << QStringList{"create table ballast (b)", "insert into ballast values (zeroblob(40000))",
                       "delete from ballast", "pragma max_page_count = 1",
                       "create trigger grow after update of qsl on data begin insert into ballast "
                       "values (zeroblob(4000)); end"}
        << QStringList{"drop trigger grow", "pragma max_page_count = 100000"}
        << "The disk is full. Nothing was saved";
    // Another program reads the log throughout: every QSO is raised, but the commit cannot be
    // made.
    QTest::newRow("base, read by another program at the commit")
        << Kind::Base
        << QStringList{"pragma busy_timeout = 200", "@begin", "@select count(*) from data"}
        << QStringList{"@rollback"} << locked;
    QTest::newRow("endorsement, locked by another program")
        << Kind::Endorsement << QStringList{"pragma busy_timeout = 200", "@begin immediate"}
        << QStringList{"@rollback"} << locked;
    QTest::newRow("base, engine refuses to write")
        << Kind::Base << QStringList{"pragma query_only = 1"}
        << QStringList{"pragma query_only = 0"} << "The log is read-only. Nothing was saved";
    // Found read-only at start-up: printed, but no conversion is offered.
    QTest::newRow("base, log opened for reading only")
        << Kind::Base << QStringList{"#read-only"} << QStringList{"#writable"}
        << readOnlyLogMessage;
}

void TestAwardRequest::failedConversionChangesNothing()
{
    QFETCH(Kind, kind);
    QFETCH(QStringList, fault);
    QFETCH(QStringList, cure);
    QFETCH(QString, told);
    const bool base = kind == Kind::Base;
    const QList<QsoRow> confirmed = awardQsos(base ? 1 : 51, 60, "HF", "MIXED", "c", 100);
    m_folder->addQsos(confirmed + (base ? QList<QsoRow>() : awardQsos(1, 50, "HF", "MIXED", "a")));
    m_folder->setUserData("IK0XYZ");
    const QList<QsoRow> before = m_folder->qsos();
    QCOMPARE(applyToLog(*m_db, m_folder->log(), fault), QString());
    m_dialogs.answers << MessageAnswer::Yes << MessageAnswer::Yes;
    // As the request window runs it.
    const bool ran = guardLogWork(m_dialogs, [&] { run(kind); });

    // The application was printed; the user said Yes twice (unless the log is known to be
    // read-only), a backup was made, and then the user is told what went wrong.
    const bool asked = told != readOnlyLogMessage;
    QCOMPARE(ran, !asked);
    QCOMPARE(m_printer.documents.size(), 1);
    QStringList texts = m_dialogs.texts();
    const QString last = texts.takeLast();
    QCOMPARE(texts, asked ? (QStringList{askConvert, askSure}) : QStringList());
    QVERIFY2(last.startsWith(told), qPrintable(last));
    QCOMPARE(m_dialogs.messages.last().icon, MessageIcon::Critical);
    QCOMPARE(Backups::list(Backups::folderOf(*m_db)).size(), asked ? 1 : 0);
    // Every QSO holds the state it had: not one was raised.
    QCOMPARE(applyToLog(*m_db, m_folder->log(), cure), QString());
    QCOMPARE(m_folder->qsos(), before);
    QCOMPARE(m_recounts->size(), 0);

    // The program goes on: the same request converts the QSOs listed once the fault is gone.
    m_dialogs.reset();
    m_printer.documents.clear();
    m_dialogs.answers << MessageAnswer::Yes << MessageAnswer::Yes;
    QCOMPARE(run(kind), AwardRequest::Outcome::Converted);
    QCOMPARE(countsInState(*m_folder, "a").size(), base ? 50 : 65);
    QCOMPARE(m_recounts->size(), 1);
}

void TestAwardRequest::applicationOnPaper_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::newRow("base") << Kind::Base;
    QTest::newRow("endorsement") << Kind::Endorsement;
}

void TestAwardRequest::applicationOnPaper()
{
    if (!PrintoutText::available())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QFETCH(Kind, kind);
    const bool base = kind == Kind::Base;
    // Long values everywhere: the applicant's fields at their widest, places and provinces
    // longer than their fields.
    QList<QsoRow> log = awardQsos(1, 50, "HF", "MIXED", base ? "c" : "a");
    for (QsoRow &row : log)
        row.place = "SANT'ERMINIO DI SOPRA E DI SOTTO LA VALLE";
    m_folder->addQsos(log + awardQsos(51, 20, "HF", "MIXED", "c", 50));
    m_folder->setUserData("IK0XYZ/MMM", QString(50, 'E'));

    // The same application on the recording printer and on paper.
    run(kind);
    const QList<PrintedLine> recorded = m_printer.documents.first().lines;
    QStringList listingLines;
    for (const PrintedLine &line : recorded) {
        if (line.fontName == "Courier New")
            listingLines << line.text;
    }
    QCOMPARE(listingLines.size(), base ? 50 : 15);

    QTemporaryDir programFolder;
    RecordingDesktop desktop;
    QtPrintService paper(programFolder.path(), m_dialogs, desktop,
                         QtPrintService::Destination::PdfFile);
    m_dialogs.reset();
    AwardRequest(*m_db, m_dialogs, paper, *m_notifier).run(kindOf(kind), "HF", "MIXED");
    compareMessages({askConvert});
    QCOMPARE(desktop.opened.size(), 1);
    PrintoutText text;
    QVERIFY2(text.read(desktop.opened.first()), qPrintable(text.error()));

    QStringList readBack;
    for (const QString &line : text.lines()) {
        if (line.contains(" | KX47"))
            readBack << line;
    }
    QVERIFY2(commonShift(listingLines, readBack) >= 0, qPrintable(readBack.join('\n')));
    QVERIFY(text.lineOf(base ? "DIPLOMA KX47 APPLICATION"
                             : "DIPLOMA KX47 ENDORSEMENT APPLICATION") >= 0);
    QVERIFY(text.lineOf(QString(base ? "Affirm" : "affirm") +
                        " that IK0XYZ/MMM owns the QSLs for the application") >= 0);
    QCOMPARE(text.lineOf(QString("enclose: ") + QChar(0x2610) + "€ 5,00 " + QChar(0x2610) +
                         "$ 7,00 " + QChar(0x2610) + " 7 I.R.C") >= 0,
             base);
    // Every word stands inside the side margins of the page.
    for (const PrintoutText::Page &page : text.boxes()) {
        for (const PrintoutText::Word &word : page.words) {
            QVERIFY2(
                word.right <= page.width - 14 && word.left >= 14,
                qPrintable(QString("%1 at %2-%3").arg(word.text).arg(word.left).arg(word.right)));
        }
    }
}

QTEST_MAIN(TestAwardRequest)
#include "tst_awardrequest.moc"
