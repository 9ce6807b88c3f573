#include "placeswindows.h"

#include "findplaceswindow.h"

#include "platform/appcontext.h"
#include "platform/windownames.h"
#include "platform/windowregistry.h"

namespace kx47
{

void registerPlacesWindows(AppContext &context)
{
    context.windows.registerWindow(windows::frmFindPlaces,
                                   [&context] { return new FindPlacesWindow(context); });
}

} // namespace kx47
