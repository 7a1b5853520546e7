#include "panorama/engine/worker/stitchpipeline.h"

#include "crop/picturearea.h"
#include "panorama/engine/worker/stripcomposer.h"

#include <opencv2/features2d.hpp>

namespace StitchPipeline {

namespace {

// What the blender may hold at once: a panorama larger than that is blended in strips of columns.
constexpr double stripBlenderBytes = 256.0 * (1 << 20);

cv::Ptr<cv::Stitcher> configured(cv::Stitcher::Mode mode, const cv::Ptr<cv::Feature2D>& finder)
{
    const cv::Ptr<cv::Stitcher> stitcher = cv::Stitcher::create(mode);
    if (finder)
        stitcher->setFeaturesFinder(finder);
    return stitcher;
}

} // namespace

cv::Rect pictureArea(const cv::Mat& coverage)
{
    CV_Assert(coverage.type() == CV_8UC1);
    const PictureArea::Mask mask{coverage.data, coverage.cols, coverage.rows,
                                 std::ptrdiff_t(coverage.step[0])};
    if (PictureArea::allCovered(mask))
        return {0, 0, coverage.cols, coverage.rows};
    const PictureArea::Rect area = PictureArea::largestCovered(mask);
    return {area.x, area.y, area.width, area.height};
}

Result stitch(const std::vector<cv::Mat>& photos, cv::Stitcher::Mode mode)
{
    Result result;
    cv::Ptr<cv::Stitcher> stitcher = configured(mode, nullptr);
    result.status = stitcher->estimateTransform(photos);
    if (result.status != cv::Stitcher::OK)
        return result;
    // The stitcher leaves out views it cannot match and still succeeds. Many more features often
    // match them; a set kept whole at the first try never pays for this. Only the registration is
    // repeated: composing is where the memory goes.
    if (stitcher->component().size() < photos.size()) {
        cv::Ptr<cv::Stitcher> richer = configured(mode, cv::ORB::create(4000));
        if (richer->estimateTransform(photos) == cv::Stitcher::OK &&
            richer->component().size() > stitcher->component().size())
            stitcher = richer;
    }
    result.status =
        StripComposer::compose(*stitcher, photos, stripBlenderBytes, result.panorama, result.coverage);
    if (result.status == cv::Stitcher::OK && result.panorama.empty()) {
        result.status = stitcher->composePanorama(result.panorama);
        stitcher->resultMask().copyTo(result.coverage);
    }
    if (result.status != cv::Stitcher::OK)
        return result;
    result.kept = stitcher->component();
    // A picture without its mask is kept whole rather than guessed at.
    if (result.coverage.size() == result.panorama.size() && result.coverage.type() == CV_8UC1)
        result.pictureArea = pictureArea(result.coverage);
    else
        result.pictureArea = {0, 0, result.panorama.cols, result.panorama.rows};
    return result;
}

} // namespace StitchPipeline
