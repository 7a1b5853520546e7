#include "canvas/stripstate.h"

namespace {

bool sameCrop(const Geometry::Crop& a, const Geometry::Crop& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace

// The same pixels shared are the same photo; equal pixels apart are two photos that look alike.
bool PhotoState::operator==(const PhotoState& other) const
{
    return image.cacheKey() == other.image.cacheKey() && name == other.name && sameCrop(crop, other.crop);
}

bool StripState::operator==(const StripState& other) const
{
    return photos == other.photos && direction == other.direction && paintWidth == other.paintWidth &&
           paintHeight == other.paintHeight && areaWidth == other.areaWidth &&
           areaHeight == other.areaHeight && cutLeft == other.cutLeft && cutTop == other.cutTop &&
           cutRight == other.cutRight && cutBottom == other.cutBottom && spacingMode == other.spacingMode &&
           spacingInner == other.spacingInner && spacingOuter == other.spacingOuter &&
           spacingColor == other.spacingColor && annotations == other.annotations &&
           mosaicStrokes == other.mosaicStrokes && watermark == other.watermark;
}

bool operator==(const Annotation& a, const Annotation& b)
{
    return a.order == b.order && a.shape == b.shape && a.startPoint == b.startPoint &&
           a.startIndex == b.startIndex && a.endPoint == b.endPoint && a.endIndex == b.endIndex &&
           a.width == b.width && a.color == b.color && a.points == b.points;
}

bool operator==(const MosaicStroke& a, const MosaicStroke& b)
{
    return a.order == b.order && a.name == b.name && a.size == b.size && a.points == b.points;
}

bool operator==(const Watermark::Style& a, const Watermark::Style& b)
{
    return a.mode == b.mode && a.text == b.text && a.opacity == b.opacity && a.spacing == b.spacing &&
           a.size == b.size && a.color == b.color;
}
