#include "browserwindows.h"

#include "utilitywindow.h"

#include "platform/appcontext.h"
#include "platform/lognotifier.h"
#include "platform/windownames.h"
#include "platform/windowregistry.h"

namespace kx47
{

void registerBrowserWindows(AppContext &context)
{
    // The main window lists the log afresh each time it shows the browser.
    context.windows.registerWindow(
        windows::frmUtility, [&context] { return new UtilityWindow(context); },
        [](QWidget *window) { static_cast<UtilityWindow *>(window)->showAny(); });

    // After every change of the log the list is rebuilt with its search and order, whether the
    // browser is shown, hidden or not created yet.
    QObject::connect(
        &context.logNotifier, &LogNotifier::logChanged, &context.logNotifier,
        [&context] { context.windows.get<UtilityWindow>(windows::frmUtility)->showAny(); });
}

} // namespace kx47
