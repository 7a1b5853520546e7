#include "canvas/painterarea.h"
#include "canvas/paintimage.h"
#include "canvas/stitcherconfig.h"
#include "canvas/xformwidget.h"

#include <QtTest>

#include <memory>

namespace {

QColor colorOf(int index)
{
    return QColor(QColor::fromHsv((index * 37) % 360, 255, 200 + index % 50).rgb());
}

QImage filled(int w, int h, const QColor& color)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

} // namespace

class TestRenderImage : public QObject
{
    Q_OBJECT

    std::unique_ptr<XFormWidget> host;
    PainterArea* canvas = nullptr;
    StitcherConfig* config = StitcherConfig::instance();

    // Twenty photos of 2000 along the strip: 40 000 units in all.
    void addLongStrip(bool vertical)
    {
        for (int i = 0; i < 20; ++i)
            canvas->addImage(vertical ? filled(100, 2000, colorOf(i)) : filled(2000, 100, colorOf(i)),
                             "p.png");
        canvas->setDirection(vertical ? 1 : 0);
        canvas->adjustSize();
    }

    static QColor at(const QImage& image, int along, int across, bool vertical)
    {
        return vertical ? image.pixelColor(across, along) : image.pixelColor(along, across);
    }

private slots:
    void init()
    {
        config->tool = 0;
        config->spacingColor = Qt::blue;
        host = std::make_unique<XFormWidget>();
        host->resize(800, 600);
        host->show();
        canvas = host->canvas();
    }
    void cleanup() { host.reset(); }

    void longStripIsRightToItsFarEnd_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::newRow("horizontal") << false;
        QTest::newRow("vertical") << true;
    }
    void longStripIsRightToItsFarEnd()
    {
        QFETCH(bool, vertical);
        addLongStrip(vertical);
        canvas->setPainterScale(0); // the export does not depend on the zoom shown
        const QImage plain = canvas->renderImage();
        QCOMPARE(plain.size(), vertical ? QSize(100, 40000) : QSize(40000, 100));
        for (int i : {0, 7, 16, 17, 19}) {
            QCOMPARE(at(plain, i * 2000 + 3, 50, vertical), colorOf(i));
            QCOMPARE(at(plain, i * 2000 + 1996, 97, vertical), colorOf(i));
        }
        QCOMPARE(at(plain, 39999, 99, vertical), colorOf(19));

        canvas->spacingMode = 0x11;
        canvas->adjustSize();
        const QImage spaced = canvas->renderImage();
        const int length = 40000 + 19 * 5 + 10;
        QCOMPARE(spaced.size(), vertical ? QSize(110, length) : QSize(length, 110));
        const int lastStart = 5 + 19 * 2005;
        QCOMPARE(at(spaced, lastStart + 1000, 55, vertical), colorOf(19));
        QCOMPARE(at(spaced, lastStart - 3, 55, vertical), QColor(Qt::blue)); // the last gap
        QCOMPARE(at(spaced, length - 2, 55, vertical), QColor(Qt::blue));    // the far border
        QCOMPARE(at(spaced, length - 500, 1, vertical), QColor(Qt::blue));   // the side border
        QCOMPARE(at(spaced, 16 * 2005 + 5 + 700, 108, vertical), QColor(Qt::blue));
    }

    void rendersCropsButNoTrimmingAids()
    {
        QImage halves = filled(200, 100, Qt::red);
        for (int y = 0; y < 100; ++y)
            for (int x = 100; x < 200; ++x)
                halves.setPixelColor(x, y, Qt::green);
        canvas->addImage(halves, "halves.png");
        canvas->paintImages[0]->cropLeft = 100;
        config->tool = 3;
        canvas->setCutMode(3);
        canvas->adjustSize();
        const QImage image = canvas->renderImage();
        QCOMPARE(image.size(), QSize(100, 100));
        // No outline in the corner: the kept half reaches every edge.
        for (const QPoint& p : {QPoint(1, 1), QPoint(50, 50), QPoint(98, 98), QPoint(0, 99)})
            QCOMPARE(image.pixelColor(p), QColor(Qt::green));
        // The screen shows the outline that the export leaves out (the arrows hidden, not to hide it).
        canvas->setCutMode(0);
        QVERIFY(canvas->grab().toImage().pixelColor(1, 50) != QColor(Qt::green));
    }

    void zoomedOutPaintShowsThePhotos()
    {
        addLongStrip(false);
        canvas->setPainterScale(0); // small copies are drawn at this zoom
        const QImage shown = canvas->grab(QRect(0, 0, 2000, 30)).toImage();
        for (int i : {0, 1, 2}) // 600 pixels per photo at 0.3
            QCOMPARE(shown.pixelColor(i * 600 + 300, 15), colorOf(i));
        QCOMPARE(shown.pixelColor(1797, 28), colorOf(2));
        canvas->setPainterScale(50);
        QCOMPARE(canvas->grab(QRect(2100, 10, 10, 10)).toImage().pixelColor(5, 5), colorOf(1));
    }

    void zoomedInFarEndIsPainted()
    {
        addLongStrip(false);
        canvas->spacingMode = 0x11;
        canvas->setPainterScale(100); // 2.0: the canvas is 80 000 pixels wide
        const int width = canvas->width();
        QCOMPARE(width, 2 * (40000 + 19 * 5 + 10));
        const QImage end = canvas->grab(QRect(width - 1000, 0, 1000, canvas->height())).toImage();
        QCOMPARE(end.pixelColor(995, 100), QColor(Qt::blue)); // far border
        QCOMPARE(end.pixelColor(500, 3), QColor(Qt::blue));   // side border
        QCOMPARE(end.pixelColor(500, 100), colorOf(19));
        const int lastGap = 2 * (5 + 19 * 2005) - 5; // the middle of the last gap, in pixels
        QCOMPARE(canvas->grab(QRect(lastGap - 5, 0, 10, 220)).toImage().pixelColor(5, 100), QColor(Qt::blue));
    }

    void tooLargeGivesNull()
    {
        addLongStrip(false);
        canvas->setPaintHeight(60000);
        QVERIFY(canvas->renderImage().isNull());
        QVERIFY(PainterArea().renderImage().isNull());
    }
};

QTEST_MAIN(TestRenderImage)
#include "tst_renderimage.moc"
