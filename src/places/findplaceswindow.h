#pragma once

#include "placesearch.h"

#include <QWidget>

class QLineEdit;
class QStringListModel;

namespace kx47
{

struct AppContext;
class SubSquareBox;

// The Find on Places Database window: searches the gazetteer by sub-square or by place name and
// lists what it finds. It only reads places.mdb.
class FindPlacesWindow : public QWidget
{
    Q_OBJECT
public:
    explicit FindPlacesWindow(AppContext &context);

    void searchSubSquare();
    void searchPlace();
    // Empties both boxes and the list; the focus goes to the sub-square box.
    void clear();
    // Empties everything and hides the window.
    void exit();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void empty();

    PlaceSearch m_search;
    SubSquareBox *m_subSquare = nullptr;
    QLineEdit *m_place = nullptr;
    QStringListModel *m_lines = nullptr;
};

} // namespace kx47
