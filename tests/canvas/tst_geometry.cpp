#include "canvas/geometry.h"

#include <QtTest>

#include <cmath>
#include <limits>

using namespace Geometry;

Q_DECLARE_METATYPE(Geometry::StripLayout)

namespace {

PhotoShape photo(int w, int h)
{
    return {QSize(w, h), Crop::whole(QSize(w, h))};
}

// The first photo sets the common size, as when it is added.
StripLayout layoutFor(const PhotoShape& first, int direction, int spacingMode = 0)
{
    StripLayout layout;
    layout.direction = direction;
    layout.spacingMode = spacingMode;
    layout.paintWidth = layout.areaWidth = first.image.width();
    layout.paintHeight = layout.areaHeight = first.image.height();
    return layout;
}

const QVector<PhotoShape> threePhotos{photo(400, 200), photo(300, 300), photo(200, 100)};

bool finite(const QRectF& r)
{
    return std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width()) &&
           std::isfinite(r.height());
}

} // namespace

class TestGeometry : public QObject
{
    Q_OBJECT
private slots:
    void zoomCurve_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<double>("factor");
        QTest::newRow("smallest") << 0 << 0.3;
        QTest::newRow("one to one") << 50 << 1.0;
        QTest::newRow("largest") << 100 << 2.0;
    }
    void zoomCurve()
    {
        QFETCH(int, value);
        QFETCH(double, factor);
        QVERIFY(qFuzzyCompare(zoomFactor(value), factor));
    }

    void contentSizeOfThreePhotos_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<int>("spacingMode");
        QTest::addColumn<QSize>("content");
        QTest::addColumn<QSize>("entries");
        QTest::newRow("horizontal, no spacing") << 0 << 0 << QSize(1000, 200) << QSize(1000, 200);
        QTest::newRow("horizontal, both spacings") << 0 << 0x11 << QSize(1020, 210) << QSize(1010, 200);
        QTest::newRow("horizontal, inner only") << 0 << 0x01 << QSize(1010, 200) << QSize(1010, 200);
        QTest::newRow("horizontal, outer only") << 0 << 0x10 << QSize(1010, 210) << QSize(1000, 200);
        // Common width 400: heights 200, 400, 200.
        QTest::newRow("vertical, no spacing") << 1 << 0 << QSize(400, 800) << QSize(400, 800);
        QTest::newRow("vertical, both spacings") << 1 << 0x11 << QSize(410, 820) << QSize(400, 810);
    }
    void contentSizeOfThreePhotos()
    {
        QFETCH(int, direction);
        QFETCH(int, spacingMode);
        QFETCH(QSize, content);
        QFETCH(QSize, entries);
        const StripLayout layout = layoutFor(threePhotos.first(), direction, spacingMode);
        QCOMPARE(contentSize(layout, threePhotos), content);
        QCOMPARE(sizeReport(layout, content, 1.0).entries, entries);
    }

    void layoutPlacesPhotosEdgeToEdge()
    {
        QVector<QRectF> rects;
        layoutRects(layoutFor(threePhotos.first(), 0, 0x11), threePhotos, rects);
        QCOMPARE(rects, (QVector<QRectF>{QRectF(5, 5, 400, 200), QRectF(410, 5, 200, 200),
                                         QRectF(615, 5, 400, 200)}));
        layoutRects(layoutFor(threePhotos.first(), 1), threePhotos, rects);
        QCOMPARE(rects, (QVector<QRectF>{QRectF(0, 0, 400, 200), QRectF(0, 200, 400, 400),
                                         QRectF(0, 600, 400, 200)}));
    }

    void sourceRegionLosesTheStripCuts()
    {
        // A 1000 x 400 photo shown 200 high: a cut of 10 units is 20 image pixels.
        StripLayout layout = layoutFor(photo(500, 200), 0);
        layout.cutTop = 10;
        layout.cutBottom = 5;
        const PhotoShape big{QSize(1000, 400), {100, 0, 1000, 400}};
        QCOMPARE(sourceRect(big, layout), QRectF(100, 20, 900, 370));
        // Cuts larger than what a crop still shows leave an empty region, never a negative one.
        const PhotoShape cropped{QSize(1000, 400), {0, 0, 1000, 20}};
        QCOMPARE(sourceRect(cropped, layout).height(), 0.0);
    }

    void photoAtHonoursEdgesAndGaps()
    {
        QVector<QRectF> rects;
        layoutRects(layoutFor(threePhotos.first(), 0, 0x01), threePhotos, rects);
        QCOMPARE(photoAt(rects, 0, 0), 0);
        QCOMPARE(photoAt(rects, 399, 199), 0);
        QCOMPARE(photoAt(rects, 402, 100), -1); // inner gap
        QCOMPARE(photoAt(rects, 405, 100), 1);
        QCOMPARE(photoAt(rects, 100, 200), -1);
        QCOMPARE(photoAt(rects, 2000, 10), -1);
    }

    void stripPointsSurviveSpacingChanges()
    {
        StripLayout layout = layoutFor(threePhotos.first(), 0, 0x11);
        QVector<QRectF> before;
        layoutRects(layout, threePhotos, before);
        const QPoint onPhoto2(int(before[2].x()) + 30, int(before[2].y()) + 40);
        const QPoint stored = toStripPoint(layout, onPhoto2.x(), onPhoto2.y(), 2);

        layout.spacingInner = 160;
        layout.spacingOuter = 20;
        QVector<QRectF> after;
        layoutRects(layout, threePhotos, after);
        const QPoint back = fromStripPoint(layout, stored.x(), stored.y(), 2);
        QCOMPARE(back - after[2].topLeft().toPoint(), QPoint(30, 40));

        layout.direction = 1;
        QCOMPARE(toStripPoint(layout, 100, 400, 2), QPoint(80, 400 - 20 - 320));
        QCOMPARE(fromStripPoint(layout, 80, 60, 2), QPoint(100, 400));
    }

    void fitAndPlace()
    {
        QCOMPARE(fitScale(true, QSize(200, 1000), QSize(500, 250), 1.0), 0.25);
        // Nothing to fit keeps the zoom rather than dividing by zero.
        QCOMPARE(fitScale(false, QSize(0, 200), QSize(500, 700), 0.7), 0.7);

        QCOMPARE(placeCanvas(false, false, QPoint(), QSize(), QSize(553, 300)), QPoint(0, 0));
        QCOMPARE(placeCanvas(true, false, QPoint(-40, 7), QSize(1000, 201), QSize(800, 601)),
                 QPoint(-40, 200));
        QCOMPARE(placeCanvas(true, true, QPoint(7, -40), QSize(201, 1000), QSize(801, 600)),
                 QPoint(300, -40));
        QCOMPARE(panAlongStrip(true, 5, 9), QPoint(0, 9));

        StripLayout layout = layoutFor(photo(400, 201), 0, 0x10);
        QCOMPARE(centreCanvas(layout, QSize(800, 601)), QPoint(0, 199));
        QCOMPARE(centreCrossAxis(layout, 0.5, QPoint(-3, 0), QSize(800, 601)), QPoint(-3, 247));
    }

    void degenerateCropsHaveNoLength()
    {
        StripLayout layout = layoutFor(photo(400, 200), 0, 0x11);
        QVector<PhotoShape> photos{
            photo(400, 200), {QSize(300, 300), {10, 50, 200, 50}}, {QSize(300, 300), {100, 0, 100, 300}}};
        QVector<QRectF> rects;
        for (int direction : {0, 1}) {
            layout.direction = direction;
            layoutRects(layout, photos, rects);
            for (const QRectF& r : rects)
                QVERIFY(finite(r));
            const QSize size = contentSize(layout, photos);
            QVERIFY(size.width() > 0 && size.height() > 0);
        }
        layout.paintHeight = 0;
        QCOMPARE(toImagePixels(QSize(100, 100), false, 10, 320, 0), 0.0);
    }

    void stripOfSliversKeepsAPixel()
    {
        // A 1 x 50 photo at a common height of 10 is a fifth of a unit wide: still one pixel to export.
        StripLayout layout = layoutFor(photo(1, 50), 0);
        layout.paintHeight = layout.areaHeight = 10;
        QCOMPARE(contentSize(layout, {photo(1, 50)}), QSize(1, 10));
        layout.direction = 1;
        layout.paintWidth = layout.areaWidth = 10;
        QCOMPARE(contentSize(layout, {photo(50, 1)}), QSize(10, 1));
        QCOMPARE(contentSize(layout, {}), QSize(10, 0));
    }

    void sizesStayWithinInt()
    {
        QCOMPARE(truncToInt(1e12), std::numeric_limits<int>::max());
        QCOMPARE(truncToInt(-1e12), std::numeric_limits<int>::min());
        QCOMPARE(truncToInt(std::nan("")), 0);
        QCOMPARE(truncToInt(-2.7), -2);
        // A sliver of a crop stretched to a tall common height gives an enormous strip.
        StripLayout layout = layoutFor(photo(100, 100), 0);
        layout.paintHeight = 2e9;
        const QVector<PhotoShape> photos{{QSize(100, 100), {0, 0, 100, 1e-3}}};
        QCOMPARE(contentSize(layout, photos).width(), std::numeric_limits<int>::max());
        QCOMPARE(sizeReport(layout, QSize(2000000000, 10), 2.0).hint.width(),
                 std::numeric_limits<int>::max());
    }

    void cropDrag()
    {
        // A 1000-pixel-high photo shown 200 high: a 10-pixel drag to the left is 50 image pixels,
        // and the left edge moves inward by half of that.
        const QSize image(2000, 1000);
        const double pixels = toImagePixels(image, false, -10, 400, 200);
        QCOMPARE(pixels, -50.0);
        QCOMPARE(dragCrop(Crop::whole(image), EdgeLeft, pixels, image).left, 25.0);
        QCOMPARE(dragCrop(Crop::whole(image), EdgeRight, 50, image).right, 1975.0);
        QCOMPARE(dragCrop(Crop::whole(image), EdgeTop, -8, image).top, 4.0);
        QCOMPARE(dragCrop(Crop::whole(image), EdgeBottom, 8, image).bottom, 996.0);
        // Outward drags stop at the image's own edges.
        QCOMPARE(dragCrop(Crop::whole(image), EdgeLeft, 50, image).left, 0.0);
        QCOMPARE(dragCrop(Crop::whole(image), EdgeBottom, -50, image).bottom, 1000.0);
        // Dragging all the way leaves one pixel, never an empty crop.
        QCOMPARE(dragCrop(Crop::whole(image), EdgeLeft, -1e9, image).left, 1999.0);
        QCOMPARE(dragCrop(Crop::whole(image), EdgeRight, 1e9, image).right, 1.0);
        QCOMPARE(dragCrop({0, 300, 2000, 1000}, EdgeBottom, 1e9, image).bottom, 301.0);
        QCOMPARE(dragCrop({0, 300, 2000, 1000}, EdgeTop, -1e9, image).top, 999.0);
    }

    void buttonPlaces()
    {
        const QSize upright(14, 75);
        const QSize flat(75, 14);
        QCOMPARE(stripButtonPos(EdgeLeft, QSize(1000, 200), upright), QPoint(0, 62));
        QCOMPARE(stripButtonPos(EdgeRight, QSize(1000, 200), upright), QPoint(985, 62));
        QCOMPARE(stripButtonPos(EdgeTop, QSize(1000, 200), flat), QPoint(462, 0));
        QCOMPARE(stripButtonPos(EdgeBottom, QSize(1000, 200), flat), QPoint(462, 185));
        const QRectF shown(410.5, 5, 200, 100.5);
        QCOMPARE(photoButtonPos(EdgeLeft, shown, upright), QPoint(410, 18));
        QCOMPARE(photoButtonPos(EdgeRight, shown, upright), QPoint(596, 18));
        QCOMPARE(photoButtonPos(EdgeTop, shown, flat), QPoint(473, 5));
        QCOMPARE(photoButtonPos(EdgeBottom, shown, flat), QPoint(473, 91));
    }

    void spacingLayer()
    {
        const auto outer = outerSpacingRects(QSize(510, 105), 0.5, 5);
        QCOMPARE(outer[0], QRectF(0, 0, 1020, 5));
        QCOMPARE(outer[1], QRectF(0, 5, 5, 200));
        QCOMPARE(outer[2], QRectF(0, 205, 1020, 5));
        QCOMPARE(outer[3], QRectF(1015, 5, 5, 200));
        QCOMPARE(innerGapRect(QRectF(5, 5, 400, 200), QRectF(410, 5, 200, 200), false),
                 QRectF(405, 5, 5, 200));
        QCOMPARE(innerGapRect(QRectF(5, 5, 400, 200), QRectF(5, 210, 400, 400), true),
                 QRectF(5, 205, 400, 5));
    }

    void previewLevels()
    {
        QCOMPARE(previewLevel(0.6), 0);
        QCOMPARE(previewLevel(0.5), 1);
        QCOMPARE(previewLevel(0.1), 3);
        QCOMPARE(previewLevel(0.0), 0);
    }
};

QTEST_GUILESS_MAIN(TestGeometry)
#include "tst_geometry.moc"
