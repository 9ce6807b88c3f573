#include "mapwindows.h"

#include "awardmapwindow.h"
#include "cardstochasewindow.h"

#include "log/lognotifier.h"
#include "platform/appcontext.h"
#include "platform/windownames.h"
#include "platform/windowregistry.h"

namespace kx47
{

void registerMapWindows(AppContext &context)
{
    context.windows.registerWindow(windows::frmAwardMap,
                                   [&context] { return new AwardMapWindow(context); });

    // A map that exists, shown or hidden, is redrawn after every change of the log; one that
    // does not is read afresh when it is made.
    QObject::connect(&context.logNotifier, &LogNotifier::logChanged, &context.logNotifier,
                     [&context] {
                         if (auto *map = context.windows.find<AwardMapWindow>(windows::frmAwardMap))
                             map->refresh();
                     });
    registerCardsToChaseWindow(context);
}

} // namespace kx47
