#pragma once

#include "canvas/geometry.h"
#include "canvas/stripstate.h"

#include <QImage>
#include <QObject>
#include <QRectF>
#include <QSizeF>
#include <QString>

class StitcherButton;

// One photo of the strip: the image, the region of it that shows, where it was laid out, its buttons.
class PaintImage : public QObject
{
    Q_OBJECT
public:
    PaintImage(const QImage& image, const QString& name);

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
    const QImage& imageForScale(double devicePerImagePixel, QSizeF* factor);

private:
    QImage preview;
    int previewLevel = 0;
};
