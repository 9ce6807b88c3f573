#include "importplan.h"

#include "log/awardvocabulary.h"
#include "log/logreads.h"
#include "storage/database.h"
#include "text/asciicase.h"
#include "text/fixedwidth.h"

#include <QDate>
#include <QSqlQuery>
#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace kx47
{

namespace
{

const char *const captions[ImportPlan::outcomeCount + 1] = {
    "new worked",
    "new confirmed",
    "confirmations added",
    "LoTW or eQSL confirmations added",
    "already in the log",
    "outside KX47",
    "sub-square unknown",
    "sub-square differs from the log",
    "band outside the award",
    "refused, accredited already",
    "stored as worked, confirmed elsewhere",
    "unreadable",
    "not in the log",
};

const QChar separator(0x1f);

} // namespace

QString ImportPlan::caption(ImportOutcome outcome)
{
    return QString::fromLatin1(captions[static_cast<int>(outcome)]);
}

void ImportPlan::makeKeys(const QsoRecord &r)
{
    // The capitals of the whole key are the capitals of its parts: Qt's case mapping of a
    // character does not depend on its neighbours.
    QString &slot = m_slotKey.text;
    slot.truncate(0);
    ascii::appendUpper(slot, r.locator);
    slot += separator;
    ascii::appendUpper(slot, r.band);
    slot += separator;
    ascii::appendUpper(slot, r.mode);
    m_slotKey.rehash();
    const auto found = m_slots.constFind(m_slotKey);
    m_slot = found != m_slots.constEnd() ? *found : -1;
    if (m_slot >= 0) {
        m_bandMode = m_slotList[m_slot].bandMode;
    } else {
        // The call key: the QSO key without its sub-square.
        const auto known = m_bandModes.constFind(slot.mid(slot.indexOf(separator) + 1));
        m_bandMode = known != m_bandModes.constEnd() ? *known : -1;
    }
    m_keyText.truncate(0);
    ascii::appendUpper(m_keyText, QStringView(r.call).trimmed());
    m_call = m_keyText.toUtf8();
    m_callHash = fnv1a(QByteArrayView(m_call));
}

QByteArrayView ImportPlan::callAt(int at) const
{
    const char *text = m_calls[size_t(at) / callBlockBytes].get() + at % callBlockBytes;
    quint32 size = quint8(*text++);
    if (size == 255) {
        std::memcpy(&size, text, sizeof size);
        text += sizeof size;
    }
    return QByteArrayView(text, size);
}

int ImportPlan::storeCall(QByteArrayView call)
{
    const qsizetype prefix = call.size() < 255 ? 1 : 1 + qsizetype(sizeof(quint32));
    const qsizetype bytes = prefix + call.size();
    if (m_calls.empty() || m_callsUsed + bytes > callBlockBytes) {
        // A call longer than a block (the log may hold one) has a block of its own.
        m_calls.push_back(std::make_unique<char[]>(size_t(std::max(bytes, callBlockBytes))));
        m_callsUsed = 0;
    }
    const int at = int(m_calls.size() - 1) * int(callBlockBytes) + m_callsUsed;
    char *to = m_calls.back().get() + m_callsUsed;
    if (prefix == 1) {
        *to++ = char(call.size());
    } else {
        const quint32 size = quint32(call.size());
        *to++ = char(255);
        std::memcpy(to, &size, sizeof size);
        to += sizeof size;
    }
    std::memcpy(to, call.data(), size_t(call.size()));
    m_callsUsed += int(bytes);
    return at;
}

namespace
{

size_t chainHash(size_t callHash, int bandMode)
{
    size_t hash = (callHash ^ size_t(bandMode)) * 0x9e3779b97f4a7c15ULL;
    return hash ^ (hash >> 29);
}

} // namespace

size_t ImportPlan::chainPlace(int bandMode) const
{
    const size_t mask = m_chains.size() - 1;
    for (size_t place = chainHash(m_callHash, bandMode) & mask;; place = (place + 1) & mask) {
        const int last = m_chains[place];
        if (last < 0)
            return place;
        const Entry &e = entry(last);
        if (m_slotList[e.slot].bandMode == bandMode && callAt(e.callAt) == QByteArrayView(m_call))
            return place;
    }
}

void ImportPlan::growChains()
{
    std::vector<int> old(m_chains.empty() ? 1024 : m_chains.size() * 2, -1);
    old.swap(m_chains);
    const size_t mask = m_chains.size() - 1;
    for (const int last : old) {
        if (last < 0)
            continue;
        const Entry &e = entry(last);
        size_t place = chainHash(fnv1a(callAt(e.callAt)), m_slotList[e.slot].bandMode) & mask;
        while (m_chains[place] >= 0)
            place = (place + 1) & mask;
        m_chains[place] = last;
    }
}

qint64 ImportPlan::minutesOf(const QString &date, const QString &time)
{
    const QDate day = QDate::fromString(date, Qt::ISODate);
    if (!day.isValid() || time.size() < 5 || time.at(2) != QLatin1Char(':'))
        return -1;
    bool hoursOk = false;
    bool minutesOk = false;
    const int hours = QStringView(time).left(2).toInt(&hoursOk);
    const int minutes = QStringView(time).mid(3, 2).toInt(&minutesOk);
    if (!hoursOk || !minutesOk)
        return -1;
    return day.toJulianDay() * 1440 + hours * 60 + minutes;
}

void ImportPlan::loadLog(const Database &log, const QStringList &bands)
{
    QSqlQuery query = LogReads(log).qsosForMatching(bands);
    QsoRecord qso;
    while (query.next()) {
        qso.count = query.value(0).toInt();
        qso.locator = query.value(1).toString();
        qso.call = query.value(2).toString();
        qso.date = query.value(3).toString();
        qso.time = query.value(4).toString();
        qso.mode = query.value(5).toString();
        qso.band = query.value(6).toString();
        qso.qsl = vocabulary::storedQslState(query.value(7).toString());
        qso.lotw = query.value(8).toString();
        qso.lotwDate = query.value(9).toString();
        qso.eqsl = query.value(10).toString();
        qso.eqslDate = query.value(11).toString();
        addLogQso(qso);
    }
}

int ImportPlan::slotOf(const QsoRecord &r)
{
    const auto found = m_slots.constFind(m_slotKey);
    if (found != m_slots.constEnd())
        return *found;
    const int index = m_slotList.size();
    const QString bandMode = m_slotKey.text.mid(m_slotKey.text.indexOf(separator) + 1);
    auto known = m_bandModes.constFind(bandMode);
    if (known == m_bandModes.constEnd())
        known = m_bandModes.insert(bandMode, m_bandModes.size());
    m_slotList.append(Slot{r.locator.toUpper(), *known, false, -1});
    m_slots.insert(m_slotKey, index);
    return index;
}

// The keys of r are made already.
int ImportPlan::addEntry(const QsoRecord &r, int count, bool isNew)
{
    const int index = m_entryCount;
    const int slot = slotOf(r);
    m_slot = slot;
    m_bandMode = m_slotList[slot].bandMode;
    if (m_chains.empty() || (m_chainCount + 1) * 4 > int(m_chains.size()) * 3)
        growChains();
    const size_t place = chainPlace(m_bandMode);
    const int previous = m_chains[place];
    // The call is kept once: an entry of the same call key shares it.
    const int at = previous >= 0 ? entry(previous).callAt : storeCall(m_call);
    if (previous < 0)
        ++m_chainCount;
    if ((index & entryMask) == 0)
        m_entries.push_back(std::make_unique<Entry[]>(size_t(entryMask) + 1));
    Entry &e = entry(index);
    const qint64 when = minutesOf(r.date, r.time);
    e.count = count;
    e.previous = previous;
    e.callAt = at;
    e.slot = slot;
    e.day = when >= 0 ? int(when / 1440) : 0;
    e.minute = when >= 0 ? quint16(when % 1440) : 0;
    e.qsl = static_cast<unsigned char>(r.qsl);
    e.hasWhen = when >= 0;
    e.isNew = isNew;
    e.lotw = !r.lotw.isEmpty();
    e.lotwDated = !r.lotwDate.isEmpty();
    e.eqsl = !r.eqsl.isEmpty();
    e.eqslDated = !r.eqslDate.isEmpty();
    m_chains[place] = index;
    ++m_entryCount;
    return index;
}

void ImportPlan::addLogQso(const QsoRecord &qso)
{
    makeKeys(qso);
    const int index = addEntry(qso, qso.count, false);
    Slot &slot = m_slotList[entry(index).slot];
    const vocabulary::QslState qsl = entry(index).qslState();
    if (qsl == vocabulary::QslState::Accredited)
        slot.accredited = true;
    if (logrules::holdsSlot(qsl) && slot.holder < 0)
        slot.holder = index;
}

// Of equally near entries, the first one planned.
int ImportPlan::nearest(qint64 when, bool ofCall) const
{
    if (m_bandMode < 0 || m_chains.empty() || when < 0 || (!ofCall && m_slot < 0))
        return -1;
    int best = -1;
    qint64 bestDistance = matchMinutes + 1;
    for (int index = m_chains[chainPlace(m_bandMode)]; index >= 0;) {
        const Entry &e = entry(index);
        if (e.hasWhen && (ofCall || e.slot == m_slot)) {
            const qint64 distance = std::llabs(e.when() - when);
            if (distance < bestDistance || (distance == bestDistance && best >= 0)) {
                best = index;
                bestDistance = distance;
            }
        }
        index = e.previous;
    }
    return best;
}

ImportOutcome ImportPlan::merge(const QsoRecord &record, int match)
{
    Entry &logged = entry(match);
    Slot &slot = m_slotList[logged.slot];
    ImportOutcome outcome = ImportOutcome::AlreadyInLog;
    // A confirmation from the file raises a worked QSO to confirmed where the rules let it.
    if (logrules::holdsSlot(record.qsl) && logged.qslState() == vocabulary::QslState::Worked &&
        logrules::raising(slot.holders(), logged.qslState(), vocabulary::QslState::Confirmed) ==
            logrules::Rule::Kept) {
        logged.qsl = static_cast<unsigned char>(vocabulary::QslState::Confirmed);
        slot.holder = match;
        if (logged.isNew) {
            // A QSO of this file, worked above and confirmed here: it is added once, as
            // confirmed.
            --m_counts[static_cast<int>(ImportOutcome::NewWorked)];
            ++m_counts[static_cast<int>(ImportOutcome::NewConfirmed)];
        } else {
            outcome = ImportOutcome::ConfirmationAdded;
        }
        if (confirm)
            confirm(logged.count);
    }
    // A confirmation by LoTW or eQSL is kept, and so is its date where the log had none.
    const bool lotw = !record.lotw.isEmpty() &&
                      (!logged.lotw || (!logged.lotwDated && !record.lotwDate.isEmpty()));
    const bool eqsl = !record.eqsl.isEmpty() &&
                      (!logged.eqsl || (!logged.eqslDated && !record.eqslDate.isEmpty()));
    if (lotw || eqsl) {
        QsoRecord added;
        if (lotw) {
            logged.lotw = true;
            logged.lotwDated = !record.lotwDate.isEmpty();
            added.lotw = record.lotw;
            added.lotwDate = record.lotwDate;
        }
        if (eqsl) {
            logged.eqsl = true;
            logged.eqslDated = !record.eqslDate.isEmpty();
            added.eqsl = record.eqsl;
            added.eqslDate = record.eqslDate;
        }
        if (addElectronic)
            addElectronic(logged.count, added);
        if (outcome == ImportOutcome::AlreadyInLog && !logged.isNew)
            outcome = ImportOutcome::ElectronicAdded;
    }
    return outcome;
}

ImportOutcome ImportPlan::add(const QsoRecord &record, qint64 recordNumber)
{
    makeKeys(record);
    const qint64 when = minutesOf(record.date, record.time);

    ImportOutcome outcome;
    if (record.locator.isEmpty()) {
        // No sub-square named: only a QSO of the log can take it.
        const int match = nearest(when, true);
        outcome = match >= 0          ? merge(record, match)
                  : confirmationsOnly ? ImportOutcome::NotInLog
                                      : ImportOutcome::SubSquareUnknown;
        ++m_counts[static_cast<int>(outcome)];
        return outcome;
    }
    const int match = nearest(when, false);
    // A logged QSO of the same call, band and mode at that time in another sub-square: one of
    // the two locators is wrong. Two records of one file in two sub-squares are a station on
    // the move, and both count.
    const int elsewhere = match < 0 ? nearest(when, true) : -1;
    if (match >= 0) {
        outcome = merge(record, match);
    } else if (elsewhere >= 0 && !entry(elsewhere).isNew) {
        outcome = ImportOutcome::SubSquareDiffers;
        if (m_differing.size() < reasonsShown)
            m_differing.append(QStringLiteral("%1 %2: %3 %4 %5 in KX47%6, logged in KX47%7")
                                   .arg(escapedControls(m_reasonStart))
                                   .arg(recordNumber)
                                   .arg(record.call.trimmed(), record.date, record.time,
                                        record.locator.toUpper(),
                                        m_slotList[entry(elsewhere).slot].letters));
    } else if (confirmationsOnly) {
        outcome = ImportOutcome::NotInLog;
    } else {
        outcome = addNew(record);
    }
    ++m_counts[static_cast<int>(outcome)];
    return outcome;
}

ImportOutcome ImportPlan::addNew(const QsoRecord &record)
{
    QsoRecord stored = record;
    stored.count = 0;
    const vocabulary::QslState qsl = record.qsl;
    ImportOutcome outcome = ImportOutcome::NewWorked;
    switch (logrules::storing(m_slotList[slotOf(record)].holders(), qsl)) {
    case logrules::Rule::Accredited:
        return ImportOutcome::RefusedAccredited;
    case logrules::Rule::ConfirmedTaken:
        stored.qsl = vocabulary::QslState::Worked;
        outcome = ImportOutcome::StoredAsWorked;
        break;
    case logrules::Rule::Kept:
        if (logrules::holdsSlot(qsl))
            outcome = ImportOutcome::NewConfirmed;
        break;
    }
    const int count = append ? append(stored) : 0;
    const int index = addEntry(stored, count, true);
    // addEntry may have grown the slots: the slot is looked up anew.
    if (logrules::holdsSlot(entry(index).qslState()))
        m_slotList[entry(index).slot].holder = index;
    return outcome;
}

void ImportPlan::skip(ImportOutcome outcome, qint64 recordNumber, const QString &reason)
{
    ++m_counts[static_cast<int>(outcome)];
    if (outcome == ImportOutcome::Unreadable && m_reasons.size() < reasonsShown)
        m_reasons.append(QStringLiteral("%1 %2: %3")
                             .arg(escapedControls(m_reasonStart))
                             .arg(recordNumber)
                             .arg(escapedControls(reason)));
}

void ImportPlan::setSource(const QString &fileName, const QString &unit)
{
    m_reasonStart = fileName.isEmpty() ? unit : fileName + QLatin1Char(' ') + unit;
}

bool ImportPlan::changesLog() const
{
    for (ImportOutcome o :
         {ImportOutcome::NewWorked, ImportOutcome::NewConfirmed, ImportOutcome::ConfirmationAdded,
          ImportOutcome::ElectronicAdded, ImportOutcome::StoredAsWorked})
        if (count(o) > 0)
            return true;
    return false;
}

QStringList ImportPlan::summaryLines() const
{
    QStringList lines;
    if (!m_counted.isEmpty())
        lines.append(QStringLiteral("counted as confirmed: %1").arg(m_counted));
    const int shown = confirmationsOnly ? outcomeCount + 1 : outcomeCount;
    for (int i = 0; i < shown; ++i) {
        lines.append(
            QStringLiteral("%1: %2").arg(QString::fromLatin1(captions[i])).arg(m_counts[i]));
    }
    if (m_duplicates > 0)
        lines.append(QStringLiteral("marked duplicate in the contest log: %1").arg(m_duplicates));
    lines += m_reasons;
    lines += m_differing;
    return lines;
}

} // namespace kx47
