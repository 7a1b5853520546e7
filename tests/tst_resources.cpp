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
};

QTEST_GUILESS_MAIN(TestResources)
#include "tst_resources.moc"
