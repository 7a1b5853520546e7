#include "canvas/paintimage.h"

#include "canvas/stitcherconfig.h"

#include <QThreadPool>
#include <QtMath>

#include <atomic>

namespace {

QSize previewSize(const QSize& image, int level)
{
    return {qMax(1, image.width() >> level), qMax(1, image.height() >> level)};
}

QImage scaleDown(QImage from, const QSize& size)
{
    // Averaging a whole 12-megapixel photo into a thumbnail stalls a fit of many photos; sixteen
    // samples per pixel of the copy look the same and cost next to nothing.
    if (from.width() > 4 * size.width() && from.height() > 4 * size.height())
        from = from.scaled(4 * size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return from.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

// Read by the worker and by the window's thread; the owner only on the window's thread.
struct PaintImage::PreviewRequest
{
    PaintImage* owner = nullptr;
    int level = 0;
    std::atomic<bool> dropped{false};
};

PaintImage::PaintImage(const QImage& image, const QString& name) : image(image), name(name)
{
    resetCrop();
}

PaintImage::~PaintImage()
{
    dropRequest();
}

void PaintImage::dropRequest()
{
    if (!request)
        return;
    request->owner = nullptr;
    request->dropped = true;
    request.reset();
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

const QImage& PaintImage::imageForScale(double devicePerImagePixel, QSizeF* factor, Copy copy)
{
    const int level = Geometry::previewLevel(devicePerImagePixel);
    const bool exactHeld = level == 0 || (level == previewLevel && !preview.isNull());
    if (!exactHeld && copy == Copy::Later && previewWorkers) {
        requestPreview(level);
        return held(factor);
    }
    // What is drawn now is exact: a copy still on its way for another zoom would only mark it interim.
    dropRequest();
    if (level == 0) {
        *factor = QSizeF(1.0, 1.0);
        return image;
    }
    if (!exactHeld) {
        // A coarser copy can be made from the finer one already kept, which is much cheaper.
        const QImage& from = (!preview.isNull() && level > previewLevel) ? preview : image;
        preview = scaleDown(from, previewSize(image.size(), level));
        previewLevel = level;
    }
    return held(factor);
}

const QImage& PaintImage::held(QSizeF* factor) const
{
    if (preview.isNull()) {
        *factor = QSizeF(1.0, 1.0);
        return image;
    }
    *factor = QSizeF(double(preview.width()) / image.width(), double(preview.height()) / image.height());
    return preview;
}

void PaintImage::requestPreview(int level)
{
    if (request && request->level == level)
        return;
    dropRequest();
    request = std::make_shared<PreviewRequest>();
    request->owner = this;
    request->level = level;
    const QImage from = (!preview.isNull() && level > previewLevel) ? preview : image;
    const QSize size = previewSize(image.size(), level);
    // Results come back through the pool, which outlives its jobs; the photo may not.
    QThreadPool* workers = previewWorkers;
    workers->start([workers, from, size, wanted = request] {
        if (wanted->dropped)
            return;
        const QImage made = scaleDown(from, size);
        QMetaObject::invokeMethod(
            workers,
            [made, wanted] {
                PaintImage* photo = wanted->owner;
                if (!photo || made.isNull())
                    return;
                photo->preview = made;
                photo->previewLevel = wanted->level;
                photo->request.reset();
                emit photo->previewArrived();
            },
            Qt::QueuedConnection);
    });
}
