#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <cstddef>

namespace kx47
{

// FNV-1a over the UTF-16 units of a text or the bytes of a stored value: for keys of a few
// characters (calls, sub-squares, place names, a band or a date) Qt's own hash of a string or a
// byte array costs more than the rest of the work that looks them up.
inline size_t fnv1a(QStringView text) noexcept
{
    size_t hash = 14695981039346656037ULL;
    for (const QChar c : text) {
        hash ^= c.unicode();
        hash *= 1099511628211ULL;
    }
    return hash;
}

inline size_t fnv1a(QByteArrayView bytes) noexcept
{
    size_t hash = 14695981039346656037ULL;
    for (const char byte : bytes) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 1099511628211ULL;
    }
    return hash;
}

// A text as the key of a QHash, hashed character by character (fnv1a) once, when it is made:
// the hash kept with the text spares reading the text of other keys while searching and
// growing the table.
struct TextKey {
    QString text;
    size_t hash = hashOf(QStringView());

    TextKey() = default;
    explicit TextKey(const QString &keyText) : text(keyText), hash(hashOf(keyText)) {}

    // After text was changed in place.
    void rehash() { hash = hashOf(text); }

    static size_t hashOf(QStringView keyText) noexcept { return fnv1a(keyText); }

    bool operator==(const TextKey &other) const { return hash == other.hash && text == other.text; }
    friend size_t qHash(const TextKey &key, size_t seed) noexcept { return key.hash ^ seed; }
};

} // namespace kx47
