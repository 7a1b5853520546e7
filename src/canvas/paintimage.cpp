#include "canvas/paintimage.h"

#include "canvas/stitcherconfig.h"

#include <QtMath>

PaintImage::PaintImage(const QImage& image, const QString& name) : image(image), name(name)
{
    resetCrop();
}

void PaintImage::resetCrop()
{
    setCrop(Geometry::Crop::whole(image.size()));
}

double PaintImage::toImagePixels(bool vertical, double length) const
{
    const StitcherConfig* config = StitcherConfig::instance();
    return Geometry::toImagePixels(image.size(), vertical, length, config->paintWidth, config->paintHeight);
}

void PaintImage::setCrop(const Geometry::Crop& crop)
{
    cropLeft = crop.left;
    cropTop = crop.top;
    cropRight = crop.right;
    cropBottom = crop.bottom;
}

StitcherButton* PaintImage::button(int edge) const
{
    switch (edge) {
    case Geometry::EdgeLeft:
        return leftButton;
    case Geometry::EdgeTop:
        return topButton;
    case Geometry::EdgeRight:
        return rightButton;
    case Geometry::EdgeBottom:
        return bottomButton;
    default:
        return nullptr;
    }
}

const QImage& PaintImage::imageForScale(double devicePerImagePixel, QSizeF* factor)
{
    const int level = Geometry::previewLevel(devicePerImagePixel);
    if (level == 0) {
        *factor = QSizeF(1.0, 1.0);
        return image;
    }
    if (level != previewLevel || preview.isNull()) {
        const int w = qMax(1, image.width() >> level);
        const int h = qMax(1, image.height() >> level);
        // A coarser copy can be made from the finer one already kept, which is much cheaper.
        QImage from = (!preview.isNull() && level > previewLevel) ? preview : image;
        // Averaging a whole 12-megapixel photo into a thumbnail stalls a fit of many photos; sixteen
        // samples per pixel of the copy look the same and cost next to nothing.
        if (from.width() > 4 * w && from.height() > 4 * h)
            from = from.scaled(4 * w, 4 * h, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        preview = from.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        previewLevel = level;
    }
    *factor = QSizeF(double(preview.width()) / image.width(), double(preview.height()) / image.height());
    return preview;
}
