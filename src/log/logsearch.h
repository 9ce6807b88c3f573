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

    // What is searched for, as the user typed it ("call = I0ABC", "place = ROMA, prov = RN");
    // empty when nothing is.
    QString description() const;
    // The browser's status line: how many QSOs are listed and which search lists them
    // ("12 QSOs, call = I0ABC"); "No QSO matches" when a search finds none. While the lines
    // are still being read, how many so far.
    QString statusLine(int listed, bool complete = true) const;
};

} // namespace kx47
