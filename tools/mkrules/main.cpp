// kx47_mkrules: typesets the award rules text as an A4 PDF.
//
// Usage: kx47_mkrules <rules.txt> <out.pdf>
//
// The input is UTF-8 plain text with a small markup:
//   "# Title"     a heading (bold, large)
//   "## Title"    a sub-heading (bold, medium)
//   "- item"      a bullet item; following lines indented by blanks continue it
//   "> text"      an indented block line (addresses and the like), kept as is
//   blank line    ends a paragraph; other consecutive lines are joined
//
// Runs without a display (QT_QPA_PLATFORM=offscreen). Exits non-zero when the
// input cannot be read or the PDF cannot be written.

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>
#include <QString>
#include <QStringList>
#include <QTextLayout>
#include <QTextOption>
#include <QVector>

#include <cstdio>

namespace
{

enum class BlockKind { Heading1, Heading2, Paragraph, Bullet, Quote };

struct Block {
    BlockKind kind;
    QString text;
};

QVector<Block> parse(const QString &source)
{
    QVector<Block> blocks;
    QString current;
    BlockKind currentKind = BlockKind::Paragraph;
    bool open = false;

    auto flush = [&]() {
        if (open && !current.trimmed().isEmpty())
            blocks.push_back({currentKind, current.trimmed()});
        current.clear();
        open = false;
    };

    const QStringList lines = QString(source)
                                  .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                  .split(QLatin1Char('\n'));
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty()) {
            flush();
            continue;
        }
        if (raw.startsWith(QStringLiteral("## "))) {
            flush();
            blocks.push_back({BlockKind::Heading2, raw.mid(3).trimmed()});
            continue;
        }
        if (raw.startsWith(QStringLiteral("# "))) {
            flush();
            blocks.push_back({BlockKind::Heading1, raw.mid(2).trimmed()});
            continue;
        }
        if (raw.startsWith(QStringLiteral("- "))) {
            flush();
            currentKind = BlockKind::Bullet;
            current = raw.mid(2).trimmed();
            open = true;
            continue;
        }
        if (raw.startsWith(QLatin1Char('>'))) {
            flush();
            blocks.push_back({BlockKind::Quote, raw.mid(1).trimmed()});
            continue;
        }
        if (open) {
            current += QLatin1Char(' ') + line;
        } else {
            currentKind = BlockKind::Paragraph;
            current = line;
            open = true;
        }
    }
    flush();
    return blocks;
}

class Typesetter
{
public:
    Typesetter(QPdfWriter &writer, QPainter &painter) : m_writer(writer), m_painter(painter)
    {
        const QRect page = m_writer.pageLayout().paintRectPixels(m_writer.resolution());
        m_width = page.width();
        m_footerHeight = mm(10);
        m_bottom = page.height() - m_footerHeight;
        m_y = 0;
    }

    bool run(const QVector<Block> &blocks)
    {
        for (int i = 0; i < blocks.size(); ++i) {
            const Block &b = blocks.at(i);
            switch (b.kind) {
            case BlockKind::Heading1:
                // The first heading is the title of the document.
                if (!heading(b.text, font(true, i == 0 ? 20 : 16), mm(6), mm(3)))
                    return false;
                if (i == 0) {
                    m_painter.setPen(QPen(QColor(24, 46, 104), mm(0.5)));
                    m_painter.drawLine(QPointF(0, m_y - mm(1.5)), QPointF(m_width, m_y - mm(1.5)));
                    m_painter.setPen(Qt::black);
                    m_y += mm(2);
                }
                break;
            case BlockKind::Heading2:
                if (!heading(b.text, font(true, 13), mm(4), mm(2)))
                    return false;
                break;
            case BlockKind::Paragraph:
                if (!textBlock(b.text, serif(11), 0, QString(), mm(2.5)))
                    return false;
                break;
            case BlockKind::Bullet: {
                const bool lastOfList =
                    i + 1 >= blocks.size() || blocks.at(i + 1).kind != BlockKind::Bullet;
                if (!textBlock(b.text, serif(11), mm(7), QString(QChar(0x2022)),
                               lastOfList ? mm(2.5) : mm(1)))
                    return false;
                break;
            }
            case BlockKind::Quote: {
                const bool lastOfQuote =
                    i + 1 >= blocks.size() || blocks.at(i + 1).kind != BlockKind::Quote;
                if (!textBlock(b.text, font(false, 11), mm(12), QString(),
                               lastOfQuote ? mm(2.5) : 0))
                    return false;
                break;
            }
            }
        }
        footer();
        return true;
    }

private:
    qreal mm(qreal v) const { return v * m_writer.resolution() / 25.4; }

    static QFont font(bool bold, int points)
    {
        QFont f(QStringLiteral("Liberation Sans"));
        f.setPointSize(points);
        f.setBold(bold);
        return f;
    }

    static QFont serif(int points)
    {
        QFont f(QStringLiteral("Liberation Serif"));
        f.setPointSize(points);
        return f;
    }

    bool newPage()
    {
        footer();
        if (!m_writer.newPage())
            return false;
        ++m_page;
        m_y = 0;
        return true;
    }

    void footer()
    {
        if (m_footerDone == m_page)
            return;
        m_footerDone = m_page;
        QFont f(QStringLiteral("Liberation Sans"));
        f.setPointSize(8);
        m_painter.setFont(f);
        m_painter.setPen(QColor(90, 90, 90));
        const QRectF r(0, m_bottom + m_footerHeight / 2, m_width, m_footerHeight / 2);
        m_painter.drawText(r, Qt::AlignLeft | Qt::AlignBottom,
                           QStringLiteral("DIPLOMA KX47 - Award rules"));
        m_painter.drawText(r, Qt::AlignRight | Qt::AlignBottom,
                           QStringLiteral("page %1").arg(m_page));
        m_painter.setPen(Qt::black);
    }

    // Lays out text in the given width; returns the layout with lines made.
    static void layoutText(QTextLayout &layout, qreal width)
    {
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        qreal y = 0;
        for (;;) {
            QTextLine line = layout.createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(width);
            line.setPosition(QPointF(0, y));
            y += line.height();
        }
        layout.endLayout();
    }

    bool heading(const QString &text, const QFont &f, qreal before, qreal after)
    {
        QTextLayout layout(text, f, &m_writer);
        layoutText(layout, m_width);
        const qreal height = layout.boundingRect().height();
        // Keep a heading together with at least two lines of what follows.
        const qreal bodyLine = QFontMetricsF(serif(11), &m_writer).lineSpacing();
        const qreal top = m_y == 0 ? 0 : m_y + before;
        if (top + height + after + 2 * bodyLine > m_bottom && m_y > 0) {
            if (!newPage())
                return false;
        } else {
            m_y = top;
        }
        layout.draw(&m_painter, QPointF(0, m_y));
        m_y += height + after;
        return true;
    }

    bool textBlock(const QString &text, const QFont &f, qreal indent, const QString &marker,
                   qreal after)
    {
        QTextLayout layout(text, f, &m_writer);
        layoutText(layout, m_width - indent);
        bool first = true;
        for (int i = 0; i < layout.lineCount(); ++i) {
            QTextLine line = layout.lineAt(i);
            if (m_y + line.height() > m_bottom) {
                if (!newPage())
                    return false;
            }
            const QPointF origin(indent, m_y - line.y());
            line.draw(&m_painter, origin);
            if (first && !marker.isEmpty()) {
                m_painter.setFont(f);
                m_painter.drawText(QPointF(indent - mm(4.5), m_y + line.ascent()), marker);
            }
            first = false;
            m_y += line.height();
        }
        m_y += after;
        return true;
    }

    QPdfWriter &m_writer;
    QPainter &m_painter;
    qreal m_width = 0;
    qreal m_bottom = 0;
    qreal m_footerHeight = 0;
    qreal m_y = 0;
    int m_page = 1;
    int m_footerDone = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);

    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: kx47_mkrules <rules.txt> <out.pdf>\n");
        return 2;
    }

    QFile input(args.at(1));
    if (!input.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "kx47_mkrules: cannot read %s: %s\n", qPrintable(args.at(1)),
                     qPrintable(input.errorString()));
        return 1;
    }
    const QString source = QString::fromUtf8(input.readAll());
    input.close();

    const QVector<Block> blocks = parse(source);
    if (blocks.isEmpty()) {
        std::fprintf(stderr, "kx47_mkrules: %s holds no text\n", qPrintable(args.at(1)));
        return 1;
    }

    const QStringList families = QFontDatabase::families();
    for (const char *family : {"Liberation Serif", "Liberation Sans"}) {
        if (!families.contains(QLatin1String(family)))
            std::fprintf(stderr,
                         "kx47_mkrules: warning: font \"%s\" not found, using a substitute\n",
                         family);
    }

    const QString outPath = args.at(2);
    QFile::remove(outPath);
    {
        QPdfWriter writer(outPath);
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(22, 20, 22, 18), QPageLayout::Millimeter));
        writer.setTitle(QStringLiteral("DIPLOMA KX47 - Award rules"));
        writer.setCreator(QStringLiteral("kx47_mkrules"));

        QPainter painter;
        if (!painter.begin(&writer)) {
            std::fprintf(stderr, "kx47_mkrules: cannot write %s\n", qPrintable(outPath));
            return 1;
        }
        Typesetter typesetter(writer, painter);
        const bool ok = typesetter.run(blocks);
        if (!painter.end() || !ok) {
            std::fprintf(stderr, "kx47_mkrules: writing %s failed\n", qPrintable(outPath));
            return 1;
        }
    }

    const QFileInfo written(outPath);
    if (!written.exists() || written.size() == 0) {
        std::fprintf(stderr, "kx47_mkrules: %s was not written\n", qPrintable(outPath));
        return 1;
    }
    return 0;
}
