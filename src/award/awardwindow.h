#pragma once

#include <QWidget>
#include <array>

class QComboBox;
class QLabel;

namespace kx47
{

struct AppContext;

// "Award Outside Italy Rules": for the mode chosen in Combo1, how many QSOs per band are
// worked, confirmed and accredited, beside the minimum numbers of the base award and of an
// endorsement. The figures follow every change of the log, shown or hidden.
class AwardWindow : public QWidget
{
    Q_OBJECT
public:
    explicit AwardWindow(AppContext &context);

    // Recounts the eighteen figures for the mode Combo1 shows. Never shows the window.
    void conta();

    // The caption of a threshold label, as the window shows it.
    static QString baseCaption(int bandRow);
    static QString endorsementCaption(int bandRow);

private:
    QWidget *buildModeFrame();
    QWidget *buildThresholdFrame(const QString &caption, const QString &namePrefix,
                                 QString (*captionOf)(int));
    QWidget *buildFigures();

    AppContext &m_context;
    QComboBox *m_combo = nullptr;
    // Rows in band order; columns worked, confirmed, accredited.
    std::array<std::array<QLabel *, 3>, 6> m_figures{};
};

} // namespace kx47
