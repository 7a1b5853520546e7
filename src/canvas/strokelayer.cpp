#include "canvas/strokelayer.h"

QRect StrokeLayer::areaFor(const QRect& exposed, const QSize& device)
{
    const int dx = exposed.width() / 4;
    const int dy = exposed.height() / 4;
    return exposed.adjusted(-dx, -dy, dx, dy) & QRect(QPoint(0, 0), device);
}
