#pragma once

#include "canvas/geometry.h"
#include "canvas/tools/annotation.h"
#include "canvas/tools/mosaicstroke.h"

#include <QHash>
#include <QImage>
#include <QRectF>
#include <QVector>

#include <functional>

class QPainter;

// Everything painting the finished strokes reads, held by value: a copy can be painted on a worker
// thread while the canvas goes on changing. Photos and patterns are QImages, which other threads may
// read; nothing here touches a QPixmap.
struct StrokeScene
{
    // Mosaic strokes lie under the drawings.
    enum Tool { Mosaic, Drawing };
    struct Photo
    {
        QImage image;
        QRectF rect; // where the layout put it, in canvas units
        QRectF crop; // the part of the image that shows
    };

    QVector<MosaicStroke> mosaics;
    QVector<Annotation> annotations;
    Geometry::StripLayout layout;
    QVector<Photo> photos;
    QHash<QString, QImage> patterns; // by resource path

    // Loads the pattern pictures the mosaic strokes name, each read once per process.
    void loadPatterns();

    int count(Tool tool) const { return tool == Mosaic ? mosaics.size() : annotations.size(); }
    quint64 order(Tool tool, int index) const
    {
        return tool == Mosaic ? mosaics[index].order : annotations[index].order;
    }
    // Which strokes [0, count) are: equal for the same strokes in the same order.
    quint64 ordersKey(Tool tool, int count) const;
    // How many of the strokes [0, count) can touch the target's exposed part.
    int touching(Tool tool, int count, const PaintTarget& target) const;
    // Paints the strokes [from, to) on a painter scaled to canvas units, skipping those outside the
    // exposed part. Returns false, having stopped between strokes, once `stop` says so.
    bool paint(QPainter& painter, Tool tool, int from, int to, const PaintTarget& target,
               const std::function<bool()>& stop = {}) const;

private:
    QPoint toCanvas(const QPoint& point, int index) const;
    QColor sample(int index, const QPoint& at) const;
};
