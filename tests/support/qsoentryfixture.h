#pragma once

#include "fixture.h"

#include "qso/qsoentry.h"

#include <QSignalSpy>
#include <QString>
#include <QStringList>

class QWidget;

namespace kx47::test
{

// A QSO of the log for the entry tests: call "CALL<count>", the other columns as QsoRow has them.
QsoRow qsoRow(int count, const QString &locator, const QString &qsl,
              const QString &band = QStringLiteral("HF"),
              const QString &mode = QStringLiteral("MIXED"));

// A QSO as the user types it, one that passes every check: AB, IK4ABC, 07/12/04 at 0930,
// BRANVOLE, HF, MIXED, confirmed; no province, so that the form takes the gazetteer's (PG).
QsoEntry validQso();
// A stored row as the browser puts it into the form: the date's day, month and year, the time
// as four digits.
QsoEntry typedFrom(const QsoRow &row);

// The real application on a fresh program folder, with a spy on the notice that the log changed.
struct QsoWindowFixture {
    QsoWindowFixture();
    ProgramFolder folder;
    TestApp app;
    bool started;
    QSignalSpy logChanges;
};

// Fills an entry form as the user would: the boxes, the place, the province when the QSO names
// one (otherwise the form's own choice stays), mode, band and the QSL option.
void fillForm(QWidget *window, const QsoEntry &qso);
// Presses Submit.
void submit(QWidget *window);

// The texts of sub-square, call, day, month, year, time and place.
QStringList formTexts(QWidget *window);
// The selected province, mode and band.
QStringList formSelections(QWidget *window);

} // namespace kx47::test
