#pragma once

#include <opencv2/core.hpp>
#include <opencv2/stitching.hpp>

#include <vector>

// The stitch itself, as the worker runs it: registration (retried with many more features when views
// are left out), then one composition of the set that keeps the most views.
namespace StitchPipeline {

struct Result
{
    cv::Stitcher::Status status = cv::Stitcher::ERR_NEED_MORE_IMGS;
    cv::Mat panorama;      // the whole picture, blue-green-red
    cv::Mat coverage;      // where a warped photo lies in it: non-zero
    cv::Rect pictureArea;  // its largest rectangle that no warped photo leaves empty
    std::vector<int> kept; // the photos in it, by index
};

Result stitch(const std::vector<cv::Mat>& photos, cv::Stitcher::Mode mode);

// The largest rectangle of a coverage mask holding only covered pixels; the whole mask when it has no
// empty pixel.
cv::Rect pictureArea(const cv::Mat& coverage);

} // namespace StitchPipeline
