#pragma once

#include <QRect>
#include <QRectF>
#include <QSize>

// Where a layer is being painted. Painting must not read the widget: the export renders a strip far
// larger than any widget in tiles, so the device size, the zoom and the exposed part come from here.
struct PaintTarget
{
    QSize deviceSize;   // the whole canvas in device pixels (the widget's size on screen)
    double scale = 1.0; // canvas units to device pixels (the zoom)
    QRect exposed;      // the part being repainted, in device pixels

    static PaintTarget whole(const QSize& size, double scale)
    {
        return {size, scale, QRect(QPoint(0, 0), size)};
    }

    // The exposed part in canvas units, grown by a margin of canvas units for strokes and antialiasing.
    QRectF exposedCanvas(double margin = 0.0) const
    {
        const QRectF r(exposed.x() / scale, exposed.y() / scale, exposed.width() / scale,
                       exposed.height() / scale);
        return r.adjusted(-margin, -margin, margin, margin);
    }
};
