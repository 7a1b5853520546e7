#include "canvas/cachedpixmap.h"

#include <QImage>
#include <QPixmapCache>

QPixmap cachedPixmap(const QString& path)
{
    QPixmap pixmap;
    if (QPixmapCache::find(path, &pixmap))
        return pixmap;
    pixmap = QPixmap::fromImage(QImage(path));
    if (!pixmap.isNull())
        QPixmapCache::insert(path, pixmap);
    return pixmap;
}
