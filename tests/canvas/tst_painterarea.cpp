#include "canvas/painterarea.h"
#include "canvas/paintimage.h"
#include "canvas/stitcherbutton.h"
#include "canvas/stitcherconfig.h"
#include "canvas/xformwidget.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

QImage filled(int w, int h, QColor color)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// QTest::mouseMove only moves the cursor for widgets; a drag needs the event itself.
void dragTo(QWidget* widget, const QPoint& position)
{
    QMouseEvent move(QEvent::MouseMove, position, widget->mapToGlobal(position), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

} // namespace

class TestPainterArea : public QObject
{
    Q_OBJECT

    std::unique_ptr<XFormWidget> host;
    PainterArea* canvas = nullptr;
    StitcherConfig* config = StitcherConfig::instance();

    void addThree()
    {
        canvas->addImage(filled(400, 200, Qt::red), "a.png");
        canvas->addImage(filled(300, 300, Qt::green), "b.png");
        canvas->addImage(filled(200, 100, Qt::blue), "c.png");
        canvas->adjustSize();
    }

private slots:
    void init()
    {
        config->tool = 0;
        host = std::make_unique<XFormWidget>();
        host->resize(800, 600);
        host->show();
        canvas = host->canvas();
    }
    void cleanup() { host.reset(); }

    void emptyCanvasSizeAndPlace()
    {
        QCOMPARE(canvas->sizeHint(), QSize(552, 299));
        QCOMPARE(canvas->parentWidget(), host.get());
        QVERIFY(host->acceptDrops());
        QCOMPARE(canvas->pos(), QPoint((800 - 552) / 2, (600 - 299) / 2));
        QVERIFY(canvas->addButton->isVisible());
        QCOMPARE(canvas->addButton->pos(), QPoint(241, 179));
        QCOMPARE(canvas->stripButtons.size(), 4);
        for (StitcherButton* b : canvas->stripButtons)
            QVERIFY(b->isHidden());
    }

    void firstPhotoSetsCommonSize()
    {
        QSignalSpy changed(canvas, &PainterArea::signalPhotosChanged);
        QSignalSpy hint(canvas, &PainterArea::signalSizeHint);
        canvas->addImage(QImage(), "broken.png"); // would make the common size zero
        addThree();
        QCOMPARE(changed.count(), 3);
        QCOMPARE(config->paintWidth, 400);
        QCOMPARE(config->paintHeight, 200);
        QCOMPARE(canvas->areaHeight, 200.0);
        QVERIFY(canvas->addButton->isHidden());
        QCOMPARE(canvas->contentSize(), QSize(1000, 200));
        QCOMPARE(canvas->size(), QSize(1000, 200));
        QVERIFY(!hint.isEmpty());
        QCOMPARE(hint.last(), (QList<QVariant>{1000, 200}));
        // Each photo has its own four hidden arrows.
        QCOMPARE(canvas->paintImages[1]->leftButton->direction, 0);
        QCOMPARE(canvas->paintImages[1]->bottomButton->direction, 3);
        QCOMPARE(canvas->paintImages[1]->leftButton->paintImage, canvas->paintImages[1]);

        canvas->spacingMode = 0x11;
        canvas->adjustSize();
        QCOMPARE(canvas->size(), QSize(1020, 210));
        QCOMPARE(hint.last(), (QList<QVariant>{1010, 200}));
    }

    void spacingSlots()
    {
        addThree();
        canvas->setSpacingInner(100);
        QCOMPARE(canvas->spacingInner, 160.0);
        QCOMPARE(canvas->width(), 1000); // stored but not applied while the inner bit is off
        canvas->setSpacingInner(0);
        QCOMPARE(canvas->spacingInner, 5.0);
        canvas->spacingMode = 0x01;
        canvas->setSpacingInner(100);
        QCOMPARE(canvas->width(), 1320);
    }

    void zoomAndFit()
    {
        addThree();
        canvas->setPainterScale(50);
        QCOMPARE(canvas->painterScale, 1.0);
        QCOMPARE(canvas->size(), canvas->contentSize());
        canvas->setPainterScale(0);
        QCOMPARE(canvas->size(), QSize(300, 60));
        QCOMPARE(canvas->y(), 300 - 30);

        host->resize(500, 400);
        canvas->fitPainterScale();
        QCOMPARE(canvas->painterScale, 0.5);
        QCOMPARE(canvas->sizeHint(), QSize(500, 100));
        QCOMPARE(canvas->pos(), QPoint(0, 150));
    }

    void removingAndSwapping()
    {
        addThree();
        QSignalSpy changed(canvas, &PainterArea::signalPhotosChanged);
        PaintImage* last = canvas->paintImages[2];
        canvas->swapPhotos(0, 2);
        QCOMPARE(canvas->paintImages[0], last);
        canvas->swapPhotos(0, 7);
        QCOMPARE(changed.count(), 1);

        canvas->removePhoto(5);
        QCOMPARE(canvas->paintImages.size(), 3);
        QCOMPARE(changed.count(), 1);
        QPointer<StitcherButton> arrow = canvas->paintImages[1]->topButton;
        canvas->removePhoto(1);
        QVERIFY(arrow.isNull());
        QCOMPARE(canvas->paintImages.size(), 2);
        QCOMPARE(changed.count(), 2);

        canvas->removeAllPhotos();
        QVERIFY(canvas->paintImages.isEmpty());
        QCOMPARE(changed.count(), 3);
        canvas->adjustSize();
        QVERIFY(canvas->addButton->isVisible());
        QCOMPARE(canvas->size(), QSize(552, 299));
        QCOMPARE(canvas->pos(), QPoint(124, 150));
    }

    void resetKeepsPhotosAndDropsTrims()
    {
        addThree();
        QVERIFY(!canvas->hasTrims());
        canvas->paintImages[0]->cropLeft = 10;
        QVERIFY(canvas->hasTrims());
        canvas->paintImages[0]->cropLeft = 0;
        canvas->cutTop = 3;
        QVERIFY(canvas->hasTrims());
        canvas->spacingMode = 0x11;
        canvas->resetLayout();
        QVERIFY(!canvas->hasTrims());
        QCOMPARE(canvas->spacingMode, 0);
        QCOMPARE(config->paintHeight, 320);
        QCOMPARE(canvas->paintImages.size(), 3);
        canvas->adjustSize();
        canvas->photoAt(0, 0);
        for (PaintImage* photo : canvas->paintImages)
            QCOMPARE(photo->layoutRect.height(), 320.0);
    }

    void directionAndPaintSize()
    {
        addThree();
        canvas->setDirection(1);
        QCOMPARE(canvas->size(), QSize(400, 800));
        QCOMPARE(canvas->pos(), QPoint(400 - 200, 0));
        canvas->setPaintWidth(200);
        QCOMPARE(canvas->areaWidth, 200.0);
        QCOMPARE(canvas->size(), QSize(200, 400));
        canvas->setPaintHeight(100);
        QCOMPARE(canvas->areaHeight, 100.0);
    }

    void panningFollowsTheStrip()
    {
        addThree();
        const QPoint start = canvas->pos();
        // A press outside the canvas pans even with a tool on.
        config->tool = 3;
        QTest::mousePress(host.get(), Qt::LeftButton, {}, QPoint(5, 5));
        dragTo(host.get(), QPoint(45, 35));
        QTest::mouseRelease(host.get(), Qt::LeftButton, {}, QPoint(45, 35));
        QCOMPARE(canvas->pos(), start + QPoint(40, 0));
        QVERIFY(!canvas->pressed);

        // Without a tool, a press on the strip itself reaches the host through the canvas and pans.
        config->tool = 0;
        QTest::mousePress(canvas, Qt::LeftButton, {}, QPoint(100, 100));
        dragTo(canvas, QPoint(70, 150));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(70, 150));
        QCOMPARE(canvas->pos(), start + QPoint(10, 0));
        QVERIFY(!canvas->pressed);
    }
};

QTEST_MAIN(TestPainterArea)
#include "tst_painterarea.moc"
