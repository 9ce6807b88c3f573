#include "editqsowindow.h"

namespace kx47
{

EditQsoWindow::EditQsoWindow(AppContext &context, QWidget *parent)
    : QsoEntryWindow(context, EntryMode::editQso(), parent)
{
}

} // namespace kx47
