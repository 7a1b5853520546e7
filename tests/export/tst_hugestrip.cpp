#include "canvas/painterarea.h"
#include "canvas/xformwidget.h"
#include "export/stripexport.h"
#include "support/photolikeimage.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <libdeflate.h>

#include <cstdlib>
#include <cstring>

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Reads an 8-bit RGB PNG file without the toolkit's reader, which stops at 2^31 bytes of pixels, and
// returns the rows asked for (RGB888).
QVector<QImage> decodeRows(const QString& path, const QVector<int>& wanted)
{
    const QByteArray png = contents(path);
    const auto big = [&png](int at) {
        const auto* p = reinterpret_cast<const uchar*>(png.constData() + at);
        return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3];
    };
    if (png.size() < 33 || png.mid(12, 4) != "IHDR" || png.at(24) != 8 || png.at(25) != 2)
        return {};
    const int width = int(big(16)), height = int(big(20));
    QByteArray zlib;
    for (qint64 at = 8; at + 12 <= png.size(); at += 12 + qint64(big(int(at)))) {
        if (png.mid(int(at) + 4, 4) == "IDAT")
            zlib += png.mid(int(at) + 8, int(big(int(at))));
    }
    const std::size_t stride = std::size_t(width) * 3 + 1;
    std::vector<uchar> raw(stride * std::size_t(height));
    libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
    const auto status = libdeflate_zlib_decompress(decompressor, zlib.constData(), std::size_t(zlib.size()),
                                                   raw.data(), raw.size(), nullptr);
    libdeflate_free_decompressor(decompressor);
    if (status != LIBDEFLATE_SUCCESS)
        return {};

    QVector<QImage> rows;
    std::vector<uchar> prior(stride - 1, 0), line(stride - 1);
    for (int y = 0; y < height; ++y) {
        const uchar* in = raw.data() + std::size_t(y) * stride;
        const uchar type = in[0];
        ++in;
        for (std::size_t i = 0; i + 1 < stride; ++i) {
            const int a = i >= 3 ? line[i - 3] : 0, b = prior[i];
            int predicted = 0;
            if (type == 1) {
                predicted = a;
            } else if (type == 2) {
                predicted = b;
            } else if (type == 3) {
                predicted = (a + b) / 2;
            } else if (type == 4) {
                const int c = i >= 3 ? prior[i - 3] : 0;
                const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
                predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
            }
            line[i] = uchar(in[i] + predicted);
        }
        if (wanted.contains(y)) {
            QImage row(width, 1, QImage::Format_RGB888);
            std::memcpy(row.bits(), line.data(), line.size());
            rows.append(row);
        }
        prior.swap(line);
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
