#include "canvas/tools/mosaicstroke.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double ribbonMinStep = 5.0;
constexpr double bandMinStep = 10.0;
constexpr double bandWidth = 10.0;
constexpr double patternHeight = 30.0;
constexpr double patternShrink = 3.0; // the pattern is drawn at a third of its size

double distance(const QPoint& a, const QPoint& b)
{
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    return std::sqrt(dx * dx + dy * dy);
}

// trunc((p - origin) / extent * count), clamped to a pixel of the shown region.
int regionPixel(int p, double origin, double extent, double count)
{
    double v = 0.0;
    if (extent > 0.0)
        v = std::trunc((p - std::trunc(origin)) / extent * count);
    const double last = std::trunc(count - 1.0);
    v = std::min(v, last);
    return int(std::max(v, 0.0));
}

} // namespace

const QString MosaicStroke::ribbonName = QStringLiteral("mosaic-normal");

MosaicStroke MosaicStroke::begin(const StripPoint& at, const QString& name, double size)
{
    MosaicStroke stroke;
    stroke.name = name;
    stroke.size = int(size);
    stroke.points.append(at);
    return stroke;
}

void MosaicStroke::extend(const StripPoint& at)
{
    points.append(at);
}

QVector<RibbonBlock> MosaicStroke::ribbonBlocks(const QVector<StripPoint>& canvasPoints, int size)
{
    QVector<RibbonBlock> blocks;
    if (canvasPoints.isEmpty())
        return blocks;
    const double s = size;
    QPoint anchor = canvasPoints.first().point;
    bool first = true;
    QPointF a1, b1;
    for (const StripPoint& q : canvasPoints) {
        const double d = distance(anchor, q.point);
        if (d < ribbonMinStep)
            continue;
        const int dx = q.point.x() - anchor.x();
        const int dy = q.point.y() - anchor.y();
        // The anchor steps by the brush size toward the pointer, in one of eight directions.
        const QPoint step(qRound(qRound(dx / d) * s), qRound(qRound(dy / d) * s));
        const QPoint next = anchor + step;
        const double theta = std::atan2(double(dy), double(dx));
        const QPointF across(std::sin(theta), -std::cos(theta));
        const QPointF a0 = first ? QPointF(anchor) + s * across : a1;
        const QPointF b0 = first ? QPointF(anchor) - s * across : b1;
        a1 = QPointF(next) + s * across;
        b1 = QPointF(next) - s * across;

        RibbonBlock block;
        block.upper = QPolygonF({a0, QPointF(anchor), QPointF(next), a1});
        block.lower = QPolygonF({b0, QPointF(anchor), QPointF(next), b1});
        block.upperSample = QPoint(int(a1.x()), int(a1.y()));
        block.lowerSample = QPoint(int(b1.x()), int(b1.y()));
        block.photoIndex = q.index;
        blocks.append(block);

        anchor = next;
        first = false;
    }
    return blocks;
}

QVector<BandSegment> MosaicStroke::bandSegments(const QVector<QPoint>& canvasPoints, int patternWidth)
{
    QVector<BandSegment> segments;
    if (canvasPoints.isEmpty())
        return segments;
    QPoint anchor = canvasPoints.first();
    double offset = 0.0;
    bool first = true;
    QPointF aPrev, bPrev;
    for (int i = 1; i < canvasPoints.size(); ++i) {
        const QPoint q = canvasPoints[i];
        const double d = distance(anchor, q);
        if (d < bandMinStep)
            continue;
        const double theta = std::atan2(double(q.y() - anchor.y()), double(q.x() - anchor.x()));
        const double c = std::cos(theta);
        const double sn = std::sin(theta);
        const QPointF across(sn, -c);
        const auto rotated = [&](const QPointF& p) {
            return QPointF(p.x() * c + p.y() * sn, -p.x() * sn + p.y() * c);
        };
        const QPointF uvP = rotated(QPointF(anchor));
        const QPointF uvQ = rotated(QPointF(q));

        BandSegment segment;
        segment.angleDegrees = theta * 180.0 / 3.1415926;
        segment.target =
            QRectF((uvP.x() + uvQ.x() - d) * 0.5, (uvP.y() + uvQ.y() - bandWidth) * 0.5, d, bandWidth);
        const double length = patternShrink * d;
        if (offset + length > patternWidth)
            offset = 0.0;
        segment.source = QRectF(offset, 0.0, length, patternHeight);
        offset += length;
        const double half = bandWidth / 2.0;
        if (!first) {
            segment.jointBefore = QPolygonF({bPrev, QPointF(anchor), anchor - half * across});
            segment.jointAfter = QPolygonF({aPrev, QPointF(anchor), anchor + half * across});
        }
        segments.append(segment);

        anchor = q;
        aPrev = q + half * across;
        bPrev = q - half * across;
        first = false;
    }
    return segments;
}

QColor MosaicStroke::sampleColor(const QImage& image, const QRectF& layoutRect, const QRectF& crop,
                                 const QPoint& at)
{
    if (image.isNull())
        return {};
    const int u = regionPixel(at.x(), layoutRect.x(), layoutRect.width(), crop.width());
    const int v = regionPixel(at.y(), layoutRect.y(), layoutRect.height(), crop.height());
    // A degenerate crop must still name a pixel of the image.
    const int x = std::clamp(int(crop.x() + u), 0, image.width() - 1);
    const int y = std::clamp(int(crop.y() + v), 0, image.height() - 1);
    return image.pixelColor(x, y);
}

QColor MosaicStroke::patternColor(const QString& name)
{
    if (name == QLatin1String("mosaic-red"))
        return QColor(219, 100, 124);
    if (name == QLatin1String("mosaic-blue"))
        return QColor(59, 95, 188);
    if (name == QLatin1String("mosaics-flower"))
        return QColor(200, 226, 246);
    return QColor(Qt::transparent);
}

QString MosaicStroke::patternPath(const QString& name)
{
    return QStringLiteral(":images/") + name + QStringLiteral(".png");
}

QRectF MosaicStroke::bounds(const StripToCanvas& toCanvas) const
{
    if (points.isEmpty())
        return {};
    QPoint p = toCanvas(points.first().point, points.first().index);
    int left = p.x(), right = p.x(), top = p.y(), bottom = p.y();
    for (const StripPoint& sp : points) {
        p = toCanvas(sp.point, sp.index);
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
    }
    // The ribbon's anchor trails the pointer by up to one step and spreads a step either side;
    // the band and its joints stay within half the band width.
    const double margin = 2.0 * std::abs(size) + bandWidth + 2.0;
    return QRectF(QPointF(left, top), QPointF(right + 1, bottom + 1))
        .adjusted(-margin, -margin, margin, margin);
}

void MosaicStroke::paint(QPainter& painter, const StripToCanvas& toCanvas, const PhotoSampler& sampler,
                         const PatternLoader& loader) const
{
    if (points.size() <= 2)
        return;
    if (name == ribbonName) {
        QVector<StripPoint> canvasPoints;
        canvasPoints.reserve(points.size());
        for (const StripPoint& p : points)
            canvasPoints.append({toCanvas(p.point, p.index), p.index});
        for (const RibbonBlock& block : ribbonBlocks(canvasPoints, size)) {
            const QColor upper = sampler(block.photoIndex, block.upperSample);
            const QColor lower = sampler(block.photoIndex, block.lowerSample);
            // A block over a photo that is gone has nothing to show.
            if (!upper.isValid() || !lower.isValid())
                continue;
            painter.setBrush(upper);
            painter.drawPolygon(block.upper);
            painter.setBrush(lower);
            painter.drawPolygon(block.lower);
        }
        return;
    }

    const QImage pattern = loader(patternPath(name));
    const QColor jointColor = patternColor(name);
    if (pattern.isNull() && jointColor.alpha() == 0)
        return;
    QVector<QPoint> canvasPoints;
    canvasPoints.reserve(points.size());
    for (const StripPoint& p : points)
        canvasPoints.append(toCanvas(p.point, p.index));
    painter.setBrush(jointColor);
    for (const BandSegment& segment : bandSegments(canvasPoints, pattern.width())) {
        painter.save();
        painter.rotate(segment.angleDegrees);
        painter.drawImage(segment.target, pattern, segment.source);
        painter.restore();
        if (!segment.jointBefore.isEmpty()) {
            painter.drawPolygon(segment.jointBefore);
            painter.drawPolygon(segment.jointAfter);
        }
    }
}

void paintMosaicStrokes(QPainter& painter, const QVector<MosaicStroke>& strokes,
                        const StripToCanvas& toCanvas, const PhotoSampler& sampler,
                        const PatternLoader& loader, const PaintTarget& target)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    const QRectF exposed = target.exposedCanvas(1.0);
    for (const MosaicStroke& stroke : strokes) {
        if (stroke.points.size() > 2 && stroke.bounds(toCanvas).intersects(exposed))
            stroke.paint(painter, toCanvas, sampler, loader);
    }
    painter.restore();
}
