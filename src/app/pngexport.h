#pragma once

#include <QImage>
#include <QString>

namespace PngExport {

// Writes PNG data to fileName whatever its extension. An existing file is replaced only once the whole
// new file is written. Returns an empty string on success, else the reason the write failed.
QString write(const QImage& image, const QString& fileName);

} // namespace PngExport
