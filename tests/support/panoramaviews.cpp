#include "support/panoramaviews.h"

#include <QDir>
#include <QFile>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <cmath>
#include <functional>
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

cv::Matx33d pitch(double radians)
{
    const double c = std::cos(radians), s = std::sin(radians);
    return {1, 0, 0, 0, c, -s, 0, s, c};
}

// Random shapes, lines and text over a smooth gradient: plenty of corners, none repeating. With a
// coarse factor above 1, shapes that much larger lie under the fine ones and lines stay short, as in
// a wide scene of a large camera's size.
cv::Mat renderScene(const cv::Size& size, int coarse = 1)
{
    cv::Mat scene(size, CV_8UC3);
    for (int y = 0; y < size.height; ++y) {
        auto* row = scene.ptr<cv::Vec3b>(y);
        for (int x = 0; x < size.width; ++x)
            row[x] = cv::Vec3b(uchar(60 + 120 * x / size.width), uchar(90 + 100 * y / size.height),
                               uchar(150 - 90 * x / size.width));
    }
    cv::RNG rng(0x5ea3);
    const long long area = (long long)size.width * size.height;
    const auto colour = [&rng] {
        return cv::Scalar(rng.uniform(0, 256), rng.uniform(0, 256), rng.uniform(0, 256));
    };
    const auto point = [&rng, &size] {
        return cv::Point(rng.uniform(0, size.width), rng.uniform(0, size.height));
    };
    const auto near = [&rng](const cv::Point& p, int reach) {
        return p + cv::Point(rng.uniform(-reach, reach), rng.uniform(-reach, reach));
    };
    const auto draw = [&](int i, int s) {
        const cv::Point p = point();
        switch (i % 4) {
        case 0:
            cv::rectangle(scene, p, p + cv::Point(rng.uniform(8, 60) * s, rng.uniform(8, 60) * s), colour(),
                          cv::FILLED);
            break;
        case 1:
            cv::circle(scene, p, rng.uniform(4, 30) * s, colour(), s > 1 ? -1 : rng.uniform(-1, 4),
                       cv::LINE_AA);
            break;
        case 2:
            cv::line(scene, p, coarse > 1 ? near(p, 80 * s) : point(), colour(), rng.uniform(1, 4) * s,
                     cv::LINE_AA);
            break;
        default:
            cv::putText(scene, std::to_string(rng.uniform(100, 99999)), p, cv::FONT_HERSHEY_SIMPLEX,
                        rng.uniform(0.4, 1.4) * s, colour(), 2 * s, cv::LINE_AA);
        }
    };
    if (coarse > 1)
        for (long long i = 0; i < area / (2500LL * coarse * coarse); ++i)
            draw(int(i), coarse);
    for (long long i = 0; i < area / 2500; ++i)
        draw(int(i), 1);
    return scene;
}

// Renders each view, adds sensor noise of its own, then saves it as JPEG as a camera writes it.
// Written through Qt so that any file name reaches the file system in the locale's encoding.
QStringList saveViews(const QString& directory, const QStringList& fileNames, double sensorNoise,
                      const std::function<cv::Mat(int)>& render)
{
    QStringList paths;
    const QDir dir(directory);
    for (int i = 0; i < fileNames.size(); ++i) {
        cv::Mat view = render(i);
        if (sensorNoise > 0) {
            cv::Mat noise(view.size(), CV_16SC3);
            cv::RNG(0x5e45 + uint64(i)).fill(noise, cv::RNG::NORMAL, 0, sensorNoise);
            cv::add(view, noise, view, cv::noArray(), CV_8UC3);
        }
        std::vector<uchar> jpeg;
        QFile file(dir.absoluteFilePath(fileNames[i]));
        if (!cv::imencode(".jpg", view, jpeg, {cv::IMWRITE_JPEG_QUALITY, 92}) ||
            !file.open(QIODevice::WriteOnly) ||
            file.write(reinterpret_cast<const char*>(jpeg.data()), qint64(jpeg.size())) !=
                qint64(jpeg.size()))
            return {};
        paths << file.fileName();
    }
    return paths;
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

    return saveViews(directory, fileNames, sensorNoise, [&](int i) {
        cv::Mat view;
        const cv::Matx33d sceneToView = viewK * rotations[i] * sceneK.inv();
        cv::warpPerspective(scene, view, cv::Mat(sceneToView), cv::Size(viewSize.width(), viewSize.height()),
                            cv::INTER_LINEAR, cv::BORDER_REFLECT);
        return view;
    });
}

QStringList writeAround(const QString& directory, const QStringList& fileNames, const QSize& viewSize,
                        int rows, double yawStepDegrees, double pitchStepDegrees, double sensorNoise)
{
    const int count = fileNames.size();
    const int columns = (count + rows - 1) / rows;
    const double focal = 0.95 * viewSize.width();
    const cv::Matx33d viewKInv = intrinsics(focal, 0.5 * viewSize.width(), 0.5 * viewSize.height()).inv();
    const double yawStep = yawStepDegrees * CV_PI / 180.0, pitchStep = pitchStepDegrees * CV_PI / 180.0;
    const auto rotation = [&](int i) {
        return pitch((0.5 * (rows - 1) - i % rows) * pitchStep) *
               yaw((0.5 * (columns - 1) - i / rows) * yawStep);
    };

    // The cylinder unrolled: a column per turn of 1 / focal, a row per rise of 1 / focal, as wide and
    // as high as the views' edges reach.
    double leftmost = 0, rightmost = 0, highest = 0;
    for (int i = 0; i < count; ++i)
        for (int step = 0; step <= 16; ++step)
            for (const cv::Vec3d& edge : {cv::Vec3d(viewSize.width() * step / 16.0, 0, 1),
                                          cv::Vec3d(viewSize.width() * step / 16.0, viewSize.height(), 1),
                                          cv::Vec3d(0, viewSize.height() * step / 16.0, 1),
                                          cv::Vec3d(viewSize.width(), viewSize.height() * step / 16.0, 1)}) {
                const cv::Vec3d ray = rotation(i).t() * (viewKInv * edge);
                const double turn = std::atan2(ray[0], ray[2]);
                leftmost = std::min(leftmost, turn), rightmost = std::max(rightmost, turn);
                highest = std::max(highest, std::abs(ray[1]) / std::hypot(ray[0], ray[2]));
            }
    const int margin = 8;
    const cv::Size sceneSize(int((rightmost - leftmost) * focal) + 2 * margin,
                             int(2 * highest * focal) + 2 * margin);
    const cv::Mat scene = renderScene(sceneSize, std::max(1, viewSize.width() / 640));

    cv::Mat mapX(viewSize.height(), viewSize.width(), CV_32FC1), mapY(mapX.size(), CV_32FC1);
    return saveViews(directory, fileNames, sensorNoise, [&](int i) {
        const cv::Matx33d toScene = rotation(i).t() * viewKInv;
        cv::parallel_for_(cv::Range(0, mapX.rows), [&](const cv::Range& band) {
            for (int y = band.start; y < band.end; ++y)
                for (int x = 0; x < mapX.cols; ++x) {
                    const cv::Vec3d ray = toScene * cv::Vec3d(x, y, 1);
                    const double across = std::hypot(ray[0], ray[2]);
                    mapX.at<float>(y, x) = float(focal * (std::atan2(ray[0], ray[2]) - leftmost) + margin);
                    mapY.at<float>(y, x) = float(focal * ray[1] / across + 0.5 * sceneSize.height);
                }
        });
        cv::Mat view;
        cv::remap(scene, view, mapX, mapY, cv::INTER_LINEAR, cv::BORDER_REFLECT);
        return view;
    });
}

} // namespace PanoramaViews
