#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

namespace kx47::ascii
{

// Letter case as the log compares its text (SQLite's NOCASE): the letters A to Z and a to z
// only, every other character as it is. For bytes, UTF-16 code units and their QChars alike.
template <typename C> constexpr C upper(C c)
{
    return c >= C('a') && c <= C('z') ? C(c - (C('a') - C('A'))) : c;
}

template <typename C> constexpr C lower(C c)
{
    return c >= C('A') && c <= C('Z') ? C(c + (C('a') - C('A'))) : c;
}

inline QChar upper(QChar c)
{
    return QChar(upper(c.unicode()));
}

inline QChar lower(QChar c)
{
    return QChar(lower(c.unicode()));
}

// Whether every character of text is ASCII, so that the folding above is the whole of Qt's.
inline bool isAscii(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

// Appends text in capitals to out: ASCII at once, anything else by Qt's own case mapping.
inline void appendUpper(QString &out, QStringView text)
{
    if (!isAscii(text)) {
        out += text.toString().toUpper();
        return;
    }
    const qsizetype start = out.size();
    out.resize(start + text.size());
    QChar *to = out.data() + start;
    for (const QChar c : text)
        *to++ = upper(c);
}

} // namespace kx47::ascii
