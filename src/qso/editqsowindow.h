#pragma once

#include "log/qsorecord.h"
#include "qsoentrywindow.h"

#include <QtGlobal>

namespace kx47
{

// Corrects one QSO of the log. The log browser loads the QSO it fetched; "Submit" rewrites that
// QSO under its number.
class EditQsoWindow : public QsoEntryWindow
{
    Q_OBJECT
public:
    explicit EditQsoWindow(AppContext &context, QWidget *parent = nullptr);

    qint32 dbCount() const { return m_dbCount; }
    void setDbCount(qint32 count) { m_dbCount = count; }
    // Shows the QSO in the form, as if typed, and takes its number for Submit.
    void load(const QsoRecord &qso);

protected:
    int editedCount() const override { return m_dbCount; }

private:
    qint32 m_dbCount = 0;
};

} // namespace kx47
