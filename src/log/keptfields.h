#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <array>

namespace kx47::keptfields
{

// The fields of a file the log has no column for, kept beside a QSO that came from a file
// (column kept of table data) so that an export writes them again. They are stored compactly:
// per field one letter naming it (its place in `names`, 'a' for the first) and its text, each
// field ended by the unit separator U+001F, which a field's text never holds (it is dropped).
// The letters are stored in logs: the list only grows at its end.
inline constexpr std::array<const char *, 16> names{
    {"FREQ", "BAND", "MODE", "SUBMODE", "RST_SENT", "RST_RCVD", "STX", "SRX", "COMMENT", "NAME",
     "OPERATOR", "STATION_CALLSIGN", "MY_GRIDSQUARE", "PROP_MODE", "SAT_NAME", "CONTEST_ID"}};
enum Field {
    Freq,
    Band,
    Mode,
    Submode,
    RstSent,
    RstRcvd,
    Stx,
    Srx,
    Comment,
    Name,
    Operator,
    StationCallsign,
    MyGridsquare,
    PropMode,
    SatName,
    ContestId
};

// Adds a field to kept; an empty (or blank) value adds nothing.
void append(QString &kept, int field, QStringView value);
// Calls take(field, value) for each field of kept, in the order they were added.
template <class Take> void forEach(const QString &kept, Take &&take)
{
    const QChar *at = kept.constData();
    const QChar *end = at + kept.size();
    while (at < end) {
        const int field = at->unicode() - 'a';
        const QChar *value = ++at;
        while (at < end && at->unicode() != 0x1f)
            ++at;
        if (field >= 0 && field < int(names.size()))
            take(field, QStringView(value, at - value));
        ++at;
    }
}
// The same of kept in UTF-8 (the field's letters and the separator are ASCII there too).
template <class Take> void forEach(QByteArrayView kept, Take &&take)
{
    const char *at = kept.data();
    const char *end = at + kept.size();
    while (at < end) {
        const int field = *at - 'a';
        const char *value = ++at;
        while (at < end && *at != 0x1f)
            ++at;
        if (field >= 0 && field < int(names.size()))
            take(field, QByteArrayView(value, at - value));
        ++at;
    }
}
// Whether kept holds the field.
bool has(const QString &kept, int field);
// The fields an edit leaves true: a changed band makes the file's frequency, band and
// propagation (satellite) stale, a changed mode its mode and submode.
QString afterEdit(const QString &kept, bool bandChanged, bool modeChanged);

} // namespace kx47::keptfields
