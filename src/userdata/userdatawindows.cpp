#include "userdatawindows.h"

#include "platform/appcontext.h"

namespace kx47
{

void registerUserdataWindows(AppContext &context)
{
    (void)context;
}

} // namespace kx47
