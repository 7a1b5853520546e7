#include "canvas/tools/annotation.h"

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QtTest>

namespace {

// Photo i starts 100 units to the right of photo i - 1, as with an inner spacing of 100.
QPoint shifted(const QPoint& p, int index)
{
    return p + QPoint(100 * index, 0);
}

QImage render(const QVector<Annotation>& records, const QRect& exposed, const QSize& size = {240, 120})
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(exposed);
    paintAnnotations(painter, records, shifted, {size, 1.0, exposed});
    return image;
}

Annotation record(int shape, QPoint from, QPoint to, double width = 3.0, QColor color = Qt::red)
{
    Annotation a = Annotation::begin({from, 0}, width, color, shape);
    a.extend({to, 0});
    return a;
}

} // namespace

class TestAnnotation : public QObject
{
    Q_OBJECT
private slots:
    void arrowPolygon_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<double>("width");
        QTest::addColumn<QPolygonF>("expected");
        QTest::newRow("long arrow: head twice the width")
            << QPoint(0, 0) << QPoint(100, 0) << 3.0
            << QPolygonF({{0, 0}, {94.9, -1.4235}, {94, -5.64}, {100, 0}, {94, 5.64}, {94.9, 1.4235}});
        QTest::newRow("short arrow: head a quarter of the length")
            << QPoint(0, 0) << QPoint(8, 0) << 3.0
            << QPolygonF({{0, 0}, {6.3, -0.39375}, {6, -1.5}, {8, 0}, {6, 1.5}, {6.3, 0.39375}});
        QTest::newRow("downward arrow turns its barbs across")
            << QPoint(10, 0) << QPoint(10, 100) << 3.0
            << QPolygonF({{10, 0}, {11.4235, 94.9}, {15.64, 94}, {10, 100}, {4.36, 94}, {8.5765, 94.9}});
    }
    void arrowPolygon()
    {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QFETCH(double, width);
        QFETCH(QPolygonF, expected);
        const QPolygonF polygon = Annotation::arrowPolygon(from, to, width);
        QCOMPARE(polygon.size(), expected.size());
        for (int i = 0; i < polygon.size(); ++i) {
            QVERIFY2(qAbs(polygon[i].x() - expected[i].x()) < 1e-9 &&
                         qAbs(polygon[i].y() - expected[i].y()) < 1e-9,
                     qPrintable(QString("point %1").arg(i)));
        }
        QCOMPARE(Annotation::arrowHeadSize(8.0, 3.0), 2.0);
    }

    void zeroLengthArrowDrawsNothing()
    {
        QVERIFY(Annotation::arrowPolygon({5, 5}, {5, 5}, 3.0).isEmpty());
        const QImage image = render({record(Annotation::Arrow, {5, 5}, {5, 5})}, QRect(0, 0, 240, 120));
        QCOMPARE(image.pixelColor(5, 5), QColor(Qt::white));
    }

    void pointsFollowTheirOwnPhoto()
    {
        // The end lies on photo 1, so the rectangle reaches 100 units further than its stored points.
        Annotation r = Annotation::begin({{10, 20}, 0}, 3.0, Qt::blue, Annotation::Rectangle);
        r.extend({{20, 60}, 1});
        QImage image = render({r}, QRect(0, 0, 240, 120));
        QCOMPARE(image.pixelColor(121, 40), QColor(Qt::blue));
        QCOMPARE(image.pixelColor(70, 20), QColor(Qt::blue));

        // A path runs through its points without closing or filling.
        Annotation path = Annotation::begin({{10, 10}, 0}, 3.0, Qt::blue, Annotation::Path);
        path.extend({{50, 100}, 0});
        path.extend({{0, 10}, 1});
        image = render({path}, QRect(0, 0, 240, 120));
        QCOMPARE(image.pixelColor(30, 55), QColor(Qt::blue));
        QCOMPARE(image.pixelColor(74, 55), QColor(Qt::blue));
        QCOMPARE(image.pixelColor(50, 55), QColor(Qt::white));
        QCOMPARE(image.pixelColor(60, 10), QColor(Qt::white));
    }

    void partialRepaintMatchesFullPicture()
    {
        // Skipping records outside the repainted part must never lose a pixel of a wide pen or a barb.
        QRandomGenerator random(7);
        QVector<Annotation> records;
        for (int i = 0; i < 60; ++i) {
            const int shape = 1 + i % 3;
            const double width = QVector<double>{1, 3, 6, 12}[i % 4];
            Annotation a = Annotation::begin({{random.bounded(-20, 140), random.bounded(-20, 140)}, i % 2},
                                             width, QColor::fromHsv(i * 6 % 360, 255, 200), shape);
            a.extend({{random.bounded(-20, 140), random.bounded(-20, 140)}, random.bounded(2)});
            a.extend({{random.bounded(-20, 140), random.bounded(-20, 140)}, random.bounded(2)});
            records.append(a);
        }
        // Parts just beyond the points of a wide outline and of an arrow's barb.
        records.append(record(Annotation::Rectangle, {20, 20}, {80, 70}, 12.0, Qt::darkGreen));
        records.append(record(Annotation::Arrow, {150, 10}, {150, 100}, 6.0, Qt::darkGreen));
        const QSize size(240, 120);
        const QImage full = render(records, QRect(QPoint(0, 0), size), size);
        for (const QRect& part :
             {QRect(0, 0, 16, 16), QRect(100, 40, 30, 7), QRect(200, 90, 40, 30), QRect(57, 0, 3, 120),
              QRect(0, 61, 240, 2), QRect(84, 30, 4, 4), QRect(20, 74, 4, 4), QRect(153, 90, 4, 4)}) {
            const QImage partial = render(records, part, size);
            QCOMPARE(partial.copy(part), full.copy(part));
        }
    }
};

QTEST_MAIN(TestAnnotation)
#include "tst_annotation.moc"
