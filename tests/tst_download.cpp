#include "fixture.h"
#include "importfolder.h"
#include "localservice.h"
#include "memorycredentials.h"

#include "app/commandline.h"
#include "app/downloadwindow.h"
#include "download/confirmationdownload.h"
#include "download/reportcheck.h"
#include "download/service.h"

#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QDateTime>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QSettings>
#include <QTest>

using namespace kx47;
using namespace kx47::test;
using Answer = LocalService::Answer;
using Fault = LocalService::Fault;

namespace
{

const QString password = QStringLiteral("pa+ss&word");
const QString lotwPath = QStringLiteral("/lotwuser/lotwreport.adi");
const QString eqslPath = QStringLiteral("/qslcard/DownloadInBox.cfm");
const QString eqslFile = QStringLiteral("/downloadedfiles/ik0abc.adi");
// Confirms the QSO every test logs, and one QSO that is not logged.
const QStringList confirmations{"IK4ABC,20240301,1205,20M,CW,KX47AB,20240310",
                                "I1XYZ,20240302,1300,40M,SSB,KX47AA,20240309"};

QByteArray eqslPage(const QString &line)
{
    return "<HTML><HEAD><TITLE>eQSL</TITLE></HEAD><BODY>\n" + line.toUtf8() + "\n</BODY></HTML>";
}
const QByteArray eqslLink = eqslPage(
    "Your ADIF log file has been built.<BR><LI><A HREF=\"../downloadedfiles/ik0abc.adi\">.ADI "
    "file</A>");
const QByteArray loginPage = "<!DOCTYPE html>\n<html><head><title>Logbook of the World</title>"
                             "</head><body>Username/password incorrect</body></html>";

Answer whole(const QString &path, const QByteArray &body)
{
    return {path, body, Fault::None, 0, -1, 200};
}
Answer faulty(const QString &path, const QByteArray &body, Fault fault, int times = -1)
{
    return {path, body, fault, body.size() / 2, times, 200};
}

// What a test saw: the out and err of a command together, or a download's message.
// The QSL state of the first QSO, then "lotw" and "eqsl" for the confirmations kept with it.
QString confirmationsOf(const ProgramFolder &folder)
{
    const QStringList electronic = folder.electronic().value(0).split(QLatin1Char(' '));
    QString state = folder.qso(1).qsl;
    if (!electronic.value(0).isEmpty())
        state += " lotw";
    if (!electronic.value(2).isEmpty())
        state += " eqsl";
    return state;
}

bool showsPassword(const QString &text)
{
    return text.contains(password) || text.contains(QUrl::toPercentEncoding(password));
}

} // namespace

class TestDownload : public QObject
{
    Q_OBJECT
private slots:
    void reportCheck_data();
    void reportCheck();
    void download_data();
    void download();
    void commandLine_data();
    void commandLine();
    void window_data();
    void window();
};

void TestDownload::reportCheck_data()
{
    QTest::addColumn<bool>("lotw");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("verdict");
    QTest::addColumn<int>("records");
    QTest::addColumn<QString>("lastConfirmation");

    using V = ReportCheck::Verdict;
    QStringList many;
    for (int i = 0; i < 3000; ++i)
        many << QStringLiteral("K%1ABC,20240301,1205,20M,CW,KX47AB,202403%2")
                    .arg(i)
                    .arg(i % 28 + 1, 2, 10, QLatin1Char('0'));
    QTest::newRow("LoTW report") << true << lotwReport(confirmations) << int(V::Whole) << 2
                                 << "2024-03-10";
    QTest::newRow("LoTW report over many reads")
        << true << lotwReport(many) << int(V::Whole) << 3000 << "2024-03-28";
    QTest::newRow("LoTW report without confirmations")
        << true << lotwReport({}) << int(V::Whole) << 0 << "";
    QTest::newRow("LoTW report without its end")
        << true << lotwReport(confirmations, false) << int(V::Cut) << 2 << "2024-03-10";
    QTest::newRow("LoTW report cut inside a record")
        << true << lotwReport(confirmations).chopped(60) << int(V::Cut) << 1 << "2024-03-10";
    QTest::newRow("login page") << true << loginPage << int(V::WebPage) << 0 << "";
    QTest::newRow("not a report") << true << QByteArray("\x01\x02garbage") << int(V::Foreign) << 0
                                  << "";
    QTest::newRow("eQSL inbox") << false << eqslInbox({"IK4ABC,20240301,1205,20M,CW,KX47AB"})
                                << int(V::Whole) << 1 << "";
    QTest::newRow("eQSL inbox without cards") << false << eqslInbox({}) << int(V::Whole) << 0 << "";
    QTest::newRow("eQSL inbox cut")
        << false << eqslInbox({"IK4ABC,20240301,1205,20M,CW,KX47AB"}).chopped(9) << int(V::Cut) << 0
        << "";
    QTest::newRow("eQSL web page") << false << eqslLink << int(V::WebPage) << 0 << "";
}

void TestDownload::reportCheck()
{
    QFETCH(bool, lotw);
    QFETCH(QByteArray, bytes);
    QFETCH(int, verdict);
    QFETCH(int, records);
    QFETCH(QString, lastConfirmation);
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const ReportCheck check = lotw ? checkLotwReport(buffer) : checkEqslFile(buffer);
    QCOMPARE(int(check.verdict), verdict);
    QCOMPARE(check.records, records);
    QCOMPARE(check.lastConfirmation.toString(Qt::ISODate), lastConfirmation);
}

void TestDownload::download_data()
{
    QTest::addColumn<bool>("lotw");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<QString>("address"); // empty: the local service
    QTest::addColumn<QString>("message"); // empty: the download is whole
    QTest::addColumn<int>("requests");    // retries included
    QTest::addColumn<QString>("asked");   // in the first request

    const QByteArray report = lotwReport(confirmations);
    const QByteArray inbox = eqslInbox({"IK4ABC,20240301,1205,20M,CW,KX47AB"});
    QTest::newRow("LoTW report") << true << QList<Answer>{whole(lotwPath, report)} << ""
                                 << "" << 1
                                 << "login=IK0ABC&password=pa%2Bss%26word&qso_query=1&qso_qsl=yes"
                                    "&qso_qsldetail=yes&qso_qslsince=2024-03-01";
    QTest::newRow("LoTW refuses the login")
        << true << QList<Answer>{whole(lotwPath, loginPage)} << ""
        << "did not accept the login" << 1 << "";
    QTest::newRow("LoTW report cut twice")
        << true << QList<Answer>{faulty(lotwPath, report, Fault::Cut)} << ""
        << "was cut before the whole answer" << 2 << "";
    QTest::newRow("LoTW report cut once")
        << true << QList<Answer>{faulty(lotwPath, report, Fault::Cut, 1)} << ""
        << "" << 2 << "";
    QTest::newRow("connection dropped twice")
        << true << QList<Answer>{faulty(lotwPath, report, Fault::Drop)} << ""
        << "was cut before the whole answer" << 2 << "";
    QTest::newRow("connection dropped once")
        << true << QList<Answer>{faulty(lotwPath, report, Fault::Drop, 1)} << ""
        << "" << 2 << "";
    QTest::newRow("server stalls")
        << true << QList<Answer>{faulty(lotwPath, report, Fault::Stall)} << ""
        << "sent nothing for 1 seconds" << 1 << "";
    QTest::newRow("server error") << true
                                  << QList<Answer>{{lotwPath, "busy", Fault::None, 0, -1, 503}}
                                  << ""
                                  << "HTTP 503" << 1 << "";
    QTest::newRow("plain HTTP refused")
        << true << QList<Answer>{} << "http://192.0.2.1/lotwreport.adi"
        << "must start with https" << 0 << "";
    QTest::newRow("eQSL in two steps")
        << false << QList<Answer>{whole(eqslPath, eqslLink), whole(eqslFile, inbox)} << ""
        << "" << 2 << "UserName=IK0ABC&Password=pa%2Bss%26word&RcvdSince=202403010000";
    QTest::newRow("eQSL error text")
        << false
        << QList<Answer>{whole(eqslPath, eqslPage("Error: No such Username/Password found"))} << ""
        << "\"No such Username/Password found\"" << 1 << "";
    QTest::newRow("eQSL names no file")
        << false << QList<Answer>{whole(eqslPath, eqslPage("Under maintenance"))} << ""
        << "It says:\neQSL\nUnder maintenance" << 1 << "";
    QTest::newRow("eQSL file cut twice")
        << false << QList<Answer>{whole(eqslPath, eqslLink), faulty(eqslFile, inbox, Fault::Cut)}
        << ""
        << "was cut before the whole answer" << 3 << "";
}

void TestDownload::download()
{
    QFETCH(bool, lotw);
    QFETCH(QList<Answer>, answers);
    QFETCH(QString, address);
    QFETCH(QString, message);
    QFETCH(int, requests);
    QFETCH(QString, asked);

    LocalService service;
    service.answer(answers);
    DownloadRequest request;
    request.service = lotw ? Service::Lotw : Service::Eqsl;
    request.address = address.isEmpty() ? service.url(lotw ? lotwPath : eqslPath) : QUrl(address);
    request.login = QStringLiteral("IK0ABC");
    request.password = password;
    request.since = QDate(2024, 3, 1);
    ConfirmationDownload download;
    download.setStallTimeout(300);
    const DownloadResult &result = download.run(request);

    QVERIFY2(!showsPassword(result.message), qPrintable(result.message));
    QVERIFY2(result.message.contains(message), qPrintable(result.message));
    QCOMPARE(result.status == DownloadResult::Status::Done, message.isEmpty());
    QCOMPARE(result.path.isEmpty(), !message.isEmpty());
    if (!message.isEmpty())
        QVERIFY(result.message.endsWith("Nothing was merged."));
    QCOMPARE(download.attempts(), requests);
    if (!asked.isEmpty())
        QVERIFY2(service.requests.first().endsWith(asked), qPrintable(service.requests.first()));
}

void TestDownload::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("environment"); // the password in the environment variable
    QTest::addColumn<QString>("keyring");     // the password in the keyring
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("qsl");   // of the logged QSO afterwards (confirmationsOf)
    QTest::addColumn<QString>("since"); // remembered afterwards; TODAY for the day of the test
    QTest::addColumn<QString>("output");

    const QList<Answer> lotw{whole(lotwPath, lotwReport(confirmations))};
    const QList<Answer> eqsl{whole(eqslPath, eqslLink),
                             whole(eqslFile, eqslInbox({"IK4ABC,20240301,1205,20M,CW,KX47AB",
                                                        "I1XYZ,20240302,1300,40M,SSB,KX47AA"}))};
    const QStringList download{"download", "lotw"};
    QTest::newRow("LoTW confirms the logged QSO only")
        << download << password << "" << lotw << 0 << "w lotw"
        << "2024-03-10"
        << "LoTW or eQSL confirmations added: 1\nalready in the log: 0\n";
    QTest::newRow("LoTW counted when chosen")
        << QStringList{"download", "lotw", "--confirmations", "lotw"} << password << "" << lotw << 0
        << "c lotw"
        << "2024-03-10"
        << "counted as confirmed: LoTW\nnew worked: 0\nnew confirmed: 0\nconfirmations added: 1";
    QTest::newRow("QSO not logged is not added")
        << download << password << "" << lotw << 0 << "w lotw"
        << "2024-03-10"
        << "not in the log: 1";
    QTest::newRow("password from the keyring")
        << download << "" << password << lotw << 0 << "w lotw"
        << "2024-03-10"
        << "2 records downloaded from LoTW.";
    QTest::newRow("dry run merges nothing")
        << QStringList{"download", "lotw", "--dry-run"} << password << "" << lotw << 0 << "w"
        << ""
        << "confirmations added: 1";
    QTest::newRow("wrong login merges nothing")
        << download << password << "" << QList<Answer>{whole(lotwPath, loginPage)} << 1 << "w"
        << ""
        << "did not accept the login \"IK0ABC\"";
    QTest::newRow("cut report merges nothing")
        << download << password << ""
        << QList<Answer>{faulty(lotwPath, lotwReport(confirmations), Fault::Cut)} << 1 << "w"
        << ""
        << "was cut before the whole answer";
    QTest::newRow("no password") << download << ""
                                 << "" << lotw << 1 << "w"
                                 << ""
                                 << "set KX47_LOTW_PASSWORD";
    QTest::newRow("eQSL counted when chosen")
        << QStringList{"download", "eqsl", "--confirmations", "paper,eqsl"} << password << ""
        << eqsl << 0 << "c eqsl"
        << "TODAY"
        << "confirmations added: 1";
    QTest::newRow("eQSL not counted by default")
        << QStringList{"download", "eqsl"} << password << "" << eqsl << 0 << "w eqsl"
        << "TODAY"
        << "LoTW or eQSL confirmations added: 1";
    QTest::newRow("eQSL error text")
        << QStringList{"download", "eqsl"} << password << ""
        << QList<Answer>{whole(eqslPath, eqslPage("Error: No such Username/Password found"))} << 1
        << "w"
        << ""
        << "No such Username/Password found";
    QTest::newRow("no service") << QStringList{"download"} << password << "" << lotw << 2 << "w"
                                << ""
                                << "download takes lotw or eqsl.";
    QTest::newRow("unknown service")
        << QStringList{"download", "qrz"} << password << "" << lotw << 2 << "w"
        << ""
        << "download takes lotw or eqsl.";
    QTest::newRow("no such day") << QStringList{"download", "lotw", "--since", "2024-02-30"}
                                 << password << "" << lotw << 2 << "w"
                                 << ""
                                 << "--since needs a day";
    QTest::newRow("since is for download")
        << QStringList{"export", "x.adi", "--since", "2024-02-01"} << password << "" << lotw << 2
        << "w"
        << ""
        << "--since is for download.";
}

void TestDownload::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, environment);
    QFETCH(QString, keyring);
    QFETCH(QList<Answer>, answers);
    QFETCH(int, exitCode);
    QFETCH(QString, qsl);
    QFETCH(QString, since);
    QFETCH(QString, output);

    ProgramFolder folder;
    folder.addQso({1, "AB", "IK4ABC", "2024-03-01", "12:00", "P", "AN", "CW", "HF", "w"});
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path() + "/settings");
    LocalService local;
    local.answer(answers);
    for (const Service s : {Service::Lotw, Service::Eqsl}) {
        servicesettings::setLogin(s, "IK0ABC");
        servicesettings::setAddress(s, local.url(s == Service::Lotw ? lotwPath : eqslPath));
    }
    credentials().passwords.clear();
    if (!keyring.isEmpty())
        credentials().write(Service::Lotw, "IK0ABC", keyring);
    qputenv("KX47_LOTW_PASSWORD", environment.toUtf8());
    qputenv("KX47_EQSL_PASSWORD", environment.toUtf8());

    QStringList args{"kx47"};
    args << arguments << "--folder" << folder.path();
    QVERIFY(CommandLine::isCommand(args));
    const CommandRun run = runCommand(args, folder.path());
    qunsetenv("KX47_LOTW_PASSWORD");
    qunsetenv("KX47_EQSL_PASSWORD");

    QCOMPARE(run.exitCode, exitCode);
    const QString all = run.out + run.err;
    QVERIFY2(all.contains(output), qPrintable(all));
    QVERIFY2(!showsPassword(all), qPrintable(all));
    QCOMPARE(run.err.isEmpty(), exitCode == 0);
    QCOMPARE(folder.qsos().size(), 1);
    QCOMPARE(confirmationsOf(folder), qsl);
    const Service service = arguments.contains("eqsl") ? Service::Eqsl : Service::Lotw;
    QCOMPARE(servicesettings::since(service).toString(Qt::ISODate),
             since == "TODAY" ? QDateTime::currentDateTimeUtc().date().toString(Qt::ISODate)
                              : since);
}

void TestDownload::window_data()
{
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<QString>("typed");   // the password typed in the window
    QTest::addColumn<QString>("keyring"); // the password in the keyring; "-" for no keyring
    QTest::addColumn<bool>("remember");
    QTest::addColumn<QString>("qsl");   // of the logged QSO afterwards (confirmationsOf)
    QTest::addColumn<QString>("since"); // remembered afterwards
    QTest::addColumn<QString>("told");  // in the messages
    QTest::addColumn<QString>("kept");  // in the keyring afterwards

    const QList<Answer> lotw{whole(lotwPath, lotwReport(confirmations))};
    QTest::newRow("merged, password kept") << lotw << password << "" << true << "w lotw"
                                           << "2024-03-10"
                                           << "LoTW's report is imported:" << password;
    QTest::newRow("wrong login: nothing merged, nothing kept")
        << QList<Answer>{whole(lotwPath, loginPage)} << password << "" << true << "w"
        << ""
        << "did not accept the login"
        << "";
    QTest::newRow("password from the keyring") << lotw << "" << password << false << "w lotw"
                                               << "2024-03-10"
                                               << "is imported" << password;
    QTest::newRow("no keyring: merged, password not kept")
        << lotw << password << "-" << true << "w lotw"
        << "2024-03-10"
        << "could not be kept"
        << "";
    QTest::newRow("no keyring, no password") << lotw << ""
                                             << "-" << false << "w"
                                             << ""
                                             << "asked for each time"
                                             << "";
    QTest::newRow("server stalls")
        << QList<Answer>{faulty(lotwPath, lotwReport(confirmations), Fault::Stall)} << password
        << "" << false << "w"
        << ""
        << "sent nothing"
        << "";
}

void TestDownload::window()
{
    QFETCH(QList<Answer>, answers);
    QFETCH(QString, typed);
    QFETCH(QString, keyring);
    QFETCH(bool, remember);
    QFETCH(QString, qsl);
    QFETCH(QString, since);
    QFETCH(QString, told);
    QFETCH(QString, kept);

    ProgramFolder folder;
    folder.addQso({1, "AB", "IK4ABC", "2024-03-01", "12:00", "P", "AN", "CW", "HF", "w"});
    TestApp app(folder.path());
    LocalService local;
    local.answer(answers);
    servicesettings::setAddress(Service::Lotw, local.url(lotwPath));
    servicesettings::setLogin(Service::Lotw, "IK0ABC");
    credentials().passwords.clear();
    credentials().available = keyring != "-";
    if (!keyring.isEmpty() && keyring != "-")
        credentials().write(Service::Lotw, "IK0ABC", keyring);
    QVERIFY(app.start());
    app.menuItem("mnDownloadConfirmations")->trigger();
    auto *window = app.window<DownloadWindow>(DownloadWindow::name);
    QVERIFY(window);
    window->download().setStallTimeout(300);
    window->findChild<QLineEdit *>("txtLotwPassword")->setText(typed);
    window->findChild<QCheckBox *>("chkLotwRemember")->setChecked(remember);
    app.dialogs.answers << MessageAnswer::Ok;
    window->findChild<QPushButton *>("cmdLotwDownload")->click();
    QVERIFY(QTest::qWaitFor([window] { return !window->download().isRunning(); }, 5000));

    const QString texts = app.dialogs.texts().join("\n");
    QVERIFY2(texts.contains(told), qPrintable(texts));
    QVERIFY2(!showsPassword(texts), qPrintable(texts));
    QCOMPARE(confirmationsOf(folder), qsl);
    QCOMPARE(servicesettings::since(Service::Lotw).toString(Qt::ISODate), since);
    credentials().available = true;
    QCOMPARE(credentials().passwords.value(MemoryCredentials::key(Service::Lotw, "IK0ABC")), kept);
}

QTEST_MAIN(TestDownload)
#include "tst_download.moc"
