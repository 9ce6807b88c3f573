#include "commandline.h"

#include "databasefiles.h"

#include "adif/adifexport.h"
#include "adif/adifimport.h"
#include "backup/backups.h"
#include "download/confirmationdownload.h"
#include "download/credentials.h"
#include "download/downloadmerge.h"
#include "paths/programplaces.h"
#include "storage/database.h"

#include <QCommandLineParser>
#include <QDir>
#include <QTextStream>

namespace kx47
{

namespace
{

const QString importCommand = QStringLiteral("import");
const QString exportCommand = QStringLiteral("export");
const QString downloadCommand = QStringLiteral("download");

struct Options {
    QCommandLineOption folder{QStringLiteral("folder"),
                              QStringLiteral("The program folder with the log (default: the "
                                             "folder of the program)."),
                              QStringLiteral("DIR")};
    QCommandLineOption dryRun{
        QStringLiteral("dry-run"),
        QStringLiteral("import, download: tell what the file would do, write nothing.")};
    QCommandLineOption confirmations{
        QStringLiteral("confirmations"),
        QStringLiteral("import, download: what counts as confirmed, of paper, lotw, eqsl "
                       "(default: paper, the QSL cards the award counts). In a LoTW report or an "
                       "eQSL inbox download the confirmations are that service's, never a card; "
                       "LoTW and eQSL confirmations are kept with each QSO whatever counts."),
        QStringLiteral("KINDS")};
    QCommandLineOption mixed{QStringLiteral("mixed"),
                             QStringLiteral("import: log every QSO under the mode MIXED.")};
    // What export writes, as the log browser finds it: one kind of search at a time.
    QCommandLineOption call{QStringLiteral("call"),
                            QStringLiteral("export: only the QSOs of this call."),
                            QStringLiteral("CALL")};
    QCommandLineOption subSquare{QStringLiteral("subsquare"),
                                 QStringLiteral("export: only the QSOs in this sub-square (its "
                                                "two last letters)."),
                                 QStringLiteral("XX")};
    QCommandLineOption place{QStringLiteral("place"),
                             QStringLiteral("export: only the QSOs of this place (with --prov, "
                                            "of this place in this province)."),
                             QStringLiteral("PLACE")};
    QCommandLineOption prov{QStringLiteral("prov"),
                            QStringLiteral("export: only the QSOs of this province."),
                            QStringLiteral("PROV")};
    QCommandLineOption since{QStringLiteral("since"),
                             QStringLiteral("download: the first day of confirmations to fetch "
                                            "(default: the day of the newest one merged)."),
                             QStringLiteral("YYYY-MM-DD")};
};

void setUp(QCommandLineParser &parser, const Options &options)
{
    parser.setApplicationDescription(
        QStringLiteral("KX47 Logbook: the log of the award DIPLOMA KX47.\n\n"
                       "Without a command the windows open; a FILE.adi, FILE.adx or FILE.edi "
                       "opens the import of that file.\n"
                       "  import FILE...  imports ADIF files (.adi or .adx) or EDI contest logs "
                       "(.edi) into the log, all of them together, and prints what it did.\n"
                       "  export FILE  writes the whole log into an ADIF file (.adi, or ADX "
                       "for .adx); with --call, --subsquare, or --place and --prov, only the "
                       "QSOs the log browser's search finds.\n"
                       "  download lotw|eqsl  fetches the confirmations received from LoTW or "
                       "eQSL and merges them into the QSOs already logged. The login is the one "
                       "entered in the window; the password comes from KX47_LOTW_PASSWORD or "
                       "KX47_EQSL_PASSWORD, else from the desktop's keyring.\n\n"
                       "Exit codes: 0 done, 1 the file cannot be read, the download failed or "
                       "the log cannot be written (nothing written), 2 wrong arguments."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({options.folder, options.dryRun, options.confirmations, options.mixed,
                       options.call, options.subSquare, options.place, options.prov,
                       options.since});
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("import, export or download, or files to "
                                                "import in the windows."),
                                 QStringLiteral("[import FILE...|export FILE [search]|download "
                                                "lotw|eqsl] "
                                                "[FILE...]"));
}

// Opens one database file. A command does not wait for SQLite's check of every page: the
// windows check the log after an unclean end and once a week.
bool openFile(Database &db, const QString &path, Schema::File kind, QTextStream &err)
{
    QString message;
    if (DatabaseFiles::open(db, path, kind, &message, nullptr, DatabaseFiles::Examination::Schema))
        return true;
    err << message << Qt::endl;
    return false;
}

// Opens the log and the gazetteer of a program folder, where the program keeps them.
bool openFiles(const QString &folder, Database &log, Database &places, QTextStream &err)
{
    const ProgramPlaces where = ProgramPlaces::find(folder);
    QString error;
    if (!where.makeLog(&error)) {
        err << error << Qt::endl;
        return false;
    }
    return openFile(log, where.logPath(), Schema::File::Log, err) &&
           openFile(places, where.placesPath(), Schema::File::Places, err);
}

} // namespace

bool CommandLine::isCommand(const QStringList &arguments)
{
    static const QStringList words{importCommand,
                                   exportCommand,
                                   downloadCommand,
                                   QStringLiteral("-h"),
                                   QStringLiteral("--help"),
                                   QStringLiteral("-?"),
                                   QStringLiteral("--help-all"),
                                   QStringLiteral("-v"),
                                   QStringLiteral("--version")};
    for (int i = 1; i < arguments.size(); ++i)
        if (words.contains(arguments.at(i)))
            return true;
    return false;
}

CommandLine::CommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    const Options options;
    setUp(parser, options);
    if (!parser.parse(arguments)) {
        m_action = Action::UsageError;
        m_error = parser.errorText();
        return;
    }
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        m_action = Action::Help;
        return;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        m_action = Action::Version;
        return;
    }
    m_folder = parser.value(options.folder);
    m_dryRun = parser.isSet(options.dryRun);
    m_mixed = parser.isSet(options.mixed);
    const QString confirmations = parser.value(options.confirmations);
    const int searches = int(parser.isSet(options.call)) + int(parser.isSet(options.subSquare)) +
                         int(parser.isSet(options.place) || parser.isSet(options.prov));
    if (parser.isSet(options.call))
        m_search = LogSearch::byCall(parser.value(options.call));
    else if (parser.isSet(options.subSquare))
        m_search = LogSearch::byWWLocator(parser.value(options.subSquare));
    else if (searches > 0)
        m_search = LogSearch::byPlace(parser.value(options.place), parser.value(options.prov));

    const QStringList positional = parser.positionalArguments();
    const QString command = positional.value(0);
    const bool importing = command == importCommand;
    if (command == downloadCommand) {
        m_action = Action::Download;
        m_service = positional.value(1).toLower();
        Service service;
        if (positional.size() != 2 || !serviceFromWord(m_service, &service))
            m_error = QStringLiteral("download takes lotw or eqsl.");
        else if (m_mixed)
            m_error = QStringLiteral("--mixed is for import.");
        const QString since = parser.value(options.since);
        m_since = QDate::fromString(since, Qt::ISODate);
        if (m_error.isEmpty() && parser.isSet(options.since) &&
            (since.size() != 10 || !m_since.isValid()))
            m_error = QStringLiteral("--since needs a day as YYYY-MM-DD.");
    } else if (parser.isSet(options.since)) {
        m_error = QStringLiteral("--since is for download.");
    } else if (importing || command == exportCommand) {
        m_action = importing ? Action::Import : Action::Export;
        m_file = positional.value(1);
        m_files = positional.mid(1);
        if (importing ? positional.size() < 2 : positional.size() != 2)
            m_error = importing ? QStringLiteral("import takes one FILE or more.")
                                : QStringLiteral("%1 takes one FILE.").arg(command);
        else if (!importing && (m_dryRun || m_mixed || parser.isSet(options.confirmations)))
            m_error = QStringLiteral("--dry-run, --confirmations and --mixed are for import.");
        else if (searches > 1)
            m_error = QStringLiteral("export finds one kind of QSO at a time: --call, "
                                     "--subsquare, or --place and --prov.");
        else if (searches > 0 && m_search.description().isEmpty())
            m_error = QStringLiteral("--call, --subsquare, --place and --prov need a text.");
    } else {
        m_action = Action::Windows;
        m_file = command;
        m_files = positional;
        if (m_dryRun || m_mixed || parser.isSet(options.confirmations))
            m_error = QStringLiteral("--dry-run, --confirmations and --mixed are for import.");
    }
    // An empty list leaves the default.
    Confirmations kinds;
    if (m_error.isEmpty() && parser.isSet(options.confirmations)) {
        if (!AdifImport::parseConfirmations(confirmations, &kinds))
            m_error =
                QStringLiteral("Unknown kind of confirmation in \"%1\": use paper, lotw, eqsl.")
                    .arg(confirmations);
        else if (!confirmations.isEmpty())
            m_accepted = kinds;
    }
    if (m_error.isEmpty() && searches > 0 && m_action != Action::Export)
        m_error = QStringLiteral("--call, --subsquare, --place and --prov are for export.");
    if (m_error.isEmpty() && parser.isSet(options.folder) && m_folder.isEmpty())
        m_error = QStringLiteral("--folder needs a folder.");
    if (!m_error.isEmpty())
        m_action = Action::UsageError;
}

QString CommandLine::folder(const QString &defaultFolder) const
{
    return m_folder.isEmpty() ? defaultFolder : QDir(m_folder).absolutePath();
}

QString CommandLine::version()
{
    return QStringLiteral(KX47_VERSION);
}

QString CommandLine::helpText()
{
    QCommandLineParser parser;
    const Options options;
    setUp(parser, options);
    return parser.helpText();
}

int CommandLine::run(const QString &defaultFolder, QTextStream &out, QTextStream &err) const
{
    switch (m_action) {
    case Action::Help:
        out << helpText();
        return Success;
    case Action::Version:
        out << QStringLiteral("KX47 Logbook ") << version() << Qt::endl;
        return Success;
    case Action::UsageError:
        err << m_error << Qt::endl
            << QStringLiteral("Try \"kx47 --help\" for the commands and their options.")
            << Qt::endl;
        return Usage;
    case Action::Import:
        return runImport(folder(defaultFolder), out, err);
    case Action::Export:
        return runExport(folder(defaultFolder), out, err);
    case Action::Download:
        return runDownload(folder(defaultFolder), out, err);
    case Action::Windows:
        break;
    }
    return Success;
}

int CommandLine::runImport(const QString &folder, QTextStream &out, QTextStream &err) const
{
    MappingOptions options;
    options.accepted = m_accepted;
    options.mixed = m_mixed;

    Database log(QStringLiteral("CommandLog"));
    Database places(QStringLiteral("CommandPlaces"));
    if (!openFiles(folder, log, places, err))
        return Failure;

    AdifImport importer(log, places);
    // A copy of the log is made before the first change; without one nothing is changed. An
    // import that changes nothing, or fails before writing, makes none.
    importer.setBeforeWriting([&log](QString *error) {
        return Backups::backUpBeforeChange(log, QStringLiteral("The import"), error);
    });
    ImportPlan plan;
    QString error;
    const AdifImport::Result result =
        m_dryRun ? importer.preview(m_files, options, plan, {}, &error)
                 : importer.apply(m_files, options, plan, nullptr, {}, &error);
    if (result != AdifImport::Result::Done) {
        err << error << Qt::endl;
        return Failure;
    }
    out << plan.summary() << Qt::endl;
    return Success;
} // namespace kx47

int CommandLine::runExport(const QString &folder, QTextStream &out, QTextStream &err) const
{
    Database log(QStringLiteral("CommandLog"));
    Database places(QStringLiteral("CommandPlaces"));
    if (!openFiles(folder, log, places, err))
        return Failure;
    QString error;
    int written = 0;
    QStringList notWritten;
    AdifExport exporter(log);
    exporter.setSearch(m_search);
    if (exporter.write(m_file, {}, &error, &written, &notWritten) != AdifExport::Result::Done) {
        err << error << Qt::endl;
        return Failure;
    }
    out << AdifExport::summary(written, m_file, notWritten) << Qt::endl;
    return Success;
}

int CommandLine::runDownload(const QString &folder, QTextStream &out, QTextStream &err) const
{
    Service service = Service::Lotw;
    serviceFromWord(m_service, &service);
    const QString name = serviceName(service);
    DownloadRequest request;
    request.service = service;
    request.address = servicesettings::address(service);
    request.login = servicesettings::login(service);
    request.nickname = servicesettings::nickname(service);
    request.since = m_since.isValid() ? m_since : servicesettings::since(service);
    if (request.login.isEmpty()) {
        err << QStringLiteral("No %1 login is set. Enter it once in Database > Download "
                              "confirmations, then run this again.")
                   .arg(name)
            << Qt::endl;
        return Failure;
    }
    const QByteArray variable =
        service == Service::Lotw ? "KX47_LOTW_PASSWORD" : "KX47_EQSL_PASSWORD";
    request.password = qEnvironmentVariable(variable.constData());
    if (request.password.isEmpty() &&
        CredentialStore::instance().read(service, request.login, &request.password) !=
            CredentialStore::Status::Found) {
        err << QStringLiteral("No %1 password for %2: set %3, or save the password in Database "
                              "> Download confirmations. Nothing was downloaded.")
                   .arg(name, request.login, QString::fromLatin1(variable))
            << Qt::endl;
        return Failure;
    }

    Database log(QStringLiteral("CommandLog"));
    Database places(QStringLiteral("CommandPlaces"));
    if (!openFiles(folder, log, places, err))
        return Failure;

    ConfirmationDownload download;
    const DownloadResult &result = download.run(request);
    if (result.status != DownloadResult::Status::Done) {
        err << result.message << Qt::endl;
        return Failure;
    }
    out << QStringLiteral("%1 records downloaded from %2.").arg(result.check.records).arg(name)
        << Qt::endl;

    const MappingOptions options = downloadmerge::options(service, m_accepted);
    AdifImport merger(log, places);
    // A copy of the log before the first change: without one nothing is merged.
    merger.setBeforeWriting([&log](QString *why) {
        return Backups::backUpBeforeChange(log, QStringLiteral("The merge"), why);
    });
    ImportPlan plan;
    QString error;
    const AdifImport::Result merged =
        m_dryRun ? merger.preview(result.path, options, plan, {}, &error)
                 : merger.apply(result.path, options, plan, nullptr, {}, &error);
    if (merged != AdifImport::Result::Done) {
        err << error << Qt::endl;
        return Failure;
    }
    if (!m_dryRun)
        downloadmerge::rememberMerged(service, result.check);
    out << plan.summary() << Qt::endl;
    return Success;
}

} // namespace kx47
