#pragma once

#include <QString>

namespace kx47
{

// The desktop's "open this document or web address with its registered viewer".
class Desktop
{
public:
    virtual ~Desktop() = default;
    virtual void open(const QString &documentOrUrl) = 0; // result not examined
};

} // namespace kx47
