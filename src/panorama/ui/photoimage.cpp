#include "panorama/ui/photoimage.h"

#include "widgets/thumbnailfit.h"

#include <QPaintEvent>
#include <QPainter>

PhotoImage::PhotoImage(const QImage& image, QWidget* parent) : QWidget(parent), photoSize(image.size())
{
    setFixedSize(126, 100);
    const QSize sharp = size() * 2;
    photo = image.width() > sharp.width() || image.height() > sharp.height()
                ? image.scaled(sharp, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                : image;
}

void PhotoImage::paintEvent(QPaintEvent* event)
{
    const QRect target = thumbnailRect(size(), photoSize);
    if (target.isEmpty())
        return;
    if (scaled.size() != target.size())
        scaled =
            QPixmap::fromImage(photo.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.drawPixmap(target.topLeft(), scaled);
}
