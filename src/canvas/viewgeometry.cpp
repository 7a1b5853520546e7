#include "canvas/viewgeometry.h"

#include <algorithm>

using namespace Geometry;

ViewGeometry::ViewGeometry(bool vertical, const QSize& canvas, const QSize& view)
    : vertical(vertical), canvas(canvas), view(view)
{
}

static int clampAxis(int pos, int length, int room, int reserved)
{
    if (length <= room - reserved)
        return room / 2 - length / 2;
    return std::clamp(pos, room - reserved - length, 0);
}

int ViewGeometry::reserved(Qt::Orientation axis) const
{
    const bool otherOverflows =
        axis == Qt::Horizontal ? canvas.height() > view.height() : canvas.width() > view.width();
    return otherOverflows ? barThickness : 0;
}

QPoint ViewGeometry::clamped(const QPoint& pos) const
{
    return {clampAxis(pos.x(), canvas.width(), view.width(), reserved(Qt::Horizontal)),
            clampAxis(pos.y(), canvas.height(), view.height(), reserved(Qt::Vertical))};
}

int ViewGeometry::maximum(Qt::Orientation axis) const
{
    return axis == Qt::Horizontal ? std::max(0, canvas.width() - view.width() + reserved(axis))
                                  : std::max(0, canvas.height() - view.height() + reserved(axis));
}

int ViewGeometry::value(Qt::Orientation axis, const QPoint& pos) const
{
    return std::clamp(axis == Qt::Horizontal ? -pos.x() : -pos.y(), 0, maximum(axis));
}

QPoint ViewGeometry::withValue(Qt::Orientation axis, int value, const QPoint& pos) const
{
    return clamped(axis == Qt::Horizontal ? QPoint(-value, pos.y()) : QPoint(pos.x(), -value));
}

QPoint ViewGeometry::alongAcross(int along, int across) const
{
    return vertical ? QPoint(across, along) : QPoint(along, across);
}

QPoint ViewGeometry::wheeled(const QPoint& pos, const QPoint& angleDelta, const QPoint& pixelDelta,
                             bool shift) const
{
    const QPoint delta = pixelDelta.isNull() ? angleDelta * notchPixels / wheelNotch : pixelDelta;
    const int along = shift ? 0 : delta.y();
    const int across = shift ? delta.x() + delta.y() : delta.x();
    return clamped(pos + alongAcross(along, across));
}

std::optional<QPoint> ViewGeometry::keyed(const QPoint& pos, int key) const
{
    const int page = std::max(arrowPixels, (vertical ? view.height() : view.width()) - arrowPixels);
    const int length = vertical ? canvas.height() : canvas.width();
    switch (key) {
    case Qt::Key_Left:
        return clamped(pos + QPoint(arrowPixels, 0));
    case Qt::Key_Right:
        return clamped(pos - QPoint(arrowPixels, 0));
    case Qt::Key_Up:
        return clamped(pos + QPoint(0, arrowPixels));
    case Qt::Key_Down:
        return clamped(pos - QPoint(0, arrowPixels));
    case Qt::Key_PageUp:
        return clamped(pos + alongAcross(page, 0));
    case Qt::Key_PageDown:
        return clamped(pos - alongAcross(page, 0));
    case Qt::Key_Home:
        return clamped(vertical ? QPoint(pos.x(), 0) : QPoint(0, pos.y()));
    case Qt::Key_End:
        return clamped(vertical ? QPoint(pos.x(), -length) : QPoint(-length, pos.y()));
    default:
        return std::nullopt;
    }
}

QPoint ViewGeometry::revealing(const QPoint& pos, int start, int end) const
{
    const int room =
        vertical ? view.height() - reserved(Qt::Vertical) : view.width() - reserved(Qt::Horizontal);
    int along = vertical ? pos.y() : pos.x();
    if (along + end > room)
        along = room - end;
    if (along + start < 0 || end - start > room)
        along = -start;
    return clamped(vertical ? QPoint(pos.x(), along) : QPoint(along, pos.y()));
}

double EdgeDrag::at(double travel) const
{
    return std::clamp(start + travel * perViewPixel, low, std::max(low, high));
}

EdgeDrag EdgeDrag::photoEdge(const Crop& crop, int edge, const QSize& image, const StripLayout& layout,
                             double scale)
{
    // The photo is scaled so that its crop fills the common size across the strip.
    const double cropCross = layout.vertical() ? crop.width() : crop.height();
    const double common = layout.vertical() ? layout.paintWidth : layout.paintHeight;
    EdgeDrag drag;
    if (common > 0 && scale > 0)
        drag.perViewPixel = cropCross / (common * scale);
    switch (edge) {
    case EdgeLeft:
        return {crop.left, drag.perViewPixel, 0, crop.right - 1};
    case EdgeTop:
        return {crop.top, drag.perViewPixel, 0, crop.bottom - 1};
    case EdgeRight:
        return {crop.right, drag.perViewPixel, std::min(crop.left + 1, double(image.width())),
                double(image.width())};
    default:
        return {crop.bottom, drag.perViewPixel, std::min(crop.top + 1, double(image.height())),
                double(image.height())};
    }
}

EdgeDrag EdgeDrag::stripCut(double cut, double opposite, int edge, int crossLength, double scale)
{
    const bool leading = edge == EdgeLeft || edge == EdgeTop;
    const double perPixel = scale > 0 ? 1.0 / scale : 0.0;
    return {cut, leading ? perPixel : -perPixel, 0, std::max(0.0, crossLength - 1.0 - opposite)};
}
