#include "panorama/ui/photoimage.h"

#include "widgets/thumbnailfit.h"

#include <QPaintEvent>
#include <QPainter>

PhotoImage::PhotoImage(const QImage& image, QWidget* parent) : QWidget(parent), photo(image)
{
    setFixedSize(126, 100);
}

void PhotoImage::paintEvent(QPaintEvent* event)
{
    const QRect target = thumbnailRect(size(), photo.size());
    if (target.isEmpty())
        return;
    if (scaled.size() != target.size())
        scaled =
            QPixmap::fromImage(photo.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.drawPixmap(target.topLeft(), scaled);
}
