#include "panorama/ui/imageview.h"

#include <QPaintEvent>
#include <QPainter>

ImageView::ImageView(const QImage& image, QWidget* parent) : QWidget(parent), picture(image) {}

void ImageView::setImage(const QImage& image)
{
    picture = image;
    reduced = QImage();
    scaled = QPixmap();
    update();
}

void ImageView::paintEvent(QPaintEvent* event)
{
    if (picture.isNull() || width() <= 0 || height() <= 0)
        return;
    if (reduced.isNull()) {
        const QSize limit = size() * 2;
        reduced = picture.width() > limit.width() && picture.height() > limit.height()
                      ? picture.scaled(limit, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                      : picture;
    }
    if (scaled.size() != size()) {
        const bool reducedIsEnough = reduced.width() >= width() && reduced.height() >= height();
        const QImage& source = reducedIsEnough ? reduced : picture;
        scaled = QPixmap::fromImage(source.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.drawPixmap(0, 0, scaled);
}
