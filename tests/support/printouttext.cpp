#include "printouttext.h"

#include <QProcess>
#include <QStandardPaths>
#include <QXmlStreamReader>

namespace kx47::test
{

namespace
{

bool runPdftotext(const QStringList &arguments, QByteArray *output, QString *error)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        *error = QStringLiteral("pdftotext %1 failed: %2")
                     .arg(arguments.join(QLatin1Char(' ')),
                          QString::fromLocal8Bit(process.readAllStandardError()));
        return false;
    }
    *output = process.readAllStandardOutput();
    return true;
}

QString trimmedRight(QString text)
{
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

} // namespace

bool PrintoutText::available()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

bool PrintoutText::read(const QString &pdfPath)
{
    m_pages.clear();
    m_boxes.clear();
    QByteArray layout;
    if (!runPdftotext({QStringLiteral("-layout"), QStringLiteral("-fixed"), QStringLiteral("4.8"),
                       QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdfPath,
                       QStringLiteral("-")},
                      &layout, &m_error))
        return false;
    QStringList pages = QString::fromUtf8(layout).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast(); // pdftotext ends the last page with a form feed too
    for (const QString &page : pages) {
        QStringList lines = page.split(QLatin1Char('\n'));
        while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
            lines.removeLast();
        m_pages << lines;
    }

    QByteArray boxes;
    if (!runPdftotext({QStringLiteral("-bbox"), QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                       pdfPath, QStringLiteral("-")},
                      &boxes, &m_error))
        return false;
    QXmlStreamReader xml(boxes);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        auto number = [&attributes](const char *name) {
            return attributes.value(QLatin1String(name)).toDouble();
        };
        if (xml.name() == QLatin1String("page")) {
            m_boxes.append(Page{number("width"), number("height"), {}});
        } else if (xml.name() == QLatin1String("word") && !m_boxes.isEmpty()) {
            const double left = number("xMin"), top = number("yMin"), right = number("xMax"),
                         bottom = number("yMax");
            m_boxes.last().words.append({xml.readElementText(), left, top, right, bottom});
        }
    }
    if (xml.hasError()) {
        m_error = xml.errorString();
        return false;
    }
    return true;
}

QStringList PrintoutText::lines() const
{
    QStringList all;
    for (const QStringList &page : m_pages)
        all << page;
    return all;
}

int PrintoutText::lineOf(const QString &text) const
{
    const QStringList all = lines();
    for (int i = 0; i < all.size(); ++i) {
        if (all[i].simplified().contains(text))
            return i;
    }
    return -1;
}

int commonShift(const QStringList &printed, const QStringList &readBack)
{
    if (printed.size() != readBack.size())
        return -1;
    int shift = -1;
    for (int i = 0; i < printed.size(); ++i) {
        const QString expected = trimmedRight(printed[i]);
        const QString actual = trimmedRight(readBack[i]);
        if (expected.isEmpty() != actual.isEmpty())
            return -1;
        if (expected.isEmpty())
            continue;
        const int lineShift = int(actual.size() - expected.size());
        if (lineShift < 0 || (shift >= 0 && lineShift != shift) ||
            actual.mid(lineShift) != expected || !actual.left(lineShift).trimmed().isEmpty())
            return -1;
        shift = lineShift;
    }
    return shift;
}

} // namespace kx47::test
