#include "editqsowindow.h"

#include "qsoform.h"

namespace kx47
{

EditQsoWindow::EditQsoWindow(AppContext &context, QWidget *parent)
    : QsoEntryWindow(context, EntryMode::editQso(), parent)
{
}

void EditQsoWindow::load(const QsoRecord &qso)
{
    form()->load(qso);
    m_dbCount = qso.count;
}

} // namespace kx47

#include "moc_editqsowindow.cpp"
