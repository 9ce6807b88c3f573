#pragma once

#include "printer.h"

namespace kx47
{

// Prints on the system's default printer.
class QtPrintService : public PrintService
{
public:
    std::unique_ptr<Printer> startDocument(const QString &documentName) override;
};

} // namespace kx47
