#include "panorama/engine/imageconversion.h"

#include <QDebug>

#include <opencv2/core.hpp>

QImage cvMatToQImage(const cv::Mat& mat)
{
    // The row step is passed on so that padded rows and regions of larger matrices read correctly.
    const int bytesPerLine = int(mat.step[0]);
    switch (mat.type()) {
    case CV_8UC3:
        return QImage(mat.data, mat.cols, mat.rows, bytesPerLine, QImage::Format_RGB888).rgbSwapped();
    case CV_8UC4:
        // Blue, green, red, alpha bytes are ARGB32's own memory order on little-endian machines.
        return QImage(static_cast<const uchar*>(mat.data), mat.cols, mat.rows, bytesPerLine,
                      QImage::Format_ARGB32);
    case CV_8UC1:
        return QImage(static_cast<const uchar*>(mat.data), mat.cols, mat.rows, bytesPerLine,
                      QImage::Format_Grayscale8);
    default:
        qWarning() << "Tolvan::cvMatToQImage() - cv::Mat image type not handled in switch:" << mat.type();
        return QImage();
    }
}
