#pragma once

#include <opencv2/core.hpp>
#include <opencv2/stitching.hpp>

#include <vector>

// Composes a registered panorama as the stitcher does, but blends it in strips of columns, each with
// a margin wide enough that its edges do not show: the blender's pyramids, many bytes per pixel of the
// whole panorama at once, then hold one strip at a time. Each photo is warped once and kept only
// until the last strip it reaches is blended.
namespace StripComposer {

// The widest strip, in columns, that keeps the blender within blenderBytes for a panorama this high.
int stripWidth(int panoramaHeight, double blenderBytes);

// Composes the stitcher's registered photos (photos is the set that was registered, whole). Empty
// outputs when one strip would hold the whole panorama or the stitcher's blender or scale is not one
// this can split; the caller then lets the stitcher compose.
cv::Stitcher::Status compose(cv::Stitcher& stitcher, const std::vector<cv::Mat>& photos, double blenderBytes,
                             cv::Mat& panorama, cv::Mat& coverage);

} // namespace StripComposer
