#pragma once

#include <QString>
#include <QStringView>
#include <cstddef>

namespace kx47
{

// A text as the key of a QHash, hashed character by character (FNV-1a) once, when it is made.
// For many keys of a few characters (calls, sub-squares, place names) Qt's own hash of a
// string costs more than the rest of the work that looks them up; the hash kept with the text
// spares reading the text of other keys while searching and growing the table.
struct TextKey {
    QString text;
    size_t hash = hashOf(QStringView());

    TextKey() = default;
    explicit TextKey(const QString &keyText) : text(keyText), hash(hashOf(keyText)) {}

    // After text was changed in place.
    void rehash() { hash = hashOf(text); }

    static size_t hashOf(QStringView keyText) noexcept
    {
        size_t h = 14695981039346656037ULL;
        for (const QChar c : keyText) {
            h ^= c.unicode();
            h *= 1099511628211ULL;
        }
        return h;
    }

    bool operator==(const TextKey &other) const { return hash == other.hash && text == other.text; }
    friend size_t qHash(const TextKey &key, size_t seed) noexcept { return key.hash ^ seed; }
};

} // namespace kx47
