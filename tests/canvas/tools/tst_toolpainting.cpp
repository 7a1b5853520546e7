#include "canvas/tools/annotation.h"
#include "canvas/tools/mosaicstroke.h"
#include "canvas/tools/watermark.h"
#include "support/filledimage.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QtTest>

#include <functional>

#include <opencv2/core.hpp>

namespace {

using Layer = std::function<void(QPainter&, const PaintTarget&)>;

// Paints a layer into a white image the way the canvas does, or, with `translated`, only the exposed
// part into an image of its own size, as the export's tiles do. Nothing exposed exposes the whole.
QImage paintLayer(const Layer& layer, const QSize& size, QRect exposed = {}, double scale = 1.0,
                  bool translated = false)
{
    exposed = exposed.isNull() ? QRect(QPoint(), size) : exposed;
    QImage image(translated ? exposed.size() : size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (translated)
        painter.translate(-exposed.topLeft());
    else
        painter.setClipRect(exposed);
    painter.scale(scale, scale);
    layer(painter, {size, scale, exposed});
    return image;
}

// The largest difference of any channel of any pixel of two images of one size and 32-bit format.
double largestDifference(QImage a, QImage b)
{
    const auto mat = [](QImage& i) {
        return cv::Mat(i.height(), i.width(), CV_8UC4, i.bits(), i.bytesPerLine());
    };
    return cv::norm(mat(a), mat(b), cv::NORM_INF);
}

// Repainting a part only must give the part of the full picture: skipping what lies outside must never
// lose a pixel of a wide pen, a barb or a rotated text.
void checkPartialRepaint(const Layer& layer, const QSize& size, const QVector<QRect>& parts, int tolerance,
                         double scale = 1.0)
{
    const QImage full = paintLayer(layer, size, {}, scale);
    for (const QRect& part : parts)
        QVERIFY2(largestDifference(paintLayer(layer, size, part, scale).copy(part), full.copy(part)) <=
                     tolerance,
                 qPrintable(QString("part at %1, %2").arg(part.x()).arg(part.y())));
}

bool inked(const QImage& image)
{
    QImage white(image.size(), image.format());
    white.fill(Qt::white);
    return image != white;
}

Annotation record(int shape, QVector<StripPoint> points, double width = 3.0, QColor color = Qt::blue)
{
    Annotation a = Annotation::begin(points.first(), width, color, shape);
    for (int i = 1; i < points.size(); ++i)
        a.extend(points[i]);
    return a;
}

Layer annotations(const QVector<Annotation>& records)
{
    // Photo i starts 100 units to the right of photo i - 1, as with an inner spacing of 100.
    const auto shifted = [](const QPoint& at, int index) { return at + QPoint(100 * index, 0); };
    return
        [records, shifted](QPainter& p, const PaintTarget& t) { paintAnnotations(p, records, shifted, t); };
}

MosaicStroke stroke(const QString& name, int size, const QVector<QPoint>& points, int index = 0)
{
    MosaicStroke s = MosaicStroke::begin({points.first(), index}, name, size);
    for (int i = 1; i < points.size(); ++i)
        s.extend({points[i], index});
    return s;
}

QImage solidPattern(const QString&)
{
    return filledImage(300, 30, Qt::blue);
}

// Photo 0 is red above y = 50 and green below; there is no other photo.
Layer mosaics(const QVector<MosaicStroke>& strokes, const PatternLoader& loader = solidPattern)
{
    return [strokes, loader](QPainter& p, const PaintTarget& t) {
        const auto identity = [](const QPoint& at, int) { return at; };
        const auto twoTone = [](int index, const QPoint& at) {
            return index != 0 ? QColor() : at.y() < 50 ? QColor(Qt::red) : QColor(Qt::green);
        };
        paintMosaicStrokes(p, strokes, identity, twoTone, loader, t);
    };
}

Watermark::Style tiled(const QString& text = "Seamwright", int spacing = 50, int size = 50)
{
    return {Watermark::Tile, text, 255, spacing, size, Qt::black};
}

Layer watermark(const Watermark::Style& style, double outer = 0.0)
{
    return [style, outer](QPainter& p, const PaintTarget& t) { Watermark::paint(p, style, t, outer); };
}

} // namespace

class TestToolPainting : public QObject
{
    Q_OBJECT
private slots:
    void arrowPolygon_data()
    {
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<QPolygonF>("expected");
        QTest::newRow("short arrow: head a quarter of the length")
            << QPoint(8, 0)
            << QPolygonF({{0, 0}, {6.3, -0.39375}, {6, -1.5}, {8, 0}, {6, 1.5}, {6.3, 0.39375}});
        QTest::newRow("downward arrow turns its barbs across")
            << QPoint(0, 100)
            << QPolygonF({{0, 0}, {1.4235, 94.9}, {5.64, 94}, {0, 100}, {-5.64, 94}, {-1.4235, 94.9}});
        QTest::newRow("no length, no arrow") << QPoint(0, 0) << QPolygonF();
    }
    void arrowPolygon()
    {
        QFETCH(QPoint, to);
        QFETCH(QPolygonF, expected);
        const QPolygonF polygon = Annotation::arrowPolygon({0, 0}, to, 3.0);
        QCOMPARE(polygon.size(), expected.size());
        for (int i = 0; i < polygon.size(); ++i)
            QVERIFY2(QLineF(polygon[i], expected[i]).length() < 1e-9, qPrintable(QString("point %1").arg(i)));
    }

    void annotationsPaintOnTheirOwnPhotos()
    {
        // The end lies on photo 1, so the rectangle reaches 100 units further than its stored points.
        const QSize all(240, 120);
        QImage image =
            paintLayer(annotations({record(Annotation::Rectangle, {{{10, 20}, 0}, {{20, 60}, 1}})}), all);
        QCOMPARE(image.pixelColor(121, 40), QColor(Qt::blue));
        QCOMPARE(image.pixelColor(70, 20), QColor(Qt::blue));
        // A path runs through its points without closing or filling.
        image = paintLayer(
            annotations({record(Annotation::Path, {{{10, 10}, 0}, {{50, 100}, 0}, {{0, 10}, 1}})}), all);
        for (const auto& [x, y, color] :
             {std::tuple(30, 55, Qt::blue), {74, 55, Qt::blue}, {50, 55, Qt::white}, {60, 10, Qt::white}})
            QCOMPARE(image.pixelColor(x, y), QColor(color));
    }

    void annotationsRepaintInParts()
    {
        QRandomGenerator random(7);
        const auto any = [&random] { return QPoint(random.bounded(-20, 140), random.bounded(-20, 140)); };
        QVector<Annotation> records;
        for (int i = 0; i < 60; ++i)
            records.append(
                record(1 + i % 3, {{any(), i % 2}, {any(), random.bounded(2)}, {any(), random.bounded(2)}},
                       QVector<double>{1, 3, 6, 12}[i % 4], QColor::fromHsv(i * 6 % 360, 255, 200)));
        // Parts just beyond the points of a wide outline and of an arrow's barb.
        records.append(record(Annotation::Rectangle, {{{20, 20}, 0}, {{80, 70}, 0}}, 12.0, Qt::darkGreen));
        records.append(record(Annotation::Arrow, {{{150, 10}, 0}, {{150, 100}, 0}}, 6.0, Qt::darkGreen));
        checkPartialRepaint(annotations(records), {240, 120},
                            {QRect(0, 0, 16, 16), QRect(57, 0, 3, 120), QRect(0, 61, 240, 2),
                             QRect(84, 30, 4, 4), QRect(20, 74, 4, 4), QRect(153, 90, 4, 4)},
                            0);
    }

    void ribbonStepsBySize()
    {
        // Moves of 3 units: nothing until the pointer is 5 away, then the anchor jumps a whole step.
        auto blocks =
            MosaicStroke::ribbonBlocks({{{0, 0}, 4}, {{3, 0}, 4}, {{6, 0}, 4}, {{9, 0}, 4}, {{12, 0}, 4}}, 5);
        QCOMPARE(blocks.size(), 2);
        QCOMPARE(blocks[0].upper, QPolygonF({{0, -5}, {0, 0}, {5, 0}, {5, -5}}));
        QCOMPARE(blocks[0].lowerSample, QPoint(5, 5));
        QCOMPARE(blocks[0].photoIndex, 4);
        QCOMPARE(blocks[1].upper, QPolygonF({{5, -5}, {5, 0}, {10, 0}, {10, -5}}));
        // One step in one of eight directions, diagonal once the smaller move is half the larger.
        const QPair<QPoint, QPoint> steps[] = {{{10, 3}, {5, 0}}, {{-7, -7}, {-5, -5}}};
        for (const auto& [target, anchor] : steps) {
            blocks = MosaicStroke::ribbonBlocks({{{0, 0}, 0}, {target, 0}}, 5);
            QCOMPARE(blocks.size(), 1);
            QCOMPARE(blocks[0].upper[2], QPointF(anchor));
        }
    }

    void bandRunsThePatternOn()
    {
        // A 300-wide pattern and 40-long segments: 0-120, 120-240, then back to 0.
        const auto segments = MosaicStroke::bandSegments({{0, 0}, {40, 0}, {80, 0}, {120, 0}}, 300);
        QCOMPARE(segments[2].source, QRectF(0, 0, 120, 30));

        QStringList requested;
        const PatternLoader loader = [&](const QString& path) {
            requested.append(path);
            return solidPattern(path);
        };
        const QSize all(200, 100);
        const QImage image = paintLayer(
            mosaics({stroke("mosaic-red", 5, {{20, 50}, {60, 50}, {100, 50}, {100, 90}})}, loader), all);
        QCOMPARE(requested, QStringList({":images/mosaic-red.png"}));
        QCOMPARE(image.pixelColor(40, 47), QColor(Qt::blue));
        QCOMPARE(image.pixelColor(40, 57), QColor(Qt::white));      // the band is 10 wide whatever the size
        QCOMPARE(image.pixelColor(101, 48), QColor(219, 100, 124)); // the outer corner of the turn, closed

        // Gestures within 10 units, and bands without a pattern or colour, paint nothing.
        const QVector<MosaicStroke> nothing = {stroke(MosaicStroke::ribbonName, 5, {{20, 20}, {60, 20}}),
                                               stroke("mosaic-blue", 5, {{20, 60}, {24, 64}, {28, 60}})};
        QVERIFY(!inked(paintLayer(mosaics(nothing), all)));
        QVERIFY(!inked(paintLayer(mosaics({stroke("mosaic:none", 5, {{20, 50}, {60, 50}, {100, 50}})},
                                          [](const QString&) { return QImage(); }),
                                  all)));
    }

    void sampleColorStaysInShownRegion()
    {
        // Each pixel encodes its own position; the left 40 columns are cropped away; shown twice as large.
        QImage image(100, 50, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixelColor(x, y, QColor(x, y, 0));
        const auto sample = [&](const QRectF& layout, const QRectF& crop, const QPoint& at) {
            return MosaicStroke::sampleColor(image, layout, crop, at);
        };
        QCOMPARE(sample(QRectF(10.7, 0, 120, 100), QRectF(40, 0, 60, 50), {10, 0}), QColor(40, 0, 0));
        QCOMPARE(sample(QRectF(10.7, 0, 120, 100), QRectF(40, 0, 60, 50), {5000, -5000}), QColor(99, 0, 0));
        // A crop pushed to the far edge and a layout not yet made still name a pixel of the image.
        QCOMPARE(sample(QRectF(), QRectF(100, 50, 0, 0), {3, 3}), QColor(99, 49, 0));
        QVERIFY(!MosaicStroke::sampleColor(QImage(), QRectF(0, 0, 10, 10), QRectF(0, 0, 1, 1), {}).isValid());
    }

    void mosaicsRepaintInParts()
    {
        QRandomGenerator random(11);
        QVector<MosaicStroke> strokes;
        for (int i = 0; i < 30; ++i) {
            QVector<QPoint> points = {{random.bounded(200), random.bounded(100)}};
            for (int k = 0; k < 8; ++k)
                points.append(points.last() + QPoint(random.bounded(-30, 30), random.bounded(-30, 30)));
            strokes.append(
                stroke(i % 2 ? MosaicStroke::ribbonName : QString("mosaic-blue"), 3 + i % 12, points));
        }
        // A ribbon with a large brush spreads well beyond its points.
        strokes.append(stroke(MosaicStroke::ribbonName, 20, {{100, 50}, {108, 50}, {116, 50}}));
        // The rasteriser may round a clipped, rotated pattern one step differently; a lost stroke differs by
        // far more.
        checkPartialRepaint(
            mosaics(strokes), {200, 100},
            {QRect(0, 0, 20, 20), QRect(90, 20, 5, 60), QRect(110, 26, 6, 3), QRect(138, 55, 3, 3)}, 2);
    }

    void watermarkPlacesAndShows()
    {
        // Bottom text: centred, lifted by the outer spacing, in painter units of zoom and size.
        for (const auto& [scale, outer, size, at] : {std::tuple(1.0, 5.0, 50, QPoint(450, 185)),
                                                     {2.0, 0.0, 50, QPoint(200, 90)},
                                                     {1.0, 0.0, 100, QPoint(225, 95)}})
            QCOMPARE(
                Watermark::bottomPosition({1000, 200}, scale, outer, Watermark::sizeFactor(size), {100, 20}),
                at);
        const Watermark::TileGrid grid = Watermark::tileGrid({1000, 200}, 1.0, 0.0, 1.0, 100, 50);
        QCOMPARE(grid.columnCount(), 10); // two steps past the right and bottom edges
        QCOMPARE(grid.rowCount(), 3);

        // Only a mode, a text and some opacity together show anything.
        for (int mode : {0, 1, 2})
            for (const char* text : {"", "Seamwright"})
                for (int opacity : {0, 255})
                    QCOMPARE(
                        inked(paintLayer(watermark({mode, text, opacity, 50, 50, Qt::black}), {300, 150})),
                        mode && opacity && *text);
    }

    void tiledWatermarkRepaintsInParts()
    {
        const QSize size(900, 300);
        QVector<QRect> parts = {QRect(0, 0, 450, 300), QRect(300, 100, 600, 200)};
        for (int y = 0; y < size.height(); y += 19)
            for (int x = 0; x < size.width(); x += 53)
                parts.append(QRect(x, y, 4, 3));
        // Small texts packed closely reach far past their neighbours' anchors.
        for (const Watermark::Style& style : {tiled(), tiled("Wj|", 0, 0)})
            for (double scale : {1.0, 0.6})
                checkPartialRepaint(watermark(style, 5.0), size, parts, 0, scale);
        // The export paints a strip larger than any image in tiles, through a translated painter.
        const QImage whole = paintLayer(watermark(tiled(), 5.0), {1500, 300});
        for (const QRect& part : {QRect(500, 0, 500, 200), QRect(1000, 100, 500, 200)})
            QCOMPARE(paintLayer(watermark(tiled(), 5.0), {1500, 300}, part, 1.0, true), whole.copy(part));
    }

    void largeTextsStillTileShortStrips()
    {
        // At size 100 the texts are twice as large and so is their pitch; a short strip still shows them.
        const QSize strip(1200, 110);
        QVERIFY(inked(paintLayer(watermark(tiled("Seamwright", 50, 100)), strip)));
        const QFontMetrics metrics{QFont()};
        const auto pitch = [&](int size) {
            const double factor = Watermark::sizeFactor(size);
            const QSize text = Watermark::scaledTextSize(metrics, "Seamwright", factor);
            return Watermark::tileGrid(strip, 1.0, 0.0, factor, text.width() / factor, 50).step * factor;
        };
        QVERIFY(qAbs(pitch(100) - 2.0 * pitch(50)) <= 2.0);
        // A text without width would never advance.
        QCOMPARE(Watermark::tileGrid(strip, 1.0, 0.0, 1.0, 0, 50).columnCount(), 0);
    }
};

QTEST_MAIN(TestToolPainting)
#include "tst_toolpainting.moc"
