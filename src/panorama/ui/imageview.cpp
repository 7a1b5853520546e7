#include "panorama/ui/imageview.h"

#include <QPaintEvent>
#include <QPainter>

ImageView::ImageView(const QImage& image, QWidget* parent) : QWidget(parent), picture(image) {}

void ImageView::paintEvent(QPaintEvent* event)
{
    if (picture.isNull() || width() <= 0 || height() <= 0)
        return;
    if (scaled.size() != size())
        scaled = QPixmap::fromImage(picture.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.drawPixmap(0, 0, scaled);
}
