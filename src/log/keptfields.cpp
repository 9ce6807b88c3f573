#include "keptfields.h"

namespace kx47::keptfields
{

void append(QString &kept, int field, QStringView value)
{
    value = value.trimmed();
    if (value.isEmpty() || field < 0 || field >= int(names.size()))
        return;
    kept += QChar(char16_t('a' + field));
    for (const QChar c : value) {
        if (c.unicode() != 0x1f)
            kept += c;
    }
    kept += QChar(char16_t(0x1f));
}

bool has(const QString &kept, int field)
{
    bool found = false;
    forEach(kept, [&](int each, QStringView) { found = found || each == field; });
    return found;
}

QString afterEdit(const QString &kept, bool bandChanged, bool modeChanged)
{
    if (!bandChanged && !modeChanged)
        return kept;
    QString left;
    forEach(kept, [&](int field, QStringView value) {
        const bool stale = (bandChanged && (field == Freq || field == Band || field == PropMode ||
                                            field == SatName)) ||
                           (modeChanged && (field == Mode || field == Submode));
        if (!stale)
            append(left, field, value);
    });
    return left;
}

} // namespace kx47::keptfields
