#include "canvas/strokescene.h"

#include <QMutex>
#include <QPainter>

#include <algorithm>

namespace {

// Strokes painted between two looks at whether to stop.
constexpr int strokesPerStep = 16;

QImage patternImage(const QString& path)
{
    static QMutex mutex;
    static QHash<QString, QImage> loaded;
    const QMutexLocker lock(&mutex);
    auto found = loaded.find(path);
    if (found == loaded.end())
        found = loaded.insert(path, QImage(path).convertToFormat(QImage::Format_ARGB32_Premultiplied));
    return *found;
}

} // namespace

void StrokeScene::loadPatterns()
{
    for (const MosaicStroke& stroke : qAsConst(mosaics)) {
        const QString path = MosaicStroke::patternPath(stroke.name);
        if (stroke.name != MosaicStroke::ribbonName && !patterns.contains(path))
            patterns.insert(path, patternImage(path));
    }
}

quint64 StrokeScene::ordersKey(Tool tool, int count) const
{
    quint64 key = quint64(count);
    for (int i = 0; i < count; ++i)
        key = key * 0x100000001b3ull ^ order(tool, i);
    return key;
}

QPoint StrokeScene::toCanvas(const QPoint& point, int index) const
{
    return Geometry::fromStripPoint(layout, point.x(), point.y(), index);
}

QColor StrokeScene::sample(int index, const QPoint& at) const
{
    // Strokes keep their photo indexes when photos go; a block over a photo that is gone shows nothing.
    if (index < 0 || index >= photos.size())
        return {};
    const Photo& photo = photos[index];
    return MosaicStroke::sampleColor(photo.image, photo.rect, photo.crop, at);
}

int StrokeScene::touching(Tool tool, int count, const PaintTarget& target) const
{
    const QRectF exposed = target.exposedCanvas(1.0);
    const StripToCanvas mapping = [this](const QPoint& p, int index) { return toCanvas(p, index); };
    int touched = 0;
    for (int i = 0; i < count; ++i) {
        const QRectF bounds = tool == Mosaic ? mosaics[i].bounds(mapping) : annotations[i].bounds(mapping);
        touched += bounds.intersects(exposed);
    }
    return touched;
}

bool StrokeScene::paint(QPainter& painter, Tool tool, int from, int to, const PaintTarget& target,
                        const std::function<bool()>& stop) const
{
    const StripToCanvas mapping = [this](const QPoint& p, int index) { return toCanvas(p, index); };
    const PhotoSampler sampler = [this](int index, const QPoint& at) { return sample(index, at); };
    const PatternLoader loader = [this](const QString& path) { return patterns.value(path); };
    for (int at = from; at < to; at += strokesPerStep) {
        if (stop && stop())
            return false;
        const int n = std::min(strokesPerStep, to - at);
        if (tool == Mosaic)
            paintMosaicStrokes(painter, mosaics.mid(at, n), mapping, sampler, loader, target);
        else
            paintAnnotations(painter, annotations.mid(at, n), mapping, target);
    }
    return true;
}
