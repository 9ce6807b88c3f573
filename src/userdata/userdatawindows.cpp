#include "userdatawindows.h"

#include "userdatawindow.h"

#include "platform/appcontext.h"
#include "platform/windownames.h"
#include "platform/windowregistry.h"

namespace kx47
{

void registerUserdataWindows(AppContext &context)
{
    context.windows.registerWindow(windows::frmUserData,
                                   [&context] { return new UserDataWindow(context); });
}

} // namespace kx47
