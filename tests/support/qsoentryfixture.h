#pragma once

#include "fixture.h"

#include <QSignalSpy>
#include <QString>
#include <QStringList>

class QComboBox;
class QLineEdit;
class QRadioButton;
class QWidget;

namespace kx47::test
{

// A QSO of the log for the entry tests: call "CALL<count>", the other columns as QsoRow has them.
QsoRow qsoRow(int count, const QString &locator, const QString &qsl,
              const QString &band = QStringLiteral("HF"),
              const QString &mode = QStringLiteral("MIXED"));

// The real application on a fresh program folder, with a spy on the notice that the log changed.
struct QsoWindowFixture {
    QsoWindowFixture();
    ProgramFolder folder;
    TestApp app;
    bool started;
    QSignalSpy logChanges;
};

// The controls of an entry window by name; a missing control ends the test program.
QLineEdit *textBox(QWidget *window, const QString &name);
QComboBox *listBox(QWidget *window, const QString &name);
QRadioButton *option(QWidget *window, const QString &name);
void press(QWidget *window, const QString &button);

// The texts of sub-square, call, day, month, year, time and place.
QStringList formTexts(QWidget *window);
// The selected province, mode and band.
QStringList formSelections(QWidget *window);

} // namespace kx47::test
