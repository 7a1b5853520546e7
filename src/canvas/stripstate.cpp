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
    return photos == other.photos && layout == other.layout && spacingColor == other.spacingColor &&
           annotations == other.annotations && mosaicStrokes == other.mosaicStrokes &&
           watermark == other.watermark;
}

bool operator==(const Geometry::StripLayout& a, const Geometry::StripLayout& b)
{
    return a.direction == b.direction && a.spacingMode == b.spacingMode && a.spacingInner == b.spacingInner &&
           a.spacingOuter == b.spacingOuter && a.paintWidth == b.paintWidth &&
           a.paintHeight == b.paintHeight && a.areaWidth == b.areaWidth && a.areaHeight == b.areaHeight &&
           a.cutLeft == b.cutLeft && a.cutTop == b.cutTop && a.cutRight == b.cutRight &&
           a.cutBottom == b.cutBottom;
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
