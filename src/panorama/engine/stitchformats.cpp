#include "panorama/engine/stitchformats.h"

#include <QFile>

#include <opencv2/imgcodecs.hpp>

#include <sys/stat.h>

namespace StitchFormats {

bool isRegularFile(const std::string& path)
{
    struct stat info = {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool canRead(const QString& path)
{
    const std::string name = QFile::encodeName(path).toStdString();
    if (!isRegularFile(name))
        return false;
    try {
        // The header tells apart what the reader's signature check lets through but cannot decode.
        return cv::haveImageReader(name) && cv::imcount(name) > 0;
    } catch (const cv::Exception&) {
        return false;
    }
}

QList<QByteArray> among(const QList<QByteArray>& formats)
{
    QList<QByteArray> readable;
    for (const QByteArray& format : formats) {
        // The library has no list of its readers; its codecs read and write in pairs, and whether it
        // writes a suffix is what it answers by name alone.
        try {
            if (cv::haveImageWriter("x." + format.toStdString()))
                readable.append(format);
        } catch (const cv::Exception&) {
        }
    }
    return readable;
}

} // namespace StitchFormats
