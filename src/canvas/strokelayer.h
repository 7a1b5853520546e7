#pragma once

#include <QImage>
#include <QRect>
#include <QtGlobal>

// Finished strokes painted once per zoom and layout into a transparent image of part of the canvas,
// so that a repaint copies them instead of painting hundreds of records again.
class StrokeLayer
{
public:
    // What the layer holds: the strokes [0, count) over a canvas of that geometry (zoom, layout, photos).
    struct Key
    {
        quint64 geometry = 0;
        int count = 0;
        quint64 lastOrder = 0;
        bool operator==(const Key& other) const
        {
            return geometry == other.geometry && count == other.count && lastOrder == other.lastOrder;
        }
    };

    bool covers(const Key& key, const QRect& area) const;
    // Whether painting one stroke more, the one just finished, brings the layer to that key.
    bool lacksOnlyTheLast(const Key& key, const QRect& area) const;
    // The area to paint for a repaint of this part of a device of that size: some room around it, so
    // that panning a little reuses the layer.
    static QRect areaFor(const QRect& exposed, const QSize& device);
    void hold(const Key& key, const QRect& area, const QImage& painted);
    void drop() { image = QImage(); }

    QImage image;
    QRect rect;
    Key held;
};
