#include "awardwindows.h"

#include "awardrequestkind.h"
#include "awardrequestwindow.h"
#include "awardwindow.h"

#include "log/lognotifier.h"
#include "platform/appcontext.h"
#include "platform/windownames.h"
#include "platform/windowregistry.h"

namespace kx47
{

void registerAwardWindows(AppContext &context)
{
    context.windows.registerWindow(windows::frmAward,
                                   [&context] { return new AwardWindow(context); });
    for (const AwardRequestKind *kind :
         {&AwardRequestKind::baseAward(), &AwardRequestKind::endorsement()}) {
        context.windows.registerWindow(
            kind->windowName, [&context, kind] { return new AwardRequestWindow(context, *kind); });
    }

    // After every change of the log the figures follow it, whether the counter is shown, hidden
    // or not created yet (a counter made now counts the log as it is).
    QObject::connect(&context.logNotifier, &LogNotifier::qsosChanged, &context.logNotifier,
                     [&context](const LogChange &change) {
                         if (auto *counter = context.windows.find<AwardWindow>(windows::frmAward))
                             counter->followLog(change);
                         else
                             context.windows.get<AwardWindow>(windows::frmAward);
                     });
}

} // namespace kx47
