#pragma once

#include "canvas/geometry.h"
#include "canvas/tools/annotation.h"
#include "canvas/tools/mosaicstroke.h"
#include "canvas/tools/watermark.h"

#include <QByteArray>
#include <QColor>
#include <QDateTime>
#include <QImage>
#include <QString>
#include <QVector>

// Where a photo's pixels came from, so that a project keeps the file's own bytes: the file as it was when
// it was decoded, or the bytes themselves for a photo that came out of a project.
struct PhotoSource
{
    QString path;
    qint64 size = -1;
    QDateTime modified;
    QByteArray bytes;
};

// One photo of the strip as an edit leaves it. The image is shared with the canvas, never copied.
struct PhotoState
{
    QImage image;
    QString name;
    Geometry::Crop crop;
    PhotoSource source;

    bool operator==(const PhotoState& other) const;
    bool operator!=(const PhotoState& other) const { return !(*this == other); }
};

// Everything an export depends on and an edit can change: what a step of the history puts back. The
// vectors share their records with the canvas until one side changes them.
struct StripState
{
    QVector<PhotoState> photos;
    Geometry::StripLayout layout;
    QColor spacingColor = Qt::blue;
    QVector<Annotation> annotations;
    QVector<MosaicStroke> mosaicStrokes;
    Watermark::Style watermark;

    bool operator==(const StripState& other) const;
    bool operator!=(const StripState& other) const { return !(*this == other); }
};

bool operator==(const Geometry::StripLayout& a, const Geometry::StripLayout& b);
bool operator==(const Annotation& a, const Annotation& b);
bool operator==(const MosaicStroke& a, const MosaicStroke& b);
bool operator==(const Watermark::Style& a, const Watermark::Style& b);
