#include "qsoentryfixture.h"

#include "log/lognotifier.h"
#include "platform/appcontext.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace kx47::test
{

namespace
{

template <class W> W *control(QWidget *window, const QString &name)
{
    W *widget = window->findChild<W *>(name);
    if (!widget)
        qFatal("no control %s in %s", qPrintable(name), qPrintable(window->objectName()));
    return widget;
}

} // namespace

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

QsoWindowFixture::QsoWindowFixture()
    : app(folder.path()), started(app.start()),
      logChanges(&app.app().context().logNotifier, &LogNotifier::logChanged)
{
}

QLineEdit *textBox(QWidget *window, const QString &name)
{
    return control<QLineEdit>(window, name);
}

QComboBox *listBox(QWidget *window, const QString &name)
{
    return control<QComboBox>(window, name);
}

QRadioButton *option(QWidget *window, const QString &name)
{
    return control<QRadioButton>(window, name);
}

void press(QWidget *window, const QString &button)
{
    QTest::mouseClick(control<QPushButton>(window, button), Qt::LeftButton);
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
