#pragma once

#include <QImage>
#include <QRect>
#include <QtGlobal>

// Finished strokes of one tool painted into a transparent image of part of the canvas, so that a
// repaint copies them instead of painting hundreds of records again.
class StrokeLayer
{
public:
    // What the layer holds: the strokes [0, count) in that order over a canvas of that geometry (zoom,
    // layout, photos).
    struct Key
    {
        quint64 geometry = 0;
        int count = 0;
        quint64 orders = 0;
        bool operator==(const Key& other) const
        {
            return geometry == other.geometry && count == other.count && orders == other.orders;
        }
    };

    // The area to paint for a repaint of this part of a device of that size: some room around it, so
    // that panning a little reuses the layer.
    static QRect areaFor(const QRect& exposed, const QSize& device);
    void drop() { image = QImage(); }

    QImage image;
    QRect rect; // device pixels
    Key key;
    quint64 layout = 0; // the geometry but for the zoom: a layer of the same layout scales to any zoom
    double scale = 1.0;
};
