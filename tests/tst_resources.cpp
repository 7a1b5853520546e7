#include "canvas/stitcherconfig.h"

#include <QDirIterator>
#include <QImage>
#include <QtTest>

#include <array>

// The program names its pictures in style sheets and by pattern, where a missing one fails silently.
class TestResources : public QObject
{
    Q_OBJECT
private slots:
    void namedPicturesLoad()
    {
        // The canvas names its pictures without the slash; both must reach the same file.
        QVERIFY(!QImage(":/images/drogbg.png").isNull());
        QCOMPARE(QImage(":images/drogbg.png"), QImage(":/images/drogbg.png"));
    }

    void swatchesShowTheColourTheySelect()
    {
        const StitcherConfig* config = StitcherConfig::instance();
        for (int i = 0; i < config->colorNames.size(); ++i)
            for (const char* suffix : {"", "-active"}) {
                const QImage swatch(":/images/color/" + config->colorNames[i] + suffix + ".png");
                QCOMPARE(swatch.pixelColor(swatch.width() / 2, swatch.height() / 2), config->colorList[i]);
            }
    }

    // A picture in the folder but not in the collection is silently missing from the program.
    void everyPictureInTheFolderIsCompiledIn()
    {
        const QString folder = qEnvironmentVariable("SEAMWRIGHT_TEST_SOURCE_DIR") + "/src/resources/images";
        QVERIFY(QDir(folder).exists());
        for (QDirIterator it(folder, {"*.png"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
            const QString relative = QDir(folder).relativeFilePath(it.next());
            QVERIFY2(QFile::exists(":/images/" + relative), qPrintable(relative + " is not in images.qrc"));
        }
    }

    // At scale factor 2 every picture has a twin of twice the size, drawn in detail, not doubled: the same
    // ink and colour when reduced, and for most pictures not what doubling the small one gives.
    void everyPictureHasASharpTwin()
    {
        int pictures = 0;
        int doubled = 0;
        for (QDirIterator it(":/images", {"*.png"}, QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();) {
            const QString path = it.next();
            if (path.endsWith("@2x.png"))
                continue;
            const QImage small = QImage(path).convertToFormat(QImage::Format_ARGB32_Premultiplied);
            const QImage twin = QImage(path.chopped(4) + "@2x.png").convertToFormat(small.format());
            QVERIFY2(!twin.isNull(), qPrintable(path));
            QCOMPARE(twin.size(), small.size() * 2);
            const QImage reduced = twin.scaled(small.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            const auto sums = [](const QImage& image) {
                std::array<double, 4> sum{};
                for (int y = 0; y < image.height(); ++y)
                    for (int x = 0; x < image.width(); ++x) {
                        const QRgb p = image.pixel(x, y);
                        sum[0] += qRed(p), sum[1] += qGreen(p), sum[2] += qBlue(p), sum[3] += qAlpha(p);
                    }
                return sum;
            };
            const auto expected = sums(small);
            const auto got = sums(reduced);
            const double slack = 8.0 * small.width() * small.height();
            for (int c = 0; c < 4; ++c)
                QVERIFY2(qAbs(got[c] - expected[c]) <= 0.2 * expected[c] + slack,
                         qPrintable(path + " channel " + QString::number(c)));
            doubled += twin == small.scaled(twin.size());
            ++pictures;
        }
        QVERIFY(pictures > 80);
        QVERIFY2(doubled * 10 < pictures, qPrintable(QString::number(doubled)));
    }
};

QTEST_GUILESS_MAIN(TestResources)
#include "tst_resources.moc"
