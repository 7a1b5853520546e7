#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

// Reading photo files, widget-free: what counts as a photo, its header, its decoded pixels. Only
// regular files are opened, so a named pipe or a device given a photo's name never blocks.
namespace PhotoDecoder {

// Largest photo accepted, in pixels (about 1 GiB of 32-bit pixels).
constexpr qint64 maxPixels = qint64(16384) * 16384;

// True for a regular file or a link to one; decided without opening it.
bool isRegularFile(const QString& path);

// The formats the installed readers decode that are photos: vector drawings are not.
QList<QByteArray> photoFormats();

struct Header
{
    enum Kind { NotAPhoto, TooLarge, Photo };
    Kind kind = NotAPhoto;
    QSize size; // as decoded, after fitting when asked; invalid when the reader cannot tell
};

// What the file holds, from its content whatever its name; fitWithin, when valid, is the box the
// decoded picture will be scaled into.
Header readHeader(const QString& path, const QSize& fitWithin = QSize());

// The decoded photo in a format that paints without conversion (RGB32, or premultiplied ARGB32 with
// transparency), EXIF orientation applied, scaled into fitWithin when that is valid; null for anything
// readHeader does not call a photo, or that fails to decode.
QImage decode(const QString& path, const QSize& fitWithin = QSize());

// Bytes that a decoded photo of that size holds; nothing for an unknown size.
qint64 decodedBytes(const QSize& size);

} // namespace PhotoDecoder
