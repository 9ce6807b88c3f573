#include "fixedwidth.h"

#include "typedtext.h"

#include <QTextBoundaryFinder>
#include <algorithm>
#include <iterator>
#include <limits>

namespace kx47
{

namespace
{

// Control characters and line breaks are shown as blanks.
bool isBlanked(QChar c)
{
    const QChar::Category category = c.category();
    return category == QChar::Other_Control || category == QChar::Separator_Line ||
           category == QChar::Separator_Paragraph;
}

// Printable ASCII, which shownValue keeps as it is: no control characters, no direction marks,
// nothing written from right to left. Most stored values are made of it alone.
bool isPrintableAscii(const QString &value)
{
    return std::all_of(value.cbegin(), value.cend(),
                       [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7F; });
}

// Appends the value as fixedField gives it.
void appendField(QString &line, const QString &value, int width)
{
    if (isPrintableAscii(value)) {
        const qsizetype kept = std::min<qsizetype>(value.size(), width);
        line.append(value.constData(), kept);
        line.resize(line.size() + width - kept, QLatin1Char(' '));
        return;
    }
    line += fixedField(value, width);
}

// The code points that take two cells of a fixed-width font: the wide and fullwidth ones of
// Unicode's East Asian Width, the emoji shown as pictures, and the regional indicators that pair
// into flags. Qt has no such table (nor
// wcwidth); these ranges, sorted, are the blocks that matter in a log.
struct WideRange {
    char32_t first;
    char32_t last;
};
constexpr WideRange wideRanges[] = {
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},
    {0x23F0, 0x23F0},   {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},
    {0x2648, 0x2653},   {0x267F, 0x267F},   {0x2693, 0x2693},   {0x26A1, 0x26A1},
    {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},   {0x26CE, 0x26CE},
    {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F3},   {0x26F5, 0x26F5},
    {0x26FA, 0x26FA},   {0x26FD, 0x26FD},   {0x2705, 0x2705},   {0x270A, 0x270B},
    {0x2728, 0x2728},   {0x274C, 0x274C},   {0x274E, 0x274E},   {0x2753, 0x2755},
    {0x2757, 0x2757},   {0x2795, 0x2797},   {0x27B0, 0x27B0},   {0x27BF, 0x27BF},
    {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},   {0x2E80, 0x303E},
    {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},
    {0xA960, 0xA97F},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE10, 0xFE19},
    {0xFE30, 0xFE6F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x16FE0, 0x16FE4},
    {0x17000, 0x18CFF}, {0x1B000, 0x1B2FF}, {0x1F004, 0x1F004}, {0x1F0CF, 0x1F0CF},
    {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F1E6, 0x1F1FF}, {0x1F200, 0x1F202},
    {0x1F210, 0x1F23B}, {0x1F240, 0x1F248}, {0x1F250, 0x1F251}, {0x1F260, 0x1F265},
    {0x1F300, 0x1F320}, {0x1F32D, 0x1F335}, {0x1F337, 0x1F37C}, {0x1F37E, 0x1F393},
    {0x1F3A0, 0x1F3CA}, {0x1F3CF, 0x1F3D3}, {0x1F3E0, 0x1F3F0}, {0x1F3F4, 0x1F3F4},
    {0x1F3F8, 0x1F43E}, {0x1F440, 0x1F440}, {0x1F442, 0x1F4FC}, {0x1F4FF, 0x1F53D},
    {0x1F54B, 0x1F54E}, {0x1F550, 0x1F567}, {0x1F57A, 0x1F57A}, {0x1F595, 0x1F596},
    {0x1F5A4, 0x1F5A4}, {0x1F5FB, 0x1F64F}, {0x1F680, 0x1F6C5}, {0x1F6CC, 0x1F6CC},
    {0x1F6D0, 0x1F6D2}, {0x1F6D5, 0x1F6D7}, {0x1F6DC, 0x1F6DF}, {0x1F6EB, 0x1F6EC},
    {0x1F6F4, 0x1F6FC}, {0x1F7E0, 0x1F7EB}, {0x1F7F0, 0x1F7F0}, {0x1F90C, 0x1F93A},
    {0x1F93C, 0x1F945}, {0x1F947, 0x1F9FF}, {0x1FA70, 0x1FAFF}, {0x20000, 0x2FFFD},
    {0x30000, 0x3FFFD},
};

bool isWide(char32_t code)
{
    const auto after = std::upper_bound(std::begin(wideRanges), std::end(wideRanges), code,
                                        [](char32_t c, const WideRange &r) { return c < r.first; });
    return after != std::begin(wideRanges) && code <= std::prev(after)->last;
}

// Whether a character is dropped from a shown value: the invisible formatting characters
// (zero-width space, word joiner, the byte order mark, the soft hyphen...) and the marks that
// change the direction of text. The joiners stay, as they hold emoji and scripts together.
bool isDropped(QChar c)
{
    if (c.category() == QChar::Other_Format)
        return c != QChar(0x200C) && c != QChar(0x200D);
    return isHiddenFormatting(c) && !isBlanked(c);
}

QString withPlainCharacters(const QString &value)
{
    QString plain;
    plain.reserve(value.size());
    for (const QChar c : value) {
        if (isBlanked(c))
            plain += QLatin1Char(' ');
        else if (!isDropped(c))
            plain += c;
    }
    return plain;
}

// The cells a grapheme cluster of a plain text takes: those of its first character, two for an
// emoji asked for as a picture (U+FE0F), none for a mark without a base.
int cellsOf(QStringView cluster)
{
    if (cluster.isEmpty())
        return 0;
    const char32_t base = cluster.size() > 1 && cluster.at(0).isHighSurrogate()
                              ? QChar::surrogateToUcs4(cluster.at(0), cluster.at(1))
                              : cluster.at(0).unicode();
    switch (QChar::category(base)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_Enclosing:
    case QChar::Mark_SpacingCombining:
    case QChar::Other_Format:
        return 0;
    default:
        break;
    }
    if (isWide(base) || cluster.contains(QChar(0xFE0F)))
        return 2;
    return 1;
}

// The longest beginning of a plain text, by whole grapheme clusters, that takes at most width
// cells; cells tells how many it takes.
QStringView fittedPart(QStringView plain, int width, int *cells)
{
    int used = 0;
    qsizetype kept = 0;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, plain.constData(), int(plain.size()));
    while (kept < plain.size()) {
        const qsizetype end = finder.toNextBoundary();
        if (end < 0)
            break;
        const int clusterCells = cellsOf(plain.mid(kept, end - kept));
        if (used + clusterCells > width)
            break;
        used += clusterCells;
        kept = end;
    }
    *cells = used;
    return plain.left(kept);
}

// Set apart where it holds text written from right to left; the isolate's marks take no room.
QString isolated(const QString &plain)
{
    if (std::none_of(plain.cbegin(), plain.cend(), isRightToLeft))
        return plain;
    return QChar(0x2068) + plain + QChar(0x2069);
}

} // namespace

QString shownValue(const QString &value)
{
    return isolated(withPlainCharacters(value));
}

QString fixedField(const QString &value, int width)
{
    const QString plain = withPlainCharacters(value);
    int cells = 0;
    const QString kept = fittedPart(plain, width, &cells).toString();
    return isolated(kept) + QString(width - cells, QLatin1Char(' '));
}

int displayWidth(const QString &text)
{
    const QString plain = withPlainCharacters(text);
    int cells = 0;
    fittedPart(plain, std::numeric_limits<int>::max(), &cells);
    return cells;
}

QString escapedControls(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const QChar::Category category = c.category();
        const bool lonelySurrogate =
            c.isSurrogate() &&
            !(c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) &&
            !(c.isLowSurrogate() && i > 0 && text.at(i - 1).isHighSurrogate());
        if (category == QChar::Other_Control || category == QChar::Other_Format ||
            category == QChar::Separator_Line || category == QChar::Separator_Paragraph ||
            lonelySurrogate || c == QChar::ReplacementCharacter) {
            escaped += c.unicode() < 0x100
                           ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'))
                           : QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        } else {
            escaped += c;
        }
    }
    return escaped;
}

QString fixedLine(std::initializer_list<FixedColumn> columns)
{
    const QString separator = fieldSeparator();
    qsizetype size = 0;
    for (const FixedColumn &column : columns)
        size += column.width + separator.size();
    QString line;
    line.reserve(size);
    bool first = true;
    for (const FixedColumn &column : columns) {
        if (!first)
            line += separator;
        appendField(line, column.value, column.width);
        first = false;
    }
    return line;
}

} // namespace kx47
