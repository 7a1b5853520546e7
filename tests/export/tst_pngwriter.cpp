#include "export/deflatestream.h"
#include "export/stripexport.h"
#include "support/filesizelimit.h"
#include "support/photolikeimage.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <libdeflate.h>

#include <algorithm>

Q_DECLARE_METATYPE(PngWriter::RowFilter)

namespace {

QImage randomImage(int width, int height, QImage::Format format, quint32 seed)
{
    QRandomGenerator random(seed);
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        random.fillRange(reinterpret_cast<quint32*>(image.scanLine(y)), width);
    return image.convertToFormat(format);
}

// The image as our writer encodes it, or as Qt's does without one.
QByteArray png(const QImage& image, StripExport* writer = nullptr)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!writer)
        return image.save(&buffer, "png") ? bytes : QByteArray();
    return writer->write(BandSource::fromImage(image), &buffer) == StripExport::Result::Saved ? bytes
                                                                                              : QByteArray();
}

// Pixels as Qt reads them, in one format, so that any difference is a difference of colour.
QImage argb(const QImage& image)
{
    return image.convertToFormat(QImage::Format_ARGB32);
}

// The zlib stream of a PNG file: the IDAT payloads joined.
QByteArray zlibStream(const QByteArray& png)
{
    QByteArray stream;
    for (int at = 8; at + 12 <= png.size();) {
        const int length = int(qFromBigEndian<quint32>(png.constData() + at));
        if (png.mid(at + 4, 4) == "IDAT")
            stream += png.mid(at + 8, length);
        at += 12 + length;
    }
    return stream;
}

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
        // Random pixels make stored deflate blocks, a few bytes a band fixed ones: each kind must join.
        QTest::newRow("tiny bands") << randomImage(3, 7, QImage::Format_RGB32, 3) << F::Adaptive << 1;
        QTest::newRow("1x1 alpha") << randomImage(1, 1, QImage::Format_ARGB32, 2) << F::Adaptive << 0;
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
        for (const auto& [name, filter] : filters)
            QTest::newRow(name) << randomImage(37, 13, QImage::Format_ARGB32, 12) << filter << 0;
    }
    void decodesToQtsPixels()
    {
        QFETCH(QImage, image);
        QFETCH(PngWriter::RowFilter, filter);
        QFETCH(int, rowsPerBand);
        image.setDotsPerMeterX(11811);
        image.setDotsPerMeterY(5906);
        StripExport writer;
        writer.setRowFilter(filter);
        writer.setBandRows(rowsPerBand);
        const QImage ours = QImage::fromData(png(image, &writer), "png");
        QCOMPARE(ours.hasAlphaChannel(), image.hasAlphaChannel());
        QCOMPARE(argb(ours), argb(QImage::fromData(png(image), "png")));
        QCOMPARE(ours.dotsPerMeterX(), 11811);
        QCOMPARE(ours.dotsPerMeterY(), 5906);
    }

    void noLargerThanQtsFile()
    {
        const QImage photo = photoLikeJpegImage(1600, 900, 16);
        StripExport writer;
        const int ours = png(photo, &writer).size();
        const int qt = png(photo).size();
        QVERIFY(ours > 0);
        QVERIFY2(ours <= qt * 1.02, qPrintable(QStringLiteral("%1 bytes against Qt's %2").arg(ours).arg(qt)));
    }

    // Several bands, each several deflate blocks long, must form one stream that ends exactly once, and
    // the same bytes must come out whatever the number of threads.
    void joinsBandsIntoOneStream()
    {
        const QImage photo = photoLikeImage(1400, 800, 17);
        QByteArray file;
        for (int threads : {2, 1, 3}) {
            StripExport writer;
            writer.setBandRows(190);
            writer.setThreadCount(threads);
            const QByteArray bytes = png(photo, &writer);
            if (file.isEmpty())
                file = bytes;
            QVERIFY2(bytes == file, qPrintable(QString::number(threads)));
        }
        const QByteArray zlib = zlibStream(file);
        QVERIFY(zlib.size() > 6);
        const std::size_t rawSize = std::size_t(zlib.size()) - 6;
        const auto walked =
            DeflateStream::walk(reinterpret_cast<const std::uint8_t*>(zlib.constData()) + 2, rawSize);
        QVERIFY(walked.valid);
        QCOMPARE((walked.endBit + 7) / 8, std::uint64_t(rawSize));
        QVERIFY2(walked.blocks >= 3 * ((800 + 189) / 190), qPrintable(QString::number(walked.blocks)));
        // The joined checksum must hold as well as the stream.
        QByteArray filtered(800 * (1400 * 3 + 1), '\0');
        libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
        const auto result = libdeflate_zlib_decompress(decompressor, zlib.constData(), size_t(zlib.size()),
                                                       filtered.data(), size_t(filtered.size()), nullptr);
        libdeflate_free_decompressor(decompressor);
        QCOMPARE(int(result), int(LIBDEFLATE_SUCCESS));
        QCOMPARE(argb(QImage::fromData(file, "png")), argb(photo));
    }

    // Cancelling is checked through the export; here, what only the writer knows.
    void progressAndDeviceFailures()
    {
        const QImage photo = photoLikeImage(300, 100, 18);
        StripExport writer;
        writer.setBandRows(10);
        QVector<int> seen;
        writer.setProgress([&](int rows, int) {
            seen.append(rows);
            return true;
        });
        QVERIFY(!png(photo, &writer).isEmpty());
        QCOMPARE(seen.last(), 100);
        QVERIFY(std::is_sorted(seen.begin(), seen.end()));
        // A filling disk takes what still fits: partial writes are retried, so the file's own reason
        // reaches the message.
        QTemporaryDir dir;
        for (rlim_t capacity : {0, 40, 5000}) {
            QFile file(dir.filePath(QString::number(capacity)));
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            const FileSizeLimit limit(capacity);
            QCOMPARE(writer.write(BandSource::fromImage(photo), &file), StripExport::Result::Failed);
            QVERIFY(!file.errorString().isEmpty());
            QCOMPARE(writer.errorString(), file.errorString());
        }
        QBuffer closed;
        QCOMPARE(writer.write(BandSource::fromImage(photo), &closed), StripExport::Result::Failed);
    }
};

QTEST_MAIN(TestPngWriter)
#include "tst_pngwriter.moc"
