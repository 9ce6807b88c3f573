#include "typedtext.h"

namespace kx47
{

namespace
{

QString withoutHiddenFormatting(const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if (!isHiddenFormatting(c))
            kept += c;
    }
    return kept;
}

QString tidied(const QString &text, bool upperCase)
{
    const QString kept = withoutHiddenFormatting(text);
    return upperCase ? kept.toUpper() : kept;
}

} // namespace

bool isHiddenFormatting(QChar c)
{
    switch (c.category()) {
    case QChar::Other_Control:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        break;
    }
    switch (c.direction()) {
    case QChar::DirLRE:
    case QChar::DirRLE:
    case QChar::DirLRO:
    case QChar::DirRLO:
    case QChar::DirPDF:
    case QChar::DirLRI:
    case QChar::DirRLI:
    case QChar::DirFSI:
    case QChar::DirPDI:
        return true;
    default:
        break;
    }
    // The left-to-right, right-to-left and Arabic letter marks.
    return c == QChar(0x200E) || c == QChar(0x200F) || c == QChar(0x061C);
}

bool isRightToLeft(QChar c)
{
    const QChar::Direction direction = c.direction();
    return direction == QChar::DirR || direction == QChar::DirAL || direction == QChar::DirAN;
}

TypedText typedText(const QString &text, int caret, bool upperCase)
{
    const int before = qBound(0, caret, int(text.size()));
    return {tidied(text, upperCase), int(tidied(text.left(before), upperCase).size())};
}

} // namespace kx47
