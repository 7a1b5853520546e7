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
        QStringList names{"color/Beachball",
                          "Aqua",
                          "drogbg",
                          "mosaics@2x",
                          "icon",
                          "icon2",
                          "icon3",
                          "clear",
                          "clear-small",
                          "lock",
                          "panorama-bg",
                          "tip-image",
                          "logo",
                          "app",
                          "mosaic-blue",
                          "mosaic-red",
                          "mosaics-flower",
                          "stitcher-toright@3x",
                          "stitcher-toleft@3x",
                          "stitcher-todown@3x",
                          "stitcher-toup@3x"};
        const auto withActive = [&names](const QString& pattern, const QStringList& words) {
            for (const QString& word : words)
                names << pattern.arg(word) << pattern.arg(word + "-active");
        };
        withActive("Buttons-%1", {"add", "clear", "apps", "zoomin", "zoomout", "fit", "edit", "export",
                                  "panorama", "help", "about"});
        withActive("%1", {"horizontal", "vertical", "spacing-inner", "spacing-out", "spacing-all", "Path",
                          "rectangle", "arrow", "size-more", "redo", "Know-it"});
        withActive("%1@2x",
                   {"cutpic-inner", "cutpic-out", "cutpic-all", "watermark-bottom", "watermark-tile"});
        withActive("Panorama-%1", {"remove", "next", "open", "done"});
        withActive("color/%1", StitcherConfig::instance()->colorNames);
        for (const QString& name : names)
            QVERIFY2(!QImage(":/images/" + name + ".png").isNull(), qPrintable(name + " is missing"));
        // The canvas names its pictures without the slash; both must reach the same file.
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
