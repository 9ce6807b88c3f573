#pragma once

#include "awardmap.h"

#include <QWidget>
#include <bitset>

class QComboBox;
class QLabel;

namespace kx47
{

struct AppContext;
class AwardMapGrid;

// "Award map": the 576 sub-squares of the square for a chosen band category (or all bands) and
// mode, with the figures beside them. Follows every change of the log.
class AwardMapWindow : public QWidget
{
    Q_OBJECT
public:
    explicit AwardMapWindow(AppContext &context);

    // Reads the map afresh from the log for the current choices and redraws it.
    void refresh();
    const AwardMap::Data &data() const { return m_data; }
    const std::bitset<AwardMap::cellCount> &withPlaces() const { return m_withPlaces; }
    AwardMapGrid *grid() const { return m_grid; }

    // The tooltip of a cell: its sub-square, its QSOs and its places.
    QString cellToolTip(int column, int row) const;
    // Shows the log browser searching the cell's sub-square.
    void openInBrowser(int column, int row);
    // "Save image..." and "Print".
    void saveImage();
    void print();

private:
    AppContext &m_context;
    AwardMap m_map;
    AwardMap::Data m_data;
    std::bitset<AwardMap::cellCount> m_withPlaces;
    QComboBox *m_band = nullptr;
    QComboBox *m_mode = nullptr;
    AwardMapGrid *m_grid = nullptr;
    QLabel *m_figures = nullptr;
};

// The grid itself: paints the map, tells its cells' QSOs on hover and opens a cell on a
// double click.
class AwardMapGrid : public QWidget
{
    Q_OBJECT
public:
    explicit AwardMapGrid(AwardMapWindow &window);

    // The centre of a cell in this widget's coordinates.
    QPoint cellCentre(int column, int row) const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    AwardMapWindow &m_window;
};

} // namespace kx47
