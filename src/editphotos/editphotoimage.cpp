#include "editphotos/editphotoimage.h"

#include "canvas/paintimage.h"
#include "widgets/thumbnailfit.h"

#include <QPaintEvent>
#include <QPainter>

EditPhotoImage::EditPhotoImage(PaintImage* photo, QWidget* parent) : QWidget(parent), photo(photo)
{
    setFixedSize(200, 180);
}

void EditPhotoImage::paintEvent(QPaintEvent* event)
{
    if (!photo || photo->image.isNull())
        return;
    const QImage& image = photo->image;
    const QRect target = thumbnailRect(size(), image.size());
    if (target.isEmpty())
        return;
    if (scaled.size() != target.size() || scaledKey != image.cacheKey()) {
        scaled =
            QPixmap::fromImage(image.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        scaledKey = image.cacheKey();
    }
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.drawPixmap(target.topLeft(), scaled);
}
