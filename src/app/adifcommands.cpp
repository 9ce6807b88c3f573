#include "adifcommands.h"

#include "importoptionswindow.h"

#include "adif/adifexport.h"
#include "adif/adifimport.h"
#include "backup/backups.h"
#include "browser/utilitywindow.h"
#include "log/lognotifier.h"
#include "platform/appcontext.h"
#include "platform/dialogs.h"
#include "platform/windownames.h"
#include "platform/windowregistry.h"
#include "storage/database.h"

#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>

namespace kx47
{

namespace
{

const QString mixedQuestion =
    QStringLiteral("Log every imported QSO under the mode MIXED, instead of CW, SSB or DIGITAL?");

const QString adifFilter = QStringLiteral("ADIF files (*.adi *.adx *.ADI *.ADX);;All files (*)");
const QString ediFilter = QStringLiteral("EDI contest logs (*.edi *.EDI);;All files (*)");

// A progress window that shows itself only when the work takes longer than half a second.
class Progress
{
public:
    Progress(QWidget *parent, const QString &label)
        : m_dialog(label, QStringLiteral("Cancel"), 0, steps, parent)
    {
        m_dialog.setWindowTitle(applicationTitle());
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(500);
        m_dialog.setAutoClose(false);
        m_dialog.setAutoReset(false);
        m_dialog.setValue(0);
    }
    // False once the user pressed Cancel.
    bool at(qint64 done, qint64 total)
    {
        const int step = total > 0 ? int(done * steps / total) : 0;
        m_dialog.setValue(qMin(step, steps - 1));
        return !m_dialog.wasCanceled();
    }

private:
    static constexpr int steps = 1000;
    QProgressDialog m_dialog;
};

} // namespace

void AdifCommands::importFile(const QString &chosen)
{
    const QString path =
        chosen.isEmpty() ? m_context.dialogs.openFileName(QStringLiteral("Import ADIF"), adifFilter)
                         : chosen;
    if (path.isEmpty())
        return;
    importFiles({path});
}

void AdifCommands::importContestLogs()
{
    const QStringList paths =
        m_context.dialogs.openFileNames(QStringLiteral("Import contest log (EDI)"), ediFilter);
    if (!paths.isEmpty())
        importFiles(paths, true);
}

void AdifCommands::importFiles(const QStringList &paths, bool contestLogs)
{
    if (paths.isEmpty())
        return;
    Dialogs &dialogs = m_context.dialogs;
    if (refusedAsReadOnly(m_context.log, dialogs))
        return;

    // What counts as confirmed and whether every QSO goes under MIXED; contest logs carry no
    // confirmations, so for them only the second is asked.
    bool confirmations = false;
    for (const QString &path : paths)
        confirmations = confirmations || !AdifImport::isContestLog(path);
    MappingOptions options;
    if (confirmations) {
        const std::optional<MappingOptions> asked = ImportOptionsWindow::ask(m_parent);
        if (!asked)
            return;
        options = *asked;
    } else {
        options.mixed = dialogs.message(mixedQuestion, MessageIcon::None, MessageButtons::YesNo) ==
                        MessageAnswer::Yes;
    }
    options.contestLog = contestLogs;

    QStringList names;
    for (const QString &path : paths)
        names.append(QFileInfo(path).fileName());
    importChecked(paths, names.join(QStringLiteral(", ")), options);
}

AdifCommands::Merge AdifCommands::importChecked(const QStringList &paths, const QString &name,
                                                const MappingOptions &options)
{
    Dialogs &dialogs = m_context.dialogs;
    AdifImport importer(m_context.log, m_context.places);
    // A copy of the log before the first change: without one nothing is imported.
    importer.setBeforeWriting([this](QString *error) {
        return Backups::backUpBeforeChange(m_context.log, QStringLiteral("The import"), error);
    });
    QString error;
    ImportPlan preview;
    AdifImport::Result result;
    {
        Progress progress(m_parent, QStringLiteral("Reading %1...").arg(name));
        result = importer.preview(
            paths, options, preview,
            [&progress](qint64 done, qint64 total) { return progress.at(done, total); }, &error);
    }
    if (result == AdifImport::Result::Cancelled)
        return Merge::NotImported;
    if (result != AdifImport::Result::Done) {
        dialogs.message(error, MessageIcon::Critical, MessageButtons::Ok);
        return Merge::NotImported;
    }
    if (!preview.changesLog()) {
        dialogs.message(QStringLiteral("%1 brings nothing new into the log:\n\n%2")
                            .arg(name, preview.summary()),
                        MessageIcon::Information, MessageButtons::Ok);
        return Merge::NothingNew;
    }
    const QString question =
        QStringLiteral("Importing %1 will do this:\n\n%2\n\nPress OK to import, Cancel to leave "
                       "the log as it is.")
            .arg(name, preview.summary());
    if (dialogs.message(question, MessageIcon::Information, MessageButtons::OkCancel) !=
        MessageAnswer::Ok)
        return Merge::NotImported;
    // The import plans anew; the preview's keys would only double its memory.
    preview = ImportPlan();

    ImportPlan done;
    {
        Progress progress(m_parent, QStringLiteral("Importing %1...").arg(name));
        result = importer.apply(
            paths, options, done, nullptr,
            [&progress](qint64 read, qint64 total) { return progress.at(read, total); }, &error);
    }
    switch (result) {
    case AdifImport::Result::Done:
        m_context.logNotifier.notifyLogChanged();
        dialogs.message(QStringLiteral("%1 is imported:\n\n%2").arg(name, done.summary()),
                        MessageIcon::Information, MessageButtons::Ok);
        return Merge::Imported;
    case AdifImport::Result::Cancelled:
        dialogs.message(QStringLiteral("The import was cancelled; the log is as it was."),
                        MessageIcon::Information, MessageButtons::Ok);
        break;
    case AdifImport::Result::FileError:
    case AdifImport::Result::LogError:
        dialogs.message(error, MessageIcon::Critical, MessageButtons::Ok);
        break;
    }
    return Merge::NotImported;
}

void AdifCommands::exportLog()
{
    // While the browser lists what a search found, the user chooses between those QSOs and the
    // whole log.
    LogSearch search;
    if (auto *browser = m_context.windows.find<UtilityWindow>(windows::frmUtility))
        search = browser->search();
    if (search != LogSearch()) {
        const QString question =
            QStringLiteral("The log browser lists what it found (%1). Export only those QSOs?\n"
                           "Yes: only the QSOs found. No: the whole log.")
                .arg(search.description());
        if (m_context.dialogs.message(question, MessageIcon::None, MessageButtons::YesNo) !=
            MessageAnswer::Yes)
            search = LogSearch();
    }
    // A name that would land on the log, a database or any file that is not ADIF is refused,
    // and another asked for.
    QString path;
    QString suggested = QStringLiteral("kx47.adi");
    for (;;) {
        path = m_context.dialogs.saveFileName(QStringLiteral("Export ADIF"), suggested, adifFilter);
        if (path.isEmpty())
            return;
        if (QFileInfo(path).suffix().isEmpty() && !QFileInfo::exists(path))
            path += QStringLiteral(".adi");
        const QString refused = AdifExport::refusal(path, m_context.log);
        if (refused.isEmpty())
            break;
        m_context.dialogs.message(refused, MessageIcon::Exclamation, MessageButtons::Ok);
        suggested = QFileInfo(path).dir().filePath(QStringLiteral("kx47.adi"));
    }

    QString error;
    int written = 0;
    QStringList notWritten;
    AdifExport::Result result;
    {
        Progress progress(m_parent,
                          QStringLiteral("Writing %1...").arg(QFileInfo(path).fileName()));
        AdifExport exporter(m_context.log);
        exporter.setSearch(search);
        result = exporter.write(
            path, [&progress](int done, int total) { return progress.at(done, total); }, &error,
            &written, &notWritten);
    }
    switch (result) {
    case AdifExport::Result::Done:
        m_context.dialogs.message(AdifExport::summary(written, path, notWritten),
                                  notWritten.isEmpty() ? MessageIcon::Information
                                                       : MessageIcon::Exclamation,
                                  MessageButtons::Ok);
        break;
    case AdifExport::Result::Cancelled:
        m_context.dialogs.message(QStringLiteral("The export was cancelled; no file was written."),
                                  MessageIcon::Information, MessageButtons::Ok);
        break;
    case AdifExport::Result::Failed:
        m_context.dialogs.message(error, MessageIcon::Critical, MessageButtons::Ok);
        break;
    }
}

} // namespace kx47
