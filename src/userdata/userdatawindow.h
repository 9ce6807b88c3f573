#pragma once

#include "applicant/userdatastore.h"

#include <QHash>
#include <QWidget>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;

namespace kx47
{

struct AppContext;

// The User Data window: an entry panel whose Submit replaces the applicant's record, and the
// "Courrent User Data:" panel that shows the record as stored.
class UserDataWindow : public QWidget
{
    Q_OBJECT
public:
    explicit UserDataWindow(AppContext &context);

    // Refreshes the value labels from table userData.
    void showUserData();
    // Checks the typed values, writes the record when they pass, then refreshes the labels.
    void submit();
    // Empties the entry panel; the stored record and its labels stay as they are.
    void clear();

private:
    QLineEdit *addBox(const QString &objectName, const QString &caption, QLayout *column);
    void addValueRow(const QString &caption, const QString &objectName);
    UserDataRecord typed() const;

    AppContext &m_context;
    UserDataStore m_store;
    QComboBox *m_category = nullptr;
    QWidget *m_entryPanel = nullptr;
    QWidget *m_storedPanel = nullptr;
    QGridLayout *m_storedRows = nullptr;
    QHash<QString, QLineEdit *> m_boxes; // by object name
    QHash<QString, QLabel *> m_values;   // by object name
};

} // namespace kx47
