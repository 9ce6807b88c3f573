#pragma once

#include "log/cardstochase.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QListWidget;

namespace kx47
{

struct AppContext;

// "Cards to chase": for a chosen band category (or all bands) and mode, the sub-squares whose
// QSL card is still missing, with the QSO to ask the card for; printed, or exported as ADIF for
// QSL request labels. Follows every change of the log.
class CardsToChaseWindow : public QWidget
{
    Q_OBJECT
public:
    static const QString name; // "frmCardsToChase"

    explicit CardsToChaseWindow(AppContext &context);

    // Reads the list afresh from the log for the current choices.
    void refresh();
    const QVector<CardsToChase::Card> &cards() const { return m_cards; }

    // "Print" and "Export ADIF...".
    void print();
    void exportAdif();

private:
    QString band() const;

    AppContext &m_context;
    CardsToChase m_chase;
    QVector<CardsToChase::Card> m_cards;
    QComboBox *m_band = nullptr;
    QComboBox *m_mode = nullptr;
    QListWidget *m_list = nullptr;
    QLabel *m_count = nullptr;
};

void registerCardsToChaseWindow(AppContext &context);

// The list as fixed-width lines: a title, the column headings, one line per card.
QStringList cardsToChaseLines(const QVector<CardsToChase::Card> &cards, const QString &bandOrAll,
                              const QString &mode);

} // namespace kx47
