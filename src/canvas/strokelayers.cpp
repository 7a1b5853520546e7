#include "canvas/strokelayers.h"

#include <QHash>

#include <algorithm>

namespace {

quint64 geometryKey(const StrokeLayers::Frame& frame)
{
    const double view[] = {frame.target.scale, double(frame.target.deviceSize.width()),
                           double(frame.target.deviceSize.height())};
    const quint64 hash = quint64(qHashBits(view, sizeof view, 1)) << 32 | qHashBits(view, sizeof view, 2);
    return frame.layout * 0x100000001b3ull ^ hash;
}

// Paints strokes [from, to) of one tool into the layer's image, in the layer's device pixels.
bool paintInto(StrokeLayer& layer, const StrokeScene& scene, StrokeScene::Tool tool, int from, int to,
               const QSize& deviceSize, QPainter::RenderHints hints, const std::function<bool()>& stop = {})
{
    QPainter painter(&layer.image);
    painter.setRenderHints(hints);
    painter.translate(-layer.rect.topLeft());
    painter.scale(layer.scale, layer.scale);
    return scene.paint(painter, tool, from, to, {deviceSize, layer.scale, layer.rect}, stop);
}

// A whole layer of the key's strokes over that area; null when its image cannot be allocated or `stop`
// said so.
StrokeLayer render(const StrokeScene& scene, StrokeScene::Tool tool, const StrokeLayer::Key& key,
                   quint64 layout, const PaintTarget& area, QPainter::RenderHints hints,
                   const std::function<bool()>& stop = {})
{
    StrokeLayer layer;
    layer.image = QImage(area.exposed.size(), QImage::Format_ARGB32_Premultiplied);
    if (layer.image.isNull())
        return {};
    layer.image.fill(Qt::transparent);
    layer.rect = area.exposed;
    layer.key = key;
    layer.layout = layout;
    layer.scale = area.scale;
    if (!paintInto(layer, scene, tool, 0, key.count, area.deviceSize, hints, stop))
        return {};
    return layer;
}

} // namespace

StrokeLayers::StrokeLayers(int paintNowLimit, QObject* parent) : QObject(parent), paintNowLimit(paintNowLimit)
{
    workers.setMaxThreadCount(2); // one per tool
}

StrokeLayers::~StrokeLayers()
{
    for (auto& id : wanted)
        id.store(0);
    workers.waitForDone();
}

bool StrokeLayers::exact() const
{
    return layers[Tool::Mosaic].pending == 0 && layers[Tool::Drawing].pending == 0;
}

void StrokeLayers::paint(QPainter& painter, const StrokeScene& scene, const Frame& frame)
{
    for (const Tool tool : {Tool::Mosaic, Tool::Drawing}) {
        const int done = frame.done[tool];
        if (done == 0) {
            layers[tool].held.drop();
            cancel(tool);
        } else {
            const StrokeLayer::Key wanted{geometryKey(frame), done, scene.ordersKey(tool, done)};
            bringUpToDate(tool, scene, frame, wanted, painter.renderHints());
            show(painter, tool, scene, frame, wanted);
        }
        if (done < scene.count(tool)) {
            painter.save();
            painter.scale(frame.target.scale, frame.target.scale);
            scene.paint(painter, tool, done, scene.count(tool), frame.target);
            painter.restore();
        }
    }
}

void StrokeLayers::bringUpToDate(Tool tool, const StrokeScene& scene, const Frame& frame,
                                 const StrokeLayer::Key& wanted, QPainter::RenderHints hints)
{
    Layer& layer = layers[tool];
    StrokeLayer& held = layer.held;
    const QSize deviceSize = frame.target.deviceSize;
    const QRect exposed = frame.target.exposed & QRect(QPoint(0, 0), deviceSize);
    // The newest finished stroke stays out of a new layer, painted live, so that undoing it needs none.
    const StrokeLayer::Key base{wanted.geometry, wanted.count - 1, scene.ordersKey(tool, wanted.count - 1)};
    const int missing = wanted.count - held.key.count;
    if (!held.image.isNull() && held.key.geometry == wanted.geometry && held.rect.contains(exposed) &&
        missing >= 0 && held.key.orders == scene.ordersKey(tool, held.key.count)) {
        if (missing > 1 && missing - 1 <= paintNowLimit) {
            paintInto(held, scene, tool, held.key.count, base.count, deviceSize, hints);
            held.key = base;
        }
        if (held.key.count >= base.count) {
            cancel(tool);
            return;
        }
    }
    const PaintTarget area{deviceSize, frame.target.scale, StrokeLayer::areaFor(exposed, deviceSize)};
    if (area.exposed.isEmpty()) {
        held.drop();
        cancel(tool);
        return;
    }
    if (scene.touching(tool, base.count, area) <= paintNowLimit) {
        cancel(tool);
        held = render(scene, tool, base, frame.layout, area, hints);
        return;
    }
    // A render on its way that holds a part of these strokes is caught up with when it comes.
    const StrokeLayer::Key& coming = layer.pendingKey;
    if (layer.pending && coming.geometry == wanted.geometry && layer.pendingArea.contains(exposed) &&
        coming.count <= base.count && coming.orders == scene.ordersKey(tool, coming.count))
        return;
    if (base == layer.failed) {
        cancel(tool);
        return;
    }
    request(tool, scene, base, frame, area.exposed, hints);
}

void StrokeLayers::show(QPainter& painter, Tool tool, const StrokeScene& scene, const Frame& frame,
                        const StrokeLayer::Key& wanted)
{
    const StrokeLayer& held = layers[tool].held;
    if (held.image.isNull())
        return;
    const double scale = frame.target.scale;
    if (held.key.geometry == wanted.geometry) {
        painter.drawImage(held.rect.topLeft(), held.image);
    } else if (held.layout == frame.layout) {
        // Until the exact layer comes: the one of the zoom before, scaled.
        const double f = scale / held.scale;
        const QRectF target(held.rect.x() * f, held.rect.y() * f, held.rect.width() * f,
                            held.rect.height() * f);
        painter.drawImage(target, held.image);
    } else {
        return;
    }
    // The strokes finished since the layer was painted are shown over it.
    const int missing = wanted.count - held.key.count;
    if (missing > 0 && missing <= std::max(1, paintNowLimit) &&
        held.key.orders == scene.ordersKey(tool, held.key.count)) {
        painter.save();
        painter.scale(scale, scale);
        scene.paint(painter, tool, held.key.count, wanted.count, frame.target);
        painter.restore();
    }
}

void StrokeLayers::request(Tool tool, const StrokeScene& scene, const StrokeLayer::Key& key,
                           const Frame& frame, const QRect& area, QPainter::RenderHints hints)
{
    Layer& layer = layers[tool];
    const quint64 id = ++lastRequest;
    layer.pending = id;
    layer.pendingKey = key;
    layer.pendingArea = area;
    layer.failed = {};
    wanted[tool].store(id);
    const PaintTarget target{frame.target.deviceSize, frame.target.scale, area};
    const quint64 layout = frame.layout;
    const std::function<void()> job = [this, tool, id, scene, key, layout, target, hints] {
        const auto superseded = [this, tool, id] { return wanted[tool].load() != id; };
        const StrokeLayer painted = render(scene, tool, key, layout, target, hints, superseded);
        if (superseded())
            return;
        QMetaObject::invokeMethod(
            this, [this, tool, id, painted] { accept(tool, id, painted); }, Qt::QueuedConnection);
    };
    // Once this frame is on screen, so that the workers do not hold it up on a busy machine.
    QMetaObject::invokeMethod(
        this, [this, job] { workers.start(job); }, Qt::QueuedConnection);
}

void StrokeLayers::cancel(Tool tool)
{
    layers[tool].pending = 0;
    wanted[tool].store(0);
}

void StrokeLayers::accept(Tool tool, quint64 id, const StrokeLayer& painted)
{
    Layer& layer = layers[tool];
    if (id != layer.pending)
        return;
    layer.pending = 0;
    if (painted.image.isNull())
        layer.failed = layer.pendingKey;
    else
        layer.held = painted;
    emit arrived();
}
