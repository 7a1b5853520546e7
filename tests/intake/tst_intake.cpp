#include "intake/intake.h"
#include "intake/memorybudget.h"
#include "intake/photodecoder.h"
#include "intake/photointake.h"
#include "panorama/engine/stitchformats.h"

#include <QBuffer>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtTest>

namespace {

QStringList writePhotos(const QTemporaryDir& dir, int count, const QSize& size = {100, 100})
{
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(QColor::fromHsv(i * 40 % 360, 200, 200));
        paths << dir.filePath(QString("p%1.png").arg(i));
        image.save(paths.last());
    }
    return paths;
}

// Runs the intake and returns the paths it handed on, in order; one handed on without a picture
// shows as "null".
QStringList handedOn(Intake& intake, const QStringList& paths)
{
    QStringList got;
    const auto connection =
        QObject::connect(&intake, &Intake::photoReady, [&got](const QImage& image, const QString& path) {
            got << (image.isNull() ? QString("null") : path);
        });
    intake.start(paths);
    if (!QTest::qWaitFor([&intake] { return intake.isFinished(); }, 20000))
        got << "not finished";
    QObject::disconnect(connection);
    return got;
}

} // namespace

class TestIntake : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

    QString written(const QString& name, const QByteArray& bytes)
    {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? file.fileName()
                                                                                    : QString();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        // Out-of-order finishing needs two decodes at once, whatever the machine.
        Intake::threadPool()->setMaxThreadCount(qMax(3, Intake::threadPool()->maxThreadCount()));
    }
    void cleanup() { MemoryBudget::setFixed(std::nullopt); }

    void orderHoldsWhenLaterPhotosDecodeFirst()
    {
        const QStringList paths = writePhotos(dir, 4);
        // The first photo finishes only once the last one has.
        QSemaphore lastDone;
        std::atomic<bool> waitedForLast{false};
        Intake intake;
        intake.setDecoder([&](const QString& path, const QSize& box) {
            if (path == paths.first())
                waitedForLast = lastDone.tryAcquire(1, 10000);
            QImage image = PhotoDecoder::decode(path, box);
            if (path == paths.last())
                lastDone.release();
            return image;
        });
        QSignalSpy progress(&intake, &Intake::progressed);
        QCOMPARE(handedOn(intake, paths), paths);
        QVERIFY(waitedForLast);
        QCOMPARE(progress.count(), 4);
        QCOMPARE(progress.last().at(0).toInt(), 4);
    }

    // A PNG thumbnail holds the whole picture while it decodes: decodes that would hold more than the
    // budget at once wait for each other, each alone fits.
    void decodesAtOnceStayWithinTheBudget()
    {
        const QStringList paths = writePhotos(dir, 4, {1000, 1000});
        std::atomic<int> decoding{0}, most{0};
        Intake intake;
        intake.setBudget(qint64(6) << 20);
        intake.setFitWithin({100, 100});
        intake.setDecoder([&](const QString& path, const QSize& box) {
            most = std::max(most.load(), ++decoding);
            QThread::msleep(50);
            QImage image = PhotoDecoder::decode(path, box);
            --decoding;
            return image;
        });
        QCOMPARE(handedOn(intake, paths), paths);
        QCOMPARE(most.load(), 1);
    }

    void refusalsAreGroupedBySizeAndReason()
    {
        using R = Intake::Reason;
        const QList<Intake::Refusal> refused = {{"/a/big.jpg", {300, 200}, R::NotEnoughMemory},
                                                {"/a/one.jpg", {100, 100}, R::NotEnoughMemory},
                                                {"/a/huge.png", {90000, 90000}, R::TooLarge},
                                                {"/a/two.jpg", {100, 100}, R::NotEnoughMemory}};
        QCOMPARE(
            Intake::refusalText(refused),
            QString("Not enough memory for 300 × 200 photos: 1 photo was not added: big.jpg\n\n"
                    "Not enough memory for 100 × 100 photos: 2 photos were not added: one.jpg, two.jpg\n\n"
                    "Too large to open (90000 × 90000 pixels): 1 photo was not added: huge.png"));
        QVERIFY(Intake::refusalText({}).isEmpty());
    }

    void photoFormatsAreWhatTheReadersDecode_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("WebP") << QByteArray("webp");
        QTest::newRow("TIFF") << QByteArray("tiff");
        QTest::newRow("JPEG") << QByteArray("jpeg");
        QTest::newRow("PNG") << QByteArray("png");
    }

    void photoFormatsAreWhatTheReadersDecode()
    {
        QFETCH(QByteArray, format);
        QVERIFY(PhotoIntake::nameFilters().first().contains("*." + format));
        const QString path = dir.filePath("photo." + format);
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        QVERIFY(image.save(path, format.constData()));
        QCOMPARE(PhotoDecoder::decode(path).size(), QSize(64, 48));
        // Thumbnails decode small, and are never enlarged.
        for (const auto& [box, size] :
             {std::pair{QSize(32, 100), QSize(32, 24)}, std::pair{QSize(200, 200), QSize(64, 48)}}) {
            QCOMPARE(PhotoDecoder::readHeader(path, box).size, size);
            QCOMPARE(PhotoDecoder::decode(path, box).size(), size);
        }
        QVERIFY(StitchFormats::canRead(path));
        QVERIFY(StitchFormats::among({format}).contains(format));
    }

    void nonPhotosAreNotOffered()
    {
        const QList<QByteArray> formats = PhotoDecoder::photoFormats();
        QVERIFY(!formats.contains("svg") && !formats.contains("svgz"));
        // The stitch reads no GIF, so the panorama list does not offer it.
        QVERIFY(formats.contains("gif"));
        QVERIFY(!StitchFormats::among(formats).contains("gif"));
        // A drawing of 16000 x 16000 in 122 bytes, under a photo's name.
        const QString svg =
            written("drawing.png", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16000\" "
                                   "height=\"16000\"><rect width=\"16000\" height=\"16000\"/></svg>");
        QCOMPARE(PhotoDecoder::readHeader(svg).kind, PhotoDecoder::Header::NotAPhoto);
        QVERIFY(PhotoDecoder::decode(svg).isNull());
    }

    void strayBytesInAJpegAreNoDamage_data()
    {
        QTest::addColumn<bool>("cut");
        QTest::newRow("stray bytes before the scan") << false;
        QTest::newRow("stray bytes, then cut short") << true;
    }

    void strayBytesInAJpegAreNoDamage()
    {
        QFETCH(bool, cut);
        QImage image(256, 192, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, qRgb(x, y, (x * y) & 255));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "jpeg"));
        const int scan = bytes.indexOf("\xff\xda");
        QVERIFY(scan > 0);
        bytes.insert(scan, QByteArray(3, '\0'));
        if (cut)
            bytes.truncate(scan + (bytes.size() - scan) / 2);
        const QString path = written(QString("stray%1.jpg").arg(cut), bytes);
        QVERIFY(!path.isEmpty());
        QCOMPARE(PhotoDecoder::decode(path).isNull(), cut);
    }

    void kernelFiguresAreRead()
    {
        const QByteArray meminfo = "MemTotal:       24000000 kB\nMemFree:         100 kB\n"
                                   "MemAvailable:   20000000 kB\nBuffers:  5 kB\n";
        QCOMPARE(MemoryBudget::memAvailable(meminfo), std::optional<qint64>(qint64(20000000) * 1024));
        QCOMPARE(MemoryBudget::memAvailable("MemTotal: 5 kB\n"), std::optional<qint64>());
        QCOMPARE(MemoryBudget::vmSize("Name:\tx\nVmPeak:\t  900 kB\nVmSize:\t  800 kB\n"),
                 std::optional<qint64>(800 * 1024));
    }
};

QTEST_MAIN(TestIntake)
#include "tst_intake.moc"
