#include "canvas/tools/watermark.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTransform>
#include <QtTest>

namespace {

Watermark::Style tiled(const QString& text = "Seamwright")
{
    Watermark::Style style;
    style.mode = Watermark::Tile;
    style.text = text;
    style.color = Qt::black;
    return style;
}

QImage render(const Watermark::Style& style, const QSize& size, double scale, double outer,
              const QRect& exposed)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(exposed);
    painter.scale(scale, scale);
    Watermark::paint(painter, style, {size, scale, exposed}, outer);
    return image;
}

// Paints only `part` of a canvas of the given size, as the export does: into an image of the part's
// size through a translated painter.
QImage renderPart(const Watermark::Style& style, const QSize& size, double scale, double outer,
                  const QRect& part)
{
    QImage image(part.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(-part.topLeft());
    painter.scale(scale, scale);
    Watermark::paint(painter, style, {size, scale, part}, outer);
    return image;
}

// The smallest rectangle holding every pixel that is not white; null when there is none.
QRect inked(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

class TestWatermark : public QObject
{
    Q_OBJECT
private slots:
    void bottomPosition_data()
    {
        QTest::addColumn<double>("scale");
        QTest::addColumn<double>("outer");
        QTest::addColumn<int>("size");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("plain") << 1.0 << 0.0 << 50 << QPoint(450, 190);
        QTest::newRow("outer spacing lifts it") << 1.0 << 5.0 << 50 << QPoint(450, 185);
        QTest::newRow("zoomed: painter units") << 2.0 << 0.0 << 50 << QPoint(200, 90);
        QTest::newRow("double size") << 1.0 << 0.0 << 100 << QPoint(225, 95);
    }
    void bottomPosition()
    {
        QFETCH(double, scale);
        QFETCH(double, outer);
        QFETCH(int, size);
        QFETCH(QPoint, expected);
        const double f = Watermark::sizeFactor(size);
        QCOMPARE(Watermark::bottomPosition({1000, 200}, scale, outer, f, QSize(100, 20)), expected);
    }

    void tileGridPitchAndExtent()
    {
        const double q = 100 * Watermark::diagonal;
        Watermark::TileGrid grid = Watermark::tileGrid({1000, 200}, 1.0, 0.0, 1.0, 100, 50);
        QCOMPARE(grid.step, 1.9 * q);
        QCOMPARE(grid.firstRow, q);
        // Two steps past the right and bottom edges.
        QCOMPARE(grid.columnCount(), 10);
        QCOMPARE(grid.rowCount(), 3);
        QVERIFY(grid.a(9) - 2 * grid.step < 1000 && grid.a(10) - 2 * grid.step >= 1000);

        grid = Watermark::tileGrid({1000, 200}, 1.0, 0.0, 1.0, 100, 0);
        QCOMPARE(grid.step, 1.4 * q);

        // The outer border and the zoom shrink the area in canvas units; the size factor in its own.
        grid = Watermark::tileGrid({1000, 200}, 2.0, 10.0, 0.5, 100, 50);
        QCOMPARE(grid.origin, 10.0);
        QCOMPARE(grid.limitA, (500 - 20) / 0.5);
        QCOMPARE(grid.limitB, (100 - 20) / 0.5);

        // Each text stands at its grid point once the rotation is undone.
        for (const QPointF& p : {QPointF(0, 0), QPointF(5, 70.71), QPointF(3000.5, 812.25)}) {
            const QPointF back = QTransform().rotate(-45).map(QPointF(Watermark::tilePosition(p.x(), p.y())));
            QVERIFY(QLineF(back, p).length() < 1.5);
        }
        // A text without width would never advance.
        QCOMPARE(Watermark::tileGrid({1000, 200}, 1.0, 0.0, 1.0, 0, 50).columnCount(), 0);
    }

    void nothingShowsWithoutModeTextOrOpacity()
    {
        const QSize size(300, 150);
        const QRect all(QPoint(0, 0), size);
        Watermark::Style style = tiled();
        style.mode = Watermark::None;
        QVERIFY(inked(render(style, size, 1.0, 0.0, all)).isNull());
        for (int mode : {1, 2, 5}) {
            style = tiled("");
            style.mode = mode;
            QVERIFY(inked(render(style, size, 1.0, 0.0, all)).isNull());
            style = tiled();
            style.mode = mode;
            style.opacity = 0;
            QVERIFY(inked(render(style, size, 1.0, 0.0, all)).isNull());
            style.opacity = 255;
            QVERIFY(!inked(render(style, size, 1.0, 0.0, all)).isNull());
        }
    }

    void partialRepaintMatchesFullPicture()
    {
        const QSize size(900, 300);
        QVector<QRect> parts = {QRect(0, 0, 450, 300), QRect(300, 100, 600, 200)};
        for (int y = 0; y < size.height(); y += 19)
            for (int x = 0; x < size.width(); x += 53)
                parts.append(QRect(x, y, 4, 3));
        // Small texts packed closely reach far past their neighbours' anchors.
        Watermark::Style dense = tiled("Wj|");
        dense.spacing = 0;
        dense.size = 0;
        for (const Watermark::Style& style : {tiled(), dense}) {
            for (double scale : {1.0, 0.6}) {
                const QImage full = render(style, size, scale, 5.0, QRect(QPoint(0, 0), size));
                QVERIFY(!inked(full).isNull());
                for (const QRect& part : parts)
                    QCOMPARE(render(style, size, scale, 5.0, part).copy(part), full.copy(part));
            }
        }
    }

    void tilesOfAnExportMatchTheWholePicture()
    {
        // The export paints a strip larger than any image in tiles, through a translated painter.
        const QSize strip(1500, 300);
        const QImage whole = render(tiled(), strip, 1.0, 5.0, QRect(QPoint(0, 0), strip));
        for (const QPoint origin : {QPoint(0, 0), QPoint(500, 0), QPoint(1000, 100)}) {
            const QRect part(origin, QSize(500, 200));
            QCOMPARE(renderPart(tiled(), strip, 1.0, 5.0, part), whole.copy(part));
        }
    }

    void largeTextsStillTileShortStrips()
    {
        // At size 100 the texts are twice as large and so is their pitch; a short strip still shows them.
        Watermark::Style style = tiled("Seamwright");
        style.size = 100;
        const QSize strip(1200, 110);
        QVERIFY(!inked(render(style, strip, 1.0, 0.0, QRect(QPoint(0, 0), strip))).isNull());

        const QFontMetrics metrics{QFont()};
        const double width = metrics.horizontalAdvance("Seamwright");
        const auto pitch = [&](int size) {
            const double factor = Watermark::sizeFactor(size);
            const QSize text = Watermark::scaledTextSize(metrics, "Seamwright", factor);
            return Watermark::tileGrid(strip, 1.0, 0.0, factor, text.width() / factor, 50).step * factor;
        };
        QVERIFY(qAbs(pitch(100) - 2.0 * pitch(50)) <= 2.0);
        QVERIFY(qAbs(pitch(50) - 1.9 * width * 0.7071) <= 2.0);
    }

    void smallRepaintOfLongStripDrawsFewTiles()
    {
        const QSize text(120, 30);
        const auto tiles = [&](const QSize& device, const QRect& exposed) {
            const Watermark::TileGrid grid = Watermark::tileGrid(device, 1.0, 5.0, 1.0, text.width(), 50);
            const QRect visible = grid.visibleTiles({device, 1.0, exposed}, 1.0, text);
            return visible.width() * visible.height();
        };
        const QRect part(300, 200, 200, 200);
        const int small = tiles({1280, 800}, QRect(0, 0, 1280, 800));
        QVERIFY(tiles({60000, 800}, part.translated(30000, 0)) <= small);
        QVERIFY(tiles({60000, 800}, part.translated(30000, 0)) > 0);
        QVERIFY(tiles({800, 60000}, part.translated(0, 30000)) <= small);
        QCOMPARE(tiles({60000, 800}, QRect(70000, 0, 100, 100)), 0);
    }
};

QTEST_MAIN(TestWatermark)
#include "tst_watermark.moc"
