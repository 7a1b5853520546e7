#include "canvas/painterarea.h"
#include "canvas/stitcherconfig.h"
#include "canvas/tools/watermark.h"
#include "canvas/xformwidget.h"
#include "export/cutplanner.h"
#include "export/partfiles.h"
#include "export/partsexport.h"
#include "export/stripexport.h"
#include "support/filesizelimit.h"
#include "support/filledimage.h"
#include "support/photolikeimage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <opencv2/core.hpp>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

Q_DECLARE_METATYPE(ExportFormat)

namespace {

// A run of rows of a vertical strip: busy drawing, or a calm gutter of one colour give or take `noise`.
struct Run
{
    int rows;
    bool calm;
    int noise = 0;
};

// Drawing rows run from black to white across the strip, so no such row is ever calm.
QImage verticalStrip(int width, const QVector<Run>& runs)
{
    int height = 0;
    for (const Run& run : runs)
        height += run.rows;
    QImage strip(width, height, QImage::Format_RGB32);
    int y = 0;
    for (const Run& run : runs) {
        for (int end = y + run.rows; y < end; ++y) {
            auto* line = reinterpret_cast<QRgb*>(strip.scanLine(y));
            for (int x = 0; x < width; ++x) {
                const int shade =
                    run.calm ? 240 + (x * 7 + y) % (run.noise + 1) : (x * 255 / (width - 1) + y) % 256;
                line[x] = run.calm ? qRgb(shade, shade, shade - run.noise)
                                   : qRgb(shade, 255 - shade, (y * 3) % 256);
            }
        }
    }
    return strip;
}

double psnr(const QImage& a, const QImage& b)
{
    QImage x = a.convertToFormat(QImage::Format_RGB888), y = b.convertToFormat(QImage::Format_RGB888);
    const auto mat = [](QImage& i) {
        return cv::Mat(i.height(), i.width(), CV_8UC3, i.bits(), i.bytesPerLine());
    };
    return x.size() == y.size() ? cv::PSNR(mat(x), mat(y)) : 0;
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray previous = "a file an export must not destroy";

QString existingFile(const QTemporaryDir& dir, const QString& name)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(previous);
    return path;
}

// Three photos of different sizes at one common size, under a tiled watermark that crosses their edges.
void addThreePhotos(PainterArea* canvas, int direction, int commonSize, bool spacing, int firstWidth)
{
    StitcherConfig::instance()->watermarkText = "Seamwright";
    StitcherConfig::instance()->watermarkMode = Watermark::Tile;
    canvas->addImage(photoLikeImage(firstWidth, 200, 1), "a.jpg");
    canvas->addImage(photoLikeImage(200, 310, 2), "b.jpg");
    canvas->addImage(photoLikeImage(firstWidth + 20, 230, 3), "c.jpg");
    canvas->spacingMode = spacing ? Geometry::SpacingInnerBit | Geometry::SpacingOuterBit : 0;
    canvas->setDirection(direction);
    if (direction == Geometry::Vertical)
        canvas->setPaintWidth(commonSize);
    else
        canvas->setPaintHeight(commonSize);
    canvas->adjustSize();
}

ExportFormat formatOf(ExportFormat::Kind kind, bool lossless = false)
{
    ExportFormat format;
    format.kind = kind;
    format.lossless = lossless;
    return format;
}

// The canvas's strip exported whole as PNG in bands of bandRows (0: the export's own), read back.
QImage exportedWhole(PainterArea* canvas, int bandRows)
{
    QTemporaryDir dir;
    StripExport whole;
    whole.setBandRows(bandRows);
    const BandSource bands{canvas->contentSize(),
                           [canvas](int top, int rows) { return canvas->renderBand(top, rows); }};
    if (whole.save(bands, dir.filePath("whole.png")) != StripExport::Result::Saved)
        return {};
    return QImage(dir.filePath("whole.png"), "png").convertToFormat(QImage::Format_RGB32);
}

// Where part `index` of a strip cut at `ends` lies.
QRect partOf(const QSize& strip, Qt::Orientation direction, const QVector<int>& ends, int index)
{
    const int from = index > 0 ? ends[index - 1] : 0;
    return direction == Qt::Vertical ? QRect(0, from, strip.width(), ends[index] - from)
                                     : QRect(from, 0, ends[index] - from, strip.height());
}

} // namespace

// Cutting a strip into parts at calm lines, and writing the parts and whole strips as PNG, JPEG and WebP,
// band by band, and what happens to the files when an export cannot finish.
class TestPartsExport : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { StitcherConfig::instance()->watermarkMode = Watermark::None; }

    // Two 900-row panels with 30-row gutters after them, then 500 rows; parts of at most 1000 rows.
    void cutsFallWhereTheyShould_data()
    {
        QTest::addColumn<QImage>("strip");
        QTest::addColumn<bool>("calm");
        QTest::addColumn<int>("sensitivity");
        QTest::addColumn<int>("partLength");
        QTest::addColumn<QVector<int>>("ends");
        using Ends = QVector<int>;
        const QImage comic =
            verticalStrip(300, {{900, false}, {30, true}, {900, false}, {30, true}, {500, false}});
        QTest::newRow("in the gutters, at their last row")
            << comic << true << 90 << 1000 << Ends{930, 1860, 2360};
        QTest::newRow("sensitivity 0 cuts at the length")
            << comic << true << 0 << 1000 << Ends{1000, 2000, 2360};
        QTest::newRow("calm cuts off") << comic << false << 90 << 1000 << Ends{1000, 2000, 2360};
        QTest::newRow("gutter beyond a quarter of the length")
            << comic << true << 90 << 1300 << Ends{1300, 2360};
        QTest::newRow("one part when the strip is short enough") << comic << true << 90 << 2360 << Ends{2360};
        QTest::newRow("no calm row") << verticalStrip(300, {{2500, false}}) << true << 100 << 1000
                                     << Ends{1000, 2000, 2500};
        const QImage noisy = verticalStrip(200, {{700, false}, {20, true, 12}, {400, false}});
        QTest::newRow("a gutter with noise within the tolerance")
            << noisy << true << 90 << 800 << Ends{720, 1120};
        QTest::newRow("the same gutter when only one colour is calm")
            << noisy << true << 100 << 800 << Ends{800, 1120};
        QTest::newRow("a calm line first in its chunk of the search")
            << verticalStrip(300, {{936, false}, {1, true}, {1063, false}}) << true << 90 << 1000
            << Ends{937, 1937, 2000};
        QTest::newRow("parts of one line")
            << verticalStrip(10, {{3, false}}) << true << 90 << 1 << Ends{1, 2, 3};
    }
    void cutsFallWhereTheyShould()
    {
        QFETCH(QImage, strip);
        QFETCH(bool, calm);
        QFETCH(int, sensitivity);
        QFETCH(int, partLength);
        QFETCH(QVector<int>, ends);
        for (const Qt::Orientation direction : {Qt::Vertical, Qt::Horizontal}) {
            const QImage image =
                direction == Qt::Vertical ? strip : strip.transformed(QTransform(0, 1, 1, 0, 0, 0));
            CutPlanner planner;
            const QVector<int> planned =
                planner.plan(RegionSource::fromImage(image), {direction, partLength, calm, sensitivity});
            QCOMPARE(planned, ends);
        }
    }

    // The canvas's strip with scaled photos, spacing and a tiled watermark, exported whole in bands of
    // 17 rows: any rectangle of it, and so every part, has the same pixels as that file, wherever the
    // rectangle starts and ends, across band and tile edges, whichever way the strip runs.
    void partsJoinBackToTheWholeExport_data()
    {
        QTest::addColumn<int>("canvasDirection");
        QTest::addColumn<int>("commonSize");
        QTest::newRow("vertical strip, parts of rows") << 1 << 300;
        QTest::newRow("horizontal strip wider than a tile, parts of columns") << 0 << 1300;
    }
    void partsJoinBackToTheWholeExport()
    {
        QFETCH(int, canvasDirection);
        QFETCH(int, commonSize);
        XFormWidget host;
        PainterArea* canvas = host.canvas();
        addThreePhotos(canvas, canvasDirection, commonSize, true, 300);
        const Qt::Orientation direction = canvasDirection == 1 ? Qt::Vertical : Qt::Horizontal;
        const QSize size = canvas->contentSize();
        const int bandRows = 17;
        const RegionSource strip =
            RegionSource::fromCells(size, QSize(PainterArea::renderTileSize, bandRows),
                                    [canvas](const QRect& area) { return canvas->renderRegion(area); });
        const QImage full = exportedWhole(canvas, bandRows);
        const int length = direction == Qt::Vertical ? size.height() : size.width();
        QVERIFY(size.width() > PainterArea::renderTileSize || direction == Qt::Vertical);
        for (int at = 0; at + 9 < length; at += length / 29) {
            const QRect slice =
                direction == Qt::Vertical ? QRect(0, at, size.width(), 9) : QRect(at, 0, 9, size.height());
            const QRect square(at * size.width() / length, at * size.height() / length, 9, 9);
            for (const QRect& area : {slice, square.intersected(QRect(QPoint(), size))})
                QVERIFY2(strip.render(area) == full.copy(area), qPrintable(QString::number(at)));
        }

        CutPlanner planner;
        const QVector<int> ends = planner.plan(strip, {direction, length / 5, true, 90});
        QVERIFY(ends.size() >= 5);
        QTemporaryDir dir;
        const QStringList names = PartFiles::numberedNames(dir.filePath("strip.png"), ends.size());
        PartsExport parts;
        int lastDone = 0, lastTotal = 0;
        parts.setProgress([&](int done, int total) {
            lastDone = std::max(lastDone, done);
            lastTotal = total;
            return true;
        });
        QCOMPARE(parts.save(strip, direction, ends, names), PartsExport::Result::Saved);
        QCOMPARE(lastDone, lastTotal);
        for (int i = 0; i < names.size(); ++i)
            QCOMPARE(QImage(names[i]).convertToFormat(QImage::Format_RGB32),
                     full.copy(partOf(size, direction, ends, i)));
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
        XFormWidget host;
        PainterArea* canvas = host.canvas();
        addThreePhotos(canvas, Geometry::Horizontal, height, spacing, 100);
        QCOMPARE(exportedWhole(canvas, bandRows), canvas->renderImage());
    }

    // The lossy formats stay within their codec's error of the picture at quality 90; lossless WebP is
    // exact, and parts keep their sizes.
    void jpegAndWebpRoundTrips_data()
    {
        QTest::addColumn<ExportFormat>("format");
        QTest::newRow("JPEG") << formatOf(ExportFormat::Kind::Jpeg);
        QTest::newRow("WebP") << formatOf(ExportFormat::Kind::Webp);
        QTest::newRow("WebP lossless") << formatOf(ExportFormat::Kind::Webp, true);
    }
    void jpegAndWebpRoundTrips()
    {
        QFETCH(ExportFormat, format);
        QTemporaryDir dir;
        const QImage picture = photoLikeImage(900, 1300, 4);
        StripExport lossy;
        lossy.setFormat(format);
        const QString path = dir.filePath("strip." + ExportFormat::suffix(format.kind));
        QCOMPARE(lossy.save(BandSource::fromImage(picture), path), StripExport::Result::Saved);
        const QImage written(path, format.writerFormat());
        if (format.lossless)
            QCOMPARE(written.convertToFormat(QImage::Format_RGB32), picture);
        else
            QVERIFY2(psnr(written, picture) > 40, qPrintable(QString::number(psnr(written, picture))));

        PartsExport parts;
        parts.setFormat(format);
        const QStringList names = PartFiles::numberedNames(path, 2);
        const QVector<int> ends{700, 1300};
        QCOMPARE(parts.save(RegionSource::fromImage(picture), Qt::Vertical, ends, names),
                 PartsExport::Result::Saved);
        for (int i : {0, 1}) // psnr() is 0 for a part of the wrong size
            QVERIFY(psnr(QImage(names[i], format.writerFormat()),
                         picture.copy(partOf(picture.size(), Qt::Vertical, ends, i))) > 40);
    }

    // Over a format's side limit nothing is painted and nothing written; a part over it is refused too.
    // At the limit the file is written.
    void sideLimitOfTheFormat_data()
    {
        QTest::addColumn<ExportFormat>("format");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("refused");
        const ExportFormat jpeg = formatOf(ExportFormat::Kind::Jpeg);
        QTest::newRow("JPEG strip of 65500 rows") << jpeg << QSize(8, 65500) << false;
        QTest::newRow("JPEG strip over 65500 rows") << jpeg << QSize(900, 65501) << true;
        QTest::newRow("WebP strip over 16383 columns")
            << formatOf(ExportFormat::Kind::Webp) << QSize(16384, 10) << true;
    }
    void sideLimitOfTheFormat()
    {
        QFETCH(ExportFormat, format);
        QFETCH(QSize, size);
        QFETCH(bool, refused);
        QTemporaryDir dir;
        int painted = 0;
        const RegionSource strip{size, [&painted](const QRect& area) {
                                     ++painted;
                                     return filledImage(area.width(), area.height(), Qt::darkCyan);
                                 }};
        StripExport exporter;
        exporter.setFormat(format);
        QCOMPARE(exporter.save(strip.bandsOf(QRect(QPoint(), size)), dir.filePath("strip")),
                 refused ? StripExport::Result::Failed : StripExport::Result::Saved);
        if (!refused)
            return;
        QVERIFY2(exporter.errorString().contains(QString::number(ExportFormat::maxSide(format.kind))),
                 qPrintable(exporter.errorString()));
        PartsExport parts;
        parts.setFormat(format);
        const Qt::Orientation direction = size.height() > size.width() ? Qt::Vertical : Qt::Horizontal;
        const int length = std::max(size.width(), size.height());
        QCOMPARE(parts.save(strip, direction, {length}, {dir.filePath("part")}), PartsExport::Result::Failed);
        QCOMPARE(painted, 0);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // However long the search for a calm line and however wide the strip, it is painted a band at a
    // time; the calm line at the far end of the search is still found.
    void calmSearchInBoundedBands_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<QSize>("size");
        QTest::newRow("side by side, 3000 high") << int(Qt::Horizontal) << QSize(200000, 3000);
        QTest::newRow("stacked, 100000 wide") << int(Qt::Vertical) << QSize(100000, 4000);
    }
    void calmSearchInBoundedBands()
    {
        QFETCH(int, direction);
        QFETCH(QSize, size);
        const bool vertical = direction == Qt::Vertical;
        const int partLength = (vertical ? size.height() : size.width()) / 2, calmAt = partLength * 3 / 4 + 2;
        qint64 largest = 0;
        const RegionSource strip{size, [&](const QRect& area) {
                                     largest = std::max(largest, qint64(area.width()) * area.height());
                                     QImage image(area.size(), QImage::Format_RGB32);
                                     for (int y = 0; y < image.height(); ++y) {
                                         auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
                                         const bool calmRow = vertical && area.y() + y == calmAt;
                                         for (int x = 0; x < image.width(); ++x)
                                             row[x] = calmRow || (!vertical && area.x() + x == calmAt)
                                                          ? 0
                                                          : qRgb(x % 256, y % 256, 9);
                                     }
                                     return image;
                                 }};
        CutPlanner planner;
        const QVector<int> ends = planner.plan(strip, {Qt::Orientation(direction), partLength, true, 100});
        QCOMPARE(ends.value(0), calmAt + 1);
        QVERIFY2(largest <= CutPlanner::bandPixels, qPrintable(QString::number(largest)));
    }

    // Parts get the permissions a new file gets under the umask, or keep those of the file they
    // replace; their working names are short, so a long name works; a folder left by a process that
    // is gone is swept, one whose process runs is not.
    void partsFilesAndLeftovers_data()
    {
        QTest::addColumn<int>("mask");
        QTest::addColumn<int>("existingMode");
        QTest::addColumn<int>("expectedMode");
        QTest::newRow("umask 022") << 022 << -1 << 0644;
        QTest::newRow("umask 077") << 077 << -1 << 0600;
        QTest::newRow("replaces a 0640 file") << 022 << 0640 << 0640;
    }
    void partsFilesAndLeftovers()
    {
        QFETCH(int, mask);
        QFETCH(int, existingMode);
        QFETCH(int, expectedMode);
        QTemporaryDir dir;
        const pid_t gone = fork();
        if (gone == 0)
            _exit(0);
        QCOMPARE(waitpid(gone, nullptr, 0), gone);
        const QStringList leftovers{QString(".sw-parts-%1-abc123").arg(gone),
                                    QString(".sw-parts-%1-def456").arg(getpid())};
        for (const QString& folder : leftovers) {
            QVERIFY(QDir(dir.path()).mkdir(folder));
            QVERIFY(filledImage(4, 4).save(dir.filePath(folder + "/p0"), "png"));
        }
        const QStringList names = PartFiles::numberedNames(dir.filePath(QString(240, 'n') + ".png"), 2);
        if (existingMode >= 0) {
            QVERIFY(filledImage(4, 4).save(names[0]));
            QVERIFY(::chmod(QFile::encodeName(names[0]), mode_t(existingMode)) == 0);
        }
        const mode_t before = ::umask(mode_t(mask));
        PartsExport parts;
        const PartsExport::Result result =
            parts.save(RegionSource::fromImage(photoLikeImage(50, 100, 2)), Qt::Vertical, {50, 100}, names);
        ::umask(before);
        QCOMPARE(result, PartsExport::Result::Saved);
        for (const QString& name : names) {
            struct stat info;
            QVERIFY(::stat(QFile::encodeName(name), &info) == 0);
            QCOMPARE(int(info.st_mode & 0777), name == names[0] || existingMode < 0 ? expectedMode : 0644);
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot),
                 leftovers.mid(1));
    }

    void numberedNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("dots inside the name") << "/a/v1.2.jpg" << 1 << QStringList{"/a/v1.2-001.jpg"};
        QTest::newRow("no suffix") << "/a/page" << 2 << QStringList{"/a/page-001", "/a/page-002"};
        QTest::newRow("more than 999 parts") << "/a/p.png" << 1000 << QStringList{"/a/p-0001.png"};
    }
    void numberedNames()
    {
        QFETCH(QString, name);
        QFETCH(int, count);
        QFETCH(QStringList, expected);
        const QStringList names = PartFiles::numberedNames(name, count);
        QCOMPARE(names.size(), count);
        QCOMPARE(names.mid(0, expected.size()), expected);
    }

    // A strip written whole or in five parts that cannot paint a band after its first two fifths, comes
    // back narrower there, is cancelled while that band is painted and the ones before it compressed,
    // fills the disk, or finds a part's name taken by a folder: the folder is left as it was, an earlier
    // file of the first name whole, and no temporary file or working folder.
    void unfinishedExportLeavesNoTrace_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<bool>("parts");
        QTest::addColumn<ExportFormat>("format");
        QTest::addColumn<bool>("exists");
        for (const char* failure : {"cancel", "disk full", "band missing", "strip changed", "name taken"})
            for (const bool parts : {false, true})
                for (const ExportFormat::Kind kind : {ExportFormat::Kind::Png, ExportFormat::Kind::Jpeg})
                    for (const bool exists : {false, true})
                        if (parts || QString(failure) != "name taken")
                            QTest::addRow("%s, %s, %s%s", failure, parts ? "parts" : "whole",
                                          qPrintable(ExportFormat::suffix(kind)),
                                          exists ? ", over a file" : "")
                                << QString(failure) << parts << formatOf(kind) << exists;
    }
    void unfinishedExportLeavesNoTrace()
    {
        QFETCH(QString, failure);
        QFETCH(bool, parts);
        QFETCH(ExportFormat, format);
        QFETCH(bool, exists);
        QTemporaryDir dir;
        const QString path = dir.filePath("page." + ExportFormat::suffix(format.kind));
        const QStringList names = parts ? PartFiles::numberedNames(path, 5) : QStringList{path};
        QStringList left;
        if (exists)
            left << QFileInfo(existingFile(dir, QFileInfo(names[0]).fileName())).fileName();
        if (failure == "name taken") {
            left << QFileInfo(names[2]).fileName();
            QVERIFY(QDir(dir.path()).mkdir(left.last()));
        }
        const QImage picture = photoLikeImage(3000, 500, 6);
        bool cancelPressed = false;
        const RegionSource strip{
            picture.size(), [&](const QRect& area) {
                const bool late = area.top() >= 200;
                cancelPressed = cancelPressed || (late && failure == "cancel");
                if (late && failure == "band missing")
                    return QImage();
                return picture.copy(late && failure == "strip changed" ? area.adjusted(0, 0, -100, 0) : area);
            }};
        int lastRows = -1;
        const auto progress = [&](int rows, int) {
            lastRows = rows;
            return !cancelPressed;
        };
        StripExport whole;
        whole.setFormat(format);
        whole.setBandRows(20);
        whole.setProgress(progress);
        PartsExport inParts;
        inParts.setFormat(format);
        inParts.setProgress(progress);
        std::optional<FileSizeLimit> limit;
        if (failure == "disk full")
            limit.emplace(30000);
        const StripExport::Result result =
            parts ? inParts.save(strip, Qt::Vertical, {100, 200, 300, 400, 500}, names)
                  : whole.save(strip.bandsOf(picture.rect()), path);
        limit.reset();
        const QString error = parts ? inParts.errorString() : whole.errorString();
        QCOMPARE(result, failure == "cancel" ? StripExport::Result::Cancelled : StripExport::Result::Failed);
        if (failure == "cancel")
            QVERIFY2(lastRows < picture.height(), qPrintable(QString::number(lastRows)));
        QVERIFY(!error.isEmpty());
        if (failure == "name taken")
            QVERIFY2(error.contains(left.last()), qPrintable(error));
        if (failure == "disk full")
            QVERIFY2(error.contains("large"), qPrintable(error));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), left);
        QCOMPARE(contents(names[0]), exists ? previous : QByteArray());
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

QTEST_MAIN(TestPartsExport)
#include "tst_partsexport.moc"
