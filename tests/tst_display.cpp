// The windows on a real X display (Xvfb, with openbox where installed): the bars of each list's
// column header stand over the bars of its lines, measured in the pixels drawn on the screen.
#include "browserlog.h"
#include "fixture.h"

#include "platform/windownames.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QtTest>

using namespace kx47;
using namespace kx47::test;

namespace
{

// Where the bars '|' of a line of text stand: the middle of each run of pixel columns whose
// ink reaches from above the letters' height to below the baseline, as only the bar's does.
QVector<double> barsIn(const QImage &image, const QRect &band, int tallerThan)
{
    QVector<bool> tall(band.width(), false);
    for (int x = 0; x < band.width(); ++x) {
        int run = 0;
        for (int y = band.top(); y <= band.bottom(); ++y) {
            run = qGray(image.pixel(band.left() + x, y)) < 128 ? run + 1 : 0;
            tall[x] = tall[x] || run > tallerThan;
        }
    }
    QVector<double> bars;
    for (int x = 0; x < tall.size(); ++x) {
        if (!tall[x])
            continue;
        int end = x;
        while (end + 1 < tall.size() && tall[end + 1])
            ++end;
        bars << band.left() + (x + end) / 2.0;
        x = end;
    }
    return bars;
}

QString listed(const QVector<double> &xs)
{
    QStringList texts;
    for (double x : xs)
        texts << QString::number(x);
    return texts.join(QLatin1Char(' '));
}

} // namespace

class TestDisplay : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void headerBarsOverLineBars_data();
    void headerBarsOverLineBars();
    void windowsShowTheirWholeContent_data();
    void windowsShowTheirWholeContent();

private:
    QProcess m_windowManager;
};

void TestDisplay::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("No X display: these checks run under xvfb-run, which is not installed.");
    const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    if (openbox.isEmpty()) {
        qInfo("openbox is not installed: the windows are shown without a window manager.");
        return;
    }
    m_windowManager.start(openbox, {QStringLiteral("--sm-disable")});
    QVERIFY(m_windowManager.waitForStarted());
    // The window manager is running once it puts a frame around a window shown after it came.
    QVERIFY(QTest::qWaitFor(
        [] {
            QWidget probe;
            probe.resize(100, 50);
            probe.show();
            return QTest::qWaitFor([&probe] { return probe.frameGeometry() != probe.geometry(); },
                                   200);
        },
        10000));
}

void TestDisplay::cleanupTestCase()
{
    if (m_windowManager.state() == QProcess::NotRunning)
        return;
    m_windowManager.terminate();
    m_windowManager.waitForFinished(5000);
}

void TestDisplay::headerBarsOverLineBars_data()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("Utility QSO") << windows::frmUtility;
    QTest::newRow("Find on Places Database") << windows::frmFindPlaces;
}

void TestDisplay::headerBarsOverLineBars()
{
    QFETCH(QString, window);
    ProgramFolder folder;
    folder.addQsos(browserLog());
    TestApp app(folder.path());
    QVERIFY(app.start());
    QWidget *shown = app.show(window);
    QVERIFY(shown);
    if (window == windows::frmFindPlaces) {
        shown->findChild<QLineEdit *>("txtWWLocator")->setText("AA");
        QTest::mouseClick(shown->findChild<QPushButton *>("cmdSearch"), Qt::LeftButton);
    }
    QVERIFY(QTest::qWaitForWindowExposed(shown));
    auto *list = shown->findChild<QListView *>("List");
    QVERIFY(list->model()->rowCount() > 0);
    auto *frame = qobject_cast<QGroupBox *>(list->parentWidget());
    QVERIFY(frame);
    QTest::qWait(200);

    const QImage image = shown->screen()->grabWindow(shown->winId()).toImage();
    QVERIFY(!image.isNull());
    const QFontMetrics metrics(list->font());
    const QPoint frameAt = frame->mapTo(shown, QPoint(0, 0));
    const QRect headerBand(frameAt.x(), frameAt.y(), frame->width(),
                           list->mapTo(shown, QPoint(0, 0)).y() - frameAt.y());
    const QRect line = list->visualRect(list->model()->index(0, 0));
    const QRect lineBand(frameAt.x(), list->viewport()->mapTo(shown, line.topLeft()).y(),
                         frame->width(), line.height());
    const QVector<double> header = barsIn(image, headerBand, metrics.ascent());
    const QVector<double> lines = barsIn(image, lineBand, metrics.ascent());
    qInfo("header bars at %s", qPrintable(listed(header)));
    qInfo("line bars at   %s", qPrintable(listed(lines)));
    QCOMPARE(header.size(), frame->title().count(QLatin1Char('|')));
    QVERIFY(!header.isEmpty());
    for (int i = 0; i < header.size() && i < lines.size(); ++i)
        QVERIFY2(qAbs(header[i] - lines[i]) <= 1.0,
                 qPrintable(QString("bar %1: header at %2, line at %3")
                                .arg(i + 1)
                                .arg(header[i])
                                .arg(lines[i])));
}

void TestDisplay::windowsShowTheirWholeContent_data()
{
    QTest::addColumn<QString>("window");
    for (const QString &name : {windows::frmInsertQSO, windows::frmEditQSO, windows::frmUtility,
                                windows::frmAward, windows::frmBAR, windows::frmAE,
                                windows::frmUserData, windows::frmFindPlaces, windows::frmAbout})
        QTest::newRow(qPrintable(name)) << name;
    QTest::newRow("User Data with long stored values") << QString("long user data");
}

void TestDisplay::windowsShowTheirWholeContent()
{
    QFETCH(QString, window);
    ProgramFolder folder;
    const bool longUserData = window == QLatin1String("long user data");
    if (longUserData) {
        folder.setUserData(QString(60, 'C'), QString(80, 'e') + "@example.org");
        window = windows::frmUserData;
    }
    TestApp app(folder.path());
    QVERIFY(app.start());
    QWidget *shown = app.show(window);
    QVERIFY(shown);
    QVERIFY(QTest::qWaitForWindowExposed(shown));
    QTest::qWait(200);
    const QSize natural = shown->layout() ? shown->layout()->totalSizeHint() : shown->sizeHint();
    qInfo() << "size" << shown->size() << "minimum" << shown->minimumSize() << "natural" << natural
            << "frame" << shown->frameGeometry().size();
    // Never smaller than the layout asks for, whatever the window manager does.
    QVERIFY(shown->minimumWidth() >= natural.width());
    QVERIFY(shown->minimumHeight() >= natural.height());
    QVERIFY(shown->width() >= natural.width());
    QVERIFY(shown->height() >= natural.height());
    // Each control lies inside the window.
    for (QWidget *child : shown->findChildren<QWidget *>()) {
        if (!child->isVisible() || child->isWindow())
            continue;
        const QRect inWindow(child->mapTo(shown, QPoint(0, 0)), child->size());
        QVERIFY2(shown->rect().contains(inWindow), qPrintable(child->objectName()));
    }
    // Room for the title, beside the window manager's buttons.
    QVERIFY(shown->width() >
            QFontMetrics(QApplication::font()).horizontalAdvance(shown->windowTitle()));
}

QTEST_MAIN(TestDisplay)
#include "tst_display.moc"
