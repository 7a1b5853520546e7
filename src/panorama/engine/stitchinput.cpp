#include "panorama/engine/stitchinput.h"

#include "photofile/photofile.h"

#include <QFile>
#include <QImageReader>

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace StitchInput {

namespace {

qint64 pixels(const QSize& size)
{
    return qint64(std::max(size.width(), 0)) * std::max(size.height(), 0);
}

int readerWarnings = 0;

// Warnings about a PNG's side information (its colour profile, say) leave the pixels whole.
void countWarning(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtWarningMsg && !text.startsWith(QLatin1String("libpng warning")))
        ++readerWarnings;
}

void criticalOnly(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fputs(qPrintable(qFormatLogMessage(type, context, text) + QLatin1Char('\n')), stderr);
}

} // namespace

void silenceWarnings()
{
    qInstallMessageHandler(criticalOnly);
}

QImage readWhole(QImageReader& reader)
{
    readerWarnings = 0;
    const QByteArray format = reader.format();
    const QtMessageHandler previous = qInstallMessageHandler(countWarning);
    QImage image = reader.read();
    qInstallMessageHandler(previous);
    if (readerWarnings > 0 || (format == "bmp" && PhotoFile::isBmpCutShort(reader.device())))
        return QImage();
    return image;
}

int openPhoto(const std::string& path)
{
    return PhotoFile::openRegular(path.c_str());
}

Header readHeader(const std::string& path)
{
    const int fd = openPhoto(path);
    if (fd < 0)
        return {};
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {};
    }
    QImageReader reader(&file);
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return {};
    const QSize size = reader.size();
    if (size.isValid() && pixels(size) > maxPixels)
        return {Header::TooLarge, size};
    return {Header::Photo, size};
}

qint64 decodedBytes(const QList<QSize>& sizes)
{
    qint64 kept = 0, largest = 0;
    for (const QSize& size : sizes) {
        kept += pixels(size) * 3;
        largest = std::max(largest, pixels(size));
    }
    return kept + largest * 4;
}

qint64 addressSpaceFor(const QList<QSize>& sizes)
{
    qint64 all = 0, largest = 0;
    for (const QSize& size : sizes) {
        all += pixels(size);
        largest = std::max(largest, pixels(size));
    }
    // Measured stitches of 2 to 36 megapixels took 25 to 35 bytes a photo pixel beyond the ready
    // worker; warps that widen the panorama take more, hence the margin.
    constexpr qint64 perPixel = 40, perLargestPixel = 16, margin = qint64(256) << 20;
    return all * perPixel + largest * perLargestPixel + margin;
}

Weighed weigh(const std::vector<std::string>& paths, qint64 budget)
{
    Weighed weighed;
    QList<QSize> sizes;
    bool allKnown = true;
    for (size_t i = 0; i < paths.size(); ++i) {
        const Header header = readHeader(paths[i]);
        sizes.append(header.size);
        allKnown = allKnown && header.size.isValid();
        if (header.kind != Header::Photo || decodedBytes(sizes) > budget) {
            weighed.refused = int(i);
            weighed.header = header;
            return weighed;
        }
    }
    weighed.addressSpace = allKnown ? std::min(addressSpaceFor(sizes), budget) : budget;
    return weighed;
}

} // namespace StitchInput
