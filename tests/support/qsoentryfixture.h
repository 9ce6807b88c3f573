#pragma once

#include "fixture.h"

#include "platform/windownames.h"
#include "qso/qsoentry.h"

#include <QObject>
#include <QSignalSpy>
#include <QString>
#include <QStringList>
#include <memory>

class QWidget;

namespace kx47::test
{

// A QSO of the log for the entry tests: call "CALL<count>", the other columns as QsoRow has them.
QsoRow qsoRow(int count, const QString &locator, const QString &qsl,
              const QString &band = QStringLiteral("HF"),
              const QString &mode = QStringLiteral("MIXED"));

// A QSO as the user types it, one that passes every check: AB, IK4ABC, 07/12/04 at 0930,
// BRANVOLE, HF, MIXED, confirmed unless told otherwise; no province, so that the form takes
// the gazetteer's (PG).
QsoEntry validQso(const QString &band = QStringLiteral("HF"),
                  const QString &mode = QStringLiteral("MIXED"), bool confirmed = true);
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

// The base of the entry windows' tests: the fixture above made afresh before each test and
// thrown away after it.
class QsoWindowTest : public QObject
{
    Q_OBJECT

protected:
    // Shows a window of the running program and makes it the active one.
    QWidget *open(const QString &name = windows::frmInsertQSO);

    std::unique_ptr<QsoWindowFixture> m_run;

private slots:
    void init();
    void cleanup();
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
