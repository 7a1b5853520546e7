#include "canvas/tools/watermark.h"

#include "canvas/geometry.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace Watermark {

double sizeFactor(int size)
{
    return Geometry::zoomFactor(size);
}

QSize scaledTextSize(const QFontMetrics& metrics, const QString& text, double factor)
{
    const QSize measured = metrics.size(Qt::AlignLeft, text);
    return QSize(qRound(measured.width() * factor), qRound(measured.height() * factor));
}

QPoint bottomPosition(const QSize& device, double scale, double outer, double factor, const QSize& textSize)
{
    const double w = device.width();
    const double h = device.height();
    const int x = int((w - scale * textSize.width()) / (2.0 * factor * scale));
    const int y = int(h / (factor * scale) - outer - textSize.height() / (2.0 * factor));
    return QPoint(x, y);
}

namespace {

// The last index k with first + k * step - 2 * step < limit, or -1 when there is none.
int lastIndex(double first, double step, double limit)
{
    if (!(step > 0.0))
        return -1;
    const double guess = std::floor((limit - first) / step + 2.0);
    int k = int(std::clamp(guess, -1.0, double(std::numeric_limits<int>::max() / 2)));
    // The guess can be one off either way through rounding; the loop condition itself decides.
    while (k >= 0 && !(first + k * step - 2.0 * step < limit))
        --k;
    while (first + (k + 1) * step - 2.0 * step < limit && k < std::numeric_limits<int>::max() / 2)
        ++k;
    return k;
}

// First and last grid index whose text, reaching `reach` units either side of its anchor, can touch
// [low, high] (in the same units).
std::pair<int, int> visibleRange(double first, double step, double reach, double low, double high)
{
    const double from = std::floor((low - reach - first) / step);
    const double to = std::ceil((high + reach - first) / step);
    const double limit = double(std::numeric_limits<int>::max() / 2);
    return {int(std::clamp(from, 0.0, limit)), int(std::clamp(to, -1.0, limit))};
}

} // namespace

int TileGrid::columnCount() const
{
    return lastIndex(origin, step, limitA) + 1;
}

int TileGrid::rowCount() const
{
    return lastIndex(firstRow, step, limitB) + 1;
}

TileGrid tileGrid(const QSize& device, double scale, double outer, double factor, double textWidth,
                  int spacing)
{
    const double q = textWidth * diagonal;
    TileGrid grid;
    grid.origin = outer;
    grid.firstRow = q + outer;
    grid.step = spacing / 100.0 * q + 1.4 * q;
    grid.limitA = (device.width() / scale - 2.0 * outer) / factor;
    grid.limitB = (device.height() / scale - 2.0 * outer) / factor;
    return grid;
}

QPoint tilePosition(double a, double b)
{
    return QPoint(int(a / diagonal - (a + b) * diagonal), int((a + b) * diagonal));
}

QRect TileGrid::visibleTiles(const PaintTarget& target, double factor, const QSize& textSize) const
{
    if (!(step > 0.0))
        return {};
    // Tile positions live in units of zoom times size factor; a text spans at most its width plus its
    // height from its anchor in any direction, and a pixel more for antialiasing.
    const double unit = target.scale * factor;
    const double reach = (textSize.width() + 2.0 * textSize.height()) / factor + 2.0 / unit;
    const QRect& exposed = target.exposed;
    auto columns = visibleRange(origin, step, reach, exposed.left() / unit, (exposed.right() + 1) / unit);
    auto rows = visibleRange(firstRow, step, reach, exposed.top() / unit, (exposed.bottom() + 1) / unit);
    columns.second = std::min(columns.second, columnCount() - 1);
    rows.second = std::min(rows.second, rowCount() - 1);
    if (columns.second < columns.first || rows.second < rows.first)
        return {};
    return QRect(QPoint(columns.first, rows.first), QPoint(columns.second, rows.second));
}

void paint(QPainter& painter, const Style& style, const PaintTarget& target, double outer)
{
    if (style.mode == None || style.text.isEmpty())
        return;
    painter.save();
    const double factor = sizeFactor(style.size);
    painter.scale(factor, factor);
    QColor color = style.color;
    color.setAlpha(style.opacity);
    painter.setPen(color);
    const QSize textSize = scaledTextSize(painter.fontMetrics(), style.text, factor);
    if (style.mode == Bottom) {
        painter.drawText(bottomPosition(target.deviceSize, target.scale, outer, factor, textSize),
                         style.text);
    } else {
        painter.rotate(-45.0);
        // The painter is already scaled by the size factor: measuring the grid with the scaled width
        // would scale it twice, pushing the first row off short strips at large sizes.
        const TileGrid grid = tileGrid(target.deviceSize, target.scale, outer, factor,
                                       textSize.width() / factor, style.spacing);
        const QRect tiles = grid.visibleTiles(target, factor, textSize);
        for (int k = tiles.left(); k <= tiles.right(); ++k) {
            for (int j = tiles.top(); j <= tiles.bottom(); ++j)
                painter.drawText(tilePosition(grid.a(k), grid.b(j)), style.text);
        }
    }
    painter.restore();
}

} // namespace Watermark
