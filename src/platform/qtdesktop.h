#pragma once

#include "desktop.h"

namespace kx47
{

// Opens documents and web addresses with the desktop's registered viewer.
class QtDesktop : public Desktop
{
public:
    void open(const QString &documentOrUrl) override;
};

} // namespace kx47
