#include "awardwindows.h"

#include "platform/appcontext.h"

namespace kx47
{

void registerAwardWindows(AppContext &context)
{
    (void)context;
}

} // namespace kx47
