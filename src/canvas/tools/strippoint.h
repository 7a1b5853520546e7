#pragma once

#include <QPoint>
#include <QVector>

#include <functional>

// A point of an annotation or mosaic stroke: spacing-free coordinates plus the index of the photo
// under it, so the point follows its photo when the spacing changes.
struct StripPoint
{
    QPoint point;
    int index = 0;
};

inline bool operator==(const StripPoint& a, const StripPoint& b)
{
    return a.point == b.point && a.index == b.index;
}

Q_DECLARE_TYPEINFO(StripPoint, Q_MOVABLE_TYPE);

// Maps a stored spacing-free point of a photo back to canvas coordinates (the canvas's
// fromStripPoint); tools never need to know the spacing themselves.
using StripToCanvas = std::function<QPoint(const QPoint& point, int index)>;
