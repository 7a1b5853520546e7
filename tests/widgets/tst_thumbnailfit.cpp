#include "widgets/thumbnailfit.h"

#include <QtTest>

class TestThumbnailFit : public QObject
{
    Q_OBJECT
private slots:
    void fit_data()
    {
        QTest::addColumn<QSize>("widget");
        QTest::addColumn<QSize>("image");
        QTest::addColumn<QRect>("expected");

        QTest::newRow("wide image fills the width")
            << QSize(126, 100) << QSize(400, 100) << QRect(0, 34, 126, 31);
        QTest::newRow("tall image fills the height")
            << QSize(126, 100) << QSize(100, 400) << QRect(50, 0, 25, 100);
        QTest::newRow("same proportions fill all")
            << QSize(126, 100) << QSize(252, 200) << QRect(0, 0, 126, 100);
        QTest::newRow("small image is enlarged")
            << QSize(126, 100) << QSize(10, 10) << QRect(13, 0, 100, 100);
        QTest::newRow("odd leftover truncates") << QSize(126, 100) << QSize(7, 3) << QRect(0, 23, 126, 54);
        QTest::newRow("one pixel") << QSize(126, 100) << QSize(1, 1) << QRect(13, 0, 100, 100);
        QTest::newRow("empty image") << QSize(126, 100) << QSize(0, 0) << QRect();
        QTest::newRow("empty widget") << QSize(0, 100) << QSize(10, 10) << QRect();
    }

    void fit()
    {
        QFETCH(QSize, widget);
        QFETCH(QSize, image);
        QFETCH(QRect, expected);
        QCOMPARE(thumbnailRect(widget, image), expected);
    }
};

QTEST_APPLESS_MAIN(TestThumbnailFit)
#include "tst_thumbnailfit.moc"
