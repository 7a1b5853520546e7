#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
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
        auto add = [](const QString& path, int width, int height) {
            QTest::newRow(qPrintable(path)) << path << QSize(width, height);
        };
        auto addPair = [&add](const QString& pattern, const QString& name, int width, int height) {
            add(pattern.arg(name), width, height);
            add(pattern.arg(name + "-active"), width, height);
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

        for (const char* colour : {"blue", "green", "yellow", "orange", "red", "black", "purple", "white"})
            addPair(":/images/color/%1.png", colour, 22, 22);
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

        add(":/images/redo.png", 12, 14);
        add(":/images/redo-active.png", 12, 14);
        add(":/images/clear.png", 12, 14);
        add(":/images/clear-small.png", 12, 14);
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
        const QImage image(path);
        QVERIFY2(!image.isNull(), qPrintable(path + " is missing"));
        QCOMPARE(image.size(), size);
    }

    // A pressed or checked picture identical to its resting one gives the user no feedback.
    void activeTwinDiffers_data()
    {
        QTest::addColumn<QString>("resting");
        QTest::addColumn<QString>("active");
        auto add = [](const QString& resting, const QString& active) {
            QTest::newRow(qPrintable(resting)) << resting << active;
        };
        add(":/images/Buttons-export.png", ":/images/Buttons-export-active.png");
        add(":/images/color/white.png", ":/images/color/white-active.png");
        add(":/images/cutpic-all@2x.png", ":/images/cutpic-all-active@2x.png");
        add(":/images/Path.png", ":/images/Path-active.png");
        add(":/images/redo.png", ":/images/redo-active.png");
        add(":/images/clear.png", ":/images/clear-small.png");
        add(":/images/Panorama-remove.png", ":/images/Panorama-remove-active.png");
        add(":/images/Know-it.png", ":/images/Know-it-active.png");
    }

    void activeTwinDiffers()
    {
        QFETCH(QString, resting);
        QFETCH(QString, active);
        const QImage a(resting), b(active);
        QVERIFY(!a.isNull() && !b.isNull());
        QVERIFY(a.convertToFormat(QImage::Format_ARGB32) != b.convertToFormat(QImage::Format_ARGB32));
    }

    // The swatch is all the user sees of the colour the button selects.
    void swatchShowsItsPaletteColour_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("blue") << "blue" << QColor(Qt::blue);
        QTest::newRow("green") << "green" << QColor(Qt::green);
        QTest::newRow("yellow") << "yellow" << QColor(Qt::yellow);
        QTest::newRow("orange") << "orange" << QColor(255, 165, 0);
        QTest::newRow("red") << "red" << QColor(Qt::red);
        QTest::newRow("black") << "black" << QColor(Qt::black);
        QTest::newRow("purple") << "purple" << QColor(128, 0, 128);
        QTest::newRow("white") << "white" << QColor(Qt::white);
    }

    void swatchShowsItsPaletteColour()
    {
        QFETCH(QString, name);
        QFETCH(QColor, colour);
        for (const QString& path :
             {":/images/color/" + name + ".png", ":/images/color/" + name + "-active.png"}) {
            const QImage image(path);
            QVERIFY2(!image.isNull(), qPrintable(path));
            QCOMPARE(image.pixelColor(image.width() / 2, image.height() / 2), colour);
        }
    }

    void fontIsCompiledIn()
    {
        QFile font(":/images/fonts/Proxima-Nova-Bold.ttf");
        QVERIFY(font.open(QIODevice::ReadOnly));
        QVERIFY(font.size() > 10000);
    }

    // The application falls back to this copy when no installed guide is found.
    void userGuideIsCompiledIn()
    {
        QFile guide(":/help/index.html");
        QVERIFY(guide.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(guide.readAll());
        QVERIFY(html.contains("</html>"));
        // Every contents entry must lead to a section of the page.
        const QRegularExpression link("href=\"#([a-z-]+)\"");
        int links = 0;
        for (auto it = link.globalMatch(html); it.hasNext(); ++links) {
            const QString anchor = it.next().captured(1);
            QVERIFY2(html.contains("id=\"" + anchor + "\""), qPrintable(anchor));
        }
        QVERIFY(links >= 10);
    }

    // A picture in the folder but not in the collection is silently missing from the program.
    void everyPictureInTheFolderIsCompiledIn()
    {
        const QString source = qEnvironmentVariable("SEAMWRIGHT_TEST_SOURCE_DIR");
        if (source.isEmpty())
            QSKIP("SEAMWRIGHT_TEST_SOURCE_DIR is not set");
        const QString folder = source + "/src/resources/images";
        QDirIterator it(folder, {"*.png"}, QDir::Files, QDirIterator::Subdirectories);
        int count = 0;
        while (it.hasNext()) {
            const QString relative = QDir(folder).relativeFilePath(it.next());
            QVERIFY2(QFile::exists(":/images/" + relative), qPrintable(relative + " is not in images.qrc"));
            ++count;
        }
        QVERIFY(count > 0);
    }
};

QTEST_GUILESS_MAIN(TestResources)
#include "tst_resources.moc"
