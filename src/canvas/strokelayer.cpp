#include "canvas/strokelayer.h"

bool StrokeLayer::covers(const Key& key, const QRect& area) const
{
    return !image.isNull() && key == held && rect.contains(area);
}

bool StrokeLayer::lacksOnlyTheLast(const Key& key, const QRect& area) const
{
    return !image.isNull() && key.geometry == held.geometry && key.count == held.count + 1 &&
           rect.contains(area);
}

QRect StrokeLayer::areaFor(const QRect& exposed, const QSize& device)
{
    const int dx = exposed.width() / 4;
    const int dy = exposed.height() / 4;
    return exposed.adjusted(-dx, -dy, dx, dy) & QRect(QPoint(0, 0), device);
}

void StrokeLayer::hold(const Key& key, const QRect& area, const QImage& painted)
{
    held = key;
    rect = area;
    image = painted;
}
