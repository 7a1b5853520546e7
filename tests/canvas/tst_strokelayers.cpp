#include "canvas/painterarea.h"
#include "canvas/strokelayers.h"
#include "canvas/xformwidget.h"
#include "support/configreset.h"
#include "support/filledimage.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

#include <climits>

namespace {

// Two 200 x 100 photos side by side under 60 drawings and 20 mosaic strokes.
StrokeScene scene()
{
    StrokeScene s;
    s.photos = {{filledImage(200, 100, Qt::darkCyan), QRectF(0, 0, 200, 100), QRectF(0, 0, 200, 100)},
                {filledImage(200, 100, Qt::darkYellow), QRectF(200, 0, 200, 100), QRectF(0, 0, 200, 100)}};
    QRandomGenerator random(7);
    const auto at = [&] {
        const QPoint p(random.bounded(400), random.bounded(100));
        return StripPoint{p, p.x() / 200};
    };
    for (int i = 0; i < 80; ++i) {
        if (i < 20)
            s.mosaics.append(MosaicStroke::begin(at(), i % 2 ? MosaicStroke::ribbonName : "mosaic-blue", 6));
        else
            s.annotations.append(Annotation::begin(at(), 2 + i % 5, QColor::fromHsv(i * 4, 255, 255),
                                                   Annotation::Path + i % 3));
        for (int k = 0; k < 8; ++k)
            i < 20 ? s.mosaics.last().extend(at()) : s.annotations.last().extend(at());
    }
    s.loadPatterns();
    return s;
}

// The part (60, 20) to (340, 180) of the screen at that zoom, over a grey ground.
QImage frame(StrokeLayers& layers, const StrokeScene& s, double scale, quint64 layout = 1)
{
    const QRect exposed(60, 20, 280, 160);
    QImage image(exposed.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::gray);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    painter.translate(-exposed.topLeft());
    const QSize device(qRound(400 * scale), qRound(100 * scale));
    layers.paint(painter, s, {{device, scale, exposed}, layout, {s.mosaics.size(), s.annotations.size()}});
    return image;
}

} // namespace

// Layers too costly for one frame come from workers: what finally shows must be what painting them
// at once shows, pixel for pixel, and nothing superseded may show.
class TestStrokeLayers : public QObject
{
    Q_OBJECT

private slots:
    void exactLayerArrives_data()
    {
        QTest::addColumn<double>("scale");
        QTest::addColumn<quint64>("layout");
        QTest::addColumn<bool>("scaledMeanwhile"); // the previous layer shows until the exact one comes
        QTest::newRow("zoom in") << 2.0 << quint64(1) << true;
        QTest::newRow("zoom out") << 0.6 << quint64(1) << true;
        QTest::newRow("layout changed") << 1.0 << quint64(2) << false;
    }
    void exactLayerArrives()
    {
        QFETCH(double, scale);
        QFETCH(quint64, layout);
        QFETCH(bool, scaledMeanwhile);
        const StrokeScene s = scene();
        StrokeLayers now(INT_MAX);
        StrokeLayers later(0);
        QSignalSpy arrived(&later, &StrokeLayers::arrived);
        QImage ground(280, 160, QImage::Format_ARGB32_Premultiplied);
        ground.fill(Qt::gray);

        QCOMPARE(frame(later, s, 1.0), ground);
        QVERIFY(!later.exact());
        QTRY_COMPARE(frame(later, s, 1.0), frame(now, s, 1.0));

        const QImage meanwhile = frame(later, s, scale, layout);
        QVERIFY(!later.exact());
        QCOMPARE(meanwhile != ground, scaledMeanwhile);
        QTRY_VERIFY(later.exact());
        QCOMPARE(frame(later, s, scale, layout), frame(now, s, scale, layout));
        QCOMPARE(arrived.count(), 4); // one layer per tool, twice
    }

    void supersededRenderNeverShows()
    {
        const StrokeScene s = scene();
        StrokeLayers now(INT_MAX);
        StrokeLayers later(0);
        frame(later, s, 1.0);
        QTRY_VERIFY(later.exact());
        QSignalSpy arrived(&later, &StrokeLayers::arrived);
        frame(later, s, 3.0);
        QCoreApplication::processEvents(); // the workers start
        later.waitForWorkers();            // the zoom 3 layers are painted and on their way back
        frame(later, s, 1.5);
        QTRY_VERIFY(later.exact());
        later.waitForWorkers();
        QCoreApplication::processEvents();
        QCOMPARE(arrived.count(), 2);
        QCOMPARE(frame(later, s, 1.5), frame(now, s, 1.5));
    }

    void undoingTheNewestStrokeNeedsNoNewLayer()
    {
        StrokeScene s = scene();
        StrokeLayers now(INT_MAX);
        StrokeLayers later(0);
        frame(now, s, 1.0);
        frame(later, s, 1.0);
        QTRY_VERIFY(later.exact());
        s.annotations.removeLast();
        QCOMPARE(frame(later, s, 1.0), frame(now, s, 1.0));
        QVERIFY(later.exact());
    }

    // On the canvas: the strokes come back after a zoom, and closing while a render runs is safe.
    void canvasShowsTheStrokesAfterAZoom()
    {
        resetConfig();
        auto host = std::make_unique<XFormWidget>();
        host->resize(800, 400);
        PainterArea* canvas = host->canvas();
        canvas->addImage(filledImage(400, 200), "p.png");
        canvas->adjustSize();
        for (int i = 0; i < 100; ++i)
            canvas->annotations.append(
                Annotation::begin({{20, 20 + i}, 0}, 4, Qt::red, Annotation::Rectangle));
        for (Annotation& a : canvas->annotations)
            a.extend({{380, 180}, 0});
        const auto redAt = [canvas](const QPoint& p) {
            return canvas->grab().toImage().pixelColor(p) == QColor(Qt::red);
        };
        QTRY_VERIFY(redAt({200, 180}));
        canvas->setPainterScale(100); // zoom 2
        QTRY_VERIFY(redAt({400, 360}) && canvas->strokeLayers()->exact());
        canvas->setPainterScale(0);
        canvas->grab();
        QCoreApplication::processEvents(); // the workers start
        QVERIFY(!canvas->strokeLayers()->exact());
        host.reset();
    }
};

QTEST_MAIN(TestStrokeLayers)
#include "tst_strokelayers.moc"
