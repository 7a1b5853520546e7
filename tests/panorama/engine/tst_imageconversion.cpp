#include "panorama/engine/imageconversion.h"

#include <QtTest>

#include <opencv2/core.hpp>

namespace {

int warningsSeen = 0;
QtMessageHandler previousHandler = nullptr;

void countWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtWarningMsg)
        ++warningsSeen;
    previousHandler(type, context, text);
}

} // namespace

class TestImageConversion : public QObject
{
    Q_OBJECT
private slots:
    void threeChannelsBecomeRgbAndOwnTheirPixels()
    {
        cv::Mat mat(1, 2, CV_8UC3);
        mat.at<cv::Vec3b>(0, 0) = {10, 20, 30};
        mat.at<cv::Vec3b>(0, 1) = {40, 50, 60};
        const QImage image = cvMatToQImage(mat);
        QCOMPARE(image.format(), QImage::Format_RGB888);
        QCOMPARE(image.size(), QSize(2, 1));
        mat.setTo(cv::Scalar::all(0));
        mat.release();
        QCOMPARE(image.pixel(0, 0), qRgb(30, 20, 10));
        QCOMPARE(image.pixel(1, 0), qRgb(60, 50, 40));
    }

    void regionsOfWiderMatricesReadRowByRow()
    {
        cv::Mat wide(6, 9, CV_8UC3);
        cv::randu(wide, cv::Scalar::all(0), cv::Scalar::all(256));
        const cv::Mat region = wide(cv::Rect(2, 1, 4, 3));
        QVERIFY(region.step[0] > size_t(region.cols) * 3);
        const QImage image = cvMatToQImage(region);
        QCOMPARE(image.size(), QSize(4, 3));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) {
                const cv::Vec3b bgr = region.at<cv::Vec3b>(y, x);
                QCOMPARE(image.pixel(x, y), qRgb(bgr[2], bgr[1], bgr[0]));
            }
    }

    void fourAndOneChannelImagesBorrowTheMatrix()
    {
        cv::Mat bgra(5, 7, CV_8UC4, cv::Scalar(1, 2, 3, 4));
        const cv::Mat bgraRegion = bgra(cv::Rect(1, 1, 3, 2));
        const QImage argb = cvMatToQImage(bgraRegion);
        QCOMPARE(argb.format(), QImage::Format_ARGB32);
        QCOMPARE(argb.size(), QSize(3, 2));
        QCOMPARE(argb.constBits(), bgraRegion.data);
        QCOMPARE(argb.bytesPerLine(), int(bgra.step[0]));
        QCOMPARE(argb.pixel(2, 1), qRgba(3, 2, 1, 4));

        cv::Mat grey(4, 6, CV_8UC1);
        cv::randu(grey, 0, 256);
        const cv::Mat greyRegion = grey(cv::Rect(1, 1, 5, 3));
        const QImage grayscale = cvMatToQImage(greyRegion);
        QCOMPARE(grayscale.format(), QImage::Format_Grayscale8);
        QCOMPARE(grayscale.size(), QSize(5, 3));
        QCOMPARE(grayscale.constBits(), greyRegion.data);
        QCOMPARE(qGray(grayscale.pixel(4, 2)), int(greyRegion.at<uchar>(2, 4)));
    }

    void otherTypesGiveNullImageAndWarning_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("16-bit grey") << CV_16UC1;
        QTest::newRow("float colour") << CV_32FC3;
    }

    void otherTypesGiveNullImageAndWarning()
    {
        QFETCH(int, type);
        QTest::ignoreMessage(
            QtWarningMsg, qPrintable("Tolvan::cvMatToQImage() - cv::Mat image type not handled in switch: " +
                                     QString::number(type)));
        QVERIFY(cvMatToQImage(cv::Mat(3, 3, type, cv::Scalar::all(1))).isNull());
    }

    void emptyMatrixGivesNullImageQuietly()
    {
        warningsSeen = 0;
        previousHandler = qInstallMessageHandler(countWarnings);
        const QImage image = cvMatToQImage(cv::Mat());
        qInstallMessageHandler(previousHandler);
        QVERIFY(image.isNull());
        QCOMPARE(warningsSeen, 0);
    }
};

QTEST_GUILESS_MAIN(TestImageConversion)
#include "tst_imageconversion.moc"
