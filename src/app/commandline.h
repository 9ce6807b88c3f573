#pragma once

#include "adif/adifmapping.h"
#include "log/logsearch.h"

#include <QDate>
#include <QString>
#include <QStringList>

class QTextStream;

namespace kx47
{

// The program's command line:
//     kx47 [FILE.adi|FILE.adx|FILE.edi...] [--folder DIR]  the windows; files open the import
//     kx47 import FILE... [--dry-run] [--confirmations paper,lotw,eqsl] [--mixed] [--folder DIR]
//     kx47 export FILE [--call CALL | --subsquare XX | --place PLACE --prov PROV] [--folder DIR]
//     kx47 download lotw|eqsl [--since YYYY-MM-DD] [--dry-run] [--confirmations KINDS]
//          [--folder DIR]                            password from KX47_LOTW_PASSWORD or
//                                                    KX47_EQSL_PASSWORD, else the keyring
//     kx47 --help | --version
// The commands need no display. Exit codes: 0 done, 1 the file cannot be read, the download
// failed or the log cannot be written (nothing written), 2 a usage error.
class CommandLine
{
public:
    enum class Action { Windows, Import, Export, Download, Help, Version, UsageError };
    enum ExitCode { Success = 0, Failure = 1, Usage = 2 };

    // Whether the arguments (the program's name first) ask for a command rather than the
    // windows, judged before any application object exists.
    static bool isCommand(const QStringList &arguments);

    explicit CommandLine(const QStringList &arguments);

    Action action() const { return m_action; }
    // The file of the command, or the file the windows open for import (may be empty).
    QString file() const { return m_file; }
    // Every file of the command, or every file the windows open for import together.
    QStringList files() const { return m_files; }
    // The program folder named by --folder, else defaultFolder.
    QString folder(const QString &defaultFolder) const;
    // Why the arguments are wrong, for UsageError.
    QString usageError() const { return m_error; }

    // Runs the action that is not the windows and returns the exit code; the summary and
    // figures go to out, failures and usage to err.
    int run(const QString &defaultFolder, QTextStream &out, QTextStream &err) const;

    static QString version();
    static QString helpText();

private:
    int runImport(const QString &folder, QTextStream &out, QTextStream &err) const;
    int runExport(const QString &folder, QTextStream &out, QTextStream &err) const;
    int runDownload(const QString &folder, QTextStream &out, QTextStream &err) const;

    Action m_action = Action::Windows;
    QString m_file;
    QStringList m_files;
    QString m_folder;
    QString m_error;
    // What counts as confirmed: --confirmations, else the award's rules.
    Confirmations m_accepted = MappingOptions().accepted;
    QString m_service;  // download: "lotw" or "eqsl"
    QDate m_since;      // download: invalid for the remembered day
    LogSearch m_search; // export: the QSOs a search of the browser finds; none: the whole log
    bool m_dryRun = false;
    bool m_mixed = false;
};

} // namespace kx47
