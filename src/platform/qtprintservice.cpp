#include "qtprintservice.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

namespace kx47
{

namespace
{

class QtPrinter : public Printer
{
public:
    explicit QtPrinter(const QString &documentName)
    {
        m_printer.setDocName(documentName);
        m_font.setPointSizeF(10);
    }
    void setFontName(const QString &name) override { m_font.setFamily(name); }
    void setFontSize(double points) override { m_font.setPointSizeF(points); }
    void setBold(bool bold) override { m_font.setBold(bold); }
    void printLine(const QString &line) override
    {
        if (!m_painter.isActive() && !m_painter.begin(&m_printer))
            return;
        m_painter.setFont(m_font);
        const QFontMetricsF metrics(m_painter.font(), &m_printer);
        if (m_y + metrics.height() >
            m_printer.pageLayout().paintRectPixels(m_printer.resolution()).height()) {
            m_printer.newPage();
            m_y = 0;
        }
        m_painter.drawText(QPointF(0, m_y + metrics.ascent()), line);
        m_y += metrics.height();
    }
    void endDocument() override
    {
        if (m_painter.isActive())
            m_painter.end();
    }

private:
    QPrinter m_printer;
    QPainter m_painter;
    QFont m_font;
    double m_y = 0;
};

} // namespace

std::unique_ptr<Printer> QtPrintService::startDocument(const QString &documentName)
{
    return std::make_unique<QtPrinter>(documentName);
}

} // namespace kx47
