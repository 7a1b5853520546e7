#include "support/panoramaviews.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/stitching.hpp>

#include <clocale>

// The generated views are only useful if the real stitcher joins them; this guards the generator
// that other suites rely on.
class TestPanoramaViews : public QObject
{
    Q_OBJECT
private slots:
    void viewsOverlapEnoughToStitch()
    {
        QTemporaryDir dir;
        const QStringList paths = PanoramaViews::write(dir.path());
        QCOMPARE(paths.size(), 3);
        std::vector<cv::Mat> images;
        for (const QString& path : paths) {
            images.push_back(cv::imread(QFile::encodeName(path).toStdString(), cv::IMREAD_COLOR));
            QCOMPARE(images.back().cols, 640);
            QCOMPARE(images.back().rows, 480);
        }
        QVERIFY(cv::norm(images[0], images[1], cv::NORM_L1) > 0);

        cv::Mat pano;
        QCOMPARE(cv::Stitcher::create(cv::Stitcher::PANORAMA)->stitch(images, pano), cv::Stitcher::OK);
        // Three views turned 18 degrees apart span well over one view's width.
        QVERIFY2(pano.cols > 900, qPrintable(QString::number(pano.cols)));
        QVERIFY(pano.rows >= 400);
    }

    void namesAndSizesAreTheCallers()
    {
        QTemporaryDir dir;
        const QStringList names = {QString::fromUtf8("Fotoğraf ünü.jpg"), QString::fromUtf8("写真.jpg"),
                                   "c.jpg", "d.jpg"};
        const QStringList paths = PanoramaViews::write(dir.path(), names, QSize(320, 240));
        QCOMPARE(paths.size(), 4);
        for (int i = 0; i < names.size(); ++i) {
            QCOMPARE(QFileInfo(paths[i]).fileName(), names[i]);
            QCOMPARE(QImage(paths[i]).size(), QSize(320, 240));
        }
        QVERIFY(PanoramaViews::write(dir.filePath("missing-folder")).isEmpty());
    }
};

int main(int argc, char** argv)
{
    // Non-ASCII file names need a UTF-8 locale; the application picks it up from the environment.
    qputenv("LC_ALL", "C.UTF-8");
    QCoreApplication app(argc, argv);
    TestPanoramaViews test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_panoramaviews.moc"
