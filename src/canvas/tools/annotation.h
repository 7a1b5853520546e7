#pragma once

#include "canvas/tools/painttarget.h"
#include "canvas/tools/strippoint.h"

#include <QColor>
#include <QPoint>
#include <QPolygonF>
#include <QRectF>
#include <QVector>

class QPainter;

// One drawing of the draw tool: a free-hand path, an arrow or a rectangle. Width, colour and shape
// are fixed at the press; later changes of the configuration only affect new drawings.
struct Annotation
{
    enum Shape { NoShape = 0, Path = 1, Arrow = 2, Rectangle = 3 };

    QPoint startPoint;
    int startIndex = 0;
    QPoint endPoint; // (0, 0) on photo 0 until the first move
    int endIndex = 0;
    double width = 3.0;
    QVector<StripPoint> points; // path shape only
    QColor color = Qt::blue;
    int shape = NoShape;
    quint64 order = 0; // when it was made among all strokes, for an undo across tools

    // The record a press over a photo starts.
    static Annotation begin(const StripPoint& at, double width, const QColor& color, int shape);
    // A move over a photo: a path gains a point, the other shapes move their end.
    void extend(const StripPoint& at);

    // Paints in canvas units; the painter's state is left as it was.
    void paint(QPainter& painter, const StripToCanvas& toCanvas) const;
    // Everything paint() can touch, in canvas units.
    QRectF bounds(const StripToCanvas& toCanvas) const;

    // Head length of an arrow: a quarter of its length, at most twice the pen width.
    static double arrowHeadSize(double length, double width);
    // The filled arrow: tail point, shoulder, barb, tip, barb, shoulder. Empty for a zero-length arrow,
    // which has no direction.
    static QPolygonF arrowPolygon(const QPoint& from, const QPoint& to, double width);
};

// Paints the records in drawing order, skipping those that cannot touch the exposed part.
void paintAnnotations(QPainter& painter, const QVector<Annotation>& annotations,
                      const StripToCanvas& toCanvas, const PaintTarget& target);
