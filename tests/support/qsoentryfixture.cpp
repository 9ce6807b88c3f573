#include "qsoentryfixture.h"

#include "log/lognotifier.h"
#include "platform/appcontext.h"
#include "text/textforms.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

namespace kx47::test
{

QsoRow qsoRow(int count, const QString &locator, const QString &qsl, const QString &band,
              const QString &mode)
{
    QsoRow row;
    row.count = count;
    row.locator = locator;
    row.call = QStringLiteral("CALL%1").arg(count);
    row.qsl = qsl;
    row.band = band;
    row.mode = mode;
    return row;
}

QsoEntry validQso(const QString &band, const QString &mode, bool confirmed)
{
    QsoEntry qso;
    qso.locator = QStringLiteral("AB");
    qso.call = QStringLiteral("IK4ABC");
    qso.day = QStringLiteral("07");
    qso.month = QStringLiteral("12");
    qso.year = QStringLiteral("04");
    qso.time = QStringLiteral("0930");
    qso.place = QStringLiteral("BRANVOLE");
    qso.mode = mode;
    qso.band = band;
    qso.confirmed = confirmed;
    return qso;
}

QsoEntry typedFrom(const QsoRow &row)
{
    const QStringList date = dateText(row.date).split(QLatin1Char('/'));
    QsoEntry qso;
    qso.locator = row.locator;
    qso.call = row.call;
    qso.day = date.value(0);
    qso.month = date.value(1);
    qso.year = date.value(2);
    qso.time = entryTime(row.time);
    qso.place = row.place;
    qso.prov = row.prov;
    qso.mode = row.mode;
    qso.band = row.band;
    qso.confirmed = row.qsl == QLatin1String("c");
    return qso;
}

QsoWindowFixture::QsoWindowFixture()
    : app(folder.path()), started(app.start()),
      logChanges(&app.app().context().logNotifier, &LogNotifier::logChanged)
{
}

QWidget *QsoWindowTest::open(const QString &name)
{
    QWidget *window = m_run->app.show(name);
    if (!window || !activate(window))
        qFatal("the window %s did not open", qPrintable(name));
    return window;
}

void QsoWindowTest::init()
{
    m_run = std::make_unique<QsoWindowFixture>();
    QVERIFY(m_run->started);
}

void QsoWindowTest::cleanup()
{
    m_run.reset();
}

void fillForm(QWidget *window, const QsoEntry &qso)
{
    textBox(window, QStringLiteral("txtWWLocator"))->setText(qso.locator);
    textBox(window, QStringLiteral("txtCall"))->setText(qso.call);
    textBox(window, QStringLiteral("txtDate0"))->setText(qso.day);
    textBox(window, QStringLiteral("txtDate1"))->setText(qso.month);
    textBox(window, QStringLiteral("txtDate2"))->setText(qso.year);
    textBox(window, QStringLiteral("txtTime"))->setText(qso.time);
    listBox(window, QStringLiteral("comboPlace"))->setEditText(qso.place);
    if (!qso.prov.isEmpty())
        listBox(window, QStringLiteral("comboProv"))->setCurrentText(qso.prov);
    listBox(window, QStringLiteral("comboMode"))->setCurrentText(qso.mode);
    listBox(window, QStringLiteral("comboBand"))->setCurrentText(qso.band);
    option(window, qso.confirmed ? QStringLiteral("optQSLConf") : QStringLiteral("optQSLworked"))
        ->setChecked(true);
}

void submit(QWidget *window)
{
    press(window, QStringLiteral("cmdSubmit"));
}

QStringList formTexts(QWidget *window)
{
    QStringList texts;
    for (const char *name :
         {"txtWWLocator", "txtCall", "txtDate0", "txtDate1", "txtDate2", "txtTime"})
        texts << textBox(window, QString::fromLatin1(name))->text();
    return texts << listBox(window, QStringLiteral("comboPlace"))->currentText();
}

QStringList formSelections(QWidget *window)
{
    QStringList selections;
    for (const char *name : {"comboProv", "comboMode", "comboBand"})
        selections << listBox(window, QString::fromLatin1(name))->currentText();
    return selections;
}

} // namespace kx47::test
