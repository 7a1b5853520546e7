#include "intake/photodecoder.h"

#include <QFile>
#include <QImageReader>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace PhotoDecoder {

namespace {

// Opens without blocking (a pipe swapped in after the check would otherwise wait for a writer) and
// confirms on the open descriptor that it is a regular file.
bool openRegular(const QString& path, QFile* file)
{
    if (path.isEmpty())
        return false;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    return file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
}

QSize fitted(const QSize& size, const QSize& box)
{
    if (!box.isValid() || (size.width() <= box.width() && size.height() <= box.height()))
        return size;
    return size.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

// The file open and the reader on it, when it holds a photo; its size when the reader can tell.
bool openPhoto(const QString& path, QFile* file, QImageReader* reader, QSize* size)
{
    if (!isRegularFile(path) || !openRegular(path, file))
        return false;
    reader->setDevice(file);
    reader->setDecideFormatFromContent(true);
    reader->setAutoTransform(true);
    if (!photoFormats().contains(reader->format()))
        return false;
    *size = reader->size();
    return true;
}

} // namespace

bool isRegularFile(const QString& path)
{
    struct stat info = {};
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &info) == 0 &&
           S_ISREG(info.st_mode);
}

QList<QByteArray> photoFormats()
{
    static const QList<QByteArray> formats = [] {
        QList<QByteArray> list;
        for (const QByteArray& format : QImageReader::supportedImageFormats()) {
            const QByteArray name = format.toLower();
            if (name != "svg" && name != "svgz" && !list.contains(name))
                list.append(name);
        }
        return list;
    }();
    return formats;
}

Header readHeader(const QString& path, const QSize& fitWithin)
{
    QFile file;
    QImageReader reader;
    QSize size;
    if (!openPhoto(path, &file, &reader, &size))
        return {};
    if (!size.isValid()) // a reader that learns the size only by decoding
        return {Header::Photo, QSize()};
    if (qint64(size.width()) * size.height() > maxPixels)
        return {Header::TooLarge, size};
    return {Header::Photo, fitted(size, fitWithin)};
}

QImage decode(const QString& path, const QSize& fitWithin)
{
    QFile file;
    QImageReader reader;
    QSize size;
    if (!openPhoto(path, &file, &reader, &size))
        return {};
    if (size.isValid()) {
        if (qint64(size.width()) * size.height() > maxPixels)
            return {};
        if (fitted(size, fitWithin) != size)
            reader.setScaledSize(fitted(size, fitWithin));
    }
    QImage image = reader.read();
    if (image.isNull() || qint64(image.width()) * image.height() > maxPixels)
        return {};
    if (fitWithin.isValid() && fitted(image.size(), fitWithin) != image.size())
        image = image.scaled(fitWithin, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    const QImage::Format fast =
        image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    if (image.format() != fast)
        image = std::move(image).convertToFormat(fast);
    return image;
}

qint64 decodedBytes(const QSize& size)
{
    return qint64(qMax(size.width(), 0)) * qMax(size.height(), 0) * 4;
}

} // namespace PhotoDecoder
