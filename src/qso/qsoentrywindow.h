#pragma once

#include "entrymode.h"
#include "gazetteer/placelookup.h"

#include <QWidget>

namespace kx47
{

struct AppContext;
class QsoForm;

// A window that shows the entry form and saves what the user submits: the Insert QSO window
// appends new QSOs, the Edit QSO window rewrites the one it was opened for.
class QsoEntryWindow : public QWidget
{
    Q_OBJECT
public:
    QsoEntryWindow(AppContext &context, const EntryMode &mode, QWidget *parent = nullptr);

    QsoForm *form() const { return m_form; }

    // Empties the form for the next QSO.
    void cancella();

protected:
    void closeEvent(QCloseEvent *event) override;
    // Enter anywhere in the form but on another button submits.
    void keyPressEvent(QKeyEvent *event) override;
    // The number of the QSO that a rewriting window writes over.
    virtual int editedCount() const { return 0; }

private:
    void submit();
    void exit();

    AppContext &m_context;
    EntryMode m_mode;
    PlaceLookup m_places;
    QsoForm *m_form;
};

} // namespace kx47
