#pragma once

#include <QImage>

namespace cv {
class Mat;
}

// The one place where OpenCV matrices become Qt images. A three-channel matrix is copied with red and
// blue exchanged; four-channel and grey matrices are wrapped, so the image borrows the matrix's
// pixels and is valid only while the matrix is. Any other type gives a null image and a warning.
QImage cvMatToQImage(const cv::Mat& mat);
