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
    QSize size;     // as decoded, after fitting when asked; invalid when the reader cannot tell
    QSize fullSize; // as stored in the file
    QByteArray format;
};

// What the file holds, from its content whatever its name; fitWithin, when valid, is the box the
// decoded picture will be scaled into.
Header readHeader(const QString& path, const QSize& fitWithin = QSize());

// The decoded photo in a format that paints without conversion (RGB32, or premultiplied ARGB32 with
// transparency), EXIF orientation applied, scaled into fitWithin when that is valid; null for anything
// readHeader does not call a photo, or that fails to decode completely: a file cut short or damaged
// is null even where the reader would fill in what is missing.
QImage decode(const QString& path, const QSize& fitWithin = QSize());

// Bytes that a decoded photo of that size holds; nothing for an unknown size.
qint64 decodedBytes(const QSize& size);

// Bytes a decode of that photo holds at its peak: the picture as the reader produces it before
// scaling (whole, but for JPEG, whose reader decodes reduced by up to eight) and the scaled copy.
qint64 peakDecodingBytes(const Header& header);

} // namespace PhotoDecoder
