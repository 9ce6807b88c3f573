#include "awardvocabulary.h"

#include "text/asciicase.h"

namespace kx47::vocabulary
{

namespace
{

template <std::size_t N> QStringList namesOf(const std::array<const char *, N> &texts)
{
    QStringList names;
    names.reserve(int(N));
    for (const char *text : texts)
        names << QString::fromLatin1(text);
    return names;
}

} // namespace

QStringList bandNames()
{
    QStringList names;
    names.reserve(int(bands.size()));
    for (const Band &band : bands)
        names << QString::fromLatin1(band.name);
    return names;
}

QStringList modeNames()
{
    return namesOf(modes);
}

QStringList provinceCodes()
{
    return namesOf(provinces);
}

QStringList qslLetters()
{
    QStringList letters;
    for (const QslState state : qslStates)
        letters << QString(qslLetter(state));
    return letters;
}

int bandIndex(const QString &band, Qt::CaseSensitivity sensitivity)
{
    for (int index = 0; index < int(bands.size()); ++index) {
        if (band.compare(QLatin1String(bands[index].name), sensitivity) == 0)
            return index;
    }
    return -1;
}

const Band *findBand(const QString &band)
{
    const int index = bandIndex(band);
    return index < 0 ? nullptr : &bands[index];
}

int modeIndex(const QString &mode)
{
    for (int index = 0; index < int(modes.size()); ++index) {
        if (mode == QLatin1String(modes[index]))
            return index;
    }
    return -1;
}

QLatin1String qslLetter(QslState state)
{
    switch (state) {
    case QslState::Worked:
        return qslWorked;
    case QslState::Confirmed:
        return qslConfirmed;
    case QslState::Accredited:
        break;
    }
    return qslAccredited;
}

std::optional<QslState> qslStateOf(const QString &letter)
{
    for (const QslState state : qslStates) {
        if (letter.compare(qslLetter(state), Qt::CaseInsensitive) == 0)
            return state;
    }
    return std::nullopt;
}

QslState storedQslState(const QString &letter)
{
    return qslStateOf(letter).value_or(QslState::Worked);
}

QslState storedQslState(QByteArrayView letter)
{
    // One ASCII letter, as the log holds them: compared without a text of its own.
    if (letter.size() == 1 && uchar(letter[0]) < 0x80) {
        const char lower = ascii::lower(letter[0]);
        for (const QslState state : qslStates) {
            const QLatin1String stored = qslLetter(state);
            if (stored.size() == 1 && ascii::lower(stored[0].toLatin1()) == lower)
                return state;
        }
        return QslState::Worked;
    }
    return storedQslState(QString::fromUtf8(letter));
}

bool isQsl(const QString &letter, QslState state)
{
    return letter.compare(qslLetter(state), Qt::CaseInsensitive) == 0;
}

} // namespace kx47::vocabulary
