#pragma once

#include "canvas/tools/painttarget.h"
#include "canvas/tools/strippoint.h"

#include <QColor>
#include <QImage>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <QVector>

#include <functional>

class QPainter;

// The colour of the photo with the given index at a canvas point; an invalid colour when that index
// names no photo (photos removed after the stroke was made).
using PhotoSampler = std::function<QColor(int index, const QPoint& at)>;
// A pattern picture by resource path. Images, not pixmaps, so that strokes can be painted on any thread.
using PatternLoader = std::function<QImage(const QString& path)>;

// One pair of flat blocks of a ribbon, either side of the anchor's step.
struct RibbonBlock
{
    QPolygonF upper;    // A0, P, P', A1
    QPolygonF lower;    // B0, P, P', B1
    QPoint upperSample; // where the upper block takes its colour
    QPoint lowerSample;
    int photoIndex = 0; // the photo both colours come from
};

// One textured piece of a pattern band. The target lies in the frame rotated by angleDegrees.
struct BandSegment
{
    double angleDegrees = 0.0;
    QRectF target;
    QRectF source;
    QPolygonF jointBefore; // the two triangles closing the bend at the segment's start; empty for the first
    QPolygonF jointAfter;
};

// One gesture of the mosaic brush: a ribbon of colours taken from the photo ("mosaic-normal") or a band
// textured with a pattern image (any other name).
struct MosaicStroke
{
    static const QString ribbonName;

    QString name;
    int size = 5;
    QVector<StripPoint> points;
    quint64 order = 0; // when it was made among all strokes, for an undo across tools

    static MosaicStroke begin(const StripPoint& at, const QString& name, double size);
    void extend(const StripPoint& at);

    // Paints in canvas units with the pen off, as paintMosaicStrokes sets it up.
    void paint(QPainter& painter, const StripToCanvas& toCanvas, const PhotoSampler& sampler,
               const PatternLoader& loader) const;
    QRectF bounds(const StripToCanvas& toCanvas) const;

    // Geometry on points already in canvas coordinates.
    static QVector<RibbonBlock> ribbonBlocks(const QVector<StripPoint>& canvasPoints, int size);
    static QVector<BandSegment> bandSegments(const QVector<QPoint>& canvasPoints, int patternWidth);

    // The photo's colour at a canvas point; points outside the photo take the nearest edge of the shown
    // (cropped) region. Invalid for a null image.
    static QColor sampleColor(const QImage& image, const QRectF& layoutRect, const QRectF& crop,
                              const QPoint& at);
    static QColor patternColor(const QString& name);
    static QString patternPath(const QString& name);
};

// Paints the strokes in drawing order, skipping those that cannot touch the exposed part.
void paintMosaicStrokes(QPainter& painter, const QVector<MosaicStroke>& strokes,
                        const StripToCanvas& toCanvas, const PhotoSampler& sampler,
                        const PatternLoader& loader, const PaintTarget& target);
