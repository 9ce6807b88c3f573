#pragma once

namespace kx47
{

struct AppContext;

// Makes the windows of this part of the program known to the window registry.
void registerUserdataWindows(AppContext &context);

} // namespace kx47
