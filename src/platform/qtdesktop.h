#pragma once

#include "desktop.h"

namespace kx47
{

// Opens documents and web addresses with the desktop's registered viewer.
class QtDesktop : public Desktop
{
public:
    void open(const QString &documentOrUrl) override;
    // False when the desktop has no viewer for the document's type or cannot start it.
    bool openDocument(const QString &path) override;
};

} // namespace kx47
