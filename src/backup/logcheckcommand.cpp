#include "logcheckcommand.h"

#include "backgroundtask.h"
#include "backups.h"
#include "logcheck.h"
#include "logmarks.h"
#include "startupwork.h"

#include "platform/appcontext.h"
#include "platform/dialogs.h"
#include "storage/database.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <chrono>
#include <thread>

namespace kx47
{

void checkLogNow(AppContext &context)
{
    const QString path = Backups::logPathOf(context.log);
    LogCheck::Outcome outcome;
    {
        BackgroundTask task([&outcome, name = context.log.handle().databaseName()](
                                BackgroundTask &self) { outcome = LogCheck::run(name, &self); });
        QProgressDialog progress(QStringLiteral("Checking the log..."), QStringLiteral("Cancel"), 0,
                                 1000);
        progress.setObjectName(QStringLiteral("frmCheckProgress"));
        progress.setWindowTitle(QStringLiteral("KX47"));
        progress.setWindowModality(Qt::ApplicationModal);
        progress.setMinimumDuration(300);
        progress.setAutoReset(false);
        while (!task.finished()) {
            progress.setValue(task.permille());
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (progress.wasCanceled())
                task.cancel();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        task.wait();
    }
    LogMarks marks(path);
    switch (outcome.result) {
    case LogCheck::Result::Whole:
        marks.markChecked();
        context.dialogs.message(QStringLiteral("The log was checked page by page: SQLite found "
                                               "no damage in it."),
                                MessageIcon::Information, MessageButtons::Ok);
        break;
    case LogCheck::Result::Damaged:
        marks.markDamaged();
        context.dialogs.message(StartUpWork::damageMessage(path, outcome.findings),
                                MessageIcon::Critical, MessageButtons::Ok);
        QCoreApplication::exit(EXIT_FAILURE);
        break;
    case LogCheck::Result::Unreadable:
        context.dialogs.message(
            QStringLiteral("The log could not be checked: %1").arg(outcome.findings),
            MessageIcon::Exclamation, MessageButtons::Ok);
        break;
    case LogCheck::Result::Cancelled:
        break;
    }
}

} // namespace kx47
