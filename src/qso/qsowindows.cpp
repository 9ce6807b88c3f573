#include "qsowindows.h"

#include "editqsowindow.h"
#include "entrymode.h"
#include "qsoentrywindow.h"

#include "platform/appcontext.h"
#include "platform/windownames.h"
#include "platform/windowregistry.h"

namespace kx47
{

void registerQsoWindows(AppContext &context)
{
    context.windows.registerWindow(windows::frmInsertQSO, [&context] {
        return new QsoEntryWindow(context, EntryMode::insertQso());
    });
    context.windows.registerWindow(windows::frmEditQSO,
                                   [&context] { return new EditQsoWindow(context); });
}

} // namespace kx47
