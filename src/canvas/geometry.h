#pragma once

// Plain geometry of the canvas, callable without a window.
namespace Geometry {

// The zoom curve shared by the canvas, the export, the watermark size and the panorama result:
// 0.3 at 0, 1.0 at 50, 2.0 at 100.
inline double zoomFactor(int value)
{
    const double t = value / 100.0;
    return 1.1 * t + 0.3 + 0.6 * t * t;
}

} // namespace Geometry
