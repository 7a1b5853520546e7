#include "canvas/stitcherconfig.h"

#include <QDirIterator>
#include <QImage>
#include <QtTest>

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
    // drawing when reduced, and for most pictures not what doubling the small one gives.
    void everyPictureHasASharpTwin()
    {
        int pictures = 0;
        int doubled = 0;
        for (QDirIterator it(":/images", {"*.png"}, QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();) {
            const QString path = it.next();
            if (path.endsWith("@2x.png"))
                continue;
            const QImage small = QImage(path).convertToFormat(QImage::Format_ARGB32);
            const QImage twin = QImage(path.chopped(4) + "@2x.png").convertToFormat(QImage::Format_ARGB32);
            QVERIFY2(!twin.isNull(), qPrintable(path));
            QCOMPARE(twin.size(), small.size() * 2);
            const QImage reduced = twin.scaled(small.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            qint64 difference = 0;
            for (int y = 0; y < small.height(); ++y)
                for (int x = 0; x < small.width(); ++x) {
                    const QRgb a = small.pixel(x, y);
                    const QRgb b = reduced.pixel(x, y);
                    difference += qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) +
                                  qAbs(qBlue(a) - qBlue(b)) + qAbs(qAlpha(a) - qAlpha(b));
                }
            const double perPixel = double(difference) / (small.width() * small.height() * 4);
            QVERIFY2(perPixel < 12, qPrintable(QString("%1: %2").arg(path).arg(perPixel)));
            doubled += twin == small.scaled(twin.size());
            ++pictures;
        }
        QVERIFY(pictures > 80);
        QVERIFY2(doubled * 10 < pictures, qPrintable(QString::number(doubled)));
    }
};

QTEST_GUILESS_MAIN(TestResources)
#include "tst_resources.moc"
