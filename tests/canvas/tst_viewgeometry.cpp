#include "canvas/viewgeometry.h"

#include <QtTest>

using namespace Geometry;

// The view's geometry and the trimming drag, without a window.
class TestViewGeometry : public QObject
{
    Q_OBJECT
private slots:
    void placesAndScrolls()
    {
        const ViewGeometry longStrip(false, QSize(3000, 900), QSize(1000, 600));
        const ViewGeometry shortStrip(false, QSize(400, 200), QSize(1000, 600));
        const struct
        {
            const char* name;
            QPoint got;
            QPoint expected;
        } cases[] = {
            {"shorter than the view: centred along and across", shortStrip.clamped({-50, 7}), {300, 200}},
            {"never past the start", longStrip.clamped({30, -100}), {0, -100}},
            {"never past the end", longStrip.clamped({-2500, -400}), {-2000, -300}},
            {"notch along the strip", longStrip.wheeled({-500, -100}, {0, -120}, {}, false), {-560, -100}},
            {"Shift turns it across", longStrip.wheeled({-500, -100}, {0, 120}, {}, true), {-500, -40}},
            {"sideways wheel goes across",
             longStrip.wheeled({-500, -100}, {-240, 0}, {}, false),
             {-500, -220}},
            {"touchpad pixels as they come",
             longStrip.wheeled({-500, -100}, {0, -120}, {0, -7}, false),
             {-507, -100}},
            {"vertical strip: the wheel goes down it",
             ViewGeometry(true, QSize(900, 3000), QSize(600, 1000))
                 .wheeled({-100, -500}, {0, -120}, {}, false),
             {-100, -560}},
            {"Page Down: a view less a step",
             *longStrip.keyed({-500, -100}, Qt::Key_PageDown),
             {-1460, -100}},
            {"End", *longStrip.keyed({-500, -100}, Qt::Key_End), {-2000, -100}},
            {"Home", *longStrip.keyed({-500, -100}, Qt::Key_Home), {0, -100}},
            {"Up arrow", *longStrip.keyed({-500, -100}, Qt::Key_Up), {-500, -60}},
            {"Right arrow", *longStrip.keyed({-500, -100}, Qt::Key_Right), {-540, -100}},
            {"a photo past the end comes in at the end", longStrip.revealing({0, 0}, 2500, 2800), {-1800, 0}},
            {"a photo in view stays put", longStrip.revealing({-500, 0}, 600, 900), {-500, 0}},
            {"a photo longer than the view shows its start",
             longStrip.revealing({0, 0}, 1200, 2500),
             {-1200, 0}},
            {"scroll bar value to place", longStrip.withValue(Qt::Vertical, 250, {-500, 0}), {-500, -250}},
        };
        for (const auto& c : cases)
            QVERIFY2(c.got == c.expected,
                     qPrintable(QString("%1: %2,%3").arg(c.name).arg(c.got.x()).arg(c.got.y())));
        QVERIFY(!longStrip.keyed({0, 0}, Qt::Key_A));
        QCOMPARE(longStrip.maximum(Qt::Horizontal), 2000);
        QCOMPARE(shortStrip.maximum(Qt::Vertical), 0);
        QCOMPARE(longStrip.value(Qt::Horizontal, {-700, 0}), 700);
    }

    void edgeFollowsThePointer_data()
    {
        QTest::addColumn<double>("scale");
        QTest::addColumn<int>("edge");
        QTest::addColumn<double>("travel");
        QTest::addColumn<double>("value");
        // A 2000 x 1000 photo in a strip 200 high: one unit is 5 image pixels, at zoom 2 a view pixel 2.5.
        QTest::newRow("left edge, inward") << 2.0 << int(EdgeLeft) << 40.0 << 100.0;
        QTest::newRow("left edge, back past the image's start") << 2.0 << int(EdgeLeft) << -40.0 << 0.0;
        QTest::newRow("right edge at half zoom") << 0.5 << int(EdgeRight) << -10.0 << 1900.0;
        QTest::newRow("bottom keeps one pixel") << 0.5 << int(EdgeBottom) << -1e6 << 1.0;
        QTest::newRow("top edge") << 1.0 << int(EdgeTop) << 8.0 << 40.0;
    }
    void edgeFollowsThePointer()
    {
        QFETCH(double, scale);
        QFETCH(int, edge);
        QFETCH(double, travel);
        QFETCH(double, value);
        StripLayout layout;
        layout.paintHeight = 200;
        const EdgeDrag drag = EdgeDrag::photoEdge({0, 0, 2000, 1000}, edge, QSize(2000, 1000), layout, scale);
        QCOMPARE(drag.at(travel), value);
        QCOMPARE(drag.at(0), drag.start);
    }

    void stripCutFollowsThePointer()
    {
        // Units of the strip: 100 view pixels are 50 at zoom 2, whatever was cut before.
        EdgeDrag top = EdgeDrag::stripCut(10, 0, EdgeTop, 200, 2.0);
        QCOMPARE(top.at(100), 60.0);
        QCOMPARE(top.at(-100), 0.0);
        const EdgeDrag bottom = EdgeDrag::stripCut(0, 60, EdgeBottom, 200, 0.5);
        QCOMPARE(bottom.at(-20), 40.0);
        QCOMPARE(bottom.at(-1e6), 139.0); // the strip keeps one row
        QCOMPARE(bottom.at(30), 0.0);
    }
};

QTEST_APPLESS_MAIN(TestViewGeometry)
#include "tst_viewgeometry.moc"
