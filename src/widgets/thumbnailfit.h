#pragma once

#include <QRect>
#include <QSize>

// Where a thumbnail draws its whole image inside a widget: scaled by min(W / w, H / h), centred, with
// position and size truncated toward zero. An empty image or widget yields an empty rectangle.
QRect thumbnailRect(const QSize& widget, const QSize& image);
