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
    // Opens a document the program has just made (a printout) and tells whether a viewer took
    // it, so that the user can be told where the document is when none did.
    virtual bool openDocument(const QString &path)
    {
        open(path);
        return true;
    }
};

} // namespace kx47
