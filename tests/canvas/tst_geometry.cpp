#include "canvas/geometry.h"
#include "canvas/viewgeometry.h"

#include <QtTest>

#include <cmath>
#include <limits>

using namespace Geometry;

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
constexpr int intMax = std::numeric_limits<int>::max();

} // namespace

class TestGeometry : public QObject
{
    Q_OBJECT
private slots:
    void zoomCurve()
    {
        // Below 0 the curve keeps shrinking, so a fitted long strip has a value.
        QVERIFY(zoomFactor(-200) > 0 && zoomFactor(-200) < zoomFactor(-100));
        // The value of a scale is the one whose factor is nearest, whatever the scale.
        for (double scale : {0.004, 0.017, 0.17, 0.3, 0.5, 1.0, 1.37, 2.0, 2.6}) {
            const int v = zoomValueFor(scale);
            for (int other : {v - 1, v + 1})
                QVERIFY2(std::abs(zoomFactor(v) - scale) <= std::abs(zoomFactor(other) - scale),
                         qPrintable(QString("%1 -> %2").arg(scale).arg(v)));
        }
        QCOMPARE(zoomValueFor(0.0), zoomValueFor(-1.0)); // nonsense gives the smallest, not a crash
    }

    void threePhotoStrip()
    {
        const struct
        {
            int direction;
            int spacingMode;
            QSize content;
            QSize entries;
            QRectF last;
        } cases[] = {
            {Horizontal, 0, {1000, 200}, {1000, 200}, {600, 0, 400, 200}},
            {Horizontal, SpacingInnerBit | SpacingOuterBit, {1020, 210}, {1010, 200}, {615, 5, 400, 200}},
            {Horizontal, SpacingOuterBit, {1010, 210}, {1000, 200}, {605, 5, 400, 200}},
            // Common width 400: heights 200, 400, 200.
            {Vertical, SpacingInnerBit | SpacingOuterBit, {410, 820}, {400, 810}, {5, 615, 400, 200}},
        };
        for (const auto& c : cases) {
            const StripLayout layout = layoutFor(threePhotos.first(), c.direction, c.spacingMode);
            QCOMPARE(contentSize(layout, threePhotos), c.content);
            QCOMPARE(sizeReport(layout, c.content, 1.0).entries, c.entries);
            QVector<QRectF> rects;
            layoutRects(layout, threePhotos, rects);
            QCOMPARE(rects[2], c.last);
        }
    }

    void photoAtAndStripPoints()
    {
        StripLayout layout = layoutFor(threePhotos.first(), Horizontal, SpacingInnerBit);
        QVector<QRectF> rects;
        layoutRects(layout, threePhotos, rects);
        QCOMPARE(photoAt(rects, 399, 199), 0);
        QCOMPARE(photoAt(rects, 402, 100), -1); // inner gap
        QCOMPARE(photoAt(rects, 405, 100), 1);
        QCOMPARE(photoAt(rects, 2000, 10), -1);

        // A point stored free of spacing lands on the same photo pixel after the spacing changes.
        layout.spacingMode = Geometry::SpacingInnerBit | Geometry::SpacingOuterBit;
        layoutRects(layout, threePhotos, rects);
        const QPoint stored = toStripPoint(layout, int(rects[2].x()) + 30, int(rects[2].y()) + 40, 2);
        layout.spacingInner = 160;
        layout.spacingOuter = 20;
        layoutRects(layout, threePhotos, rects);
        QCOMPARE(fromStripPoint(layout, stored.x(), stored.y(), 2) - rects[2].topLeft().toPoint(),
                 QPoint(30, 40));
        layout.direction = Vertical;
        QCOMPARE(toStripPoint(layout, 100, 400, 2), QPoint(80, 60));
        QCOMPARE(fromStripPoint(layout, 80, 60, 2), QPoint(100, 400));
    }

    void sourceRegionLosesTheStripCuts()
    {
        // A 1000 x 400 photo shown 200 high: a cut of 10 units is 20 image pixels.
        StripLayout layout = layoutFor(photo(500, 200), Horizontal);
        layout.cutTop = 10;
        layout.cutBottom = 5;
        QCOMPARE(sourceRect({QSize(1000, 400), {100, 0, 1000, 400}}, layout), QRectF(100, 20, 900, 370));
        // Cuts larger than what a crop still shows leave an empty region, never a negative one.
        QCOMPARE(sourceRect({QSize(1000, 400), {0, 0, 1000, 20}}, layout).height(), 0.0);
    }

    void fitAndPlace()
    {
        // A strip too thick for the container fits across as well: nothing is cut off there.
        QCOMPARE(fitScale(false, QSize(1000, 800), QSize(500, 200), 1.0), 0.25);
        QCOMPARE(fittedPlace(true, QSize(100, 900), QSize(500, 600)), QPoint(200, 0));
        // The strip point under the pointer stays under it: 100 units right of the canvas's start at
        // scale 1 are 200 pixels at scale 2.
        QCOMPARE(zoomAnchoredPos(300, 200, 1.0, 2.0), 100);
        // Nothing to fit keeps the zoom rather than dividing by zero.
        QCOMPARE(fitScale(false, QSize(0, 200), QSize(500, 700), 0.7), 0.7);
        QCOMPARE(placeCanvas(true, false, QPoint(-40, 7), QSize(1000, 201), QSize(800, 601)),
                 QPoint(-40, 200));
        QCOMPARE(placeCanvas(true, true, QPoint(7, -40), QSize(201, 1000), QSize(801, 600)),
                 QPoint(300, -40));
    }

    void degenerateSizesStayFiniteAndInRange()
    {
        // Crops of no width or height must not make infinite or empty strips.
        StripLayout layout = layoutFor(photo(400, 200), Horizontal, SpacingInnerBit | SpacingOuterBit);
        const QVector<PhotoShape> photos{
            photo(400, 200), {QSize(300, 300), {10, 50, 200, 50}}, {QSize(300, 300), {100, 0, 100, 300}}};
        QVector<QRectF> rects;
        for (int direction : {Horizontal, Vertical}) {
            layout.direction = direction;
            layoutRects(layout, photos, rects);
            for (const QRectF& r : rects)
                QVERIFY(std::isfinite(r.x() + r.y() + r.width() + r.height()));
            const QSize size = contentSize(layout, photos);
            QVERIFY(size.width() > 0 && size.height() > 0);
        }
        QCOMPARE(toImagePixels(QSize(100, 100), false, 10, 320, 0), 0.0);

        QCOMPARE(truncToInt(1e12), intMax);
        QCOMPARE(truncToInt(-1e12), std::numeric_limits<int>::min());
        QCOMPARE(truncToInt(std::nan("")), 0);
        // A sliver of a crop stretched to a tall common height gives an enormous strip.
        layout = layoutFor(photo(100, 100), Horizontal);
        layout.paintHeight = 2e9;
        QCOMPARE(contentSize(layout, {{QSize(100, 100), {0, 0, 100, 1e-3}}}).width(), intMax);
        QCOMPARE(sizeReport(layout, QSize(2000000000, 10), 2.0).hint.width(), intMax);
    }

    void stripOfSliversKeepsAPixel()
    {
        // A 1 x 50 photo at a common height of 10 is a fifth of a unit wide: still one pixel to export.
        StripLayout layout = layoutFor(photo(1, 50), Horizontal);
        layout.paintHeight = layout.areaHeight = 10;
        QCOMPARE(contentSize(layout, {photo(1, 50)}), QSize(1, 10));
        layout.direction = Vertical;
        layout.paintWidth = layout.areaWidth = 10;
        QCOMPARE(contentSize(layout, {photo(50, 1)}), QSize(10, 1));
        QCOMPARE(contentSize(layout, {}), QSize(10, 0));
    }

    // Where the canvas sits in its view and how wheel and keys move it.
    void placesAndScrolls()
    {
        const ViewGeometry strip(false, QSize(3000, 900), QSize(1000, 600));
        const QPoint at(-500, -100);
        const struct
        {
            const char* name;
            QPoint got;
            QPoint expected;
        } cases[] = {
            {"shorter: centred both ways",
             ViewGeometry(false, {400, 200}, {1000, 600}).clamped({-50, 7}),
             {300, 200}},
            {"never past the start", strip.clamped({30, -100}), {0, -100}},
            {"never past the end, nor under a bar", strip.clamped({-2500, -400}), {-2006, -306}},
            {"Shift turns the wheel across", strip.wheeled(at, {0, 120}, {}, true), {-500, -40}},
            {"sideways wheel goes across", strip.wheeled(at, {-240, 0}, {}, false), {-500, -220}},
            {"touchpad pixels as they come", strip.wheeled(at, {0, -120}, {0, -7}, false), {-507, -100}},
            {"vertical strip: down it",
             ViewGeometry(true, {900, 3000}, {600, 1000}).wheeled(at.transposed(), {0, -120}, {}, false),
             {-100, -560}},
            {"End", *strip.keyed(at, Qt::Key_End), {-2006, -100}},
            {"Home", *strip.keyed(at, Qt::Key_Home), {0, -100}},
            {"a photo past the end comes in", strip.revealing({0, 0}, 2500, 2800), {-1806, 0}},
            {"a photo in view stays put", strip.revealing(at, 600, 900), at},
            {"a photo longer than the view shows its start", strip.revealing({0, 0}, 1200, 2500), {-1200, 0}},
        };
        for (const auto& c : cases)
            QVERIFY2(c.got == c.expected,
                     qPrintable(QString("%1: %2,%3").arg(c.name).arg(c.got.x()).arg(c.got.y())));
        QVERIFY(!strip.keyed(at, Qt::Key_A));
    }
};

QTEST_GUILESS_MAIN(TestGeometry)
#include "tst_geometry.moc"
