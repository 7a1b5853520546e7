#pragma once

#include "canvas/strokescene.h"

#include <QImage>
#include <QRect>
#include <QSize>

class PainterArea;
class QPainter;

// Paints a canvas's strip: on screen with the trimming outlines, the cut preview and the strokes'
// layers, or into a file's pixels, the same however the file is cut in bands.
class StripPainter
{
public:
    explicit StripPainter(PainterArea* canvas) : canvas(canvas) {}

    // The canvas widget's repaint of `clip`, in its pixels.
    void paintScreen(QPainter& painter, const QRect& clip);
    // Any rectangle of the strip at zoom 1, null outside it or when it cannot be allocated.
    QImage renderRegion(const QRect& area);

private:
    enum class Purpose { Screen, File };
    // deviceSize is the device's size in pixels, scale its pixels per canvas unit, clip the device
    // region to repaint.
    void paintStrip(QPainter& painter, const QSize& deviceSize, double scale, const QRect& clip,
                    Purpose purpose);
    void paintPhotos(QPainter& painter, double scale, const QRect& clip, Purpose purpose);
    void paintSpacingLayer(QPainter& painter, const QSize& deviceSize, double scale);
    void paintTrimOutlines(QPainter& painter, const QSize& deviceSize, double scale);
    void paintEmptyCanvas(QPainter& painter);
    void paintCutPreview(QPainter& painter, const QRect& clip);
    // The drawing tools' strokes with what painting them reads, apart from the canvas.
    StrokeScene strokeScene() const;
    // The screen's strokes, on a painter in device pixels: finished ones from their layers, the one
    // being drawn live over them.
    void paintStrokeLayers(QPainter& painter, const StrokeScene& scene, const QSize& deviceSize, double scale,
                           const QRect& clip);
    // Everything but the zoom that moves or recolours a finished stroke on screen: the layout, the photos.
    quint64 strokeLayoutKey() const;

    PainterArea* canvas;
};
