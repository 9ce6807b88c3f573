#include "awardwindow.h"

#include "log/awardcounter.h"
#include "log/awardtally.h"

#include "log/awardvocabulary.h"
#include "log/logchange.h"
#include "platform/appcontext.h"
#include "platform/windownames.h"
#include "platform/windowregistry.h"
#include "storage/databaseerror.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <functional>

namespace kx47
{

namespace
{

// The names the figure labels carry, row by row: lblHFw, lbl50MHzc, lblSatellitea, ...
const std::array<const char *, 6> figureNames{
    {"lblHF", "lbl50MHz", "lblVHF", "lblUHF", "lblSHF", "lblSatellite"}};

// QSO numbers the tally reads in one turn of the event loop.
constexpr int tallyStretch = 10000;

// Short names of the bands for the names of the threshold labels.
const std::array<const char *, 6> bandTags{{"HF", "50MHz", "VHF", "UHF", "SHF", "SAT"}};

} // namespace

AwardWindow::AwardWindow(AppContext &context) : m_context(context)
{
    setObjectName(windows::frmAward);
    setWindowTitle(QStringLiteral("Award Outside Italy Rules"));

    auto *layout = new QVBoxLayout(this);
    auto *columns = new QHBoxLayout;
    layout->addLayout(columns);

    auto *left = new QVBoxLayout;
    left->addWidget(buildModeFrame());
    left->addWidget(buildThresholdFrame(QStringLiteral("Base Award Request"),
                                        QStringLiteral("lblBase"), &AwardWindow::baseCaption));
    left->addWidget(buildThresholdFrame(QStringLiteral("Endorsement"),
                                        QStringLiteral("lblEndorsement"),
                                        &AwardWindow::endorsementCaption));
    left->addStretch();
    columns->addLayout(left);
    columns->addWidget(buildFigures(), 1);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    auto *exitButton = new QPushButton(QStringLiteral("Exit"), this);
    exitButton->setObjectName(QStringLiteral("cmdExit"));
    bottom->addWidget(exitButton);
    layout->addLayout(bottom);
    connect(exitButton, &QPushButton::clicked, this, &QWidget::hide);

    // A new window counts the MIXED QSOs (the first of a session those of the mode chosen in the
    // session before) at once; every choice of a mode recounts.
    m_combo->setCurrentIndex(0);
    m_context.windows.keepChoice(windows::frmAward, QStringLiteral("mode"), m_combo);
    conta();
    connect(m_combo, &QComboBox::currentIndexChanged, this, [this] { conta(); });

    // The tally that follows single QSOs is read while the program waits for the user.
    m_tally = std::make_unique<AwardTally>(context.log);
    m_tallyTimer = new QTimer(this);
    m_tallyTimer->setSingleShot(true);
    m_tallyTimer->setInterval(0);
    connect(m_tallyTimer, &QTimer::timeout, this, &AwardWindow::readTally);
    m_tallyTimer->start();
}

AwardWindow::~AwardWindow() = default;

bool AwardWindow::tallyWork(const std::function<void()> &work)
{
    // A tally that could not be read is left aside: the figures are then counted, which tells
    // the user what went wrong, and the next change of the whole log starts the tally again.
    try {
        work();
        m_tallyFailed = false;
        return true;
    } catch (const DatabaseError &) {
        m_tallyFailed = true;
        return false;
    }
}

void AwardWindow::readTally()
{
    bool done = true;
    if (tallyWork([&] { done = m_tally->readMore(tallyStretch); }) && !done)
        m_tallyTimer->start();
    // Changes that came before the tally was complete are shown now.
    if (done && m_tally->isComplete())
        showFigures(m_tally->figures(m_combo->currentText()));
}

void AwardWindow::followLog(const LogChange &change)
{
    bool followed = false;
    if (!m_tallyFailed && !change.wholeLog &&
        tallyWork([&] { followed = m_tally->follow(change); }) && followed) {
        const qint64 left = m_tally->numbersLeft();
        // A short rest of the log is read at once; a long one only in its stretches, without
        // holding up the windows for a count of the whole log.
        if (!m_tally->isComplete() && m_tally->isUsable() && left <= tallyStretch)
            tallyWork([&] { m_tally->readMore(tallyStretch); });
        if (m_tally->isComplete()) {
            showFigures(m_tally->figures(m_combo->currentText()));
            return;
        }
        if (!m_tallyFailed && m_tally->isUsable()) {
            m_tallyTimer->start();
            return;
        }
    }
    conta();
    if (change.wholeLog || m_tallyFailed) {
        if (tallyWork([&] { m_tally->restart(); }))
            m_tallyTimer->start();
    }
}

QString AwardWindow::baseCaption(int bandRow)
{
    return QString::fromLatin1(vocabulary::bands.at(bandRow).baseCaption);
}

QString AwardWindow::endorsementCaption(int bandRow)
{
    return QString::fromLatin1(vocabulary::bands.at(bandRow).endorsementCaption);
}

QWidget *AwardWindow::buildModeFrame()
{
    auto *frame = new QGroupBox(QStringLiteral("mode"), this);
    frame->setObjectName(QStringLiteral("frameMode"));
    auto *frameLayout = new QVBoxLayout(frame);
    m_combo = new QComboBox(frame);
    m_combo->setObjectName(QStringLiteral("Combo1"));
    m_combo->setEditable(false);
    m_combo->addItems(vocabulary::modeNames());
    frameLayout->addWidget(m_combo);
    return frame;
}

QWidget *AwardWindow::buildThresholdFrame(const QString &caption, const QString &namePrefix,
                                          QString (*captionOf)(int))
{
    auto *frame = new QGroupBox(caption, this);
    auto *frameLayout = new QVBoxLayout(frame);
    for (int row = 0; row < int(bandTags.size()); ++row) {
        auto *label = new QLabel(captionOf(row), frame);
        label->setObjectName(namePrefix + QLatin1String(bandTags[row]));
        frameLayout->addWidget(label);
    }
    return frame;
}

QWidget *AwardWindow::buildFigures()
{
    auto *figures = new QWidget(this);
    auto *figuresLayout = new QVBoxLayout(figures);
    figuresLayout->setContentsMargins(0, 0, 0, 0);

    auto *headings = new QHBoxLayout;
    for (const char *heading : {"WORKED", "CONFIRMED", "ACCREDITATED"}) {
        auto *label = new QLabel(QString::fromLatin1(heading), figures);
        label->setAlignment(Qt::AlignCenter);
        headings->addWidget(label, 1);
    }
    figuresLayout->addLayout(headings);

    const QStringList bands = vocabulary::bandNames();
    const QStringList states = vocabulary::qslLetters();
    for (int row = 0; row < bands.size(); ++row) {
        auto *frame = new QGroupBox(bands[row], figures);
        auto *rowLayout = new QHBoxLayout(frame);
        for (int column = 0; column < states.size(); ++column) {
            // No caption until the first count.
            auto *label = new QLabel(frame);
            label->setObjectName(QLatin1String(figureNames[row]) + states[column]);
            label->setAlignment(Qt::AlignCenter);
            rowLayout->addWidget(label, 1);
            m_figures[row][column] = label;
        }
        figuresLayout->addWidget(frame);
    }
    return figures;
}

void AwardWindow::conta()
{
    AwardCounter::Figures figures;
    // A log that cannot be read now leaves the figures as they were.
    if (!guardLogWork(
            m_context.dialogs,
            [&] { figures = AwardCounter(m_context.log).count(m_combo->currentText()); },
            DatabaseError::Work::Read))
        return;
    showFigures(figures);
}

void AwardWindow::showFigures(const AwardCounter::Figures &figures)
{
    for (int row = 0; row < int(m_figures.size()); ++row) {
        for (int column = 0; column < int(m_figures[row].size()); ++column)
            m_figures[row][column]->setText(QString::number(figures.counts[row][column]));
    }
}

} // namespace kx47

#include "moc_awardwindow.cpp"
