#pragma once

#include "canvas/geometry.h"
#include "canvas/stripstate.h"

#include <QImage>
#include <QObject>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <memory>

class QThreadPool;
class StitcherButton;

// One photo of the strip: the image, the region of it that shows, where it was laid out, its buttons.
class PaintImage : public QObject
{
    Q_OBJECT
public:
    PaintImage(const QImage& image, const QString& name);
    ~PaintImage() override;

    QRectF layoutRect;
    QImage image;
    double cropLeft = 0;
    double cropTop = 0;
    double cropRight = 0;
    double cropBottom = 0;
    StitcherButton* leftButton = nullptr;
    StitcherButton* rightButton = nullptr;
    StitcherButton* topButton = nullptr;
    StitcherButton* bottomButton = nullptr;
    QString name;
    PhotoSource source;

    void resetCrop();
    // A canvas length across the strip in pixels of this image, against the common photo size.
    double toImagePixels(bool vertical, double length) const;

    Geometry::Crop crop() const { return {cropLeft, cropTop, cropRight, cropBottom}; }
    void setCrop(const Geometry::Crop& crop);
    Geometry::PhotoShape shape() const { return {image.size(), crop()}; }
    StitcherButton* button(int edge) const;

    // The image, or a smaller copy of it for drawing at devicePerImagePixel; factor is the copy's
    // size relative to the image in each axis. The copy is made on first need and kept while it fits.
    // Copy::Later leaves making it to the workers, when they are set, and gives the nearest copy held
    // meanwhile, or the image; previewArrived follows.
    enum class Copy { Now, Later };
    const QImage& imageForScale(double devicePerImagePixel, QSizeF* factor, Copy copy = Copy::Now);
    void setPreviewWorkers(QThreadPool* workers) { previewWorkers = workers; }
    bool copyOnItsWay() const { return request != nullptr; }

signals:
    void previewArrived();

private:
    struct PreviewRequest;
    const QImage& held(QSizeF* factor) const;
    void requestPreview(int level);
    void dropRequest();

    QImage preview;
    int previewLevel = 0;
    QThreadPool* previewWorkers = nullptr;
    std::shared_ptr<PreviewRequest> request; // the copy on its way from a worker
};
