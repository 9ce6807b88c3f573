#include "awardrequestkind.h"

#include "log/awardthresholds.h"
#include "platform/windownames.h"

namespace kx47
{

namespace
{

QString blanks(int count)
{
    return QString(count, QLatin1Char(' '));
}

QString underscores(int count)
{
    return QString(count, QLatin1Char('_'));
}

// The declaration of one of the two radio amateurs who vouch for the applicant's QSL cards,
// with the line to sign it on.
QStringList declaration(int indent, int callGap, const QString &affirm, int afterAffirm,
                        int signatureGap, int rule)
{
    return {blanks(indent) + QStringLiteral("The undersigned") + blanks(callGap) +
                QStringLiteral("Call") + blanks(15),
            blanks(indent) + affirm, blanks(afterAffirm),
            blanks(indent) + QStringLiteral("Signature") + blanks(signatureGap),
            blanks(indent) + underscores(rule)};
}

// The box in front of each way of paying the fee, ticked by hand on the paper.
const QChar tickBox(0x8D);

AwardRequestKind makeBaseAward()
{
    AwardRequestKind kind;
    kind.windowName = windows::frmBAR;
    kind.caption = QStringLiteral("Base Award Request Outside Italy Rules");
    kind.listed = &AwardThresholds::base;
    kind.prerequisite = nullptr;
    kind.requestAgainQuestion =
        QStringLiteral("You have just requested this award! Do you want to request it anyway?");
    kind.notEnoughMessage = [](int listed) {
        return QStringLiteral("We are sorry, you must have %1 or more QSOs!").arg(listed);
    };

    kind.documentName = QStringLiteral("DIPLOMA KX47 APPLICATION");
    kind.title = blanks(57) + QStringLiteral("DIPLOMA KX47 APPLICATION");
    kind.undersigned =
        blanks(15) + QStringLiteral("The undersigned {fName} {sName} with the call {call}");
    kind.request = {blanks(15) + QStringLiteral("Request the award DIPLOMA KX47 to have connected "
                                                "and confirmied n° {listed} Sub-sqares of the"),
                    blanks(15) + QStringLiteral("SQUARE KX47 in the band {band} and mode {mode}")};
    kind.confirmedSoFar =
        blanks(15) + QStringLiteral("At this date the WWLocator confirmed are: {confirmed}");
    kind.listingIndent = 14;

    const QString affirm =
        QStringLiteral("Affirm that {call} owns the QSLs for the application of the DIPLOMA KX47");
    kind.closing = {
        blanks(15) +
            QStringLiteral("The original QSLs don't be attached because already checked by 2 OM "
                           "undersigned.") +
            blanks(1),
        blanks(15) + QStringLiteral("Behind your application I will send you the original QSLs") +
            blanks(1),
        blanks(8),
        blanks(15) + QStringLiteral("Signature") + blanks(70) + QStringLiteral("Date") + blanks(22),
        blanks(15) + underscores(82),
        blanks(3),
    };
    kind.closing += declaration(15, 76, affirm, 34, 64, 82);
    kind.closing += blanks(3);
    kind.closing += declaration(15, 76, affirm, 35, 65, 82);
    kind.closing += {
        blanks(10),
        blanks(15) + QStringLiteral("As a partial fee remboursement I enclose: ") + tickBox +
            QStringLiteral("€ 5,00 ") + tickBox + QStringLiteral("$ 7,00 ") + tickBox +
            QStringLiteral(" 7 I.R.C") + blanks(19),
        blanks(62),
        blanks(62),
        blanks(62),
    };
    return kind;
}

AwardRequestKind makeEndorsement()
{
    AwardRequestKind kind;
    kind.windowName = windows::frmAE;
    kind.caption = QStringLiteral("Award Endorsement Outside Italy Rules");
    kind.listed = &AwardThresholds::endorsement;
    kind.prerequisite = &AwardThresholds::base;
    kind.prerequisiteMessage =
        QStringLiteral("We are sorry, you must have the Base Award before the endorsement!");
    kind.notEnoughMessage = [](int) {
        return QStringLiteral("We are sorry, you have not enought QSOs to request an endorsement!");
    };

    kind.documentName = QStringLiteral("DIPLOMA KX47 ENDORSEMENT APPLICATION");
    kind.title = blanks(50) + QStringLiteral("DIPLOMA KX47 ENDORSEMENT APPLICATION");
    kind.undersigned =
        blanks(15) + QStringLiteral("The undersigned {fName} {sName} with the call {call} ");
    kind.request = {blanks(15) + QStringLiteral("request the award endorsement DIPLOMA KX47 to "
                                                "have connected and confirmied n° {listed} new"),
                    blanks(15) + QStringLiteral("Sub-squares of the SQUARE KX47 in the band {band} "
                                                "and mode {mode}")};
    kind.confirmedSoFar =
        blanks(15) + QStringLiteral("At this date the WWlocator confirmed are: {confirmed}");
    kind.listingIndent = 12;

    const QString owns =
        QStringLiteral("{call} owns the QSLs for the application of the DIPLOMA KX47");
    kind.closing = {
        blanks(15) +
            QStringLiteral("The original QSLs don't be attached because already checked by 2 OM "
                           "undersigned") +
            blanks(6),
        blanks(15) + QStringLiteral("Behind yor application I will send you the original QSLs."),
        blanks(11),
        blanks(15) + QStringLiteral("Signature") + blanks(85) + QStringLiteral("Date") + blanks(22),
        blanks(15) + underscores(84),
        blanks(5),
    };
    kind.closing +=
        declaration(14, 76, QStringLiteral("affirm that") + blanks(2) + owns, 34, 64, 85);
    kind.closing += blanks(5);
    kind.closing +=
        declaration(14, 78, QStringLiteral("affirm that") + blanks(1) + owns, 35, 64, 85);
    kind.closing += {
        blanks(10),
        blanks(14),
    };
    return kind;
}

} // namespace

const AwardRequestKind &AwardRequestKind::baseAward()
{
    static const AwardRequestKind kind = makeBaseAward();
    return kind;
}

const AwardRequestKind &AwardRequestKind::endorsement()
{
    static const AwardRequestKind kind = makeEndorsement();
    return kind;
}

} // namespace kx47
