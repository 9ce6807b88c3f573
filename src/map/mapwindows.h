#pragma once

namespace kx47
{

struct AppContext;

// Makes the award map known to the window registry; the map follows every change of the log.
void registerMapWindows(AppContext &context);

} // namespace kx47
