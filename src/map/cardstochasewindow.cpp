#include "cardstochasewindow.h"

#include "awardmap.h"
#include "mapcontrols.h"

#include "adif/adifwriter.h"
#include "log/awardvocabulary.h"
#include "log/lognotifier.h"
#include "platform/appcontext.h"
#include "platform/dialogs.h"
#include "platform/printer.h"
#include "platform/windowregistry.h"
#include "storage/databaseerror.h"
#include "text/fixedwidth.h"
#include "text/textforms.h"
#include "widgets/namedbutton.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kx47
{

const QString CardsToChaseWindow::name = QStringLiteral("frmCardsToChase");

QStringList cardsToChaseLines(const QVector<CardsToChase::Card> &cards, const QString &bandOrAll,
                              const QString &mode)
{
    QStringList result{QStringLiteral("DIPLOMA KX47 cards to chase, band %1, mode %2")
                           .arg(AwardMap::bandCaption(bandOrAll), mode),
                       QString()};
    result << fixedLine({{QStringLiteral("Call"), 15},
                         {QStringLiteral("Date"), 8},
                         {QStringLiteral("Time"), 5},
                         {QStringLiteral("Sub-sq"), 6},
                         {QStringLiteral("Band"), 6},
                         {QStringLiteral("Confirmed by"), 13},
                         {QStringLiteral("Award needs"), 11}});
    for (const CardsToChase::Card &card : cards) {
        const QsoRecord &q = card.qso;
        const QString services = AwardMap::electronicText(!q.lotw.isEmpty(), !q.eqsl.isEmpty());
        result << fixedLine({{q.call, 15},
                             {dateText(q.date), 8},
                             {listTime(q.time), 5},
                             {QStringLiteral("KX47") + q.locator.toUpper(), 6},
                             {q.band, 6},
                             {services.isEmpty() ? QStringLiteral("worked") : services, 13},
                             {QString::number(card.needed), 11}});
    }
    if (cards.isEmpty())
        result << QStringLiteral(
            "No card to chase: every sub-square worked holds a confirmed QSO.");
    return result;
}

CardsToChaseWindow::CardsToChaseWindow(AppContext &context)
    : m_context(context), m_chase(context.log)
{
    setObjectName(name);
    setWindowTitle(QStringLiteral("Cards to chase"));

    auto *layout = new QVBoxLayout(this);
    auto *choices = new QHBoxLayout;
    m_band = choiceInFrame(this, choices, QStringLiteral("Band"), QStringLiteral("comboBand"),
                           vocabulary::bandNames() << allBandsChoice());
    m_mode = choiceInFrame(this, choices, QStringLiteral("Mode"), QStringLiteral("comboMode"),
                           vocabulary::modeNames());
    choices->addStretch();
    layout->addLayout(choices);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lstCards"));
    m_list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_list->setMinimumWidth(m_list->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 90);
    layout->addWidget(m_list, 1);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("lblCount"));
    layout->addWidget(m_count);

    auto *buttons = new QHBoxLayout;
    QPushButton *printButton =
        addButton(this, buttons, QStringLiteral("cmdPrint"), QStringLiteral("Print"));
    QPushButton *exportButton =
        addButton(this, buttons, QStringLiteral("cmdExportAdif"), QStringLiteral("Export ADIF..."));
    buttons->addStretch();
    QPushButton *exitButton =
        addButton(this, buttons, QStringLiteral("cmdExit"), QStringLiteral("Exit"));
    layout->addLayout(buttons);

    connect(printButton, &QPushButton::clicked, this, &CardsToChaseWindow::print);
    connect(exportButton, &QPushButton::clicked, this, &CardsToChaseWindow::exportAdif);
    connect(exitButton, &QPushButton::clicked, this, &QWidget::hide);
    refresh();
    connect(m_band, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    connect(m_mode, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
}

QString CardsToChaseWindow::band() const
{
    return m_band->currentText() == allBandsChoice() ? QString() : m_band->currentText();
}

void CardsToChaseWindow::refresh()
{
    // A log that cannot be read now leaves the list as it was.
    if (!guardLogWork(
            m_context.dialogs, [&] { m_cards = m_chase.list(band(), m_mode->currentText()); },
            DatabaseError::Work::Read))
        return;
    QStringList lines = cardsToChaseLines(m_cards, band(), m_mode->currentText());
    m_list->clear();
    m_list->addItems(lines.mid(2));
    m_count->setText(m_cards.size() == 1 ? QStringLiteral("1 card to chase")
                                         : QStringLiteral("%1 cards to chase").arg(m_cards.size()));
}

void CardsToChaseWindow::print()
{
    std::unique_ptr<Printer> printer =
        m_context.printService.startDocument(QStringLiteral("KX47 cards to chase"));
    printer->setFontName(QStringLiteral("Courier New"));
    printer->setFontSize(10);
    printer->setBold(false);
    for (const QString &line : cardsToChaseLines(m_cards, band(), m_mode->currentText()))
        printer->printLine(line);
    printer->endDocument();
}

void CardsToChaseWindow::exportAdif()
{
    const QString suggested =
        QStringLiteral("kx47-cards-%1-%2.adi")
            .arg(band().isEmpty() ? QStringLiteral("all") : band(), m_mode->currentText())
            .toLower()
            .replace(QLatin1Char(' '), QLatin1Char('-'));
    QString path =
        m_context.dialogs.saveFileName(QStringLiteral("Export cards to chase"), suggested,
                                       QStringLiteral("ADIF files (*.adi *.ADI);;All files (*)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".adi");
    int next = 0;
    const QsoSource source = [&](QsoRecord &qso) {
        if (next == m_cards.size())
            return false;
        qso = m_cards[next++].qso;
        return true;
    };
    QString error;
    if (!writeAdi(path, source, &error)) {
        m_context.dialogs.message(
            QStringLiteral("The file %1 could not be written: %2. No file was made; choose "
                           "another folder or free some disk space.")
                .arg(QDir::toNativeSeparators(path), error),
            MessageIcon::Critical, MessageButtons::Ok);
        return;
    }
    m_context.dialogs.message(QStringLiteral("%1 QSOs written to %2")
                                  .arg(m_cards.size())
                                  .arg(QDir::toNativeSeparators(path)),
                              MessageIcon::Information, MessageButtons::Ok);
}

void registerCardsToChaseWindow(AppContext &context)
{
    context.windows.registerWindow(CardsToChaseWindow::name,
                                   [&context] { return new CardsToChaseWindow(context); });
    // A list that exists, shown or hidden, is read afresh after every change of the log.
    QObject::connect(
        &context.logNotifier, &LogNotifier::logChanged, &context.logNotifier, [&context] {
            if (auto *window = context.windows.find<CardsToChaseWindow>(CardsToChaseWindow::name))
                window->refresh();
        });
}

} // namespace kx47

#include "moc_cardstochasewindow.cpp"
