#include "placeswindows.h"

#include "platform/appcontext.h"

namespace kx47
{

void registerPlacesWindows(AppContext &context)
{
    (void)context;
}

} // namespace kx47
