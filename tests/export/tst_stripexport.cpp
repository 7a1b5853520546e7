#include "canvas/painterarea.h"
#include "canvas/stitcherconfig.h"
#include "canvas/tools/watermark.h"
#include "canvas/xformwidget.h"
#include "export/stripexport.h"
#include "support/filesizelimit.h"
#include "support/photolikeimage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray previous = "the file an export must not destroy";

QString existingFile(const QTemporaryDir& dir)
{
    const QString path = dir.filePath("strip.png");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(previous);
    return path;
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The export of a canvas strip band by band, and what happens to the file when it cannot finish.
class TestStripExport : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<XFormWidget> host;
    PainterArea* canvas = nullptr;

    BandSource canvasBands() const
    {
        PainterArea* area = canvas;
        return {area->contentSize(), [area](int top, int rows) { return area->renderBand(top, rows); }};
    }

private slots:
    void init()
    {
        StitcherConfig::instance()->watermarkMode = Watermark::None;
        host = std::make_unique<XFormWidget>();
        canvas = host->canvas();
    }

    // Photos of different sizes, scaled to one height, with spacing and a watermark across the band
    // edges: the file holds the pixels of the strip drawn whole, wherever the bands fall.
    void sameStripWhereverTheBandsFall_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("spacing");
        QTest::addColumn<int>("bandRows");
        QTest::newRow("one row high") << 1 << false << 0;
        QTest::newRow("prime, a row a band") << 97 << true << 1;
        QTest::newRow("one more than a band") << 7 << true << 16;
        QTest::newRow("taller and wider than a tile") << 4100 << false << 0;
    }
    void sameStripWhereverTheBandsFall()
    {
        QFETCH(int, height);
        QFETCH(bool, spacing);
        QFETCH(int, bandRows);
        canvas->addImage(photoLikeImage(100, 200, 1), "a.jpg");
        canvas->addImage(photoLikeImage(200, 310, 2), "b.jpg");
        canvas->addImage(photoLikeImage(120, 230, 3), "c.jpg");
        canvas->setPaintHeight(height);
        if (spacing) {
            canvas->spacingMode = Geometry::SpacingInnerBit | Geometry::SpacingOuterBit;
            StitcherConfig::instance()->spacingColor = Qt::blue;
        }
        StitcherConfig::instance()->watermarkText = "Seamwright";
        StitcherConfig::instance()->watermarkMode = Watermark::Tile;
        canvas->adjustSize();
        const QSize size = canvas->contentSize();

        const QString path = dir.filePath("bands.png");
        StripExport exporter;
        exporter.setBandRows(bandRows);
        QCOMPARE(exporter.save(canvasBands(), path), StripExport::Result::Saved);
        const QImage written(path, "png");
        QCOMPARE(written.size(), size);
        QCOMPARE(written.convertToFormat(QImage::Format_RGB32), canvas->renderImage());
    }

    // Cancelled while a band is being compressed, or failing half-way through the file: the folder is
    // left as it was, the old file whole and no temporary file.
    void unfinishedExportLeavesNoTrace_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<bool>("exists");
        for (bool exists : {true, false}) {
            const char* suffix = exists ? " over a file" : "";
            for (const char* failure : {"cancel", "disk full", "band missing", "strip changed"})
                QTest::addRow("%s%s", failure, suffix) << QString(failure) << exists;
        }
    }
    void unfinishedExportLeavesNoTrace()
    {
        QFETCH(QString, failure);
        QFETCH(bool, exists);
        QTemporaryDir folder;
        const QString path = exists ? existingFile(folder) : folder.filePath("strip.png");
        const QImage strip = photoLikeImage(3000, 400, 6);
        bool cancelPressed = false;
        BandSource source = BandSource::fromImage(strip);
        source.band = [&](int top, int rows) {
            // The user presses Cancel while this band is painted and the ones before it compressed.
            cancelPressed = cancelPressed || (failure == "cancel" && top == 100);
            if (top < 200 || failure == "cancel" || failure == "disk full")
                return strip.copy(0, top, strip.width(), rows);
            return failure == "band missing" ? QImage() : strip.copy(0, top, 100, rows);
        };
        StripExport exporter;
        exporter.setBandRows(20);
        int lastRows = -1;
        exporter.setProgress([&](int rows, int) {
            lastRows = rows;
            return !cancelPressed;
        });
        StripExport::Result result = StripExport::Result::Saved;
        if (failure == "disk full") {
            const FileSizeLimit limit(100000);
            result = exporter.save(source, path);
            QVERIFY2(exporter.errorString().contains("large"), qPrintable(exporter.errorString()));
        } else {
            result = exporter.save(source, path);
        }
        QCOMPARE(result, failure == "cancel" ? StripExport::Result::Cancelled : StripExport::Result::Failed);
        if (failure == "cancel")
            QVERIFY2(lastRows < strip.height(), qPrintable(QString::number(lastRows)));
        QVERIFY(!exporter.errorString().isEmpty());
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                 exists ? QStringList{"strip.png"} : QStringList());
        QCOMPARE(contents(path), exists ? previous : QByteArray());
    }

    void nothingToExportOrNowhereToWrite()
    {
        QTemporaryDir folder;
        StripExport exporter;
        QCOMPARE(exporter.save(BandSource::fromImage(QImage()), folder.filePath("empty.png")),
                 StripExport::Result::Failed);
        QCOMPARE(
            exporter.save(BandSource::fromImage(photoLikeImage(20, 20)), folder.filePath("missing/a.png")),
            StripExport::Result::Failed);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_MAIN(TestStripExport)
#include "tst_stripexport.moc"
