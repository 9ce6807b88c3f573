#include "qsowindows.h"

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
}

} // namespace kx47
