#include "panorama/ui/imageview.h"
#include "panorama/ui/panoramaview.h"
#include "panorama/ui/resultgeometry.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QtTest>

namespace {

QImage filled(QSize size)
{
    QImage image(size, QImage::Format_RGB888);
    image.fill(Qt::darkGreen);
    return image;
}

// A move with a button held, as the window system sends it, aimed at the picture when it is under the
// position (the page then receives it through the toolkit's propagation).
void moveWithButton(PanoramaView& page, QPoint inPage, Qt::MouseButton button = Qt::LeftButton)
{
    QWidget* target =
        page.picture()->geometry().contains(page.picture()->parentWidget()->mapFrom(&page, inPage))
            ? static_cast<QWidget*>(page.picture())
            : &page;
    const QPoint local = target->mapFrom(&page, inPage);
    QMouseEvent move(QEvent::MouseMove, local, target->mapToGlobal(local), Qt::NoButton, button,
                     Qt::NoModifier);
    QApplication::sendEvent(target, &move);
}

void release(PanoramaView& page, QPoint inPage, Qt::MouseButton button)
{
    QMouseEvent up(QEvent::MouseButtonRelease, inPage, page.mapToGlobal(inPage), button, Qt::NoButton,
                   Qt::NoModifier);
    QApplication::sendEvent(&page, &up);
}

QPointF centreOf(const QRect& r)
{
    return QPointF(r.x() + r.width() / 2.0, r.y() + r.height() / 2.0);
}

} // namespace

class TestPanoramaView : public QObject
{
    Q_OBJECT
private slots:
    void fit_data()
    {
        QTest::addColumn<QSize>("image");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("wide panorama") << QSize(1400, 340) << QRect(0, 85, 700, 170);
        QTest::newRow("tall scan") << QSize(350, 680) << QRect(262, 0, 175, 340);
        QTest::newRow("stage proportions") << QSize(700, 340) << QRect(0, 0, 700, 340);
        QTest::newRow("tiny picture is enlarged") << QSize(10, 10) << QRect(180, 0, 340, 340);
        QTest::newRow("empty picture") << QSize(0, 0) << QRect(350, 170, 0, 0);
    }

    void fit()
    {
        QFETCH(QSize, image);
        QFETCH(QRect, expected);
        QCOMPARE(ResultGeometry::fitPicture(image).rect, expected);
        PanoramaView page(filled(image));
        QCOMPARE(page.picture()->geometry(), expected);
        QCOMPARE(page.zoomSlider()->value(), 50);
    }

    void zoomScalesTheFittedSizeAboutTheCentre_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QSize>("size");
        QTest::newRow("0 is 0.3 of the fit") << 0 << QSize(210, 51);
        QTest::newRow("50 is the fit") << 50 << QSize(700, 170);
        QTest::newRow("100 is twice the fit") << 100 << QSize(1400, 340);
    }

    void zoomScalesTheFittedSizeAboutTheCentre()
    {
        QFETCH(int, value);
        QFETCH(QSize, size);
        PanoramaView page(filled(QSize(1400, 340)));
        const QPointF centre = centreOf(page.picture()->geometry());
        page.zoomSlider()->setValue(value == 50 ? 51 : value);
        page.zoomSlider()->setValue(value);
        QCOMPARE(page.picture()->size(), size);
        const QPointF after = centreOf(page.picture()->geometry());
        QVERIFY2(qAbs(after.x() - centre.x()) <= 1.5 && qAbs(after.y() - centre.y()) <= 1.5,
                 qPrintable(QString("centre moved to %1,%2").arg(after.x()).arg(after.y())));
    }

    void dragMovesThePictureAfterTheFirstMove()
    {
        PanoramaView page(filled(QSize(1400, 340)));
        page.resize(700, 400);
        const QPoint start = page.picture()->pos();

        moveWithButton(page, {300, 150});
        QCOMPARE(page.picture()->pos(), start);
        moveWithButton(page, {330, 140});
        QCOMPARE(page.picture()->pos(), start + QPoint(30, -10));
        release(page, {330, 140}, Qt::LeftButton);

        // After a release the next move only anchors the new drag; any button drags.
        moveWithButton(page, {10, 390}, Qt::RightButton);
        QCOMPARE(page.picture()->pos(), start + QPoint(30, -10));
        moveWithButton(page, {15, 392}, Qt::RightButton);
        QCOMPARE(page.picture()->pos(), start + QPoint(35, -8));
        release(page, {15, 392}, Qt::RightButton);

        // Zooming then keeps the centre where the drag left it.
        const QPointF dragged = centreOf(page.picture()->geometry());
        page.zoomSlider()->setValue(80);
        const QPointF after = centreOf(page.picture()->geometry());
        QVERIFY(qAbs(after.x() - dragged.x()) <= 1.5 && qAbs(after.y() - dragged.y()) <= 1.5);
    }

    void largePictureStaysWholeAtEverySize()
    {
        // Left half blue, right half yellow; the view shrinks it a lot, then grows past its first size.
        QImage halves(4000, 1000, QImage::Format_RGB888);
        halves.fill(Qt::blue);
        QPainter(&halves).fillRect(2000, 0, 2000, 1000, Qt::yellow);
        ImageView view(halves);
        for (const QSize& size : {QSize(400, 100), QSize(800, 200), QSize(1000, 250), QSize(300, 75)}) {
            view.resize(size);
            QImage shot(size, QImage::Format_RGB32);
            view.render(&shot);
            const int w = size.width(), h = size.height();
            QCOMPARE(shot.pixelColor(w / 4, h / 2), QColor(Qt::blue));
            QCOMPARE(shot.pixelColor(w * 3 / 4, h - 1), QColor(Qt::yellow));
            QCOMPARE(shot.pixelColor(0, 0), QColor(Qt::blue));
            QCOMPARE(shot.pixelColor(w - 1, 0), QColor(Qt::yellow));
        }
    }
};

QTEST_MAIN(TestPanoramaView)
#include "tst_panoramaview.moc"
