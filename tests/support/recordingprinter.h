#pragma once

#include "platform/printer.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

namespace kx47::test
{

// One printed line with the font it was printed in.
struct PrintedLine {
    QString text;
    QString fontName;
    double fontSize;
    bool bold;
};

struct PrintedDocument {
    QString name;
    QList<PrintedLine> lines;
    bool ended = false;
    // The pictures printed, each with the number of lines printed before it.
    QList<QPair<int, QImage>> images;
    QStringList texts() const;
};

// A print service that keeps every document in memory.
class RecordingPrintService : public PrintService
{
public:
    std::unique_ptr<Printer> startDocument(const QString &documentName) override;
    QList<PrintedDocument> documents;
};

} // namespace kx47::test
