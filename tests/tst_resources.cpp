#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QtTest>

// Widgets take their fixed sizes from these pictures, so a missing or resized one breaks a layout.
class TestResources : public QObject
{
    Q_OBJECT
private slots:
    void pictureHasItsSize_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QColor>("centre"); // the colour a swatch selects; invalid: not checked
        auto add = [](const QString& path, int width, int height, QColor centre = QColor()) {
            QTest::newRow(qPrintable(path)) << path << QSize(width, height) << centre;
        };
        auto addPair = [&add](const QString& pattern, const QString& name, int width, int height,
                              QColor centre = QColor()) {
            add(pattern.arg(name), width, height, centre);
            add(pattern.arg(name + "-active"), width, height, centre);
        };

        const struct
        {
            const char* name;
            int width;
            int height;
        } topBar[] = {{"add", 23, 34},      {"clear", 26, 36}, {"apps", 25, 35}, {"zoomin", 36, 35},
                      {"zoomout", 46, 35},  {"fit", 22, 35},   {"edit", 26, 34}, {"export", 32, 37},
                      {"panorama", 48, 35}, {"help", 40, 34},  {"about", 30, 37}};
        for (const auto& button : topBar)
            addPair(":/images/Buttons-%1.png", button.name, button.width, button.height);

        const QStringList swatches{"blue", "green", "yellow", "orange", "red", "black", "purple", "white"};
        const QList<QColor> colours{Qt::blue, Qt::green, Qt::yellow,          QColor(255, 165, 0),
                                    Qt::red,  Qt::black, QColor(128, 0, 128), Qt::white};
        for (int i = 0; i < swatches.size(); ++i)
            addPair(":/images/color/%1.png", swatches[i], 22, 22, colours[i]);
        add(":/images/color/Beachball.png", 18, 18);

        // Tool icons are drawn at twice the 16 x 16 they are shown at.
        for (const char* icon : {"horizontal", "vertical", "spacing-inner", "spacing-out", "spacing-all",
                                 "Path", "rectangle", "arrow", "size-more"})
            addPair(":/images/%1.png", icon, 32, 32);
        for (const char* icon :
             {"cutpic-inner", "cutpic-out", "cutpic-all", "watermark-bottom", "watermark-tile"})
            addPair(":/images/%1@2x.png", icon, 32, 32);
        for (const char* icon : {"mosaics@2x", "icon", "icon2", "icon3"})
            add(QString(":/images/%1.png").arg(icon), 32, 32);

        for (const char* name : {"redo", "redo-active", "clear", "clear-small"})
            add(QString(":/images/%1.png").arg(name), 12, 14);
        add(":/images/lock.png", 7, 9);

        // The canvas names its pictures both ways; both must reach the same file.
        for (const QString& prefix : {QStringLiteral(":/images/"), QStringLiteral(":images/")}) {
            add(prefix + "Aqua.png", 70, 21);
            add(prefix + "drogbg.png", 552, 299);
            add(prefix + "stitcher-toright@3x.png", 18, 94);
            add(prefix + "stitcher-toleft@3x.png", 18, 94);
            add(prefix + "stitcher-todown@3x.png", 94, 18);
            add(prefix + "stitcher-toup@3x.png", 94, 18);
            add(prefix + "mosaic-blue.png", 608, 30);
            add(prefix + "mosaic-red.png", 738, 30);
            add(prefix + "mosaics-flower.png", 594, 30);
        }

        add(":/images/panorama-bg.png", 442, 181);
        add(":/images/tip-image.png", 324, 162);
        for (const char* word : {"remove", "next", "open", "done"})
            addPair(":/images/Panorama-%1.png", word, 84, 24);
        addPair(":/images/%1.png", "Know-it", 84, 24);
        add(":/images/logo.png", 64, 64);
        add(":/images/app.png", 520, 318);
    }

    void pictureHasItsSize()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        QFETCH(QColor, centre);
        const QImage image(path);
        QVERIFY2(!image.isNull(), qPrintable(path + " is missing"));
        QCOMPARE(image.size(), size);
        if (centre.isValid())
            QCOMPARE(image.pixelColor(size.width() / 2, size.height() / 2), centre);
    }

    void fontIsCompiledIn()
    {
        QFile font(":/images/fonts/Proxima-Nova-Bold.ttf");
        QVERIFY(font.open(QIODevice::ReadOnly));
        QVERIFY(font.size() > 10000);
    }

    // A picture in the folder but not in the collection is silently missing from the program.
    void everyPictureInTheFolderIsCompiledIn()
    {
        const QString folder = qEnvironmentVariable("SEAMWRIGHT_TEST_SOURCE_DIR") + "/src/resources/images";
        if (!QDir(folder).exists())
            QSKIP("SEAMWRIGHT_TEST_SOURCE_DIR does not lead to the sources");
        for (QDirIterator it(folder, {"*.png"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
            const QString relative = QDir(folder).relativeFilePath(it.next());
            QVERIFY2(QFile::exists(":/images/" + relative), qPrintable(relative + " is not in images.qrc"));
        }
    }
};

QTEST_GUILESS_MAIN(TestResources)
#include "tst_resources.moc"
