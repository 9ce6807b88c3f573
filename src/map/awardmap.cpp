#include "awardmap.h"

#include "log/logreads.h"
#include "storage/database.h"
#include "text/textforms.h"

#include <QSqlQuery>
#include <algorithm>

namespace kx47
{

namespace
{

const QString placesOfSubSquare =
    QStringLiteral("select place, prov from places where WWLocator = ? order by place");
const QString subSquaresWithPlaces =
    QStringLiteral("select WWLocator from places group by WWLocator");

const QLatin1String square("KX47");

AwardMap::State stateOf(vocabulary::QslState qsl)
{
    switch (qsl) {
    case vocabulary::QslState::Worked:
        return AwardMap::State::Worked;
    case vocabulary::QslState::Confirmed:
        return AwardMap::State::Confirmed;
    case vocabulary::QslState::Accredited:
        break;
    }
    return AwardMap::State::Accredited;
}

int cellLetter(QChar letter)
{
    const char16_t upper = letter.toUpper().unicode();
    return upper >= u'A' && upper <= u'X' ? int(upper - u'A') : -1;
}

// "20 more confirmed", or the word for a threshold already reached.
QString needed(int more, const QString &reached)
{
    return more > 0 ? QStringLiteral("%1 more confirmed").arg(more) : reached;
}

} // namespace

AwardMap::AwardMap(const Database &log, const Database &places) : m_log(log), m_places(places) {}

AwardMap::Data AwardMap::compute(const QString &bandOrAll, const QString &mode) const
{
    Data data;
    data.band = bandOrAll;
    data.mode = mode;
    // Confirmed and accredited QSOs per band, in the order of the award's bands.
    std::array<int, vocabulary::bands.size()> confirmedQsos{};
    std::array<int, vocabulary::bands.size()> accreditedQsos{};

    QSqlQuery rows = LogReads(m_log).grouped(bandOrAll, mode);
    // A band or state of one group is most often that of the group before.
    QString lastBand, lastQsl;
    int band = -1;
    std::optional<vocabulary::QslState> qsl;
    while (rows.next()) {
        const QString bandText = rows.value(0).toString();
        if (bandText != lastBand) {
            lastBand = bandText;
            band = vocabulary::bandIndex(bandText, Qt::CaseInsensitive);
        }
        const QString qslText = rows.value(1).toString();
        if (qslText != lastQsl) {
            lastQsl = qslText;
            qsl = vocabulary::qslStateOf(qslText);
        }
        if (band < 0 || !qsl)
            continue;
        const int qsos = rows.value(3).toInt();
        if (*qsl == vocabulary::QslState::Confirmed)
            confirmedQsos[band] += qsos;
        else if (*qsl == vocabulary::QslState::Accredited)
            accreditedQsos[band] += qsos;
        const std::optional<std::pair<int, int>> cell = cellOf(rows.value(2).toString());
        if (!cell)
            continue;
        State &shown = data.cells[index(cell->first, cell->second)];
        shown = std::max(shown, stateOf(*qsl));
    }

    // A sub-square without a card but with a confirmation by LoTW or eQSL.
    QSqlQuery electronic = LogReads(m_log).electronicSubSquares(bandOrAll, mode);
    while (electronic.next()) {
        if (vocabulary::bandIndex(electronic.value(0).toString(), Qt::CaseInsensitive) < 0)
            continue;
        if (const std::optional<std::pair<int, int>> cell =
                cellOf(electronic.value(1).toString())) {
            State &shown = data.cells[index(cell->first, cell->second)];
            shown = std::max(shown, State::Electronic);
        }
    }

    for (const State state : data.cells) {
        if (state == State::Worked)
            ++data.worked;
        else if (state == State::Electronic)
            ++data.electronic;
        else if (state == State::Confirmed)
            ++data.confirmed;
        else if (state == State::Accredited)
            ++data.accredited;
    }

    // The base award lists its number of confirmed QSOs; once that many are accredited it is
    // obtained, and each endorsement lists its own number of further confirmed QSOs.
    for (int row = 0; row < int(vocabulary::bands.size()); ++row) {
        const vocabulary::Band &entry = vocabulary::bands[row];
        const QString name = QString::fromLatin1(entry.name);
        if (!bandOrAll.isEmpty() && bandOrAll.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        BandProgress progress;
        progress.band = name;
        progress.confirmedQsos = confirmedQsos[row];
        progress.accreditedQsos = accreditedQsos[row];
        progress.baseObtained = progress.accreditedQsos >= entry.base;
        if (progress.baseObtained) {
            progress.endorsementNeeded = std::max(0, entry.endorsement - progress.confirmedQsos);
        } else {
            progress.baseNeeded = std::max(0, entry.base - progress.confirmedQsos);
            progress.endorsementNeeded =
                std::max(0, entry.base + entry.endorsement - progress.confirmedQsos);
        }
        data.progress << progress;
    }
    return data;
}

std::bitset<AwardMap::cellCount> AwardMap::withPlaces() const
{
    std::bitset<cellCount> cells;
    QSqlQuery rows = m_places.run(subSquaresWithPlaces);
    while (rows.next()) {
        const QString locator = rows.value(0).toString();
        if (locator.size() != 6 || !locator.startsWith(square, Qt::CaseInsensitive))
            continue;
        if (const std::optional<std::pair<int, int>> cell = cellOf(locator.mid(4)))
            cells.set(index(cell->first, cell->second));
    }
    return cells;
}

QStringList AwardMap::qsoLines(int column, int row, const QString &bandOrAll, const QString &mode,
                               int limit) const
{
    QSqlQuery rows = LogReads(m_log).qsosOfSubSquare(letters(column, row), bandOrAll, mode);
    QStringList lines;
    int more = 0;
    while (rows.next()) {
        if (lines.size() == limit) {
            ++more;
            continue;
        }
        const std::optional<vocabulary::QslState> qsl =
            vocabulary::qslStateOf(rows.value(5).toString());
        QString line = QStringLiteral("%1  %2  %3  %4  %5  %6")
                           .arg(rows.value(0).toString(), dateText(rows.value(1).toString()),
                                listTime(rows.value(2).toString()), rows.value(3).toString(),
                                rows.value(4).toString(),
                                qsl ? stateName(stateOf(*qsl)) : rows.value(5).toString());
        const QString services = electronicText(!rows.value(6).toString().isEmpty(),
                                                !rows.value(7).toString().isEmpty());
        if (!services.isEmpty())
            line += QStringLiteral(", ") + services;
        lines << line;
    }
    if (more > 0)
        lines << QStringLiteral("... and %1 more").arg(more);
    return lines;
}

QStringList AwardMap::placeLines(int column, int row) const
{
    QSqlQuery rows = m_places.run(placesOfSubSquare, {square + letters(column, row)});
    QStringList lines;
    while (rows.next())
        lines << QStringLiteral("%1 (%2)").arg(rows.value(0).toString(), rows.value(1).toString());
    return lines;
}

QString AwardMap::letters(int column, int row)
{
    const QChar pair[2] = {QChar(u'A' + column), QChar(u'A' + row)};
    return QString(pair, 2);
}

std::optional<std::pair<int, int>> AwardMap::cellOf(const QString &letters)
{
    if (letters.size() != 2)
        return std::nullopt;
    const int column = cellLetter(letters[0]);
    const int row = cellLetter(letters[1]);
    if (column < 0 || row < 0)
        return std::nullopt;
    return std::make_pair(column, row);
}

const QVector<AwardMap::State> &AwardMap::legendStates()
{
    static const QVector<State> states{State::Accredited, State::Confirmed, State::Electronic,
                                       State::Worked, State::None};
    return states;
}

QString AwardMap::electronicText(bool lotw, bool eqsl)
{
    if (lotw && eqsl)
        return QStringLiteral("LoTW and eQSL");
    if (lotw)
        return QStringLiteral("LoTW");
    return eqsl ? QStringLiteral("eQSL") : QString();
}

QChar AwardMap::stateLetter(State state)
{
    switch (state) {
    case State::Electronic:
        return QChar(u'e');
    case State::Worked:
        return QChar(vocabulary::qslWorked.front());
    case State::Confirmed:
        return QChar(vocabulary::qslConfirmed.front());
    case State::Accredited:
        return QChar(vocabulary::qslAccredited.front());
    case State::None:
        break;
    }
    return QChar(u' ');
}

QString AwardMap::stateName(State state)
{
    switch (state) {
    case State::Electronic:
        return QStringLiteral("confirmed electronically, card missing");
    case State::Worked:
        return QStringLiteral("worked");
    case State::Confirmed:
        return QStringLiteral("confirmed");
    case State::Accredited:
        return QStringLiteral("accredited");
    case State::None:
        break;
    }
    return QStringLiteral("none");
}

QString AwardMap::bandCaption(const QString &bandOrAll)
{
    return bandOrAll.isEmpty() ? QStringLiteral("All bands") : bandOrAll;
}

QStringList AwardMap::figureLines(const Data &data)
{
    QStringList lines{
        QStringLiteral("Sub-squares accredited: %1").arg(data.accredited),
        QStringLiteral("Sub-squares confirmed: %1").arg(data.confirmed),
        QStringLiteral("Sub-squares with LoTW or eQSL, card missing: %1").arg(data.electronic),
        QStringLiteral("Sub-squares worked: %1").arg(data.worked),
        QStringLiteral("Sub-squares without QSO: %1")
            .arg(cellCount - data.worked - data.electronic - data.confirmed - data.accredited),
    };
    for (const BandProgress &band : data.progress) {
        const vocabulary::Band *entry = vocabulary::findBand(band.band);
        lines << QStringLiteral("%1 base award (%2): %3")
                     .arg(band.band)
                     .arg(entry->base)
                     .arg(band.baseObtained ? QStringLiteral("obtained")
                                            : needed(band.baseNeeded, QStringLiteral("ready")));
        lines << QStringLiteral("%1 endorsement (%2): %3")
                     .arg(band.band)
                     .arg(entry->endorsement)
                     .arg(needed(band.endorsementNeeded, QStringLiteral("ready")));
    }
    return lines;
}

QStringList AwardMap::textLines(const Data &data, const std::bitset<cellCount> &withPlaces)
{
    QStringList lines{QStringLiteral("DIPLOMA KX47 award map, band %1, mode %2")
                          .arg(bandCaption(data.band), data.mode),
                      QString()};
    QString edge = QStringLiteral("   ");
    for (int column = 0; column < side; ++column)
        edge += QLatin1Char(' ') + QChar(u'A' + column);
    lines << edge;
    for (int row = side - 1; row >= 0; --row) {
        const QChar rowLetter(u'A' + row);
        QString line = QStringLiteral(" ") + rowLetter + QLatin1Char(' ');
        for (int column = 0; column < side; ++column) {
            const State state = data.at(column, row);
            QChar shown = stateLetter(state);
            if (state == State::None)
                shown = withPlaces.test(index(column, row)) ? QChar(u'.') : QChar(u'/');
            line += QLatin1Char(' ') + shown;
        }
        lines << line + QStringLiteral("  ") + rowLetter;
    }
    QStringList legend;
    for (const State state : legendStates()) {
        if (state != State::None)
            legend << stateLetter(state) + QLatin1Char(' ') + stateName(state);
    }
    legend << QStringLiteral(". no QSO")
           << QStringLiteral("/ no QSO and no place in the gazetteer");
    lines << edge << QString() << legend.join(QLatin1String("   ")) << QString();
    lines << figureLines(data);
    return lines;
}

} // namespace kx47
