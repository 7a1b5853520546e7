#include "panorama/engine/worker/stripcomposer.h"

#include <opencv2/imgproc.hpp>
#include <opencv2/stitching/detail/blenders.hpp>
#include <opencv2/stitching/detail/util.hpp>

#include <algorithm>
#include <cmath>

namespace StripComposer {

namespace {

// Columns blended on each side of a strip and then dropped: beyond the reach of the pyramids' levels
// and of the border the blender reflects round what it is fed. A multiple of the coarsest level's
// cell, so that every strip's levels line up with the whole panorama's.
constexpr int margin = 256;
// The blender's Laplacian levels (three 16-bit channels) and weights (32 bits), a third more for the
// smaller levels.
constexpr double blenderBytesPerPixel = (6 + 4) * 4.0 / 3.0;

// A photo warped into the panorama, its exposure evened out, and the part of it its seams keep.
struct Warped
{
    cv::UMat image;
    cv::UMat mask;
};

} // namespace

int stripWidth(int panoramaHeight, double blenderBytes)
{
    const double columns = blenderBytes / (blenderBytesPerPixel * std::max(1, panoramaHeight)) - 2 * margin;
    return std::max(8 * margin, int(columns) / margin * margin);
}

cv::Stitcher::Status compose(cv::Stitcher& stitcher, const std::vector<cv::Mat>& photos, double blenderBytes,
                             cv::Mat& panorama, cv::Mat& coverage)
{
    panorama.release();
    coverage.release();
    const auto* multiBand = dynamic_cast<const cv::detail::MultiBandBlender*>(stitcher.blender().get());
    const std::vector<int> indices = stitcher.component();
    const std::vector<cv::detail::CameraParams> cameras = stitcher.cameras();
    const size_t count = indices.size();
    if (!multiBand || count == 0 || cameras.size() != count || photos.empty() ||
        stitcher.compositingResol() >= 0)
        return cv::Stitcher::OK;

    // The stitcher's own scales: registration and seams are sized on the first photo given, the
    // panorama on the median focal length.
    const double workScale = stitcher.workScale();
    const double seamScale =
        std::min(1.0, std::sqrt(stitcher.seamEstimationResol() * 1e6 / photos.front().size().area()));
    const double seamWorkAspect = seamScale / workScale;
    std::vector<double> focals;
    for (const cv::detail::CameraParams& camera : cameras)
        focals.push_back(camera.focal);
    std::sort(focals.begin(), focals.end());
    const double warpedImageScale =
        count % 2 == 1 ? static_cast<float>(focals[count / 2])
                       : static_cast<float>(focals[count / 2 - 1] + focals[count / 2]) * 0.5f;

    const double composeWorkAspect = 1.0 / workScale;
    const cv::Ptr<cv::detail::RotationWarper> warper =
        stitcher.warper()->create(float(warpedImageScale * composeWorkAspect));
    std::vector<cv::Mat> intrinsics(count);
    std::vector<cv::Point> corners(count);
    std::vector<cv::Size> sizes(count);
    for (size_t i = 0; i < count; ++i) {
        cv::detail::CameraParams scaled = cameras[i];
        scaled.ppx *= composeWorkAspect;
        scaled.ppy *= composeWorkAspect;
        scaled.focal *= composeWorkAspect;
        scaled.K().convertTo(intrinsics[i], CV_32F);
        const cv::Rect roi = warper->warpRoi(photos[size_t(indices[i])].size(), intrinsics[i], cameras[i].R);
        corners[i] = roi.tl();
        sizes[i] = roi.size();
    }
    const cv::Rect whole = cv::detail::resultRoi(corners, sizes);
    const int width = stripWidth(whole.height, blenderBytes);
    if (width >= whole.width)
        return cv::Stitcher::OK;

    // Seams and exposure, at the small scale the stitcher finds them at.
    std::vector<cv::UMat> seamMasks(count);
    {
        const cv::Ptr<cv::detail::RotationWarper> seamWarper =
            stitcher.warper()->create(float(warpedImageScale * seamWorkAspect));
        std::vector<cv::Point> seamCorners(count);
        std::vector<cv::UMat> seamImages(count);
        for (size_t i = 0; i < count; ++i) {
            cv::UMat small;
            cv::resize(photos[size_t(indices[i])], small, cv::Size(), seamScale, seamScale,
                       cv::INTER_LINEAR_EXACT);
            cv::Mat_<float> K;
            cameras[i].K().convertTo(K, CV_32F);
            K(0, 0) *= float(seamWorkAspect);
            K(0, 2) *= float(seamWorkAspect);
            K(1, 1) *= float(seamWorkAspect);
            K(1, 2) *= float(seamWorkAspect);
            seamCorners[i] = seamWarper->warp(small, K, cameras[i].R, stitcher.interpolationFlags(),
                                              cv::BORDER_REFLECT, seamImages[i]);
            const cv::UMat all(small.size(), CV_8U, cv::Scalar::all(255));
            seamWarper->warp(all, K, cameras[i].R, cv::INTER_NEAREST, cv::BORDER_CONSTANT, seamMasks[i]);
        }
        stitcher.exposureCompensator()->feed(seamCorners, seamImages, seamMasks);
        std::vector<cv::UMat> seamImagesF(count);
        for (size_t i = 0; i < count; ++i) {
            stitcher.exposureCompensator()->apply(int(i), seamCorners[i], seamImages[i], seamMasks[i]);
            seamImages[i].convertTo(seamImagesF[i], CV_32F);
        }
        seamImages.clear();
        stitcher.seamFinder()->find(seamImagesF, seamCorners, seamMasks);
    }

    const auto warpForBlending = [&](size_t i) {
        const cv::Mat& photo = photos[size_t(indices[i])];
        Warped warped;
        warper->warp(photo, intrinsics[i], cameras[i].R, stitcher.interpolationFlags(), cv::BORDER_REFLECT,
                     warped.image);
        cv::UMat inside;
        warper->warp(cv::UMat(photo.size(), CV_8U, cv::Scalar::all(255)), intrinsics[i], cameras[i].R,
                     cv::INTER_NEAREST, cv::BORDER_CONSTANT, inside);
        stitcher.exposureCompensator()->apply(int(i), corners[i], warped.image, inside);
        cv::UMat dilated, seam;
        cv::dilate(seamMasks[i], dilated, cv::Mat());
        cv::resize(dilated, seam, inside.size(), 0, 0, cv::INTER_LINEAR_EXACT);
        cv::bitwise_and(seam, inside, warped.mask);
        return warped;
    };

    panorama.create(whole.size(), CV_8UC3);
    coverage.create(whole.size(), CV_8UC1);
    std::vector<Warped> warped(count);
    for (int x0 = 0; x0 < whole.width; x0 += width) {
        const int x1 = std::min(whole.width, x0 + width);
        const int from = std::max(0, x0 - margin), to = std::min(whole.width, x1 + margin);
        const cv::Rect strip(whole.x + from, whole.y, to - from, whole.height);
        cv::detail::MultiBandBlender blender(false, multiBand->numBands());
        blender.prepare(strip);
        for (size_t i = 0; i < count; ++i) {
            const cv::Rect roi(corners[i], sizes[i]);
            const cv::Rect part = roi & strip;
            if (part.empty())
                continue;
            if (warped[i].image.empty())
                warped[i] = warpForBlending(i);
            const cv::Rect local =
                cv::Rect(part.tl() - corners[i], part.size()) & cv::Rect(cv::Point(), warped[i].image.size());
            cv::UMat piece;
            warped[i].image(local).convertTo(piece, CV_16S);
            blender.feed(piece, warped[i].mask(local), part.tl());
            // The next strip starts a margin before this one's end.
            if (roi.br().x <= whole.x + x1 - margin)
                warped[i] = Warped();
        }
        cv::UMat blended, blendedMask;
        blender.blend(blended, blendedMask);
        const cv::Rect centre(x0 - from, 0, x1 - x0, whole.height);
        // Written in place: the strip's columns of the whole panorama have its size and type.
        cv::Mat columns = panorama.colRange(x0, x1), maskColumns = coverage.colRange(x0, x1);
        blended.getMat(cv::ACCESS_READ)(centre).convertTo(columns, CV_8U);
        blendedMask.getMat(cv::ACCESS_READ)(centre).copyTo(maskColumns);
    }
    return cv::Stitcher::OK;
}

} // namespace StripComposer
