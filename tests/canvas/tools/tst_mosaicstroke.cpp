#include "canvas/tools/mosaicstroke.h"

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTransform>
#include <QtTest>

#include <algorithm>

namespace {

QPoint identity(const QPoint& p, int)
{
    return p;
}

QVector<StripPoint> onPhoto(const QVector<QPoint>& points, int index = 0)
{
    QVector<StripPoint> result;
    for (const QPoint& p : points)
        result.append({p, index});
    return result;
}

MosaicStroke stroke(const QString& name, int size, const QVector<QPoint>& points, int index = 0)
{
    MosaicStroke s = MosaicStroke::begin({points.first(), index}, name, size);
    for (int i = 1; i < points.size(); ++i)
        s.extend({points[i], index});
    return s;
}

// Photo 0 is red above y = 50 and green below; there is no other photo.
QColor twoTonePhoto(int index, const QPoint& at)
{
    if (index != 0)
        return {};
    return at.y() < 50 ? QColor(Qt::red) : QColor(Qt::green);
}

QImage render(const QVector<MosaicStroke>& strokes, const PixmapLoader& loader, const QRect& exposed,
              const QSize& size = {200, 100})
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(exposed);
    paintMosaicStrokes(painter, strokes, identity, twoTonePhoto, loader, {size, 1.0, exposed});
    return image;
}

int largestDifference(const QImage& a, const QImage& b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max({largest, qAbs(qRed(p) - qRed(q)), qAbs(qGreen(p) - qGreen(q)),
                                qAbs(qBlue(p) - qBlue(q)), qAbs(qAlpha(p) - qAlpha(q))});
        }
    }
    return largest;
}

QPixmap solidPattern(const QString&)
{
    QPixmap pixmap(300, 30);
    pixmap.fill(Qt::blue);
    return pixmap;
}

} // namespace

class TestMosaicStroke : public QObject
{
    Q_OBJECT
private slots:
    void ribbonAnchorStepsBySize()
    {
        // Moves of 3 units: nothing until the pointer is 5 away, then the anchor jumps a whole step.
        const auto blocks =
            MosaicStroke::ribbonBlocks(onPhoto({{0, 0}, {3, 0}, {6, 0}, {9, 0}, {12, 0}}, 4), 5);
        QCOMPARE(blocks.size(), 2);
        QCOMPARE(blocks[0].upper, QPolygonF({{0, -5}, {0, 0}, {5, 0}, {5, -5}}));
        QCOMPARE(blocks[0].lower, QPolygonF({{0, 5}, {0, 0}, {5, 0}, {5, 5}}));
        QCOMPARE(blocks[0].upperSample, QPoint(5, -5));
        QCOMPARE(blocks[0].lowerSample, QPoint(5, 5));
        QCOMPARE(blocks[0].photoIndex, 4);
        // The second block continues from the first one's far edge.
        QCOMPARE(blocks[1].upper, QPolygonF({{5, -5}, {5, 0}, {10, 0}, {10, -5}}));
    }

    void ribbonStepsInEightDirections_data()
    {
        QTest::addColumn<QPoint>("target");
        QTest::addColumn<QPoint>("anchorAfter");
        QTest::newRow("mostly right") << QPoint(10, 3) << QPoint(5, 0);
        QTest::newRow("diagonal once half way") << QPoint(10, 6) << QPoint(5, 5);
        QTest::newRow("up and left") << QPoint(-7, -7) << QPoint(-5, -5);
        QTest::newRow("straight down") << QPoint(1, 20) << QPoint(0, 5);
    }
    void ribbonStepsInEightDirections()
    {
        QFETCH(QPoint, target);
        QFETCH(QPoint, anchorAfter);
        const auto blocks = MosaicStroke::ribbonBlocks(onPhoto({{0, 0}, target}), 5);
        QCOMPARE(blocks.size(), 1);
        QCOMPARE(blocks[0].upper[2], QPointF(anchorAfter));
    }

    void bandSegmentsRunThePatternOn()
    {
        // A 300-wide pattern and 40-long segments: 0-120, 120-240, then back to 0.
        const auto segments = MosaicStroke::bandSegments({{0, 0}, {40, 0}, {80, 0}, {120, 0}}, 300);
        QCOMPARE(segments.size(), 3);
        QCOMPARE(segments[0].source, QRectF(0, 0, 120, 30));
        QCOMPARE(segments[1].source, QRectF(120, 0, 120, 30));
        QCOMPARE(segments[2].source, QRectF(0, 0, 120, 30));
        QCOMPARE(segments[0].target, QRectF(0, -5, 40, 10));
        QVERIFY(segments[0].jointBefore.isEmpty());
        QVERIFY(!segments[1].jointBefore.isEmpty());
    }

    void bandSegmentCentredOnATurn()
    {
        const auto segments = MosaicStroke::bandSegments({{0, 0}, {40, 0}, {40, 40}}, 600);
        QCOMPARE(segments.size(), 2);
        // Mapped back out of its rotated frame, the band runs 5 either side of x = 40.
        const QRectF band = QTransform().rotate(segments[1].angleDegrees).mapRect(segments[1].target);
        QVERIFY(qAbs(band.left() - 35) < 1e-4 && qAbs(band.right() - 45) < 1e-4);
        QVERIFY(qAbs(band.top()) < 1e-4 && qAbs(band.bottom() - 40) < 1e-4);
        // The joint at the turn closes the outer corner on both sides.
        const auto near = [](const QPointF& a, const QPointF& b) { return QLineF(a, b).length() < 1e-9; };
        QVERIFY(near(segments[1].jointBefore[0], {40, 5}) && near(segments[1].jointBefore[2], {35, 0}));
        QVERIFY(near(segments[1].jointAfter[0], {40, -5}) && near(segments[1].jointAfter[2], {45, 0}));
    }

    void shortGesturesPaintNothing()
    {
        QVERIFY(MosaicStroke::bandSegments({{0, 0}, {5, 5}, {-3, 8}, {9, 0}}, 300).isEmpty());
        const QVector<MosaicStroke> strokes = {stroke(MosaicStroke::ribbonName, 5, {{20, 20}, {60, 20}}),
                                               stroke("mosaic-blue", 5, {{20, 60}, {24, 64}, {28, 60}})};
        const QImage image = render(strokes, solidPattern, QRect(0, 0, 200, 100));
        QImage blank(image.size(), image.format());
        blank.fill(Qt::white);
        QCOMPARE(image, blank);
    }

    void sampleColorStaysInShownRegion_data()
    {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QPoint>("pixel");
        QTest::newRow("top left of the photo") << QPoint(10, 0) << QPoint(40, 0);
        QTest::newRow("middle") << QPoint(70, 50) << QPoint(70, 25);
        QTest::newRow("last shown pixel") << QPoint(129, 99) << QPoint(99, 49);
        QTest::newRow("left of the photo takes its shown edge") << QPoint(-50, 10) << QPoint(40, 5);
        QTest::newRow("far outside") << QPoint(5000, -5000) << QPoint(99, 0);
    }
    void sampleColorStaysInShownRegion()
    {
        QFETCH(QPoint, at);
        QFETCH(QPoint, pixel);
        // Each pixel encodes its own position; the left 40 columns are cropped away.
        QImage image(100, 50, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixelColor(x, y, QColor(x, y, 0));
        const QRectF layout(10.7, 0, 120, 100); // shown twice as large
        const QColor c = MosaicStroke::sampleColor(image, layout, QRectF(40, 0, 60, 50), at);
        QCOMPARE(QPoint(c.red(), c.green()), pixel);
    }

    void sampleColorOfDegenerateInput()
    {
        QVERIFY(
            !MosaicStroke::sampleColor(QImage(), QRectF(0, 0, 10, 10), QRectF(0, 0, 1, 1), {0, 0}).isValid());
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::yellow);
        // A crop pushed to the far edge and a layout not yet made still name a pixel of the image.
        QCOMPARE(MosaicStroke::sampleColor(image, QRectF(), QRectF(4, 4, 0, 0), {3, 3}), QColor(Qt::yellow));
    }

    void bandPaintsPatternAndLoadsByName()
    {
        QStringList requested;
        const PixmapLoader loader = [&](const QString& path) {
            requested.append(path);
            return solidPattern(path);
        };
        const MosaicStroke s = stroke("mosaic-red", 5, {{20, 50}, {60, 50}, {100, 50}, {100, 90}});
        const QImage image = render({s}, loader, QRect(0, 0, 200, 100));
        QCOMPARE(requested, QStringList({":images/mosaic-red.png"}));
        QCOMPARE(image.pixelColor(40, 47), QColor(Qt::blue));
        QCOMPARE(image.pixelColor(40, 52), QColor(Qt::blue));
        QCOMPARE(image.pixelColor(40, 57), QColor(Qt::white)); // the band is 10 wide whatever the size
        QCOMPARE(image.pixelColor(98, 70), QColor(Qt::blue));
        // The outer corner of the turn is closed in the pattern's colour.
        QCOMPARE(image.pixelColor(101, 48), QColor(219, 100, 124));

        // Without a pattern image nor a colour nothing shows.
        const QImage none = render(
            {stroke("mosaic:none", 5, {{20, 50}, {60, 50}, {100, 50}})},
            [](const QString&) { return QPixmap(); }, QRect(0, 0, 200, 100));
        QCOMPARE(none.pixelColor(40, 50), QColor(Qt::white));
    }

    void partialRepaintMatchesFullPicture()
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
        const QImage full = render(strokes, solidPattern, QRect(0, 0, 200, 100));
        for (const QRect& part : {QRect(0, 0, 20, 20), QRect(90, 20, 5, 60), QRect(150, 60, 50, 40),
                                  QRect(110, 26, 6, 3), QRect(138, 55, 3, 3)}) {
            const QImage partial = render(strokes, solidPattern, part);
            // The rasteriser may round a clipped, rotated pattern one step differently; a lost stroke
            // differs by far more.
            QVERIFY2(largestDifference(partial.copy(part), full.copy(part)) <= 2,
                     qPrintable(QString("part at %1, %2").arg(part.x()).arg(part.y())));
        }
    }
};

QTEST_MAIN(TestMosaicStroke)
#include "tst_mosaicstroke.moc"
