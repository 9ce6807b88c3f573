#include "qsowindows.h"

#include "platform/appcontext.h"

namespace kx47
{

void registerQsoWindows(AppContext &context)
{
    (void)context;
}

} // namespace kx47
