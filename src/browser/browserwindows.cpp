#include "browserwindows.h"

#include "utilitywindow.h"

#include "log/lognotifier.h"
#include "platform/appcontext.h"
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

    // After every change of the log the list follows it with its search and order, whether the
    // browser is shown or hidden. A change of the whole log loads the browser hidden when it
    // does not exist yet; a browser made later lists the log as it is then.
    QObject::connect(&context.logNotifier, &LogNotifier::qsosChanged, &context.logNotifier,
                     [&context](const LogChange &change) {
                         if (auto *browser =
                                 context.windows.find<UtilityWindow>(windows::frmUtility))
                             browser->followLog(change);
                         else if (change.wholeLog)
                             context.windows.get<UtilityWindow>(windows::frmUtility);
                     });
}

} // namespace kx47
