#include "canvas/painterarea.h"
#include "canvas/paintimage.h"
#include "canvas/stitcherconfig.h"
#include "canvas/xformwidget.h"

#include <QtTest>

#include <memory>

namespace {

QImage filled(int w, int h, QColor color)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// Every pixel of the rectangle has the colour.
bool allOf(const QImage& image, const QRect& area, const QColor& color)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) != color)
                return false;
    return true;
}

bool anyOf(const QImage& image, const QRect& area, const QColor& color)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) == color)
                return true;
    return false;
}

// Some pixel is dark: black text drawn there, even antialiased.
bool anyInk(const QImage& image, const QRect& area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 60)
                return true;
    return false;
}

} // namespace

class TestCanvasTools : public QObject
{
    Q_OBJECT

    std::unique_ptr<XFormWidget> host;
    PainterArea* canvas = nullptr;
    StitcherConfig* config = StitcherConfig::instance();

    // Three 100 x 100 grey photos; the canvas is at zoom 1, so widget pixels are canvas units.
    void addThree()
    {
        for (int i = 0; i < 3; ++i)
            canvas->addImage(filled(100, 100, Qt::gray), QString("%1.png").arg(i));
        canvas->adjustSize();
    }

    void drag(int tool, const QVector<QPoint>& points)
    {
        config->tool = tool;
        canvas->toolPress(points.first());
        for (int i = 1; i < points.size(); ++i)
            canvas->toolMove(points[i], QPoint());
        canvas->toolRelease(points.last());
    }

private slots:
    void init()
    {
        config->tool = 0;
        config->shape = 3;
        config->penColor = Qt::red;
        config->watermarkMode = 0;
        config->watermarkText.clear();
        config->watermarkSize = 50;
        config->penWidth = 3;
        config->mosaicSize = 5;
        config->mosaicName = MosaicStroke::ribbonName;
        config->spacingColor = Qt::yellow;
        host = std::make_unique<XFormWidget>();
        host->resize(800, 600);
        canvas = host->canvas();
    }
    void cleanup() { host.reset(); }

    void rectangleDrawnInPenColour()
    {
        addThree();
        drag(1, {{20, 20}, {40, 30}, {80, 70}});
        QCOMPARE(canvas->annotations.size(), 1);
        const QImage strip = canvas->renderImage();
        QVERIFY(allOf(strip, QRect(30, 20, 40, 1), Qt::red));
        QVERIFY(allOf(strip, QRect(20, 30, 1, 30), Qt::red));
        QVERIFY(allOf(strip, QRect(30, 71, 40, 1), Qt::red));
        QVERIFY(allOf(strip, QRect(30, 30, 40, 30), Qt::gray));
        // Colour and shape were fixed at the press.
        config->penColor = Qt::blue;
        config->shape = 1;
        QCOMPARE(canvas->renderImage(), strip);
    }

    void pressOutsidePhotosStartsNothing()
    {
        addThree();
        canvas->spacingMode = 0x01;
        canvas->adjustSize();
        drag(1, {{102, 50}, {40, 50}});
        drag(2, {{102, 50}, {40, 50}, {20, 50}});
        QVERIFY(canvas->annotations.isEmpty());
        QVERIFY(canvas->mosaicStrokes.isEmpty());
        QVERIFY(!canvas->pressed);
        // A move over the gap does not end a line there.
        drag(1, {{20, 20}, {80, 70}, {102, 50}});
        QCOMPARE(canvas->annotations.last().endPoint, QPoint(80, 70));
    }

    void annotationsFollowTheirPhotoWhenSpacingGrows()
    {
        addThree();
        drag(1, {{220, 20}, {280, 70}}); // on photo 2
        canvas->spacingMode = 0x01;
        canvas->setSpacingInner(100); // 160 units between photos
        const QImage strip = canvas->renderImage();
        QCOMPARE(strip.size(), QSize(620, 100));
        QVERIFY(allOf(strip, QRect(220 + 320, 20, 60, 1), Qt::red));
        QVERIFY(!anyOf(strip, QRect(200, 0, 100, 100), Qt::red));
    }

    void ribbonSamplesTheShownRegionOfACroppedPhoto()
    {
        // Red left half, green right half; the red half is cropped away.
        QImage photo = filled(200, 100, Qt::green);
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x)
                photo.setPixelColor(x, y, Qt::red);
        canvas->addImage(photo, "p.png");
        PaintImage* shown = canvas->paintImages.first();
        shown->setCrop({100, 0, 200, 100});
        canvas->adjustSize();
        config->mosaicSize = 8;
        drag(2, {{5, 50}, {20, 50}, {40, 50}, {60, 50}, {80, 50}, {95, 50}});
        const QImage strip = canvas->renderImage();
        QCOMPARE(strip.size(), QSize(100, 100));
        QVERIFY(!anyOf(strip, strip.rect(), Qt::red));
        QVERIFY(allOf(strip, QRect(30, 44, 20, 12), Qt::green));
    }

    void patternBandsComeFromTheCompiledInPictures()
    {
        addThree();
        for (const char* name : {"mosaic-red", "mosaic-blue", "mosaics-flower"}) {
            config->mosaicName = name;
            drag(2, {{20, 50}, {60, 50}, {100, 50}, {140, 50}});
        }
        const QImage strip = canvas->renderImage();
        int changed = 0;
        for (int x = 20; x < 140; ++x)
            changed += strip.pixelColor(x, 50) != QColor(Qt::gray);
        QVERIFY2(changed > 100, "the pattern pictures did not load");
    }

    void ribbonOverAPhotoThatIsGoneShowsNothing()
    {
        addThree();
        MosaicStroke stroke = MosaicStroke::begin({{10, 50}, 7}, MosaicStroke::ribbonName, 10);
        for (int x = 20; x <= 90; x += 10)
            stroke.extend({{x, 50}, 7});
        canvas->mosaicStrokes.append(stroke);
        QVERIFY(allOf(canvas->renderImage(), QRect(0, 0, 300, 100), Qt::gray));
    }

    void tiledWatermarkUnderSpacingBottomOneOver()
    {
        canvas->addImage(filled(200, 100, Qt::gray), "a.png");
        canvas->addImage(filled(200, 100, Qt::gray), "b.png");
        canvas->spacingMode = 0x11;
        canvas->setSpacingInner(30); // about 51 units
        canvas->adjustSize();
        config->watermarkText = "WWWWWWWWWW";
        config->watermarkColor = Qt::black;

        config->watermarkMode = 2;
        QImage strip = canvas->renderImage();
        const QRect content(5, 5, strip.width() - 10, strip.height() - 10);
        const QRect gap(205, 5, strip.width() - 415, 100);
        QVERIFY(anyInk(strip, content));
        QVERIFY(allOf(strip, gap, Qt::yellow));
        QVERIFY(allOf(strip, QRect(0, 0, strip.width(), 5), Qt::yellow));

        config->watermarkMode = 1;
        strip = canvas->renderImage();
        QVERIFY(anyInk(strip, gap));
    }

    void undoAndClear()
    {
        addThree();
        canvas->undoAnnotation();
        canvas->undoMosaic();
        drag(1, {{20, 20}, {80, 70}});
        config->penColor = Qt::blue;
        drag(1, {{120, 20}, {180, 70}});
        drag(2, {{20, 20}, {80, 70}});
        drag(2, {{20, 20}, {80, 70}});
        canvas->undoAnnotation();
        QCOMPARE(canvas->annotations.size(), 1);
        QCOMPARE(canvas->annotations.first().color, QColor(Qt::red));
        canvas->undoMosaic();
        QCOMPARE(canvas->mosaicStrokes.size(), 1);
        canvas->clearAnnotations();
        QVERIFY(canvas->annotations.isEmpty());
        QCOMPARE(canvas->mosaicStrokes.size(), 1);
        drag(1, {{20, 20}, {80, 70}});
        canvas->spacingMode = 0x11;
        canvas->clearEdits();
        QCOMPARE(canvas->spacingMode, 0);
        QVERIFY(canvas->annotations.isEmpty());
        QVERIFY(canvas->mosaicStrokes.isEmpty());
        QVERIFY(allOf(canvas->renderImage(), QRect(0, 0, 300, 100), Qt::gray));
    }
};

QTEST_MAIN(TestCanvasTools)
#include "tst_canvastools.moc"
