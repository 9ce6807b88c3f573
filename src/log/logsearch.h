#pragma once

#include <QString>

namespace kx47
{

// What the log browser is searching for. The values are kept as they stand between apostrophes
// in SQL text: apostrophes doubled. At most one kind of search is active at a time: none, the
// call, the sub-square (its two last letters), or place and/or province.
struct LogSearch {
    QString call;
    QString wwLocator;
    QString place;
    QString prov;

    bool operator==(const LogSearch &other) const;
    bool operator!=(const LogSearch &other) const { return !(*this == other); }

    // From typed answers: each one gets its apostrophes doubled.
    static LogSearch byCall(const QString &typedCall);
    static LogSearch byWWLocator(const QString &typedLetters);
    static LogSearch byPlace(const QString &typedPlace, const QString &typedProv);

    // The typed text back from a kept value: every doubled apostrophe made single again.
    static QString typedText(const QString &keptValue);
};

} // namespace kx47
