#pragma once

#include "adif/adifmapping.h"

#include <QDialog>

class QCheckBox;

namespace kx47
{

// Asks, before an import, what counts as confirmed (QSL cards by default, as the award counts
// them; LoTW and eQSL for an Award Manager who accepts them) and whether every QSO goes under
// MIXED. The choice is remembered for the next import.
class ImportOptionsWindow : public QDialog
{
    Q_OBJECT
public:
    static const QString name; // "frmImportOptions"

    explicit ImportOptionsWindow(QWidget *parent = nullptr);

    // The choice as the window shows it.
    MappingOptions options() const;

    // The choice remembered from the last import, the award's rules when there is none.
    static MappingOptions remembered();
    static void remember(const MappingOptions &options);

    // Shows the window modally; the options chosen, or nothing when the user cancelled.
    static std::optional<MappingOptions> ask(QWidget *parent);

private:
    QCheckBox *m_paper;
    QCheckBox *m_lotw;
    QCheckBox *m_eqsl;
    QCheckBox *m_mixed;
};

} // namespace kx47
