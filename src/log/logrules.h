#pragma once

#include "log/awardvocabulary.h"

namespace kx47
{

// The award's rules, stated once. LogStore's writers ask them inside each change, the import
// plan asks them of what it has planned, and the windows take their questions and refusals
// from their answers:
// - a sub-square that is accredited on a band and mode takes no further QSO there;
// - a sub-square holds at most one confirmed (or accredited) QSO per band and mode;
// - an accredited QSO was sent in with an award application and stays as it was sent.
namespace logrules
{

// What the rules say of a change, or which one refuses it.
enum class Rule {
    Kept,           // the change keeps the rules
    Accredited,     // the sub-square is accredited on the band and mode, or the QSO itself is
    ConfirmedTaken, // another QSO is confirmed (or accredited) there
};

// What a sub-square, band and mode holds already, leaving out the QSO being changed.
struct Holders {
    bool accredited = false; // an accredited QSO that closes it to other QSOs
    bool held = false;       // a confirmed or accredited QSO
};

// Whether a QSO in this state takes the one place of its sub-square, band and mode.
constexpr bool holdsSlot(vocabulary::QslState state)
{
    return state != vocabulary::QslState::Worked;
}

// The rule that refuses storing a QSO in `state` where `holders` stand; Kept when none does.
constexpr Rule storing(Holders holders, vocabulary::QslState state)
{
    if (holders.accredited)
        return Rule::Accredited;
    return holdsSlot(state) && holders.held ? Rule::ConfirmedTaken : Rule::Kept;
}

// The rule that refuses raising a QSO from `now` to `wanted` where `holders` stand. A confirmed
// QSO that becomes accredited keeps the place it held already.
constexpr Rule raising(Holders holders, vocabulary::QslState now, vocabulary::QslState wanted)
{
    return now == vocabulary::QslState::Confirmed ? Rule::Kept : storing(holders, wanted);
}

// The rule that refuses editing or deleting a QSO stored in `state`.
constexpr Rule changing(vocabulary::QslState state)
{
    return state == vocabulary::QslState::Accredited ? Rule::Accredited : Rule::Kept;
}

} // namespace logrules
} // namespace kx47
