#pragma once

#include "canvas/tools/painttarget.h"

#include <QColor>
#include <QPoint>
#include <QSize>
#include <QString>

class QFontMetrics;
class QPainter;

// The text stamped over the strip, once at the bottom or tiled diagonally. Nothing is stored: it is
// painted on every repaint from the current settings.
namespace Watermark {

enum Mode { None = 0, Bottom = 1, Tile = 2 }; // any mode other than 0 and 1 tiles

struct Style
{
    int mode = None;
    QString text;
    int opacity = 255;
    int spacing = 50;
    int size = 50;
    QColor color = Qt::blue;
};

// cos 45 degrees, as the tile arithmetic has always used it.
constexpr double diagonal = 0.707106771713121;

// The text's scale on top of the zoom: 0.3 at 0, 1.0 at 50, 2.0 at 100.
double sizeFactor(int size);

// The text's measured size times the factor, rounded (TW, TH).
QSize scaledTextSize(const QFontMetrics& metrics, const QString& text, double factor);

// Baseline start of the bottom text, in the painter's units (zoom and size factor applied):
// centred across, half a text height above the bottom less the outer spacing.
QPoint bottomPosition(const QSize& device, double scale, double outer, double factor, const QSize& textSize);

// The square grid of tiles in the unrotated frame of the size factor. Column k lies at
// a = origin + k * step and row j at b = firstRow + j * step; the grid runs two steps past the
// right and bottom so that the diagonal texts reach into the corners.
struct TileGrid
{
    double origin = 0.0;
    double firstRow = 0.0;
    double step = 0.0;
    double limitA = 0.0; // Wf
    double limitB = 0.0; // Hf

    double a(int column) const { return origin + column * step; }
    double b(int row) const { return firstRow + row * step; }
    int columnCount() const;
    int rowCount() const;
    // The columns (x) and rows (y) whose texts of the given scaled size can touch the exposed part;
    // empty when none can.
    QRect visibleTiles(const PaintTarget& target, double factor, const QSize& textSize) const;
};

// textWidth is the text's width in the units of the size-scaled painter, so that the pitch follows
// the text as the size changes.
TileGrid tileGrid(const QSize& device, double scale, double outer, double factor, double textWidth,
                  int spacing);

// Baseline start, in the frame rotated by -45 degrees, of the text standing at (a, b).
QPoint tilePosition(double a, double b);

// Paints the watermark with the painter scaled by target.scale. outer is the outer spacing when it is
// on, else 0. In tile mode only the tiles that can touch target.exposed are drawn.
void paint(QPainter& painter, const Style& style, const PaintTarget& target, double outer);

} // namespace Watermark
