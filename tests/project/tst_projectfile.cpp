#include "canvas/stitcherconfig.h"
#include "project/projectfile.h"
#include "project/projectmanifest.h"
#include "support/filledimage.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <zip.h>

// Project files without a window: everything the strip holds comes back, the photos' own bytes are
// kept, and every kind of bad file is refused with its own message, changing nothing.
class TestProjectFile : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    QString jpegPath;
    QByteArray jpegBytes;

    StripState fullStrip() const
    {
        StripState s;
        QImage jpeg(jpegPath);
        jpeg = jpeg.convertToFormat(QImage::Format_RGB32);
        const QFileInfo file(jpegPath);
        s.photos.append(
            {jpeg, "beach.jpg", {3, 2, 60, 40}, {jpegPath, file.size(), file.lastModified(), {}}});
        const QImage panorama = filledImage(90, 30, Qt::darkRed);
        s.photos.append({panorama, "panorama.jpg", Geometry::Crop::whole(panorama.size()), {}});
        // Vertical, spacing mode 3 with 12.75 inside, painted 210 x 70, area 214.5 wide cut 4.5 at left.
        s.layout = {Geometry::Vertical, 3, 12.75, 5, 210, 70, 214.5, 70, 4.5};
        s.spacingColor = QColor(10, 20, 30);
        Annotation a = Annotation::begin({QPoint(5, 6), 1}, 6, Qt::red, Annotation::Path);
        a.extend({QPoint(9, 12), 1});
        a.order = 3;
        s.annotations = {a, Annotation::begin({QPoint(1, 1), 0}, 3, Qt::green, Annotation::Arrow)};
        MosaicStroke m = MosaicStroke::begin({QPoint(7, 7), 0}, "mosaic-normal", 9);
        m.extend({QPoint(20, 9), 0});
        s.mosaicStrokes = {m};
        s.watermark = {Watermark::Tile, "Quillmoor", 128, 40, 60, Qt::yellow};
        return s;
    }

    static ToolSettings savedTools()
    {
        return {StitcherConfig::MosaicTool, Annotation::Arrow, 9, QColor(128, 0, 128, 200), "mosaic-red", 12};
    }

    QString saved(const QString& name)
    {
        const QString path = dir.filePath(name);
        ProjectFile project;
        if (!project.save(fullStrip(), path, savedTools()))
            qWarning() << project.errorString();
        return path;
    }

    // A container of these entries, written with the zip library directly.
    QString container(const QString& name, const QMap<QString, QByteArray>& entries)
    {
        const QString path = dir.filePath(name);
        int error = 0;
        zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            zip_source_t* data = zip_source_buffer(archive, it.value().constData(), it.value().size(), 0);
            zip_file_add(archive, it.key().toUtf8().constData(), data, 0);
        }
        zip_close(archive);
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QImage photo = filledImage(64, 48, Qt::darkCyan);
        QPainter(&photo).fillRect(10, 10, 30, 20, Qt::white);
        jpegPath = dir.filePath("beach.jpg");
        QVERIFY(photo.save(jpegPath, "JPEG", 80));
        QFile file(jpegPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        jpegBytes = file.readAll();
    }

    void bringsBackTheWholeStrip()
    {
        const StripState before = fullStrip();
        const QString path = saved("full.seamwright");
        // The photo's file can go: the project is self-contained.
        QVERIFY(QFile::rename(jpegPath, jpegPath + ".moved"));
        StripState after;
        std::optional<ToolSettings> tools;
        ProjectFile project;
        const ProjectFile::Result result = project.open(path, &after, &tools);
        QVERIFY(QFile::rename(jpegPath + ".moved", jpegPath));
        QCOMPARE(int(result), int(ProjectFile::Result::Opened));
        QCOMPARE(after.photos.size(), 2);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(after.photos[i].image, before.photos[i].image);
            // Only the images are new objects; every other field comes back as it was.
            after.photos[i].image = before.photos[i].image;
        }
        QCOMPARE(after.photos[0].source.bytes, jpegBytes); // never recompressed
        QVERIFY(after == before);
        QVERIFY(tools && *tools == savedTools());

        // Saved again, the photos keep the bytes they came with.
        const QString again = dir.filePath("again.seamwright");
        QVERIFY(project.save(after, again));
        StripState third;
        QCOMPARE(int(project.open(again, &third)), int(ProjectFile::Result::Opened));
        QCOMPARE(third.photos[0].source.bytes, jpegBytes);
        QCOMPARE(third.photos[1].image, before.photos[1].image);
    }

    void refusesBadFilesWithOneMessage_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("message");
        const QString good = saved("good.seamwright");
        QFile in(good);
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QByteArray bytes = in.readAll();
        const auto write = [this](const QString& name, const QByteArray& content) {
            QFile out(dir.filePath(name));
            out.open(QIODevice::WriteOnly);
            out.write(content);
            return out.fileName();
        };
        QByteArray flipped = bytes;
        const int photoAt = bytes.indexOf(jpegBytes.mid(0, 64));
        QVERIFY(photoAt > 0);
        flipped[photoAt + jpegBytes.size() / 2] = char(flipped[photoAt + jpegBytes.size() / 2] ^ 0x55);
        const QByteArray manifest =
            ProjectManifest::write(fullStrip(), {"photos/0001.jpg", "photos/0002.png"});
        QByteArray future = manifest;
        future.replace("\"version\": 1", "\"version\": 2");
        QByteArray fieldless = manifest;
        fieldless.replace("\"commonSize\"", "\"commonSizes\"");
        using R = ProjectFile::Result;
        const auto row = [](const char* name, const QString& path, R result, const char* message) {
            QTest::newRow(name) << path << int(result) << QString(message);
        };
        const auto damaged = [&row](const char* name, const QString& path) {
            row(name, path, R::Damaged, "is damaged");
        };
        row("a picture", jpegPath, R::NotAProject, "is not a Seamwright project");
        row("another zip", container("other.seamwright", {{"readme.txt", "hello"}}), R::NotAProject,
            "is not a");
        damaged("truncated", write("half.seamwright", bytes.left(bytes.size() / 2)));
        damaged("photo bytes changed", write("flipped.seamwright", flipped));
        row("newer version", container("future.seamwright", {{"manifest.json", future}}), R::Newer,
            "newer version of Seamwright");
        damaged("manifest not json", container("garbled.seamwright", {{"manifest.json", manifest.left(40)}}));
        damaged("manifest field missing", container("fieldless.seamwright", {{"manifest.json", fieldless}}));
        damaged("photo missing", container("photoless.seamwright", {{"manifest.json", manifest}}));
        // Tool settings no panel could show.
        for (const auto& [name, tool, width] :
             {std::tuple{"trimming is no pen", StitcherConfig::TrimTool, 3.0},
              std::tuple{"no pen width", StitcherConfig::DrawTool, 0.0},
              std::tuple{"huge pen width", StitcherConfig::DrawTool, 1e9}}) {
            ToolSettings tools = savedTools();
            tools.tool = tool;
            tools.penWidth = width;
            const QString path = dir.filePath(QString(name) + ".seamwright");
            QVERIFY(ProjectFile().save(fullStrip(), path, tools));
            damaged(name, path);
        }
    }
    void refusesBadFilesWithOneMessage()
    {
        QFETCH(QString, path);
        QFETCH(int, result);
        QFETCH(QString, message);
        StripState untouched = fullStrip();
        const StripState before = untouched;
        ProjectFile project;
        QCOMPARE(int(project.open(path, &untouched)), result);
        QVERIFY2(project.errorString().contains(message), qPrintable(project.errorString()));
        QVERIFY(untouched == before);
    }
};

QTEST_MAIN(TestProjectFile)
#include "tst_projectfile.moc"
