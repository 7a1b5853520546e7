#include "canvas/geometry.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <limits>

namespace Geometry {

namespace {
// Below value 0 the factor shrinks geometrically with the slope the curve has at 0.
constexpr double lowZoomRate = 0.011 / 0.3;
constexpr int zoomValueLimit = 100000;
} // namespace

double zoomFactor(int value)
{
    if (value < 0)
        return 0.3 * std::exp(value * lowZoomRate);
    const double t = value / 100.0;
    return 1.1 * t + 0.3 + 0.6 * t * t;
}

int zoomValueFor(double scale)
{
    if (!(scale > 0))
        return -zoomValueLimit;
    double value = 0;
    if (scale >= 0.3)
        value = 100 * (-1.1 + std::sqrt(1.21 + 2.4 * (scale - 0.3))) / 1.2;
    else
        value = std::log(scale / 0.3) / lowZoomRate;
    return int(std::lround(std::clamp(value, double(-zoomValueLimit), double(zoomValueLimit))));
}

int truncToInt(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double low = std::numeric_limits<int>::min();
    constexpr double high = std::numeric_limits<int>::max();
    return int(std::clamp(std::trunc(value), low, high));
}

double toImagePixels(const QSize& image, bool vertical, double length, double paintWidth, double paintHeight)
{
    const double common = vertical ? paintWidth : paintHeight;
    if (!(common > 0))
        return 0;
    return length * (vertical ? image.width() : image.height()) / common;
}

QSizeF scaledSize(const Crop& crop, const StripLayout& layout, double crossWidth, double crossHeight)
{
    const double cw = crop.width();
    const double ch = crop.height();
    if (layout.vertical())
        return {crossWidth, cw > 0 ? ch * layout.paintWidth / cw : 0.0};
    return {ch > 0 ? cw * layout.paintHeight / ch : 0.0, crossHeight};
}

void layoutRects(const StripLayout& layout, const QVector<PhotoShape>& photos, QVector<QRectF>& rects)
{
    rects.resize(photos.size());
    const double o = layout.outer();
    const double g = layout.inner();
    double x = o;
    double y = o;
    for (int i = 0; i < photos.size(); ++i) {
        const QSizeF size = scaledSize(photos[i].crop, layout, layout.crossWidth(), layout.crossHeight());
        rects[i] = QRectF(QPointF(x, y), size);
        if (layout.vertical())
            y += size.height() + g;
        else
            x += size.width() + g;
    }
}

QRectF sourceRect(const PhotoShape& photo, const StripLayout& layout)
{
    const bool vertical = layout.vertical();
    auto pixels = [&](double cut) {
        return toImagePixels(photo.image, vertical, cut, layout.paintWidth, layout.paintHeight);
    };
    const double l = pixels(layout.cutLeft);
    const double t = pixels(layout.cutTop);
    const double r = pixels(layout.cutRight);
    const double b = pixels(layout.cutBottom);
    return {photo.crop.left + l, photo.crop.top + t, std::max(0.0, photo.crop.width() - l - r),
            std::max(0.0, photo.crop.height() - t - b)};
}

QSize contentSize(const StripLayout& layout, const QVector<PhotoShape>& photos)
{
    const double o2 = 2 * layout.outer();
    const double gaps = photos.isEmpty() ? 0.0 : (photos.size() - 1) * layout.inner();
    const double crossWidth = truncToInt(layout.crossWidth());
    const double crossHeight = truncToInt(layout.crossHeight());
    double length = gaps + o2;
    for (const PhotoShape& photo : photos) {
        const QSizeF size = scaledSize(photo.crop, layout, crossWidth, crossHeight);
        length += layout.vertical() ? size.height() : size.width();
    }
    const QSize size = layout.vertical() ? QSize(truncToInt(o2 + layout.crossWidth()),
                                                 truncToInt(length - layout.cutTop - layout.cutBottom))
                                         : QSize(truncToInt(length - layout.cutLeft - layout.cutRight),
                                                 truncToInt(o2 + layout.crossHeight()));
    // Slivers scaled to a small common size can add up to less than a unit; the strip still keeps a
    // pixel to show and to export.
    return photos.isEmpty() ? size : size.expandedTo(QSize(1, 1));
}

int photoAt(const QVector<QRectF>& rects, int x, int y)
{
    for (int i = 0; i < rects.size(); ++i) {
        const QRectF& r = rects[i];
        const int x0 = truncToInt(r.x());
        const int y0 = truncToInt(r.y());
        const qint64 x1 = qint64(x0) + truncToInt(r.width()) - 1;
        const qint64 y1 = qint64(y0) + truncToInt(r.height()) - 1;
        if (x >= x0 && x <= x1 && y >= y0 && y <= y1)
            return i;
    }
    return -1;
}

static QPointF stripOffset(const StripLayout& layout, int index)
{
    const double o = layout.outer();
    const double along = o + layout.inner() * index;
    return layout.vertical() ? QPointF(o, along) : QPointF(along, o);
}

QPoint toStripPoint(const StripLayout& layout, int x, int y, int index)
{
    const QPointF offset = stripOffset(layout, index);
    return {truncToInt(x - offset.x()), truncToInt(y - offset.y())};
}

QPoint fromStripPoint(const StripLayout& layout, int x, int y, int index)
{
    const QPointF offset = stripOffset(layout, index);
    return {truncToInt(x + offset.x()), truncToInt(y + offset.y())};
}

SizeReport sizeReport(const StripLayout& layout, const QSize& content, double scale)
{
    const double o2 = 2 * layout.outer();
    return {QSize(truncToInt(content.width() - o2), truncToInt(content.height() - o2)),
            QSize(truncToInt(content.width() * scale), truncToInt(content.height() * scale))};
}

QPoint placeCanvas(bool hasPhotos, bool vertical, const QPoint& pos, const QSize& canvas,
                   const QSize& container)
{
    if (!hasPhotos)
        return {(container.width() - emptyWidth) / 2, (container.height() - emptyHeight) / 2};
    if (vertical)
        return {container.width() / 2 - canvas.width() / 2, pos.y()};
    return {pos.x(), container.height() / 2 - canvas.height() / 2};
}

QPoint centreCanvas(bool vertical, const QSize& canvas, const QSize& container)
{
    if (vertical)
        return {container.width() / 2 - canvas.width() / 2, 0};
    return {0, container.height() / 2 - canvas.height() / 2};
}

QPoint firstPhotoPlace(const StripLayout& layout, const QSize& container)
{
    if (layout.vertical())
        return {truncToInt((container.width() - layout.areaWidth) * 0.5), 0};
    return {0, truncToInt((container.height() - layout.areaHeight) * 0.5)};
}

double fitScale(bool vertical, const QSize& content, const QSize& container, double current)
{
    const int length = vertical ? content.height() : content.width();
    const int room = vertical ? container.height() : container.width();
    const int cross = vertical ? content.width() : content.height();
    const int crossRoom = vertical ? container.width() : container.height();
    if (length <= 0 || room <= 0)
        return current;
    const double along = double(room) / length;
    // Across the strip too: there is no panning across, so anything cut off there could not be seen.
    if (cross <= 0 || crossRoom <= 0)
        return along;
    return std::min(along, double(crossRoom) / cross);
}

QPoint fittedPlace(bool vertical, const QSize& canvas, const QSize& container)
{
    const QPoint centred((container.width() - canvas.width()) / 2,
                         (container.height() - canvas.height()) / 2);
    // A strip longer than the container starts at its start.
    return vertical ? QPoint(centred.x(), std::max(0, centred.y()))
                    : QPoint(std::max(0, centred.x()), centred.y());
}

int zoomAnchoredPos(int pointer, int canvasPos, double oldScale, double newScale)
{
    if (!(oldScale > 0) || !(newScale > 0))
        return canvasPos;
    return truncToInt(pointer - (pointer - canvasPos) * (newScale / oldScale));
}

std::array<QRectF, 4> outerSpacingRects(const QSize& device, double scale, double outer)
{
    if (!(scale > 0))
        return {};
    const double w = qRound(device.width() / scale);
    const double h = qRound(device.height() / scale);
    const double o = outer;
    return {QRectF(0, 0, w, o), QRectF(0, o, o, h - 2 * o), QRectF(0, h - o, w, o),
            QRectF(w - o, o, o, h - 2 * o)};
}

QRectF innerGapRect(const QRectF& previous, const QRectF& current, bool vertical)
{
    const QRectF& p = previous;
    const QRectF& c = current;
    if (vertical)
        return {p.x(), p.y() + p.height(), (c.x() + c.width()) - p.x(), c.y() - (p.y() + p.height())};
    return {p.x() + p.width(), p.y(), c.x() - (p.x() + p.width()), (c.y() + c.height()) - p.y()};
}

int stripButtonPhoto(bool vertical, int edge, int photoCount)
{
    if (photoCount <= 0)
        return -1;
    const int first = vertical ? EdgeTop : EdgeLeft;
    const int last = vertical ? EdgeBottom : EdgeRight;
    if (edge == first)
        return 0;
    if (edge == last)
        return photoCount - 1;
    return -1;
}

std::optional<bool> buttonShown(int cutMode, bool vertical, bool stripButton, int edge)
{
    switch (cutMode) {
    case CutNone:
        return false;
    case CutInner:
        if (stripButton)
            return false;
        return vertical ? (edge == EdgeTop || edge == EdgeBottom) : (edge == EdgeLeft || edge == EdgeRight);
    case CutOuter:
        return stripButton;
    case CutAll:
        return !stripButton;
    default:
        return std::nullopt;
    }
}

QPoint stripButtonPos(int edge, const QSize& canvas, const QSize& button)
{
    const int w = canvas.width();
    const int h = canvas.height();
    const int bw = button.width();
    const int bh = button.height();
    switch (edge) {
    case EdgeLeft:
        return {0, (h - 1) / 2 - bh / 2};
    case EdgeRight:
        return {(w - 1) - bw, (h - 1) / 2 - bh / 2};
    case EdgeTop:
        return {(w - 1) / 2 - bw / 2, 0};
    default:
        return {(w - 1) / 2 - bw / 2, (h - 1) - bh};
    }
}

QPoint photoButtonPos(int edge, const QRectF& displayed, const QSize& button)
{
    const double x = displayed.x();
    const double y = displayed.y();
    const double rw = displayed.width();
    const double rh = displayed.height();
    const int bw = button.width();
    const int bh = button.height();
    const int acrossX = truncToInt(x + rw / 2 - bw / 2);
    const int acrossY = truncToInt(y + rh / 2 - bh / 2);
    switch (edge) {
    case EdgeLeft:
        return {truncToInt(x), acrossY};
    case EdgeRight:
        return {truncToInt(x + rw - bw), acrossY};
    case EdgeTop:
        return {acrossX, truncToInt(y)};
    default:
        return {acrossX, truncToInt(y + rh - bh)};
    }
}

int previewLevel(double devicePerImagePixel)
{
    if (!(devicePerImagePixel > 0) || devicePerImagePixel > 0.5)
        return 0;
    return std::min(12, int(std::floor(std::log2(1.0 / devicePerImagePixel))));
}

} // namespace Geometry
