#include "canvas/strippainter.h"

#include "canvas/cachedpixmap.h"
#include "canvas/painterarea.h"
#include "canvas/paintimage.h"
#include "canvas/stitcherconfig.h"
#include "canvas/tools/watermark.h"
#include "widgets/theme.h"

#include <QPainter>

#include <algorithm>

using namespace Geometry;

void StripPainter::paintScreen(QPainter& painter, const QRect& clip)
{
    if (canvas->paintImages.isEmpty()) {
        painter.setClipRect(clip);
        paintEmptyCanvas(painter);
        return;
    }
    paintStrip(painter, canvas->size(), canvas->painterScale, clip, Purpose::Screen);
    paintCutPreview(painter, clip);
}

void StripPainter::paintCutPreview(QPainter& painter, const QRect& clip)
{
    const QVector<int>& cuts = canvas->cuts;
    if (cuts.isEmpty())
        return;
    painter.save();
    painter.setClipRect(clip);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const bool vertical = canvas->isVertical();
    const int width = canvas->width();
    const int height = canvas->height();
    const QColor cutColour(255, 48, 120);
    QFont tagFont = canvas->font();
    tagFont.setPixelSize(11);
    painter.setFont(tagFont);
    for (int i = 0; i < cuts.size(); ++i) {
        const int at = int(cuts[i] * canvas->painterScale);
        const QLine line = vertical ? QLine(0, at, width, at) : QLine(at, 0, at, height);
        // Dashes of two colours show on light and dark pictures alike.
        painter.setPen(QPen(Qt::white, 3));
        painter.drawLine(line);
        painter.setPen(QPen(cutColour, 3, Qt::DashLine));
        painter.drawLine(line);
        // The number of the part that starts at the cut, where the strip has room for it.
        if ((vertical ? width : height) < 60)
            continue;
        const QString number = QString::number(i + 2);
        const QRect tag(vertical ? QPoint(4, at + 3) : QPoint(at + 3, 4), QSize(24, 16));
        painter.fillRect(tag, cutColour);
        painter.setPen(Qt::white);
        painter.drawText(tag, Qt::AlignCenter, number);
    }
    painter.restore();
}

void StripPainter::paintStrip(QPainter& painter, const QSize& deviceSize, double scale, const QRect& clip,
                              Purpose purpose)
{
    const StitcherConfig* config = canvas->config;
    painter.setClipRect(clip);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setFont(canvas->font());
    if (canvas->spacingMode & (SpacingInnerBit | SpacingOuterBit))
        painter.fillRect(QRect(QPoint(0, 0), deviceSize), config->spacingColor);

    painter.save();
    painter.scale(scale, scale);
    canvas->relayout();
    paintPhotos(painter, scale, clip, purpose);
    const StrokeScene scene = strokeScene();
    if (purpose == Purpose::File) {
        const PaintTarget target{deviceSize, scale, clip};
        scene.paint(painter, StrokeScene::Mosaic, 0, scene.count(StrokeScene::Mosaic), target);
        scene.paint(painter, StrokeScene::Drawing, 0, scene.count(StrokeScene::Drawing), target);
    }
    painter.restore();
    if (purpose == Purpose::Screen)
        paintStrokeLayers(painter, scene, deviceSize, scale, clip);

    painter.save();
    painter.scale(scale, scale);
    const auto paintWatermark = [&] {
        Watermark::paint(painter, canvas->watermarkStyle(), {deviceSize, scale, clip},
                         canvas->stripLayout().outer());
    };
    if (config->watermarkMode == Watermark::Bottom) {
        paintSpacingLayer(painter, deviceSize, scale);
        paintWatermark();
    } else {
        paintWatermark();
        paintSpacingLayer(painter, deviceSize, scale);
    }
    if (purpose == Purpose::Screen && config->tool == StitcherConfig::TrimTool)
        paintTrimOutlines(painter, deviceSize, scale);
    painter.restore();
}

void StripPainter::paintPhotos(QPainter& painter, double scale, const QRect& clip, Purpose purpose)
{
    // A unit of margin keeps the smooth filter's edge pixels when a photo is only partly repainted. A
    // file is drawn whole photo by photo, only clipped, so that every band of it gets the same pixels
    // as the strip drawn at once: a part of a scaled photo is filtered against its own edges.
    const QRectF clipUnits(clip.x() / scale - 1, clip.y() / scale - 1, clip.width() / scale + 2,
                           clip.height() / scale + 2);
    const StripLayout layout = canvas->stripLayout();
    const QList<PaintImage*>& photos = canvas->paintImages;
    for (int i = 0; i < photos.size(); ++i) {
        const QRectF& target = canvas->rects[i];
        if (!(target.width() > 0 && target.height() > 0))
            continue;
        if (!target.intersects(clipUnits))
            continue;
        const QRectF visible = purpose == Purpose::File ? target : target.intersected(clipUnits);
        const QRectF source = sourceRect(canvas->shapes[i], layout);
        if (!(source.width() > 0 && source.height() > 0))
            continue;
        const double sx = source.width() / target.width();
        const double sy = source.height() / target.height();
        QSizeF factor;
        const QImage& image = photos[i]->imageForScale(scale / std::max(sx, sy), &factor,
                                                       purpose == Purpose::Screen ? PaintImage::Copy::Later
                                                                                  : PaintImage::Copy::Now);
        const QRectF part(source.x() + (visible.x() - target.x()) * sx,
                          source.y() + (visible.y() - target.y()) * sy, visible.width() * sx,
                          visible.height() * sy);
        // Until its copy comes, for a frame or two, a photo is drawn from what is held at the cheapest
        // filter.
        const bool interim = photos[i]->copyOnItsWay();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, !interim);
        painter.drawImage(visible, image,
                          QRectF(part.x() * factor.width(), part.y() * factor.height(),
                                 part.width() * factor.width(), part.height() * factor.height()));
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
    }
}

void StripPainter::paintSpacingLayer(QPainter& painter, const QSize& deviceSize, double scale)
{
    const int mode = canvas->spacingMode;
    const bool inner = (mode & SpacingInnerBit) && canvas->paintImages.size() >= 2;
    const bool outer = mode & SpacingOuterBit;
    if (!inner && !outer)
        return;
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QBrush(canvas->config->spacingColor, Qt::SolidPattern));
    if (outer) {
        for (const QRectF& r : outerSpacingRects(deviceSize, scale, canvas->spacingOuter))
            painter.drawRect(r);
    }
    if (inner) {
        const QVector<QRectF>& rects = canvas->rects;
        for (int i = 1; i < rects.size(); ++i)
            painter.drawRect(innerGapRect(rects[i - 1], rects[i], canvas->isVertical()));
    }
    painter.restore();
}

void StripPainter::paintTrimOutlines(QPainter& painter, const QSize& deviceSize, double scale)
{
    painter.save();
    painter.setPen(QPen(QBrush(Qt::blue), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(QPoint(1, 1), QPoint(truncToInt(deviceSize.width() / scale - 2),
                                                truncToInt(deviceSize.height() / scale - 2))));
    for (const QRectF& r : qAsConst(canvas->rects)) {
        if (canvas->isVertical())
            painter.drawLine(QPointF(r.x(), r.y() + r.height()),
                             QPointF(r.x() + r.width(), r.y() + r.height()));
        else
            painter.drawLine(QPointF(r.x() + r.width(), r.y()),
                             QPointF(r.x() + r.width(), r.y() + r.height()));
    }
    painter.restore();
}

void StripPainter::paintEmptyCanvas(QPainter& painter)
{
    const int width = canvas->width();
    painter.drawPixmap(canvas->rect(), cachedPixmap(":/images/drogbg.png"));
    QFont font("Proxima Nova");
    font.setPointSize(18);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(QPoint(0, 124), QPoint(width - 1, 153)), Qt::AlignCenter,
                     PainterArea::tr("Add Images and Photos"));
    font.setPointSize(12);
    painter.setFont(font);
    painter.setPen(QColor(Theme::lightText));
    painter.drawText(QRect(QPoint(0, 144), QPoint(width - 1, 173)), Qt::AlignCenter,
                     PainterArea::tr("or Drag and Drop"));
}

StrokeScene StripPainter::strokeScene() const
{
    StrokeScene scene;
    scene.mosaics = canvas->mosaicStrokes;
    scene.annotations = canvas->annotations;
    scene.layout = canvas->stripLayout();
    const QList<PaintImage*>& photos = canvas->paintImages;
    scene.photos.reserve(photos.size());
    for (int i = 0; i < photos.size(); ++i) {
        const PaintImage* photo = photos[i];
        const Crop crop = photo->crop();
        scene.photos.append(
            {photo->image, canvas->rects.value(i), QRectF(crop.left, crop.top, crop.width(), crop.height())});
    }
    scene.loadPatterns();
    return scene;
}

quint64 StripPainter::strokeLayoutKey() const
{
    const StripLayout layout = canvas->stripLayout();
    // The photos by identity and by pixels: a ribbon takes its colours from them.
    QVector<qint64> photos;
    photos.reserve(2 * canvas->paintImages.size());
    for (const PaintImage* photo : canvas->paintImages)
        photos << qint64(quintptr(photo)) << photo->image.cacheKey();
    const QVector<PhotoShape>& shapes = canvas->shapes;
    quint64 key = 0;
    for (uint seed : {1u, 2u}) {
        uint h = qHashBits(&layout, sizeof layout, seed);
        h = qHashBits(shapes.constData(), sizeof(PhotoShape) * size_t(shapes.size()), h);
        h = qHashBits(photos.constData(), sizeof(qint64) * size_t(photos.size()), h);
        key = key << 32 | h;
    }
    return key;
}

void StripPainter::paintStrokeLayers(QPainter& painter, const StrokeScene& scene, const QSize& deviceSize,
                                     double scale, const QRect& clip)
{
    const int tool = canvas->config->tool;
    const bool pressed = canvas->pressed;
    const bool liveMosaic = pressed && tool == StitcherConfig::MosaicTool && !scene.mosaics.isEmpty();
    const bool liveDrawing = pressed && tool == StitcherConfig::DrawTool && !scene.annotations.isEmpty();
    StrokeLayers::Frame frame;
    frame.target = {deviceSize, scale, clip};
    frame.done = {scene.mosaics.size() - liveMosaic, scene.annotations.size() - liveDrawing};
    frame.layout = frame.done[0] || frame.done[1] ? strokeLayoutKey() : 0;
    canvas->layers->paint(painter, scene, frame);
}

QImage StripPainter::renderRegion(const QRect& area)
{
    const QSize content = canvas->contentSize();
    if (canvas->paintImages.isEmpty() || area.isEmpty() || !QRect(QPoint(), content).contains(area))
        return {};
    QImage region(area.size(), QImage::Format_RGB32);
    if (region.isNull())
        return {};
    region.fill(QColor(Theme::canvas));
    uchar* bits = region.bits();
    const qsizetype bytesPerLine = region.bytesPerLine();
    const int tileSize = PainterArea::renderTileSize;
    // Tiles on one fixed grid of the strip, cut by the region's edges: painter coordinates stay small.
    const auto nextLine = [tileSize](int at) { return (at / tileSize + 1) * tileSize; };
    for (int y = area.top(); y <= area.bottom(); y = nextLine(y)) {
        const int tileHeight = std::min(nextLine(y), area.bottom() + 1) - y;
        for (int x = area.left(); x <= area.right(); x = nextLine(x)) {
            const QRect tileRect(x, y, std::min(nextLine(x), area.right() + 1) - x, tileHeight);
            // The tile shares the region's memory, so nothing is copied back.
            QImage tile(bits + (y - area.top()) * bytesPerLine + (x - area.left()) * 4, tileRect.width(),
                        tileRect.height(), int(bytesPerLine), QImage::Format_RGB32);
            QPainter painter(&tile);
            painter.translate(-x, -y);
            paintStrip(painter, content, 1.0, tileRect, Purpose::File);
        }
    }
    return region;
}
