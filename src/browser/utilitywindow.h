#pragma once

#include "log/logquery.h"
#include "log/logsearch.h"
#include "qsoactions.h"

#include <QVector>
#include <QWidget>
#include <optional>

class QBoxLayout;
class QGroupBox;
class QLabel;
class QListView;
class QMenu;
class QPushButton;
class QRadioButton;

namespace kx47
{

struct AppContext;
struct LogChange;
class LogLinesModel;
class LogLister;
struct LogListing;

// "Utility QSO": the log, one QSO per line, ordered by the "Order by:" and "And:" choices and
// narrowed by one search at a time. The list follows every change of the log, shown or hidden.
class UtilityWindow : public QWidget
{
    Q_OBJECT
public:
    explicit UtilityWindow(AppContext &context);

    // Rebuilds the list and the line index from the log with the current search and order;
    // no line stays selected. A long log shows its first lines at once and the rest when a
    // thread of its own has read them.
    void showAny();
    // Whether lines are still being read.
    bool isListing() const;

    // How many lines are listed at once, before the rest is read in the background, and how
    // long they may take before they are left to the background too.
    static constexpr int firstLines = 200;
    static constexpr int firstLinesWithinMs = 20;

    // Follows a change of the log line by line, keeping the search and the order; a change
    // of the whole log lists it afresh. No line stays selected, as after showAny.
    void followLog(const LogChange &change);

    // Lists the QSOs the search finds, in the current order.
    void searchFor(const LogSearch &search);

    // Entry i is the number (count) of the QSO on list line i.
    const QVector<qint32> &listCounts() const;
    const LogSearch &search() const { return m_search; }

    // The fixed-pitch font of the list and its header.
    static QFont listFont();

    // The position of the selected line of List, counted from 0; nothing when none is selected.
    std::optional<int> selectedLine() const;
    // The popup menu of the list (mnPopup). The right button opens it over the list while a line
    // is selected; the right button never selects a line itself.
    QMenu *popupMenu() const { return m_popup; }

    // Open the QSO of the selected line in Edit QSO, or delete it; nothing without a selection.
    void editSelected();
    void deleteSelected();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildOrderFrames(QBoxLayout *row);
    void buildSearchFrame(QBoxLayout *row);
    void buildList();
    void buildSelectionActions(QBoxLayout *row);
    std::optional<qint32> selectedCount() const;
    void searchCall();
    void searchWWLocator();
    void searchPlace();
    LogQuery currentQuery() const;
    void completeListing(const LogListing &whole);
    void showFirstLines(const LogListing &first);
    void listInForeground();
    void showStatus();

    AppContext &m_context;
    QsoActions m_actions;
    LogSearch m_search;

    QRadioButton *m_optCall = nullptr;
    QRadioButton *m_optPlace = nullptr;
    QRadioButton *m_optWWLocator = nullptr;
    QRadioButton *m_optBand = nullptr;
    QGroupBox *m_frame2nd = nullptr;
    QRadioButton *m_optBand2 = nullptr;
    QRadioButton *m_optMode2 = nullptr;
    QGroupBox *m_listFrame = nullptr;
    QListView *m_list = nullptr;
    QLabel *m_status = nullptr;
    LogLinesModel *m_model = nullptr;
    LogLister *m_lister = nullptr;
    QMenu *m_popup = nullptr;
};

} // namespace kx47
