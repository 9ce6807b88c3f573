#pragma once

#include "logquery.h"
#include "logsearch.h"

#include <QVector>
#include <QWidget>

class QBoxLayout;
class QGroupBox;
class QListView;
class QPushButton;
class QRadioButton;
class QStringListModel;

namespace kx47
{

struct AppContext;

// "Utility QSO": the log, one QSO per line, ordered by the "Order by:" and "And:" choices and
// narrowed by one search at a time. The list follows every change of the log, shown or hidden.
class UtilityWindow : public QWidget
{
    Q_OBJECT
public:
    explicit UtilityWindow(AppContext &context);

    // Rebuilds the list and the line index from the log with the current search and order;
    // no line stays selected.
    void showAny();

    // Entry i is the number (count) of the QSO on list line i.
    const QVector<qint32> &listCounts() const { return m_listCounts; }
    const LogSearch &search() const { return m_search; }

    // The fixed-pitch font of the list and its header.
    static QFont listFont();

private:
    void buildOrderFrames(QBoxLayout *row);
    void buildSearchFrame(QBoxLayout *row);
    void buildList();
    void searchFor(const LogSearch &search);
    void searchCall();
    void searchWWLocator();
    void searchPlace();
    LogQuery currentQuery() const;

    AppContext &m_context;
    LogSearch m_search;
    QVector<qint32> m_listCounts;

    QRadioButton *m_optCall = nullptr;
    QRadioButton *m_optPlace = nullptr;
    QRadioButton *m_optWWLocator = nullptr;
    QRadioButton *m_optBand = nullptr;
    QGroupBox *m_frame2nd = nullptr;
    QRadioButton *m_optBand2 = nullptr;
    QRadioButton *m_optMode2 = nullptr;
    QGroupBox *m_listFrame = nullptr;
    QListView *m_list = nullptr;
    QStringListModel *m_model = nullptr;
};

} // namespace kx47
