#pragma once

#include <QString>

namespace kx47
{

// True for a character that no entry field takes and no list shows as it is: control
// characters (tab and line breaks included), the line and paragraph separators, and the
// invisible marks that change the direction of text (embeddings, overrides, isolates and the
// direction marks).
bool isHiddenFormatting(QChar c);

// True for a character written from right to left (Hebrew, Arabic and their digits).
bool isRightToLeft(QChar c);

// A text as an entry field keeps it, with the caret that goes with it.
struct TypedText {
    QString text;
    int caret = 0;
};

// What a field keeps of the text typed or pasted into it: without hidden formatting, in upper
// case where the field asks for it. The caret stays after the same characters it stood after,
// whatever the change of length (ß becomes SS).
TypedText typedText(const QString &text, int caret, bool upperCase);

} // namespace kx47
