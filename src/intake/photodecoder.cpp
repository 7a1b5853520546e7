#include "intake/photodecoder.h"

#include "photofile/photofile.h"

#include <QFile>
#include <QImageReader>

#include <mutex>

#include <sys/stat.h>
#include <unistd.h>

namespace PhotoDecoder {

namespace {

// A reader that fills in what a file cut short lacks says so only in a warning, on the thread that
// decodes. Warnings about a PNG's side information (its colour profile, say) leave the pixels whole.
thread_local int readerWarnings = 0;
thread_local bool countingWarnings = false;
thread_local bool strayJpegBytes = false;
QtMessageHandler forwardedHandler = nullptr;

void countWarning(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    // Stray bytes between JPEG segments, common in camera files, leave every pixel decoded; but the
    // reader then keeps quiet about what follows, so the file's end is checked instead.
    const bool stray = text.contains(QLatin1String("extraneous bytes before marker"));
    if (countingWarnings && stray)
        strayJpegBytes = true;
    if (countingWarnings && type == QtWarningMsg && !stray &&
        !text.startsWith(QLatin1String("libpng warning"))) {
        ++readerWarnings;
        return;
    }
    if (forwardedHandler)
        forwardedHandler(type, context, text);
}

class WarningCount
{
public:
    WarningCount()
    {
        static std::once_flag installed;
        std::call_once(installed, [] { forwardedHandler = qInstallMessageHandler(countWarning); });
        readerWarnings = 0;
        strayJpegBytes = false;
        countingWarnings = true;
    }
    ~WarningCount() { countingWarnings = false; }
    bool any() const { return readerWarnings > 0; }
    bool strayBytes() const { return strayJpegBytes; }
};

// No end-of-image marker after the last scan: entropy-coded data never holds one, so the file was cut.
bool isJpegCutShort(QFile* file)
{
    if (!file->seek(0))
        return true;
    const QByteArray bytes = file->readAll();
    const int scan = bytes.lastIndexOf("\xff\xda");
    return scan < 0 || bytes.indexOf("\xff\xd9", scan) < 0;
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
    if (!isRegularFile(path))
        return false;
    const int fd = PhotoFile::openRegular(QFile::encodeName(path).constData());
    if (fd < 0 || !file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (fd >= 0)
            ::close(fd);
        return false;
    }
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
        return {Header::Photo, QSize(), QSize(), reader.format()};
    if (qint64(size.width()) * size.height() > maxPixels)
        return {Header::TooLarge, size, size, reader.format()};
    return {Header::Photo, fitted(size, fitWithin), size, reader.format()};
}

QImage decode(const QString& path, const QSize& fitWithin)
{
    QFile file;
    QImageReader reader;
    QSize size;
    // The header's reading counts too: a JPEG reader says only its first warning.
    const WarningCount warnings;
    if (!openPhoto(path, &file, &reader, &size))
        return {};
    if (size.isValid()) {
        if (qint64(size.width()) * size.height() > maxPixels)
            return {};
        if (fitted(size, fitWithin) != size)
            reader.setScaledSize(fitted(size, fitWithin));
    }
    const QByteArray format = reader.format();
    QImage image = reader.read();
    if (warnings.any() || (warnings.strayBytes() && isJpegCutShort(&file)) ||
        (format == "bmp" && PhotoFile::isBmpCutShort(&file)))
        return {};
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

qint64 peakDecodingBytes(const Header& header)
{
    if (!header.fullSize.isValid())
        return decodedBytes(header.size);
    QSize produced = header.fullSize;
    if (header.format == "jpeg" || header.format == "jpg") {
        for (int d = 8; d > 1; d /= 2) {
            const QSize reduced((produced.width() + d - 1) / d, (produced.height() + d - 1) / d);
            if (reduced.width() >= header.size.width() && reduced.height() >= header.size.height()) {
                produced = reduced;
                break;
            }
        }
    }
    return decodedBytes(produced) + (produced != header.size ? decodedBytes(header.size) : 0);
}

} // namespace PhotoDecoder
