#include "browserwindows.h"

#include "platform/appcontext.h"

namespace kx47
{

void registerBrowserWindows(AppContext &context)
{
    (void)context;
}

} // namespace kx47
