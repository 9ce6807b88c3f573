#include "importplan.h"

#include "log/awardvocabulary.h"
#include "log/logreads.h"
#include "storage/database.h"
#include "text/asciicase.h"
#include "text/fixedwidth.h"

#include <QDate>
#include <QSqlQuery>
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
    QString &key = m_keyText;
    key.truncate(0);
    ascii::appendUpper(key, QStringView(r.call).trimmed());
    const qsizetype callEnd = key.size();
    key += separator;
    key += slot;
    m_qsoKey = key.toUtf8();
    m_qsoHash = fnv1a(QByteArrayView(m_qsoKey));
    // The call key: the QSO key without its sub-square.
    key.remove(callEnd + 1, slot.indexOf(separator) + 1);
    m_callKey = key.toUtf8();
    m_callHash = fnv1a(QByteArrayView(m_callKey));
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
    m_slotList.append(Slot{r.locator.toUpper(), false, -1});
    m_slots.insert(m_slotKey, index);
    return index;
}

bool ImportPlan::isQsoKey(int keyAt) const
{
    quint32 size = 0;
    std::memcpy(&size, m_keyTexts.constData() + keyAt, sizeof size);
    return size == quint32(m_qsoKey.size()) &&
           std::memcmp(m_keyTexts.constData() + keyAt + sizeof size, m_qsoKey.constData(), size) ==
               0;
}

bool ImportPlan::isCallKey(int keyAt) const
{
    // A QSO key is "CALL<sep>SUB-SQUARE<sep>BAND<sep>MODE"; its call key leaves out the
    // sub-square and the separator before it.
    quint32 size = 0;
    std::memcpy(&size, m_keyTexts.constData() + keyAt, sizeof size);
    const QByteArrayView stored(m_keyTexts.constData() + keyAt + sizeof size, size);
    const char sep = char(separator.unicode());
    const qsizetype callEnd = stored.indexOf(sep);
    const qsizetype slotEnd = callEnd < 0 ? -1 : stored.indexOf(sep, callEnd + 1);
    if (slotEnd < 0)
        return false;
    const QByteArrayView call = stored.first(callEnd);
    const QByteArrayView rest = stored.sliced(slotEnd);
    return call.size() + rest.size() == m_callKey.size() &&
           QByteArrayView(m_callKey).first(call.size()) == call &&
           QByteArrayView(m_callKey).sliced(call.size()) == rest;
}

// The keys of r are made already.
int ImportPlan::addEntry(const QsoRecord &r, int count, bool isNew)
{
    const int index = m_entries.size();
    int &last = m_byQso[m_qsoHash].last;
    int &lastOfCall = m_byCall[m_callHash].last;
    // The key is kept once: an entry of the same key shares it.
    int keyAt = -1;
    for (int other = last; other >= 0 && keyAt < 0; other = m_entries[other].previous) {
        if (isQsoKey(m_entries[other].keyAt))
            keyAt = m_entries[other].keyAt;
    }
    if (keyAt < 0) {
        keyAt = int(m_keyTexts.size());
        const quint32 size = quint32(m_qsoKey.size());
        m_keyTexts.append(reinterpret_cast<const char *>(&size), sizeof size);
        m_keyTexts.append(m_qsoKey);
    }
    m_entries.append({count, last, lastOfCall, keyAt, slotOf(r), minutesOf(r.date, r.time), r.qsl,
                      isNew, !r.lotw.isEmpty(), !r.lotwDate.isEmpty(), !r.eqsl.isEmpty(),
                      !r.eqslDate.isEmpty()});
    last = index;
    lastOfCall = index;
    return index;
}

void ImportPlan::addLogQso(const QsoRecord &qso)
{
    makeKeys(qso);
    const int index = addEntry(qso, qso.count, false);
    Slot &slot = m_slotList[m_entries[index].slot];
    const vocabulary::QslState qsl = m_entries[index].qsl;
    if (qsl == vocabulary::QslState::Accredited)
        slot.accredited = true;
    if (logrules::holdsSlot(qsl) && slot.holder < 0)
        slot.holder = index;
}

// Of equally near entries, the first one planned.
int ImportPlan::nearest(qint64 when, bool ofCall) const
{
    const QHash<quint64, Chain> &chains = ofCall ? m_byCall : m_byQso;
    const auto found = chains.constFind(ofCall ? m_callHash : m_qsoHash);
    if (found == chains.constEnd() || when < 0)
        return -1;
    int best = -1;
    qint64 bestDistance = matchMinutes + 1;
    for (int index = found->last; index >= 0;) {
        const Entry &e = m_entries[index];
        if (e.when >= 0 && (ofCall ? isCallKey(e.keyAt) : isQsoKey(e.keyAt))) {
            const qint64 distance = std::llabs(e.when - when);
            if (distance < bestDistance || (distance == bestDistance && best >= 0)) {
                best = index;
                bestDistance = distance;
            }
        }
        index = ofCall ? e.previousOfCall : e.previous;
    }
    return best;
}

ImportOutcome ImportPlan::merge(const QsoRecord &record, int match)
{
    Entry &logged = m_entries[match];
    Slot &slot = m_slotList[logged.slot];
    ImportOutcome outcome = ImportOutcome::AlreadyInLog;
    // A confirmation from the file raises a worked QSO to confirmed where the rules let it.
    if (logrules::holdsSlot(record.qsl) && logged.qsl == vocabulary::QslState::Worked &&
        logrules::raising(slot.holders(), logged.qsl, vocabulary::QslState::Confirmed) ==
            logrules::Rule::Kept) {
        logged.qsl = vocabulary::QslState::Confirmed;
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
    } else if (elsewhere >= 0 && !m_entries[elsewhere].isNew) {
        outcome = ImportOutcome::SubSquareDiffers;
        if (m_differing.size() < reasonsShown)
            m_differing.append(QStringLiteral("%1 %2: %3 %4 %5 in KX47%6, logged in KX47%7")
                                   .arg(escapedControls(m_reasonStart))
                                   .arg(recordNumber)
                                   .arg(record.call.trimmed(), record.date, record.time,
                                        record.locator.toUpper(),
                                        m_slotList[m_entries[elsewhere].slot].letters));
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
    if (logrules::holdsSlot(m_entries[index].qsl))
        m_slotList[m_entries[index].slot].holder = index;
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
