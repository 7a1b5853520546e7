#include "support/panoramaviews.h"

#include <QDir>
#include <QFile>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <cmath>
#include <vector>

namespace {

cv::Matx33d intrinsics(double focal, double cx, double cy)
{
    return {focal, 0, cx, 0, focal, cy, 0, 0, 1};
}

cv::Matx33d yaw(double radians)
{
    const double c = std::cos(radians), s = std::sin(radians);
    return {c, 0, s, 0, 1, 0, -s, 0, c};
}

// Random shapes, lines and text over a smooth gradient: plenty of corners, none repeating.
cv::Mat renderScene(const cv::Size& size)
{
    cv::Mat scene(size, CV_8UC3);
    for (int y = 0; y < size.height; ++y) {
        auto* row = scene.ptr<cv::Vec3b>(y);
        for (int x = 0; x < size.width; ++x)
            row[x] = cv::Vec3b(uchar(60 + 120 * x / size.width), uchar(90 + 100 * y / size.height),
                               uchar(150 - 90 * x / size.width));
    }
    cv::RNG rng(0x5ea3);
    const int area = size.width * size.height;
    const auto colour = [&rng] {
        return cv::Scalar(rng.uniform(0, 256), rng.uniform(0, 256), rng.uniform(0, 256));
    };
    const auto point = [&rng, &size] {
        return cv::Point(rng.uniform(0, size.width), rng.uniform(0, size.height));
    };
    for (int i = 0; i < area / 2500; ++i) {
        const cv::Point p = point();
        switch (i % 4) {
        case 0:
            cv::rectangle(scene, p, p + cv::Point(rng.uniform(8, 60), rng.uniform(8, 60)), colour(),
                          cv::FILLED);
            break;
        case 1:
            cv::circle(scene, p, rng.uniform(4, 30), colour(), rng.uniform(-1, 4), cv::LINE_AA);
            break;
        case 2:
            cv::line(scene, p, point(), colour(), rng.uniform(1, 4), cv::LINE_AA);
            break;
        default:
            cv::putText(scene, std::to_string(rng.uniform(100, 99999)), p, cv::FONT_HERSHEY_SIMPLEX,
                        rng.uniform(0.4, 1.4), colour(), 2, cv::LINE_AA);
        }
    }
    return scene;
}

} // namespace

namespace PanoramaViews {

QStringList defaultFileNames()
{
    return {QStringLiteral("view1.jpg"), QStringLiteral("view2.jpg"), QStringLiteral("view3.jpg")};
}

QStringList write(const QString& directory, const QStringList& fileNames, const QSize& viewSize,
                  double yawStepDegrees, double sensorNoise)
{
    const int count = fileNames.size();
    const double focal = 0.95 * viewSize.width();
    const cv::Matx33d viewK = intrinsics(focal, 0.5 * viewSize.width(), 0.5 * viewSize.height());
    const double step = yawStepDegrees * CV_PI / 180.0;
    std::vector<cv::Matx33d> rotations;
    for (int i = 0; i < count; ++i)
        rotations.push_back(yaw((0.5 * (count - 1) - i) * step));

    // The scene lies on the image plane of the middle camera; size it to cover every view's corners.
    double left = 0, right = 0, top = 0, bottom = 0;
    const cv::Matx33d viewKInv = viewK.inv();
    for (const cv::Matx33d& r : rotations) {
        for (const cv::Vec3d& corner :
             {cv::Vec3d(0, 0, 1), cv::Vec3d(viewSize.width(), 0, 1), cv::Vec3d(0, viewSize.height(), 1),
              cv::Vec3d(viewSize.width(), viewSize.height(), 1)}) {
            const cv::Vec3d ray = r.t() * (viewKInv * corner);
            const double x = focal * ray[0] / ray[2], y = focal * ray[1] / ray[2];
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
    }
    const int margin = 8;
    const cv::Size sceneSize(int(right - left) + 2 * margin, int(bottom - top) + 2 * margin);
    const cv::Matx33d sceneK = intrinsics(focal, margin - left, margin - top);
    const cv::Mat scene = renderScene(sceneSize);

    QStringList paths;
    const QDir dir(directory);
    for (int i = 0; i < count; ++i) {
        cv::Mat view;
        const cv::Matx33d sceneToView = viewK * rotations[i] * sceneK.inv();
        cv::warpPerspective(scene, view, cv::Mat(sceneToView), cv::Size(viewSize.width(), viewSize.height()),
                            cv::INTER_LINEAR, cv::BORDER_REFLECT);
        if (sensorNoise > 0) {
            cv::Mat noise(view.size(), CV_16SC3);
            cv::RNG(0x5e45 + uint64(i)).fill(noise, cv::RNG::NORMAL, 0, sensorNoise);
            cv::add(view, noise, view, cv::noArray(), CV_8UC3);
        }
        std::vector<uchar> jpeg;
        if (!cv::imencode(".jpg", view, jpeg, {cv::IMWRITE_JPEG_QUALITY, 92}))
            return {};
        // Written through Qt so that any file name reaches the file system in the locale's encoding.
        QFile file(dir.absoluteFilePath(fileNames[i]));
        if (!file.open(QIODevice::WriteOnly) || file.write(reinterpret_cast<const char*>(jpeg.data()),
                                                           qint64(jpeg.size())) != qint64(jpeg.size()))
            return {};
        paths << file.fileName();
    }
    return paths;
}

} // namespace PanoramaViews
