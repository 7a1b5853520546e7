#include "canvas/painterarea.h"
#include "canvas/xformwidget.h"
#include "export/stripexport.h"
#include "support/photolikeimage.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <libdeflate.h>

#include <cstring>

namespace {

// Reads an 8-bit RGB PNG file written without row filters, without the toolkit's reader, which stops at
// 2^31 bytes of pixels, and returns the rows asked for (RGB888).
QVector<QImage> decodeRows(const QString& path, const QVector<int>& wanted)
{
    QFile file(path);
    const QByteArray png = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const auto big = [&png](qint64 at) { return qFromBigEndian<quint32>(png.constData() + at); };
    if (png.size() < 33 || png.mid(12, 4) != "IHDR" || png.at(24) != 8 || png.at(25) != 2)
        return {};
    const int width = int(big(16)), height = int(big(20));
    QByteArray zlib;
    for (qint64 at = 8; at + 12 <= png.size(); at += 12 + qint64(big(at)))
        if (png.mid(int(at) + 4, 4) == "IDAT")
            zlib += png.mid(int(at) + 8, int(big(at)));
    const std::size_t stride = std::size_t(width) * 3 + 1;
    std::vector<uchar> raw(stride * std::size_t(height));
    libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
    const auto status = libdeflate_zlib_decompress(decompressor, zlib.constData(), std::size_t(zlib.size()),
                                                   raw.data(), raw.size(), nullptr);
    libdeflate_free_decompressor(decompressor);
    QVector<QImage> rows;
    for (int y : wanted) {
        const uchar* line = raw.data() + std::size_t(y) * stride;
        if (status != LIBDEFLATE_SUCCESS || line[0] != 0)
            return {};
        rows.append(QImage(width, 1, QImage::Format_RGB888));
        std::memcpy(rows.last().bits(), line + 1, stride - 1);
    }
    return rows;
}

} // namespace

// A strip with more bytes of pixels than any one image may hold, which used to be refused.
class TestHugeStrip : public QObject
{
    Q_OBJECT
private slots:
    // Two small photos scaled up. Under the sanitizers this takes many minutes; the plain run has it.
    void stripOverTwoGigabytes()
    {
        if (qEnvironmentVariableIsSet("SEAMWRIGHT_SANITIZED"))
            QSKIP("too slow under the sanitizers");
        QTemporaryDir dir;
        XFormWidget host;
        PainterArea* canvas = host.canvas();
        canvas->addImage(photoLikeImage(60, 40, 4), "a.jpg");
        canvas->addImage(photoLikeImage(60, 40, 5), "b.jpg");
        canvas->setPaintHeight(14000);
        const QSize size = canvas->contentSize();
        QVERIFY(qint64(size.width()) * size.height() * 4 > (qint64(1) << 31));
        const QString path = dir.filePath("huge.png");
        StripExport exporter;
        exporter.setCompressionLevel(1);
        exporter.setRowFilter(PngWriter::RowFilter::None); // the filters are checked on small images
        QCOMPARE(exporter.save(
                     BandSource{size, [canvas](int top, int rows) { return canvas->renderBand(top, rows); }},
                     path),
                 StripExport::Result::Saved);

        const QVector<int> probes{0, size.height() / 2, size.height() - 1};
        const QVector<QImage> rows = decodeRows(path, probes);
        QCOMPARE(rows.size(), probes.size());
        for (int i = 0; i < probes.size(); ++i)
            QCOMPARE(rows[i], canvas->renderBand(probes[i], 1).convertToFormat(QImage::Format_RGB888));
    }
};

QTEST_MAIN(TestHugeStrip)
#include "tst_hugestrip.moc"
