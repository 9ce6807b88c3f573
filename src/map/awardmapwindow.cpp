#include "awardmapwindow.h"

#include "awardmappicture.h"
#include "mapcontrols.h"

#include "browser/utilitywindow.h"
#include "log/awardvocabulary.h"
#include "log/logsearch.h"
#include "platform/appcontext.h"
#include "platform/dialogs.h"
#include "platform/printer.h"
#include "platform/windownames.h"
#include "platform/windowregistry.h"
#include "storage/databaseerror.h"
#include "widgets/namedbutton.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QToolTip>
#include <QVBoxLayout>

namespace kx47
{

namespace
{

const QString allBands = allBandsChoice();
// The picture is printed at this many times its pixels.
constexpr double printScale = 3;

// Each state's swatch and name, one a row, and the hatching of sub-squares without a place.
QWidget *legendBox(QWidget *parent)
{
    auto *legend = new QWidget(parent);
    legend->setObjectName(QStringLiteral("legend"));
    auto *rows = new QGridLayout(legend);
    rows->setContentsMargins(0, 0, 0, 0);
    const int side = legend->fontMetrics().height();
    const qreal ratio = legend->devicePixelRatioF();
    QList<std::optional<AwardMap::State>> entries;
    for (const AwardMap::State state : AwardMap::legendStates())
        entries << state;
    entries << std::nullopt;
    int row = 0;
    for (const std::optional<AwardMap::State> &state : entries) {
        QPixmap swatch(QSize(side, side) * ratio);
        swatch.setDevicePixelRatio(ratio);
        swatch.fill(Qt::transparent);
        {
            QPainter painter(&swatch);
            AwardMapPicture::paintSwatch(painter, QRectF(0.5, 0.5, side - 1, side - 1), state);
        }
        auto *swatchLabel = new QLabel(legend);
        swatchLabel->setPixmap(swatch);
        rows->addWidget(swatchLabel, row, 0);
        rows->addWidget(new QLabel(state ? AwardMap::stateName(*state)
                                         : QStringLiteral("no place in the gazetteer"),
                                   legend),
                        row++, 1);
    }
    return legend;
}

} // namespace

AwardMapWindow::AwardMapWindow(AppContext &context)
    : m_context(context), m_map(context.log, context.places)
{
    setObjectName(windows::frmAwardMap);
    setWindowTitle(QStringLiteral("Award map"));

    auto *layout = new QVBoxLayout(this);
    auto *choices = new QHBoxLayout;
    m_band = choiceInFrame(this, choices, QStringLiteral("Band"), QStringLiteral("comboBand"),
                           vocabulary::bandNames() << allBands);
    m_mode = choiceInFrame(this, choices, QStringLiteral("Mode"), QStringLiteral("comboMode"),
                           vocabulary::modeNames());
    choices->addStretch();
    layout->addLayout(choices);

    auto *middle = new QHBoxLayout;
    m_grid = new AwardMapGrid(*this);
    m_grid->setObjectName(QStringLiteral("mapGrid"));
    middle->addWidget(m_grid, 1);
    auto *side = new QVBoxLayout;
    side->addWidget(legendBox(this));
    m_figures = new QLabel(this);
    m_figures->setObjectName(QStringLiteral("lblFigures"));
    side->addWidget(m_figures);
    side->addStretch();
    middle->addLayout(side);
    layout->addLayout(middle, 1);

    auto *buttons = new QHBoxLayout;
    QPushButton *save =
        addButton(this, buttons, QStringLiteral("cmdSaveImage"), QStringLiteral("Save image..."));
    QPushButton *printButton =
        addButton(this, buttons, QStringLiteral("cmdPrint"), QStringLiteral("Print"));
    buttons->addStretch();
    QPushButton *exitButton =
        addButton(this, buttons, QStringLiteral("cmdExit"), QStringLiteral("Exit"));
    layout->addLayout(buttons);

    connect(save, &QPushButton::clicked, this, &AwardMapWindow::saveImage);
    connect(printButton, &QPushButton::clicked, this, &AwardMapWindow::print);
    connect(exitButton, &QPushButton::clicked, this, &QWidget::hide);

    // The gazetteer is only read, so which sub-squares hold a place is read once.
    guardLogWork(
        m_context.dialogs, [this] { m_withPlaces = m_map.withPlaces(); },
        DatabaseError::Work::Read);
    refresh();
    connect(m_band, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    connect(m_mode, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
}

void AwardMapWindow::refresh()
{
    const QString band = m_band->currentText() == allBands ? QString() : m_band->currentText();
    // A log that cannot be read now leaves the map as it was.
    if (!guardLogWork(
            m_context.dialogs, [&] { m_data = m_map.compute(band, m_mode->currentText()); },
            DatabaseError::Work::Read))
        return;
    m_figures->setText(AwardMap::figureLines(m_data).join(QLatin1Char('\n')));
    m_grid->update();
}

QString AwardMapWindow::cellToolTip(int column, int row) const
{
    QStringList lines{QStringLiteral("KX47") + AwardMap::letters(column, row) +
                      QStringLiteral(": ") + AwardMap::stateName(m_data.at(column, row))};
    QStringList qsos, places;
    try {
        qsos = m_map.qsoLines(column, row, m_data.band, m_data.mode);
        places = m_map.placeLines(column, row);
    } catch (const DatabaseError &error) {
        // A tooltip is no place for a message box: it tells what it could not read.
        return lines.first() + QLatin1Char('\n') + error.plainMessage(DatabaseError::Work::Read);
    }
    lines << (qsos.isEmpty() ? QStringLiteral("No QSO") : QStringLiteral("QSOs:")) << qsos;
    lines << (places.isEmpty() ? QStringLiteral("No place in the gazetteer")
                               : QStringLiteral("Places:"))
          << places;
    return lines.join(QLatin1Char('\n'));
}

void AwardMapWindow::openInBrowser(int column, int row)
{
    auto *browser = m_context.windows.get<UtilityWindow>(windows::frmUtility);
    if (!browser)
        return;
    browser->searchFor(LogSearch::byWWLocator(AwardMap::letters(column, row)));
    browser->show();
    browser->raise();
    browser->activateWindow();
}

void AwardMapWindow::saveImage()
{
    const QString suggested = QStringLiteral("kx47-map-%1-%2.png")
                                  .arg(AwardMap::bandCaption(m_data.band), m_data.mode)
                                  .toLower()
                                  .replace(QLatin1Char(' '), QLatin1Char('-'));
    QString path =
        m_context.dialogs.saveFileName(QStringLiteral("Save image"), suggested,
                                       QStringLiteral("PNG image (*.png);;SVG image (*.svg)"));
    if (path.isEmpty())
        return;
    const QString suffix = path.section(QLatin1Char('.'), -1).toLower();
    if (!path.contains(QLatin1Char('.')) ||
        (suffix != QLatin1String("png") && suffix != QLatin1String("svg")))
        path += QLatin1String(".png");
    QString error;
    if (!AwardMapPicture(m_data, m_withPlaces).save(path, &error)) {
        m_context.dialogs.message(
            QStringLiteral("The map could not be saved as %1: %2. No file was written; choose "
                           "another folder or name and save again.")
                .arg(path, error),
            MessageIcon::Critical, MessageButtons::Ok);
    }
}

void AwardMapWindow::print()
{
    std::unique_ptr<Printer> printer =
        m_context.printService.startDocument(QStringLiteral("KX47 award map"));
    // The picture first, sharp on paper, then the map as text, as every printer can print it.
    printer->printImage(AwardMapPicture(m_data, m_withPlaces).image(printScale));
    printer->setFontName(QStringLiteral("Courier New"));
    printer->setFontSize(10);
    printer->setBold(false);
    for (const QString &line : AwardMap::textLines(m_data, m_withPlaces))
        printer->printLine(line);
    printer->endDocument();
}

AwardMapGrid::AwardMapGrid(AwardMapWindow &window) : QWidget(&window), m_window(window)
{
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize AwardMapGrid::sizeHint() const
{
    return QSize(26 * 22, 26 * 22);
}

QSize AwardMapGrid::minimumSizeHint() const
{
    return QSize(26 * 14, 26 * 14);
}

QPoint AwardMapGrid::cellCentre(int column, int row) const
{
    return AwardMapPicture::geometry(rect()).cellRect(column, row).center().toPoint();
}

bool AwardMapGrid::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const auto cell = AwardMapPicture::geometry(rect()).cellAt(help->pos());
        if (cell) {
            QToolTip::showText(help->globalPos(), m_window.cellToolTip(cell->first, cell->second),
                               this,
                               AwardMapPicture::geometry(rect())
                                   .cellRect(cell->first, cell->second)
                                   .toAlignedRect());
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QWidget::event(event);
}

void AwardMapGrid::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    AwardMapPicture(m_window.data(), m_window.withPlaces()).paintGrid(painter, rect());
}

void AwardMapGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    const auto cell = AwardMapPicture::geometry(rect()).cellAt(event->position());
    if (cell)
        m_window.openInBrowser(cell->first, cell->second);
}

} // namespace kx47

#include "moc_awardmapwindow.cpp"
