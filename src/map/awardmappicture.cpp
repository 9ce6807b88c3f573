#include "awardmappicture.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <cmath>

namespace kx47
{

namespace
{

const QSize pictureSize(1000, 700);
const QColor ink(Qt::black);
const QColor hatch(0, 0, 0, 110);

// Three diagonal strokes across a cell, drawn as lines (pattern brushes do not survive in every
// SVG reader).
void paintHatching(QPainter &painter, const QRectF &rect)
{
    painter.save();
    painter.setPen(QPen(hatch, 0));
    const double side = rect.width();
    for (const double c : {side / 2, side, side * 3 / 2}) {
        const double fromU = std::max(0.0, c - side);
        const double toU = std::min(side, c);
        painter.drawLine(rect.topLeft() + QPointF(fromU, c - fromU),
                         rect.topLeft() + QPointF(toU, c - toU));
    }
    painter.restore();
}

} // namespace

AwardMapPicture::AwardMapPicture(const AwardMap::Data &data, const Places &withPlaces)
    : m_data(data), m_withPlaces(withPlaces)
{
}

QColor AwardMapPicture::colour(AwardMap::State state)
{
    switch (state) {
    case AwardMap::State::Accredited:
        return QColor(0x00, 0x9E, 0x73); // bluish green
    case AwardMap::State::Confirmed:
        return QColor(0x56, 0xB4, 0xE9); // sky blue
    case AwardMap::State::Electronic:
        return QColor(0xCC, 0x79, 0xA7); // reddish purple
    case AwardMap::State::Worked:
        return QColor(0xE6, 0x9F, 0x00); // orange
    case AwardMap::State::None:
        break;
    }
    return QColor(Qt::white);
}

QRectF AwardMapPicture::Geometry::cellRect(int column, int row) const
{
    return QRectF(origin.x() + column * cell, origin.y() + (AwardMap::side - 1 - row) * cell, cell,
                  cell);
}

std::optional<std::pair<int, int>> AwardMapPicture::Geometry::cellAt(const QPointF &point) const
{
    const int column = int(std::floor((point.x() - origin.x()) / cell));
    const int fromTop = int(std::floor((point.y() - origin.y()) / cell));
    if (column < 0 || column >= AwardMap::side || fromTop < 0 || fromTop >= AwardMap::side)
        return std::nullopt;
    return std::make_pair(column, AwardMap::side - 1 - fromTop);
}

AwardMapPicture::Geometry AwardMapPicture::geometry(const QRectF &area)
{
    const double cell = std::min(area.width(), area.height()) / (AwardMap::side + 2);
    return {cell, area.topLeft() + QPointF(cell, cell)};
}

void AwardMapPicture::paintGrid(QPainter &painter, const QRectF &area) const
{
    const Geometry grid = geometry(area);
    painter.save();
    QFont font = painter.font();
    font.setPixelSize(std::max(6, int(grid.cell * 0.55)));
    painter.setFont(font);

    for (int column = 0; column < AwardMap::side; ++column) {
        for (int row = 0; row < AwardMap::side; ++row) {
            const QRectF rect = grid.cellRect(column, row);
            const AwardMap::State state = m_data.at(column, row);
            painter.fillRect(rect, colour(state));
            if (!m_withPlaces.test(AwardMap::index(column, row)))
                paintHatching(painter, rect);
            if (state != AwardMap::State::None) {
                painter.setPen(ink);
                painter.drawText(rect, Qt::AlignCenter, QString(AwardMap::stateLetter(state)));
            }
        }
    }

    painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 0));
    for (int line = 0; line <= AwardMap::side; ++line) {
        const double x = grid.origin.x() + line * grid.cell;
        const double y = grid.origin.y() + line * grid.cell;
        painter.drawLine(QPointF(x, grid.origin.y()),
                         QPointF(x, grid.origin.y() + AwardMap::side * grid.cell));
        painter.drawLine(QPointF(grid.origin.x(), y),
                         QPointF(grid.origin.x() + AwardMap::side * grid.cell, y));
    }

    // The letters of the columns above and below the grid, of the rows left and right of it.
    painter.setPen(ink);
    for (int index = 0; index < AwardMap::side; ++index) {
        const QString letter(QChar(u'A' + index));
        const QRectF bottom = grid.cellRect(index, 0);
        const QRectF top = grid.cellRect(index, AwardMap::side - 1);
        painter.drawText(bottom.translated(0, grid.cell), Qt::AlignCenter, letter);
        painter.drawText(top.translated(0, -grid.cell), Qt::AlignCenter, letter);
        const QRectF left = grid.cellRect(0, index);
        const QRectF right = grid.cellRect(AwardMap::side - 1, index);
        painter.drawText(left.translated(-grid.cell, 0), Qt::AlignCenter, letter);
        painter.drawText(right.translated(grid.cell, 0), Qt::AlignCenter, letter);
    }
    painter.restore();
}

namespace
{

// Where the legend stands: right of the grid, which is as high as the picture.
QRectF legendArea()
{
    const double gridSide = pictureSize.height();
    return QRectF(gridSide + 10, 20, pictureSize.width() - gridSide - 20, gridSide - 40);
}

constexpr double swatchSide = 18;
constexpr double swatchGap = 8;

} // namespace

QVector<AwardMapPicture::LegendText> AwardMapPicture::legendTexts() const
{
    const QRectF area = legendArea();
    QVector<LegendText> texts;
    const auto add = [&texts](const QString &text, std::optional<AwardMap::State> state = {},
                              bool hatched = false) {
        texts.append({text, QRectF(), QFont(), state, hatched, QRectF()});
    };
    add(QStringLiteral("DIPLOMA KX47"));
    add(QStringLiteral("%1, %2").arg(AwardMap::bandCaption(m_data.band), m_data.mode));
    const int firstSwatch = texts.size();
    for (const AwardMap::State state : AwardMap::legendStates())
        add(AwardMap::stateName(state), state);
    add(QStringLiteral("no place in the gazetteer"), std::nullopt, true);
    const int firstFigure = texts.size();
    for (const QString &figure : AwardMap::figureLines(m_data))
        add(figure);

    // From the largest size down, the first at which every text fits the width, and all of
    // them, with a blank line after the caption and after the swatches, its height.
    for (int pixels = 16;; --pixels) {
        QFont font;
        font.setFamily(QStringLiteral("Liberation Sans"));
        font.setPixelSize(pixels);
        const QFontMetricsF metrics(font);
        QFont bold = font;
        bold.setBold(true);
        const double line = std::max(metrics.lineSpacing(), swatchSide + 2);
        double y = area.top();
        bool fits = true;
        for (int i = 0; i < texts.size(); ++i) {
            LegendText &entry = texts[i];
            if (i == firstSwatch || i == firstFigure)
                y += line;
            entry.font = i == 0 ? bold : font;
            const bool swatched = i >= firstSwatch && i < firstFigure;
            const double left = area.left() + (swatched ? swatchSide + swatchGap : 0);
            const double width = QFontMetricsF(entry.font).horizontalAdvance(entry.text);
            entry.bounds = QRectF(left, y, width, line);
            entry.swatch =
                swatched ? QRectF(area.left(), y + (line - swatchSide) / 2, swatchSide, swatchSide)
                         : QRectF();
            fits = fits && entry.bounds.right() <= area.right();
            y += line;
        }
        if ((fits && y <= area.bottom()) || pixels <= 6)
            return texts;
    }
}

void AwardMapPicture::paintSwatch(QPainter &painter, const QRectF &rect,
                                  std::optional<AwardMap::State> state)
{
    painter.save();
    painter.setPen(QPen(ink, 0));
    painter.fillRect(rect, state ? colour(*state) : QColor(Qt::white));
    if (!state)
        paintHatching(painter, rect);
    painter.drawRect(rect);
    if (state) {
        QFont letterFont = painter.font();
        letterFont.setPixelSize(std::max(6, int(rect.height() * 0.7)));
        painter.setFont(letterFont);
        painter.drawText(rect, Qt::AlignCenter, QString(AwardMap::stateLetter(*state)));
    }
    painter.restore();
}

void AwardMapPicture::paintLegend(QPainter &painter) const
{
    painter.save();
    painter.setPen(QPen(ink, 0));
    for (const LegendText &entry : legendTexts()) {
        if (entry.state || entry.hatched)
            paintSwatch(painter, entry.swatch, entry.state);
        painter.setFont(entry.font);
        painter.drawText(entry.bounds, Qt::AlignLeft | Qt::AlignVCenter, entry.text);
    }
    painter.restore();
}

void AwardMapPicture::paint(QPainter &painter) const
{
    const QRectF whole(QPointF(0, 0), QSizeF(size()));
    painter.fillRect(whole, Qt::white);
    const double gridSide = whole.height();
    paintGrid(painter, QRectF(0, 0, gridSide, gridSide));
    paintLegend(painter);
}

QImage AwardMapPicture::image(double scale) const
{
    QImage picture(size() * scale, QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.scale(scale, scale);
    paint(painter);
    painter.end();
    return picture;
}

QSize AwardMapPicture::size()
{
    return pictureSize;
}

bool AwardMapPicture::save(const QString &path, QString *error) const
{
    // The picture is made in memory, then written whole: a failed write leaves no file behind.
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    bool painted = false;
    if (QFileInfo(path).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0) {
        QSvgGenerator generator;
        generator.setOutputDevice(&bytes);
        generator.setSize(size());
        generator.setResolution(96); // the pixels of CSS, as SVG readers take them
        generator.setViewBox(QRect(QPoint(0, 0), size()));
        generator.setTitle(QStringLiteral("DIPLOMA KX47 award map"));
        QPainter painter;
        if (painter.begin(&generator)) {
            paint(painter);
            painted = painter.end();
        }
    } else {
        painted = image().save(&bytes, "PNG");
    }
    if (!painted || bytes.data().isEmpty()) {
        *error = QStringLiteral("the picture could not be made");
        return false;
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    if (file.write(bytes.data()) != bytes.data().size() || !file.flush()) {
        *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace kx47
