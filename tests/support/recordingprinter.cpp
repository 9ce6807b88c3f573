#include "recordingprinter.h"

namespace kx47::test
{

namespace
{

class RecordingPrinter : public Printer
{
public:
    RecordingPrinter(QList<PrintedDocument> &documents, int index)
        : m_documents(documents), m_index(index)
    {
    }
    void setFontName(const QString &name) override { m_fontName = name; }
    void setFontSize(double points) override { m_fontSize = points; }
    void setBold(bool bold) override { m_bold = bold; }
    void printLine(const QString &line) override
    {
        m_documents[m_index].lines.append({line, m_fontName, m_fontSize, m_bold});
    }
    bool printImage(const QImage &image) override
    {
        PrintedDocument &document = m_documents[m_index];
        document.images.append({int(document.lines.size()), image});
        return true;
    }
    void endDocument() override { m_documents[m_index].ended = true; }

private:
    QList<PrintedDocument> &m_documents;
    int m_index;
    QString m_fontName;
    double m_fontSize = 0;
    bool m_bold = false;
};

} // namespace

QStringList PrintedDocument::texts() const
{
    QStringList result;
    for (const PrintedLine &line : lines)
        result << line.text;
    return result;
}

std::unique_ptr<Printer> RecordingPrintService::startDocument(const QString &documentName)
{
    documents.append({documentName, {}, false, {}});
    return std::make_unique<RecordingPrinter>(documents, documents.size() - 1);
}

} // namespace kx47::test
