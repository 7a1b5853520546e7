#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

namespace PhotoIntake {

// Largest photo accepted, in pixels (about 1 GiB of 32-bit pixels); larger files are treated as
// undecodable so that a forged header cannot make the application allocate without bound.
constexpr qint64 maxPixels = qint64(16384) * 16384;

using Receiver = std::function<void(const QImage& image, const QString& path)>;

// The part of a path after its last "/": the name the canvas shows for a photo.
QString displayName(const QString& path);

// Decodes a file with the toolkit's reader, recognising the format from the content. Returns a null
// image for anything that is not a decodable picture of a sane size. EXIF orientation is applied, and
// the pixels are in a format that paints without conversion (RGB32, or premultiplied ARGB32 when the
// picture has transparency).
QImage decodePhoto(const QString& path);

// The "Choose Pictures" dialog: several existing files, the image filter first. Each selected path that
// decodes is handed to the receiver in the dialog's order, under a busy cursor; the others are skipped
// silently. Returns whether the dialog was accepted.
bool choosePictures(QWidget* parent, const QString& title, const Receiver& receiver);

// Decodes the local files of dropped URLs in order, handing each decoded one to the receiver. Stops at
// the first file that does not decode when stopAtFailure is set. Returns how many URLs decoded.
int decodeDroppedUrls(const QList<QUrl>& urls, const Receiver& receiver, bool stopAtFailure);

// The two name filters of the dialog, in order.
QStringList nameFilters();

} // namespace PhotoIntake
