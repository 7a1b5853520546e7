#pragma once

#include "export/bandsource.h"

#include <QImage>
#include <QRect>
#include <QSize>

#include <functional>

// A picture that can be painted in any rectangle on demand, for work that needs parts of it out of
// order (finding calm lines, writing parts). render(area) returns that rectangle, which lies inside
// size, as an image of its size, or a null image when it cannot be made. It is called on one thread.
struct RegionSource
{
    QSize size;
    std::function<QImage(const QRect& area)> render;

    // The rectangle as a picture of its own, fed in bands of rows from its top.
    BandSource bandsOf(const QRect& area) const
    {
        return {area.size(), [paint = render, area](int top, int rows) {
                    return paint(QRect(area.x(), area.y() + top, area.width(), rows));
                }};
    }

    static RegionSource fromImage(const QImage& image)
    {
        return {image.size(), [image](const QRect& area) { return image.copy(area); }};
    }

    // A picture whose pixels depend a little on the rectangle they are painted in, made exact: every
    // area is cut out of cells of one grid, each painted whole by paintCell. With cells as tall as the
    // export's bands (BandPipeline::rowsPerBand) and as wide as the painter's tiles, the pixels are
    // those of the whole picture's export. The last cells painted are kept for the next call.
    static RegionSource fromCells(const QSize& size, const QSize& cell,
                                  std::function<QImage(const QRect& cell)> paintCell);
};
