#include "canvas/deflatestream.h"
#include "canvas/pngwriter.h"
#include "support/photolikeimage.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QtTest>

#include <libdeflate.h>

Q_DECLARE_METATYPE(QImage::Format)
Q_DECLARE_METATYPE(PngWriter::RowFilter)

namespace {

QImage randomImage(int width, int height, QImage::Format format, quint32 seed)
{
    QRandomGenerator random(seed);
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = random.generate();
    }
    if (format == QImage::Format_Indexed8) {
        QVector<QRgb> colours;
        for (int i = 0; i < 256; ++i)
            colours.append(random.generate() | 0xff000000u);
        QImage indexed(width, height, QImage::Format_Indexed8);
        indexed.setColorTable(colours);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                indexed.scanLine(y)[x] = uchar(random.bounded(256));
        return indexed;
    }
    return image.convertToFormat(format);
}

QByteArray ourPng(const QImage& image, PngWriter& writer)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!writer.write(image, &buffer))
        return {};
    return bytes;
}

QByteArray ourPng(const QImage& image)
{
    PngWriter writer;
    return ourPng(image, writer);
}

QByteArray qtPng(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.write(image);
    return bytes;
}

QImage decode(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return reader.read();
}

// Compares two decoded images pixel by pixel and names the first difference.
bool samePixels(const QImage& actual, const QImage& expected, QByteArray& why)
{
    if (actual.size() != expected.size()) {
        why = "size differs";
        return false;
    }
    const QImage a = actual.convertToFormat(QImage::Format_ARGB32);
    const QImage e = expected.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < a.height(); ++y) {
        const auto* la = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* le = reinterpret_cast<const QRgb*>(e.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            if (la[x] != le[x]) {
                why = QStringLiteral("pixel (%1, %2) is %3, expected %4")
                          .arg(x)
                          .arg(y)
                          .arg(la[x], 8, 16, QLatin1Char('0'))
                          .arg(le[x], 8, 16, QLatin1Char('0'))
                          .toLatin1();
                return false;
            }
        }
    }
    return true;
}

// The zlib stream of a PNG file: the IDAT payloads joined.
QByteArray zlibStream(const QByteArray& png)
{
    QByteArray stream;
    for (int at = 8; at + 12 <= png.size();) {
        const auto* p = reinterpret_cast<const uchar*>(png.constData() + at);
        const int length = int(quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3]);
        if (png.mid(at + 4, 4) == "IDAT")
            stream += png.mid(at + 8, length);
        at += 12 + length;
    }
    return stream;
}

QByteArray deflateRaw(const QByteArray& data, int level)
{
    libdeflate_compressor* compressor = libdeflate_alloc_compressor(level);
    QByteArray out(int(libdeflate_deflate_compress_bound(compressor, size_t(data.size()))), '\0');
    const size_t size = libdeflate_deflate_compress(compressor, data.constData(), size_t(data.size()),
                                                    out.data(), size_t(out.size()));
    libdeflate_free_compressor(compressor);
    out.resize(int(size));
    return out;
}

QByteArray inflateRaw(const QByteArray& data, int expectedSize)
{
    libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
    QByteArray out(expectedSize, '\0');
    size_t actual = 0;
    const auto result = libdeflate_deflate_decompress(decompressor, data.constData(), size_t(data.size()),
                                                      out.data(), size_t(out.size()), &actual);
    libdeflate_free_decompressor(decompressor);
    return result == LIBDEFLATE_SUCCESS && actual == size_t(expectedSize) ? out : QByteArray();
}

// Bytes from a few hundred to a few hundred thousand, from noise to long repeats, so the compressor
// emits stored, fixed and dynamic blocks.
QByteArray sampleData(QRandomGenerator& random)
{
    const int size = random.bounded(1, 300000);
    const int alphabet = 1 << random.bounded(1, 9);
    QByteArray data(size, '\0');
    for (int i = 0; i < size; ++i)
        data[i] = char(i > 64 && random.bounded(4) == 0 ? data[i - 1 - random.bounded(64)]
                                                        : random.bounded(alphabet));
    return data;
}

std::vector<std::uint8_t> toVector(const QByteArray& bytes)
{
    return std::vector<std::uint8_t>(bytes.constBegin(), bytes.constEnd());
}

// A device that takes only so many bytes, like a full disk.
class FullDevice : public QIODevice
{
public:
    explicit FullDevice(qint64 capacity) : capacity(capacity) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    // Takes what still fits, and fails only when nothing does.
    qint64 writeData(const char*, qint64 size) override
    {
        if (capacity == 0) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        const qint64 taken = std::min(size, capacity);
        capacity -= taken;
        return taken;
    }

private:
    qint64 capacity;
};

} // namespace

class TestPngWriter : public QObject
{
    Q_OBJECT
private slots:
    void decodesToQtsPixels_data()
    {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<PngWriter::RowFilter>("filter");
        QTest::addColumn<int>("rowsPerBand");
        using F = PngWriter::RowFilter;
        QTest::newRow("1x1") << randomImage(1, 1, QImage::Format_RGB32, 1) << F::Adaptive << 0;
        QTest::newRow("1x1 alpha") << randomImage(1, 1, QImage::Format_ARGB32, 2) << F::Adaptive << 0;
        QTest::newRow("3x7") << randomImage(3, 7, QImage::Format_RGB32, 3) << F::Adaptive << 0;
        QTest::newRow("5001x3") << randomImage(5001, 3, QImage::Format_RGB32, 4) << F::Adaptive << 0;
        QTest::newRow("5001x3 one row a band")
            << randomImage(5001, 3, QImage::Format_RGB32, 5) << F::Adaptive << 1;
        QTest::newRow("3x5001 alpha") << randomImage(3, 5001, QImage::Format_ARGB32, 6) << F::Adaptive << 0;
        QTest::newRow("premultiplied")
            << randomImage(37, 19, QImage::Format_ARGB32_Premultiplied, 7) << F::Adaptive << 4;
        QTest::newRow("rgb888") << randomImage(23, 9, QImage::Format_RGB888, 8) << F::Adaptive << 0;
        QTest::newRow("grayscale") << randomImage(31, 9, QImage::Format_Grayscale8, 9) << F::Adaptive << 0;
        QTest::newRow("indexed") << randomImage(29, 11, QImage::Format_Indexed8, 10) << F::Adaptive << 3;
        // Every filter alone, on widths that leave a remainder after whole 16-byte steps.
        const QPair<const char*, F> filters[] = {
            {"none", F::None}, {"sub", F::Sub}, {"up", F::Up}, {"average", F::Average}, {"paeth", F::Paeth}};
        for (const auto& [name, filter] : filters) {
            QTest::newRow(QByteArray("photo ").append(name).constData())
                << photoLikeImage(53, 41, 11) << filter << 5;
            QTest::newRow(QByteArray("random alpha ").append(name).constData())
                << randomImage(37, 13, QImage::Format_ARGB32, 12) << filter << 0;
        }
        QTest::newRow("photo-like") << photoLikeImage(700, 500, 13) << F::Adaptive << 0;
        QTest::newRow("photo-like alpha") << photoLikeImage(300, 200, 14, true) << F::Adaptive << 17;
    }

    void decodesToQtsPixels()
    {
        QFETCH(QImage, image);
        QFETCH(PngWriter::RowFilter, filter);
        QFETCH(int, rowsPerBand);
        PngWriter writer;
        writer.setRowFilter(filter);
        writer.setRowsPerBand(rowsPerBand);
        const QImage ours = decode(ourPng(image, writer));
        QVERIFY2(!ours.isNull(), "Qt's reader rejects the file");
        QCOMPARE(ours.hasAlphaChannel(), image.hasAlphaChannel());
        QByteArray why;
        QVERIFY2(samePixels(ours, decode(qtPng(image)), why), why.constData());
    }

    void keepsDensity()
    {
        QImage image = randomImage(4, 4, QImage::Format_RGB32, 15);
        image.setDotsPerMeterX(11811);
        image.setDotsPerMeterY(5906);
        const QImage decoded = decode(ourPng(image));
        QCOMPARE(decoded.dotsPerMeterX(), 11811);
        QCOMPARE(decoded.dotsPerMeterY(), 5906);
    }

    void noLargerThanQtsFile()
    {
        const QImage photo = photoLikeJpegImage(1600, 900, 16);
        QVERIFY(!photo.isNull());
        const int ours = ourPng(photo).size();
        const int qt = qtPng(photo).size();
        QVERIFY(ours > 0);
        QVERIFY2(ours <= qt * 1.02, qPrintable(QStringLiteral("%1 bytes against Qt's %2").arg(ours).arg(qt)));
    }

    // Several bands, each several deflate blocks long, must form one stream that ends exactly once, and
    // the same bytes must come out whatever the number of threads.
    void joinsBandsIntoOneStream()
    {
        const QImage photo = photoLikeImage(1400, 800, 17);
        PngWriter writer;
        writer.setRowsPerBand(190);
        writer.setThreadCount(2);
        const QByteArray png = ourPng(photo, writer);
        const QByteArray zlib = zlibStream(png);
        QVERIFY(zlib.size() > 6);

        const auto* raw = reinterpret_cast<const std::uint8_t*>(zlib.constData()) + 2;
        const std::size_t rawSize = std::size_t(zlib.size()) - 6;
        const DeflateStream::Walk walked = DeflateStream::walk(raw, rawSize);
        QVERIFY(walked.valid);
        QCOMPARE((walked.endBit + 7) / 8, std::uint64_t(rawSize));
        const int bands = (800 + 189) / 190;
        QVERIFY2(walked.blocks >= 3 * bands, qPrintable(QString::number(walked.blocks)));

        const int filteredSize = 800 * (1400 * 3 + 1);
        QByteArray filtered(filteredSize, '\0');
        libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
        const auto result = libdeflate_zlib_decompress(decompressor, zlib.constData(), size_t(zlib.size()),
                                                       filtered.data(), size_t(filtered.size()), nullptr);
        libdeflate_free_decompressor(decompressor);
        QCOMPARE(int(result), int(LIBDEFLATE_SUCCESS));

        QByteArray why;
        QVERIFY2(samePixels(decode(png), photo, why), why.constData());
        for (int threads : {1, 3}) {
            PngWriter other;
            other.setRowsPerBand(190);
            other.setThreadCount(threads);
            QVERIFY2(ourPng(photo, other) == png, qPrintable(QString::number(threads)));
        }
    }

    void reportsProgressAndCancels()
    {
        const QImage photo = photoLikeImage(300, 100, 18);
        PngWriter writer;
        writer.setRowsPerBand(10);
        QVector<int> seen;
        writer.setProgress([&](int rows, int total) {
            seen.append(rows);
            return total == 100;
        });
        QVERIFY(!ourPng(photo, writer).isEmpty());
        QVERIFY(!seen.isEmpty());
        QCOMPARE(seen.last(), 100);
        QVERIFY(std::is_sorted(seen.begin(), seen.end()));
        QVERIFY(!writer.wasCancelled());

        for (int stopAfter : {0, 1, 5}) {
            int calls = 0;
            writer.setProgress([&](int, int) { return calls++ < stopAfter; });
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            QVERIFY(!writer.write(photo, &buffer));
            QVERIFY(writer.wasCancelled());
            QVERIFY(!writer.errorString().isEmpty());
        }
    }

    void reportsDeviceFailures()
    {
        const QImage photo = photoLikeImage(200, 200, 19);
        PngWriter writer;
        for (qint64 capacity : {0, 40, 5000}) {
            FullDevice device(capacity);
            QVERIFY(!writer.write(photo, &device));
            QVERIFY(!writer.wasCancelled());
            QCOMPARE(writer.errorString(), QStringLiteral("No space left on device"));
        }
        QBuffer closed;
        QVERIFY(!writer.write(photo, &closed));
        QVERIFY(!writer.write(QImage(), &closed));
    }

    // Streams of every kind and level must walk to their exact end; joined, they must inflate to the
    // data one after the other.
    void walksAndJoinsCompressorOutput()
    {
        QRandomGenerator random(20);
        for (int round = 0; round < 60; ++round) {
            QByteArray all;
            std::vector<std::uint8_t> joined;
            const int pieces = random.bounded(1, 4);
            for (int piece = 0; piece < pieces; ++piece) {
                const QByteArray data = sampleData(random);
                const QByteArray deflated = deflateRaw(data, random.bounded(0, 13));
                const auto* bytes = reinterpret_cast<const std::uint8_t*>(deflated.constData());
                const DeflateStream::Walk walked = DeflateStream::walk(bytes, std::size_t(deflated.size()));
                QVERIFY(walked.valid);
                QCOMPARE((walked.endBit + 7) / 8, std::uint64_t(deflated.size()));
                // Cut short, it must not walk.
                QVERIFY(!DeflateStream::walk(bytes, std::size_t(deflated.size()) - 1).valid);
                std::vector<std::uint8_t> stream = toVector(deflated);
                if (piece + 1 < pieces)
                    QVERIFY(DeflateStream::makeJoinable(stream));
                joined.insert(joined.end(), stream.begin(), stream.end());
                all += data;
            }
            const QByteArray joinedBytes(reinterpret_cast<const char*>(joined.data()), int(joined.size()));
            QVERIFY2(inflateRaw(joinedBytes, all.size()) == all, qPrintable(QString::number(round)));
        }
    }

    // Garbage and damaged streams must be rejected or walked within their bounds, never read past them
    // (the sanitizer build checks the reads).
    void survivesDamagedStreams()
    {
        QRandomGenerator random(21);
        const QByteArray good = deflateRaw(sampleData(random), 6);
        for (int round = 0; round < 3000; ++round) {
            QByteArray bytes;
            if (round % 2 == 0) {
                bytes.resize(random.bounded(0, 2000));
                for (char& byte : bytes)
                    byte = char(random.bounded(256));
            } else {
                bytes = good.left(random.bounded(1, good.size() + 1));
                for (int flips = random.bounded(1, 4); flips > 0; --flips) {
                    const int at = random.bounded(bytes.size());
                    bytes[at] = char(bytes.at(at) ^ (1 << random.bounded(8)));
                }
            }
            const DeflateStream::Walk walked = DeflateStream::walk(
                reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()));
            if (walked.valid)
                QVERIFY(walked.endBit <= std::uint64_t(bytes.size()) * 8 &&
                        walked.finalHeaderBit < walked.endBit);
        }
        std::vector<std::uint8_t> garbage = {0xff, 0xff, 0xff};
        QVERIFY(!DeflateStream::makeJoinable(garbage));
        QCOMPARE(garbage.size(), std::size_t(3));
    }

    void combinesChecksums()
    {
        QRandomGenerator random(22);
        for (int round = 0; round < 50; ++round) {
            const QByteArray data = sampleData(random);
            const int cut = random.bounded(data.size() + 1);
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.constData());
            const std::uint32_t first = libdeflate_adler32(1, bytes, std::size_t(cut));
            const std::uint32_t second = libdeflate_adler32(1, bytes + cut, std::size_t(data.size() - cut));
            QCOMPARE(DeflateStream::combineAdler32(first, second, std::uint64_t(data.size() - cut)),
                     libdeflate_adler32(1, bytes, std::size_t(data.size())));
        }
    }
};

QTEST_MAIN(TestPngWriter)
#include "tst_pngwriter.moc"
