#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <string>

// What the stitch can read, asked of the library that reads for it.
namespace StitchFormats {

// A regular file or a link to one, decided without opening it: a named pipe would block the reader.
bool isRegularFile(const std::string& path);

// A regular file whose content the stitch's reader recognises and whose header it reads.
bool canRead(const QString& path);

// Those of the formats (file suffixes) for which the stitch has a codec.
QList<QByteArray> among(const QList<QByteArray>& formats);

} // namespace StitchFormats
