#pragma once

#include <QImage>
#include <QList>
#include <QSize>

#include <string>
#include <vector>

class QImageReader;

// The photos a stitch is given, weighed from their headers before any of them is decoded. Shared by
// the window's process and the stitch worker, widget-free.
namespace StitchInput {

// Largest photo a stitch takes, in pixels, as the strip's intake takes it.
constexpr qint64 maxPixels = qint64(16384) * 16384;

struct Header
{
    enum Kind { Unreadable, TooLarge, Photo };
    Kind kind = Unreadable;
    QSize size; // invalid when the reader learns it only by decoding
};

// Opened as the photo intake opens files: without blocking, and a regular file by its open handle, so
// that a pipe swapped in for a photo never stops the reader.
int openPhoto(const std::string& path);
Header readHeader(const std::string& path);

// The picture when the reader decodes it completely: a reader that fills in what a file cut short
// lacks says so only in a warning, which makes this null. For one thread at a time.
QImage readWhole(QImageReader& reader);

// The readers' warnings about a damaged file are not for the user: in the worker, whose standard error
// is the command line's, only critical messages get through.
void silenceWarnings();

// Bytes that the photos hold once decoded, each as the stitch keeps it plus the one being decoded.
qint64 decodedBytes(const QList<QSize>& sizes);

// The address space a stitch of photos of these sizes may add to the ready worker: the decoded
// photos, the stitcher's working set over the panorama and over the largest photo, and a margin for
// the rest. Sized generously: it bounds what a photo lying about its size can take, and an honest
// stitch must never reach it.
qint64 addressSpaceFor(const QList<QSize>& sizes);

struct Weighed
{
    int refused = -1; // the first photo refused, or -1
    Header header;    // that photo's header
    qint64 addressSpace = 0;
};

// Weighs the photos in order against a budget in bytes: the first one that cannot be read, is too
// large or does not fit with those before it is refused. Otherwise the address space the stitch may
// take, no more than the budget; the budget itself when a photo's size is unknown.
Weighed weigh(const std::vector<std::string>& paths, qint64 budget);

} // namespace StitchInput
