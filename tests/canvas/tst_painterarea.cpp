#include "canvas/painterarea.h"
#include "canvas/paintimage.h"
#include "canvas/stitcherbutton.h"
#include "canvas/stitcherconfig.h"
#include "canvas/tools/watermark.h"
#include "canvas/xformwidget.h"
#include "support/configreset.h"
#include "support/filledimage.h"

#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

QColor colorOf(int index)
{
    return QColor(QColor::fromHsv((index * 37) % 360, 255, 200 + index % 50).rgb());
}

// Counts the pixels of the rectangle that have the colour, or (for an invalid colour) are dark ink.
int count(const QImage& image, const QRect& area, const QColor& color)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += color.isValid() ? image.pixelColor(x, y) == color : qGray(image.pixel(x, y)) < 60;
    return n;
}

bool allOf(const QImage& image, const QRect& area, const QColor& color)
{
    return count(image, area, color) == area.width() * area.height();
}

} // namespace

// The canvas on its host, driven as a user does: slots, arrows, presses and drags.
class TestPainterArea : public QObject
{
    Q_OBJECT

    std::unique_ptr<XFormWidget> host;
    PainterArea* canvas = nullptr;
    StitcherConfig* config = StitcherConfig::instance();
    QPoint last;

    void add(const QVector<QImage>& photos)
    {
        for (const QImage& photo : photos)
            canvas->addImage(photo, "p.png");
        canvas->adjustSize();
    }
    void addThree()
    {
        add({filledImage(400, 200, Qt::red), filledImage(300, 300, Qt::green),
             filledImage(200, 100, Qt::blue)});
    }
    // Common height 200; the second photo is 1000 pixels high and so shown at a fifth.
    void addTrimPair() { add({filledImage(400, 200), filledImage(2000, 1000)}); }
    // Twenty photos of 2000 along the strip: 40 000 units in all.
    void addLongStrip(bool vertical)
    {
        canvas->setDirection(vertical ? Geometry::Vertical : Geometry::Horizontal);
        for (int i = 0; i < 20; ++i)
            canvas->addImage(
                vertical ? filledImage(100, 2000, colorOf(i)) : filledImage(2000, 100, colorOf(i)), "p.png");
        canvas->adjustSize();
    }
    QList<StitcherButton*> shownButtons() const
    {
        QList<StitcherButton*> all = canvas->findChildren<StitcherButton*>();
        all.erase(std::remove_if(all.begin(), all.end(), [](StitcherButton* b) { return b->isHidden(); }),
                  all.end());
        return all;
    }

    // Mouse presses, drags and releases on the host, as a user makes them.
    void press(const QPoint& at, Qt::MouseButton button = Qt::LeftButton)
    {
        last = at;
        QTest::mousePress(host.get(), button, {}, at);
    }
    // QTest::mouseMove only moves the cursor for widgets; a drag needs the event itself.
    void dragBy(int dx, int dy, Qt::MouseButton button = Qt::LeftButton)
    {
        last += QPoint(dx, dy);
        QMouseEvent move(QEvent::MouseMove, last, host->mapToGlobal(last), Qt::NoButton, button,
                         Qt::NoModifier);
        QApplication::sendEvent(host.get(), &move);
    }
    void release(Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseRelease(host.get(), button, {}, last);
    }
    void drawWith(int tool, const QVector<QPoint>& points)
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
        resetConfig();
        config->shape = Annotation::Rectangle;
        config->penColor = Qt::red;
        config->mosaicSize = 5;
        config->mosaicName = MosaicStroke::ribbonName;
        host = std::make_unique<XFormWidget>();
        host->resize(800, 600);
        host->show();
        canvas = host->canvas();
    }
    void cleanup() { host.reset(); }

    void threePhotosThroughTheSlots()
    {
        QSignalSpy changed(canvas, &PainterArea::signalPhotosChanged);
        QSignalSpy hint(canvas, &PainterArea::signalSizeHint);
        canvas->addImage(QImage(), "broken.png"); // would make the common size zero
        addThree();
        QCOMPARE(changed.count(), 3);
        QCOMPARE(config->paintHeight, 200);
        QCOMPARE(hint.last(), (QList<QVariant>{1000, 200}));
        canvas->setSpacingInner(100);
        QCOMPARE(canvas->width(), 1000); // stored but not applied while the inner bit is off
    }

    void removingAndSwapping()
    {
        addThree();
        QSignalSpy changed(canvas, &PainterArea::signalPhotosChanged);
        PaintImage* last = canvas->paintImages[2];
        canvas->swapPhotos(0, 2);
        canvas->swapPhotos(0, 7);
        canvas->removePhoto(5);
        QCOMPARE(canvas->paintImages[0], last);
        QCOMPARE(changed.count(), 1);
        QPointer<StitcherButton> arrow = canvas->paintImages[1]->topButton;
        canvas->removePhoto(1);
        QVERIFY(arrow.isNull());
        canvas->removeAllPhotos();
        QCOMPARE(changed.count(), 3);
        canvas->adjustSize();
        // Empty again: the drop picture, taking drops from the desktop.
        QVERIFY(canvas->addButton->isVisible());
        QVERIFY(host->acceptDrops());
    }

    void resetKeepsPhotosAndDropsEdits()
    {
        addThree();
        drawWith(StitcherConfig::DrawTool, {{20, 20}, {80, 70}});
        config->penColor = Qt::blue;
        drawWith(StitcherConfig::DrawTool, {{120, 20}, {180, 70}});
        drawWith(StitcherConfig::MosaicTool, {{20, 20}, {80, 70}});
        canvas->undoAnnotation();
        QCOMPARE(canvas->annotations.size(), 1);
        QCOMPARE(canvas->annotations.first().color, QColor(Qt::red));
        QCOMPARE(canvas->mosaicStrokes.size(), 1);
        canvas->spacingMode = Geometry::SpacingInnerBit | Geometry::SpacingOuterBit;
        canvas->clearEdits();
        QCOMPARE(canvas->spacingMode, 0);
        QVERIFY(canvas->annotations.isEmpty() && canvas->mosaicStrokes.isEmpty());

        canvas->paintImages[0]->cropLeft = 10;
        canvas->cutTop = 3;
        QVERIFY(canvas->hasTrims());
        canvas->resetLayout();
        QVERIFY(!canvas->hasTrims());
        QCOMPARE(config->paintHeight, 320);
        QCOMPARE(canvas->paintImages.size(), 3);
    }

    void dragsThatPan_data()
    {
        QTest::addColumn<int>("tool");
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("space");
        QTest::addColumn<bool>("onStrip");
        QTest::newRow("no tool") << int(StitcherConfig::NoTool) << int(Qt::LeftButton) << false << true;
        QTest::newRow("off the strip with a tool")
            << int(StitcherConfig::TrimTool) << int(Qt::LeftButton) << false << false;
        QTest::newRow("middle button while drawing")
            << int(StitcherConfig::DrawTool) << int(Qt::MiddleButton) << false << true;
        QTest::newRow("Space held while drawing")
            << int(StitcherConfig::DrawTool) << int(Qt::LeftButton) << true << true;
    }
    void dragsThatPan()
    {
        QFETCH(int, tool);
        QFETCH(int, button);
        QFETCH(bool, space);
        QFETCH(bool, onStrip);
        addThree(); // 1000 x 200 in an 800 x 600 view: 200 pixels to scroll along, none across
        config->tool = tool;
        QCOMPARE(canvas->pos(), QPoint(0, 200));
        if (space)
            QTest::keyPress(host.get(), Qt::Key_Space);
        press(onStrip ? canvas->pos() + QPoint(100, 100) : QPoint(5, 5), Qt::MouseButton(button));
        dragBy(-40, 30, Qt::MouseButton(button));
        QCOMPARE(canvas->pos(), QPoint(-40, 200));
        dragBy(-500, 0, Qt::MouseButton(button));
        release(Qt::MouseButton(button));
        QCOMPARE(canvas->pos(), QPoint(-200, 200)); // up to the strip's end
        QVERIFY(canvas->annotations.isEmpty() && !canvas->pressed);
    }

    void cutModesShowTheirArrows()
    {
        addTrimPair();
        // An unknown mode leaves the arrows as they are.
        using namespace Geometry;
        for (const auto& [mode, shown] :
             {QPair(int(CutInner), 4), {CutOuter, 4}, {CutAll, 8}, {9, 8}, {CutNone, 0}}) {
            canvas->setCutMode(mode);
            QCOMPARE(shownButtons().size(), shown);
        }
        canvas->setDirection(Vertical);
        canvas->setCutMode(CutInner); // photo arrows across the strip only
        for (StitcherButton* b : shownButtons())
            QVERIFY(b->paintImage && (b->direction == EdgeTop || b->direction == EdgeBottom));
    }

    // Where the armed edge is in the host's pixels.
    int armedEdgeOnScreen() const
    {
        canvas->photoAt(0, 0); // lays out
        const double scale = canvas->painterScale;
        const QRectF r = canvas->activeImage
                             ? canvas->activeImage->layoutRect
                             : QRectF(0, 0, canvas->width() / scale, canvas->height() / scale);
        const int edge = canvas->activeDirection;
        const bool alongX = edge == Geometry::EdgeLeft || edge == Geometry::EdgeRight;
        const double at = edge == Geometry::EdgeLeft    ? r.left()
                          : edge == Geometry::EdgeRight ? r.right()
                          : edge == Geometry::EdgeTop   ? r.top()
                                                        : r.bottom();
        return (alongX ? canvas->x() : canvas->y()) + qRound(at * scale);
    }

    void armedEdgeStaysUnderThePointer_data()
    {
        QTest::addColumn<int>("zoomValue");
        QTest::addColumn<int>("button"); // index into the second photo's or the strip's arrows
        QTest::addColumn<bool>("stripEdge");
        QTest::addColumn<QPoint>("travel");
        for (int zoom : {4, 100}) { // zoom 0.35 and 2
            const QByteArray z = QByteArray::number(zoom);
            QTest::newRow("photo left, " + z) << zoom << int(Geometry::EdgeLeft) << false << QPoint(60, 0);
            QTest::newRow("photo right, " + z) << zoom << int(Geometry::EdgeRight) << false << QPoint(-30, 0);
            QTest::newRow("strip top, " + z) << zoom << 2 << true << QPoint(0, 20);
            QTest::newRow("strip bottom, " + z) << zoom << 3 << true << QPoint(0, -30);
        }
    }
    void armedEdgeStaysUnderThePointer()
    {
        QFETCH(int, zoomValue);
        QFETCH(int, button);
        QFETCH(bool, stripEdge);
        QFETCH(QPoint, travel);
        addTrimPair();
        canvas->setPainterScale(zoomValue);
        canvas->panBy(QPoint(-800, 0)); // the second photo in view at zoom 2
        config->tool = StitcherConfig::TrimTool;
        canvas->setCutMode(Geometry::CutAll);
        PaintImage* second = canvas->paintImages[1];
        (stripEdge ? canvas->stripButtons[button] : second->button(button))->click();
        QVERIFY(canvas->trimActive);
        // Twice over, so a second drag starts from where the first left the strip; each goes out
        // and partly back.
        for (int round = 0; round < 2; ++round) {
            const int before = armedEdgeOnScreen();
            const QPoint onSecond =
                canvas->pos() +
                (canvas->paintImages[1]->layoutRect.center() * canvas->painterScale).toPoint();
            press(onSecond);
            dragBy(travel.x() * 3 / 2, travel.y() * 3 / 2);
            dragBy(-travel.x() / 2, -travel.y() / 2);
            const int moved = armedEdgeOnScreen() - before;
            const int expected = travel.x() + travel.y();
            QVERIFY2(qAbs(moved - expected) <= 1, qPrintable(QString("%1 of %2").arg(moved).arg(expected)));
            release();
        }
        if (stripEdge)
            QCOMPARE(canvas->cutTop + canvas->cutBottom, qAbs(2 * (travel.y()) / canvas->painterScale));
    }

    void trimmingLimitsAndKeys()
    {
        addTrimPair();
        config->tool = StitcherConfig::TrimTool;
        canvas->setCutMode(Geometry::CutAll);
        PaintImage* second = canvas->paintImages[1];
        second->rightButton->click();
        // A strip pixel of the second photo is five of its own; Shift moves ten.
        host->setFocus();
        QTest::keyClick(host.get(), Qt::Key_Left);
        QCOMPARE(second->cropRight, 1995.0);
        QTest::keyClick(host.get(), Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(second->cropRight, 1945.0);
        QTest::keyClick(host.get(), Qt::Key_Up); // not this edge's direction: pans instead
        QCOMPARE(second->cropRight, 1945.0);
        // Dragging far past the opposite edge leaves a one-pixel crop and a drawable strip.
        canvas->setStitchMove(QPoint(-100000, 0));
        QCOMPARE(second->cropRight, 1.0);
        QVERIFY(second->layoutRect.width() > 0);
        second->rightButton->click();
        QVERIFY(!canvas->trimActive);

        canvas->stripButtons[3]->click(); // bottom of the strip
        QTest::keyClick(host.get(), Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(canvas->cutBottom, 10.0);
        QTest::keyClick(host.get(), Qt::Key_Down);
        QCOMPARE(canvas->cutBottom, 9.0);
        canvas->setStitchMove(QPoint(0, -5000));
        QCOMPARE(canvas->cutTop + canvas->cutBottom, 199.0);
        QCOMPARE(canvas->height(), 1);

        // Removing the armed photo disarms instead of trimming the strip.
        canvas->stripButtons[3]->click();
        canvas->stripButtons[0]->click(); // left end
        QCOMPARE(canvas->activeImage.data(), canvas->paintImages[0]);
        canvas->removePhoto(0);
        QVERIFY(!canvas->trimActive);
    }

    void pressOverAGapStartsNothing()
    {
        addTrimPair();
        canvas->spacingMode = Geometry::SpacingInnerBit;
        canvas->adjustSize();
        config->tool = StitcherConfig::TrimTool;
        canvas->setCutMode(Geometry::CutOuter);
        canvas->stripButtons[2]->click();
        press(canvas->pos() + QPoint(402, 100));
        dragBy(0, -100);
        release();
        QCOMPARE(canvas->cutTop, 0.0);
        drawWith(StitcherConfig::DrawTool, {{402, 50}, {40, 50}});
        drawWith(StitcherConfig::MosaicTool, {{402, 50}, {40, 50}, {20, 50}});
        QVERIFY(canvas->annotations.isEmpty() && canvas->mosaicStrokes.isEmpty());
        QVERIFY(!canvas->pressed);
    }

    void longStripIsRightToItsFarEnd_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::newRow("horizontal") << false;
        QTest::newRow("vertical") << true;
    }
    void longStripIsRightToItsFarEnd()
    {
        QFETCH(bool, vertical);
        const auto at = [vertical](const QImage& image, int along, int across) {
            return vertical ? image.pixelColor(across, along) : image.pixelColor(along, across);
        };
        addLongStrip(vertical);
        canvas->setPainterScale(0); // the export does not depend on the zoom shown
        const QImage plain = canvas->renderImage();
        QCOMPARE(plain.size(), vertical ? QSize(100, 40000) : QSize(40000, 100));
        for (int i : {0, 16, 17, 19})
            QCOMPARE(at(plain, i * 2000 + 1996, 97), colorOf(i));

        canvas->spacingMode = Geometry::SpacingInnerBit | Geometry::SpacingOuterBit;
        canvas->adjustSize();
        const QImage spaced = canvas->renderImage();
        const int length = 40000 + 19 * 5 + 10;
        const int lastStart = 5 + 19 * 2005;
        QCOMPARE(spaced.size(), vertical ? QSize(110, length) : QSize(length, 110));
        QCOMPARE(at(spaced, lastStart + 1000, 55), colorOf(19));
        QCOMPARE(at(spaced, lastStart - 3, 55), QColor(Qt::blue)); // the last gap
        QCOMPARE(at(spaced, length - 2, 55), QColor(Qt::blue));    // the far border
        QCOMPARE(at(spaced, length - 500, 108), QColor(Qt::blue)); // the side border
    }

    void screenPaintsTheFarEndAtEveryZoom()
    {
        addLongStrip(false);
        canvas->setPainterScale(0); // reduced copies are drawn at this zoom
        const QImage shown = canvas->grab(QRect(0, 0, 2000, 30)).toImage();
        for (int i : {0, 1, 2}) // 600 pixels per photo at 0.3
            QCOMPARE(shown.pixelColor(i * 600 + 300, 15), colorOf(i));
        canvas->spacingMode = Geometry::SpacingInnerBit | Geometry::SpacingOuterBit;
        canvas->setPainterScale(100); // 2.0: the canvas is 80 000 pixels wide
        const int width = canvas->width();
        const QImage end = canvas->grab(QRect(width - 1000, 0, 1000, canvas->height())).toImage();
        QCOMPARE(end.pixelColor(995, 100), QColor(Qt::blue));
        QCOMPARE(end.pixelColor(500, 100), colorOf(19));
    }

    // The screen keeps finished strokes in a layer: it shows each new stroke, an undo, a change of the
    // layout and a zoom the moment they happen, as the export does.
    void rectanglesFollowTheirPhotos()
    {
        add(QVector<QImage>(3, filledImage(100, 100)));
        const auto red = [this](bool screen, const QRect& area) {
            const QImage shown = screen ? canvas->grab().toImage().convertToFormat(QImage::Format_RGB32)
                                        : canvas->renderImage();
            return count(shown, area, Qt::red);
        };
        drawWith(StitcherConfig::DrawTool, {{20, 20}, {40, 30}, {80, 70}});
        drawWith(StitcherConfig::DrawTool, {{220, 20}, {280, 70}}); // on photo 2, one more on a held layer
        QCOMPARE(red(true, QRect(230, 20, 40, 1)), 40);
        canvas->undoAnnotation();
        QCOMPARE(red(true, QRect(200, 0, 100, 100)), 0);
        drawWith(StitcherConfig::DrawTool, {{220, 20}, {280, 70}});
        config->penColor = Qt::blue; // colour and shape were fixed at the press
        config->shape = Annotation::Path;
        for (bool screen : {false, true}) {
            QCOMPARE(red(screen, QRect(30, 20, 40, 1)), 40);
            QCOMPARE(red(screen, QRect(20, 30, 1, 30)), 30);
        }
        QVERIFY(allOf(canvas->renderImage(), QRect(30, 30, 40, 30), Qt::gray));

        canvas->spacingMode = Geometry::SpacingInnerBit;
        canvas->setSpacingInner(100); // the third photo moves 320 units on
        QVERIFY(allOf(canvas->renderImage(), QRect(220 + 320, 20, 60, 1), Qt::red));
        for (bool screen : {false, true})
            QCOMPARE(red(screen, QRect(200, 0, 100, 100)), 0);
        QCOMPARE(red(true, QRect(230 + 320, 20, 40, 1)), 40);
        canvas->setPainterScale(100); // zoom 2
        QVERIFY(red(true, QRect(460 + 640, 40, 80, 1)) >= 78);
    }

    void ribbonsAndBands()
    {
        // Red left half, green right half; the red half is cropped away.
        QImage photo = filledImage(200, 100, Qt::green);
        QPainter(&photo).fillRect(0, 0, 100, 100, Qt::red);
        canvas->addImage(photo, "p.png");
        canvas->paintImages.first()->setCrop({100, 0, 200, 100});
        canvas->addImage(filledImage(100, 100), "q.png");
        canvas->adjustSize();
        config->mosaicSize = 8;
        drawWith(StitcherConfig::MosaicTool, {{5, 50}, {20, 50}, {40, 50}, {60, 50}, {80, 50}, {95, 50}});
        // A ribbon over a photo that is gone shows nothing.
        MosaicStroke gone = MosaicStroke::begin({{110, 50}, 7}, MosaicStroke::ribbonName, 10);
        for (int x = 120; x <= 190; x += 10)
            gone.extend({{x, 50}, 7});
        canvas->mosaicStrokes.append(gone);
        config->tool = StitcherConfig::TrimTool;
        canvas->setCutMode(Geometry::CutAll); // trimming aids are for the screen only
        QImage strip = canvas->renderImage();
        QCOMPARE(count(strip, strip.rect(), Qt::red), 0);
        QVERIFY(allOf(strip, QRect(0, 0, 100, 20), Qt::green));
        QVERIFY(allOf(strip, QRect(30, 44, 20, 12), Qt::green));
        QVERIFY(allOf(strip, QRect(110, 0, 90, 100), Qt::gray));

        for (const char* name : {"mosaic-red", "mosaic-blue", "mosaics-flower"}) {
            config->mosaicName = name;
            drawWith(StitcherConfig::MosaicTool, {{105, 50}, {130, 50}, {160, 50}, {195, 50}});
        }
        strip = canvas->renderImage();
        QVERIFY2(100 - count(strip, QRect(105, 50, 90, 1), Qt::gray) > 60,
                 "the pattern pictures did not load");
    }

    void tiledWatermarkUnderSpacingBottomOneOver()
    {
        add(QVector<QImage>(2, filledImage(200, 100)));
        canvas->spacingMode = Geometry::SpacingInnerBit | Geometry::SpacingOuterBit;
        canvas->setSpacingInner(30); // about 51 units
        canvas->adjustSize();
        config->watermarkText = "WWWWWWWWWW";
        config->watermarkColor = Qt::black;
        config->watermarkMode = Watermark::Tile;
        QImage strip = canvas->renderImage();
        const QRect gap(205, 5, strip.width() - 415, 100);
        QVERIFY(count(strip, QRect(5, 5, strip.width() - 10, 100), QColor()) > 0);
        QVERIFY(allOf(strip, gap, Qt::blue));
        QVERIFY(allOf(strip, QRect(0, 0, strip.width(), 5), Qt::blue));
        config->watermarkMode = Watermark::Bottom;
        QVERIFY(count(canvas->renderImage(), gap, QColor()) > 0);
    }
};

QTEST_MAIN(TestPainterArea)
#include "tst_painterarea.moc"
