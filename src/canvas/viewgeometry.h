#pragma once

#include "canvas/geometry.h"

#include <QPoint>
#include <QSize>

#include <optional>

// Where the canvas sits in its view, how far it scrolls and how wheel and keys move it, in view pixels.
class ViewGeometry
{
public:
    ViewGeometry(bool vertical, const QSize& canvas, const QSize& view);

    static constexpr int wheelNotch = 120;
    static constexpr int notchPixels = 60;
    static constexpr int arrowPixels = 40;
    // The scroll bars lie over the view's bottom and right edges while the canvas overflows the other
    // way; the canvas scrolls that much further, so nothing of it stays under a bar.
    static constexpr int barThickness = 6;

    // Along each axis: centred while the canvas is no longer than the view, else covering the view.
    QPoint clamped(const QPoint& pos) const;
    // Scroll bar terms for an axis: 0 with the canvas's start at the view's, up to maximum().
    int maximum(Qt::Orientation axis) const;
    int value(Qt::Orientation axis, const QPoint& pos) const;
    QPoint withValue(Qt::Orientation axis, int value, const QPoint& pos) const;

    // The plain wheel scrolls along the strip; Shift, or a sideways wheel, across it. Pixel deltas from
    // a touchpad are taken as they are.
    QPoint wheeled(const QPoint& pos, const QPoint& angleDelta, const QPoint& pixelDelta, bool shift) const;
    // Arrows by a step in their own direction, Page Up/Down by a view less a step along the strip,
    // Home/End to its ends; nothing for other keys.
    std::optional<QPoint> keyed(const QPoint& pos, int key) const;
    // Scrolled along the strip as little as needed to show canvas pixels [start, end) of it, its start
    // first when they do not fit.
    QPoint revealing(const QPoint& pos, int start, int end) const;

private:
    QPoint alongAcross(int along, int across) const;
    // The part of the view's length along an axis that a bar across it covers.
    int reserved(Qt::Orientation axis) const;

    bool vertical = false;
    QSize canvas;
    QSize view;
};

// An armed edge dragged by the pointer: the edge moves with it one to one from where the drag began,
// so nothing that moves the canvas meanwhile feeds back into it. Values are crop positions in image
// pixels for a photo's edge and cut widths in canvas units for the strip's.
struct EdgeDrag
{
    double start = 0;
    double perViewPixel = 0; // change of the value per view pixel of pointer travel
    double low = 0;
    double high = 0;

    double at(double travel) const;
    // A photo's edge: one image pixel at least stays between it and the opposite edge.
    static EdgeDrag photoEdge(const Geometry::Crop& crop, int edge, const QSize& image,
                              const Geometry::StripLayout& layout, double scale);
    // A cut of the strip across it: the strip keeps one unit.
    static EdgeDrag stripCut(double cut, double opposite, int edge, int crossLength, double scale);
};
