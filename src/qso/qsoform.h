#pragma once

#include "entrymode.h"
#include "log/qsorecord.h"
#include "qsoentry.h"

#include <QWidget>
#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kx47
{

class EntryLineEdit;
class PlaceLookup;

// The entry form of the Insert QSO and Edit QSO windows: the fields of one QSO with their typing
// aids, and the buttons "Submit", "Clear" and "Exit". The aids run on every change of a field,
// typed or set by the program: upper case, the focus passed on by a full field, text cut to the
// field's length, the place list of the sub-square and the province of a known place.
class QsoForm : public QWidget
{
    Q_OBJECT
public:
    static const QStringList provinces;
    static const QStringList modes;
    static const QStringList bands;

    QsoForm(const EntryMode &mode, const PlaceLookup &places, QWidget *parent = nullptr);

    QsoEntry entry() const;

    // The state of a freshly opened window: "confirmed", no place, the first province, mode and
    // band, the focus in the sub-square.
    void applyDefaults();
    // Empties the form for the next QSO; province, mode and band keep their selections.
    void cancella();
    void focusLocator();
    // Puts the focus in the day box, its text selected.
    void focusDay();
    // Fills day, month, year and time from the clock, in UTC, as if typed.
    void fillNow();
    // Shows a stored QSO in the form, field by field as if typed.
    void load(const QsoRecord &qso);

    QPushButton *submitButton() const { return m_submit; }
    QPushButton *clearButton() const { return m_clear; }
    QPushButton *exitButton() const { return m_exit; }
    // "Now (UTC)", where the window offers it; null otherwise.
    QPushButton *nowButton() const { return m_now; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // A text box that is full at `length` characters and then passes the focus to `next`.
    struct Field {
        EntryLineEdit *edit;
        int length;
        QWidget *next;
        bool upperCase;
    };

    void buildForm();
    void connectAids();
    void fieldChanged(const Field &field);
    void fieldClicked(const Field &field);
    // Upper case without hidden formatting, the caret placed as the window places it; true when
    // the text changed.
    bool setUpperCase(QLineEdit *edit);
    void rebuildPlaces();
    void placeChanged();
    void lookUpPlace();
    // Selects the province, added to the list while it lacks it; a null text only takes away
    // what was added.
    void showProvince(const QString &province);

    EntryMode m_mode;
    const PlaceLookup &m_places;

    QLabel *m_square = nullptr;
    EntryLineEdit *m_locator = nullptr;
    EntryLineEdit *m_call = nullptr;
    std::array<EntryLineEdit *, 3> m_date{};
    EntryLineEdit *m_time = nullptr;
    QComboBox *m_place = nullptr;
    QComboBox *m_prov = nullptr;
    QComboBox *m_modeList = nullptr;
    QComboBox *m_band = nullptr;
    QRadioButton *m_confirmed = nullptr;
    QRadioButton *m_worked = nullptr;
    QPushButton *m_submit = nullptr;
    QPushButton *m_clear = nullptr;
    QPushButton *m_exit = nullptr;
    QPushButton *m_now = nullptr;
    bool m_loadedWithoutPlace = false;
};

} // namespace kx47
