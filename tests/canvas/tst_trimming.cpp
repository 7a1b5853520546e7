#include "canvas/painterarea.h"
#include "canvas/paintimage.h"
#include "canvas/stitcherbutton.h"
#include "canvas/stitcherconfig.h"
#include "canvas/xformwidget.h"

#include <QtTest>

#include <memory>

namespace {

QImage filled(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::gray);
    return image;
}

} // namespace

// Drives trimming the way a user does: a cut mode, a click on an arrow, drags on the host.
class TestTrimming : public QObject
{
    Q_OBJECT

    std::unique_ptr<XFormWidget> host;
    PainterArea* canvas = nullptr;
    StitcherConfig* config = StitcherConfig::instance();
    QPoint last;

    void press(const QPoint& canvasPoint)
    {
        last = canvas->pos() + canvasPoint;
        QTest::mousePress(host.get(), Qt::LeftButton, {}, last);
    }
    void dragBy(int dx, int dy)
    {
        last += QPoint(dx, dy);
        QMouseEvent move(QEvent::MouseMove, last, host->mapToGlobal(last), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(host.get(), &move);
    }
    void release() { QTest::mouseRelease(host.get(), Qt::LeftButton, {}, last); }

    QList<StitcherButton*> shownButtons() const
    {
        QList<StitcherButton*> shown;
        for (StitcherButton* b : canvas->findChildren<StitcherButton*>())
            if (!b->isHidden())
                shown.append(b);
        return shown;
    }

private slots:
    void init()
    {
        config->tool = 3;
        host = std::make_unique<XFormWidget>();
        host->resize(1200, 600);
        host->show();
        canvas = host->canvas();
        // Common height 200; the second photo is 1000 pixels high and so shown at a fifth.
        canvas->addImage(filled(400, 200), "a.png");
        canvas->addImage(filled(2000, 1000), "b.png");
        canvas->adjustSize();
    }
    void cleanup()
    {
        host.reset();
        config->tool = 0;
    }

    void cutModesShowTheirArrows()
    {
        canvas->setCutMode(1);
        QCOMPARE(shownButtons().size(), 4); // left and right of both photos
        for (StitcherButton* b : shownButtons())
            QVERIFY(b->paintImage && (b->direction == 0 || b->direction == 2));
        canvas->setCutMode(2);
        QCOMPARE(shownButtons().size(), 4);
        for (StitcherButton* b : shownButtons())
            QVERIFY(!b->paintImage);
        canvas->setCutMode(3);
        QCOMPARE(shownButtons().size(), 8);
        canvas->setCutMode(9);
        QCOMPARE(shownButtons().size(), 8);
        canvas->setDirection(1);
        canvas->setCutMode(1);
        for (StitcherButton* b : shownButtons())
            QVERIFY(b->paintImage && (b->direction == 1 || b->direction == 3));
        canvas->setCutMode(0);
        QVERIFY(shownButtons().isEmpty());
    }

    void arrowsSitOnTheirEdges()
    {
        canvas->setPainterScale(0); // 0.3: the second photo is shown 120 x 60 at x 120
        PaintImage* second = canvas->paintImages[1];
        QCOMPARE(second->rightButton->pos(), QPoint(120 + 120 - 14, 30 - 37));
        QCOMPARE(second->topButton->pos(), QPoint(120 + 60 - 37, 0));
        QCOMPARE(canvas->stripButtons[1]->pos(), QPoint(239 - 14, 59 / 2 - 37)); // edge 2
    }

    void photoEdgeDragCrops()
    {
        canvas->setCutMode(3);
        PaintImage* second = canvas->paintImages[1];
        second->leftButton->click();
        QVERIFY(canvas->trimActive);
        QCOMPARE(shownButtons(), QList<StitcherButton*>{second->leftButton});

        press(QPoint(600, 100));
        dragBy(-10, 0);
        QCOMPARE(second->cropLeft, 25.0);
        QCOMPARE(canvas->width(), 400 + qRound(1975 * 200 / 1000.0));
        // A point outside the armed photo does nothing, also over another photo.
        dragBy(-300, 0);
        QCOMPARE(second->cropLeft, 25.0);
        release();

        // Dragging far past the opposite edge leaves a one-pixel crop and a drawable strip.
        canvas->setStitchMove(QPoint(-100000, 0));
        QCOMPARE(second->cropLeft, 1999.0);
        QCOMPARE(canvas->width(), 400);
        canvas->photoAt(0, 0);
        QVERIFY(second->layoutRect.width() > 0);

        second->leftButton->click();
        QVERIFY(!canvas->trimActive);
        QCOMPARE(shownButtons().size(), 8);
    }

    void stripEndsArmTheOuterPhotos()
    {
        canvas->setCutMode(2);
        canvas->stripButtons[1]->click(); // edge 2
        QCOMPARE(canvas->activeImage.data(), canvas->paintImages[1]);
        QCOMPARE(canvas->activeDirection, 2);
        canvas->stripButtons[1]->click();
        canvas->stripButtons[0]->click(); // edge 0
        QCOMPARE(canvas->activeImage.data(), canvas->paintImages[0]);
        // Removing the armed photo disarms instead of trimming the strip.
        canvas->removePhoto(0);
        QVERIFY(!canvas->trimActive);
        QVERIFY(canvas->activeImage.isNull());
    }

    void stripCutAcrossTheStrip()
    {
        canvas->setCutMode(2);
        canvas->stripButtons[2]->click(); // edge 1, top
        QVERIFY(canvas->trimActive);
        QVERIFY(canvas->activeImage.isNull());
        press(QPoint(100, 150));
        dragBy(0, -100);
        QCOMPARE(canvas->cutTop, 10.0);
        QCOMPARE(canvas->height(), 190);
        dragBy(0, 120); // would go below zero: ignored
        QCOMPARE(canvas->cutTop, 10.0);
        dragBy(0, -165);
        QCOMPARE(canvas->cutTop, 26.5);
        release();
        canvas->setStitchMove(QPoint(0, -5000));
        QCOMPARE(canvas->cutTop + canvas->cutBottom, 199.0);
        QCOMPARE(canvas->height(), 1);
        QVERIFY(canvas->hasTrims());
        canvas->resetLayout();
        QCOMPARE(canvas->cutTop, 0.0);
        QVERIFY(!canvas->trimActive);
    }

    void unarmedDragPans()
    {
        const QPoint start = canvas->pos();
        press(QPoint(100, 100));
        dragBy(-30, 20);
        release();
        QCOMPARE(canvas->pos(), start + QPoint(-30, 0));
        QVERIFY(!canvas->pressed);
    }

    void pressOverAGapStartsNothing()
    {
        canvas->spacingMode = 0x01;
        canvas->adjustSize();
        canvas->stripButtons[2]->click();
        press(QPoint(402, 100)); // inner gap
        QVERIFY(!canvas->pressed);
        dragBy(0, -100);
        QCOMPARE(canvas->cutTop, 0.0);
        release();
    }
};

QTEST_MAIN(TestTrimming)
#include "tst_trimming.moc"
