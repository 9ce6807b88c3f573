#pragma once

#include "awardmap.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <bitset>
#include <optional>

class QPainter;

namespace kx47
{

// How the award map is drawn: the grid with the letters of the columns and rows along its
// edges, each cell in the colour of its state and with the state's letter, sub-squares without
// a place in the gazetteer hatched; and the whole picture with title, legend and figures, which
// "Save image..." writes as PNG or SVG.
class AwardMapPicture
{
public:
    using Places = std::bitset<AwardMap::cellCount>;

    AwardMapPicture(const AwardMap::Data &data, const Places &withPlaces);

    // A palette that colour-blind readers tell apart (Okabe and Ito).
    static QColor colour(AwardMap::State state);

    // The cells' side and the grid's top-left corner inside an area; the edge letters take one
    // cell's width around the grid.
    struct Geometry {
        double cell;
        QPointF origin;
        QRectF cellRect(int column, int row) const;
        // The cell under a point; none outside the grid.
        std::optional<std::pair<int, int>> cellAt(const QPointF &point) const;
    };
    static Geometry geometry(const QRectF &area);

    void paintGrid(QPainter &painter, const QRectF &area) const;
    // A legend's swatch: the state's colour with its letter, or hatched for a sub-square
    // without a place in the gazetteer (no state).
    static void paintSwatch(QPainter &painter, const QRectF &rect,
                            std::optional<AwardMap::State> state);
    // One text of the legend beside the grid, where it stands in the picture and in which
    // font; a swatch of its state's colour and letter (or hatched) stands left of a state's.
    struct LegendText {
        QString text;
        QRectF bounds;
        QFont font;
        std::optional<AwardMap::State> state;
        bool hatched = false;
        QRectF swatch;
    };
    // The legend's texts, each made small enough to fit the picture whatever the choice.
    QVector<LegendText> legendTexts() const;

    // Title, grid, legend and figures.
    void paint(QPainter &painter) const;
    // The size of the saved picture, in pixels.
    static QSize size();
    // The picture drawn at `scale` times its size, as it is saved or printed.
    QImage image(double scale = 1) const;

    // Writes the picture as SVG when the path ends in ".svg", else as PNG; the file appears
    // whole or not at all. False, with the reason, when it could not be written.
    bool save(const QString &path, QString *error) const;

private:
    void paintLegend(QPainter &painter) const;

    const AwardMap::Data &m_data;
    const Places &m_withPlaces;
};

} // namespace kx47
