#pragma once

#include <QString>
#include <memory>

class QImage;

namespace kx47
{

// One print document: lines are printed one below the other, with a new page when the current
// one is full.
class Printer
{
public:
    virtual ~Printer() = default;
    virtual void setFontName(const QString &name) = 0;
    virtual void setFontSize(double points) = 0;
    virtual void setBold(bool bold) = 0;
    virtual void printLine(const QString &line) = 0;
    // Releases the pages to the printer.
    virtual void endDocument() = 0;
    // Prints a picture below what was printed so far, as wide as the page lets it (on a new page
    // where the rest of this one is too short); the lines go on below it. False where this
    // printer prints text alone: the lines must then say it all.
    virtual bool printImage(const QImage &image)
    {
        (void)image;
        return false;
    }
    // False once the document could not be printed or saved; the print service has told the
    // user why, and the caller changes nothing that depends on the paper.
    virtual bool ok() const { return true; }
};

class PrintService
{
public:
    virtual ~PrintService() = default;
    virtual std::unique_ptr<Printer> startDocument(const QString &documentName) = 0;
};

} // namespace kx47
