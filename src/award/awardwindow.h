#pragma once

#include "log/awardcounter.h"

#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QTimer;

namespace kx47
{

struct AppContext;
class AwardTally;
struct LogChange;

// "Award Outside Italy Rules": for the mode chosen in Combo1, how many QSOs per band are
// worked, confirmed and accredited, beside the minimum numbers of the base award and of an
// endorsement. The figures follow every change of the log, shown or hidden.
class AwardWindow : public QWidget
{
    Q_OBJECT
public:
    explicit AwardWindow(AppContext &context);
    ~AwardWindow() override;

    // Recounts the eighteen figures for the mode Combo1 shows. Never shows the window.
    void conta();
    // Follows a change of the log: the QSOs it names are read afresh and the figures follow;
    // a change of the whole log recounts. One that comes before the log has been tallied is
    // tallied with it: the figures follow at once when little of the log is left to read, else
    // as soon as the tally, read on in its short stretches, is complete.
    void followLog(const LogChange &change);

    // The caption of a threshold label, as the window shows it.
    static QString baseCaption(int bandRow);
    static QString endorsementCaption(int bandRow);

private:
    QWidget *buildModeFrame();
    QWidget *buildThresholdFrame(const QString &caption, const QString &namePrefix,
                                 QString (*captionOf)(int));
    QWidget *buildFigures();
    void showFigures(const AwardCounter::Figures &figures);
    void readTally();
    bool tallyWork(const std::function<void()> &work);

    AppContext &m_context;
    QComboBox *m_combo = nullptr;
    // Rows in band order; columns worked, confirmed, accredited.
    std::array<std::array<QLabel *, 3>, 6> m_figures{};
    std::unique_ptr<AwardTally> m_tally;
    QTimer *m_tallyTimer = nullptr;
    bool m_tallyFailed = false;
};

} // namespace kx47
