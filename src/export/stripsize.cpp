#include "export/stripsize.h"

#include <QFileInfo>
#include <QStorageInfo>

QString StripSize::objection(const QSize& size, qint64 freeBytes)
{
    const qint64 pixels = qint64(size.width()) * size.height();
    const QString dimensions = tr("%1 × %2 pixels (%3 gigapixels)")
                                   .arg(size.width())
                                   .arg(size.height())
                                   .arg(double(pixels) / 1e9, 0, 'f', 1);
    if (freeBytes >= 0 && pixels * 3 / bestCompression > freeBytes)
        return tr("The picture would be %1: its file could not fit the %2 MB free on the disk.")
            .arg(dimensions)
            .arg(freeBytes >> 20);
    if (pixels > hoursOfWork)
        return tr("The picture would be %1: writing it would take hours.").arg(dimensions);
    return {};
}

qint64 StripSize::freeBytesFor(const QString& fileName)
{
    const QStorageInfo storage(QFileInfo(fileName).absolutePath());
    return storage.isValid() && storage.isReady() ? storage.bytesAvailable() : -1;
}
