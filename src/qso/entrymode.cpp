#include "entrymode.h"

#include "platform/windownames.h"

namespace kx47
{

EntryMode EntryMode::insertQso()
{
    return {windows::frmInsertQSO,
            QStringLiteral("Insert QSO"),
            LengthMeasure::AfterQuoting,
            CaretAfterUpperCase::Kept,
            true,
            false,
            QStringLiteral("QSO saved"),
            false,
            true};
}

EntryMode EntryMode::editQso()
{
    return {windows::frmEditQSO,
            QStringLiteral("Edit QSO"),
            LengthMeasure::AsTyped,
            CaretAfterUpperCase::AtEnd,
            false,
            true,
            QStringLiteral("QSO edited"),
            true};
}

} // namespace kx47
