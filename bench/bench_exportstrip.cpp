// The whole export of a strip of photos: decoding, laying them out on the canvas side by side at the
// first photo's height, rendering the strip, and writing the PNG file.
//   bench_exportstrip --make-photos DIR [COUNT WIDTH HEIGHT]   writes photo-like JPEG files
//   bench_exportstrip --export OUT.png PHOTO...                   exports them, timing each stage
//   bench_exportstrip [benchmark options]                         render and encode of a small strip

#include "../tests/support/photolikeimage.h"
#include "canvas/painterarea.h"
#include "canvas/pngwriter.h"
#include "canvas/xformwidget.h"
#include "intake/photointake.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

namespace {

// The strip as the export renders it: the photos appended to the canvas of a main-window host.
QImage renderStrip(const std::vector<QImage>& photos)
{
    XFormWidget host;
    PainterArea* canvas = host.canvas();
    for (const QImage& photo : photos)
        canvas->addImage(photo, QStringLiteral("photo.jpg"));
    canvas->adjustSize();
    return canvas->renderImage();
}

int makePhotos(int argc, char** argv)
{
    const QString dir = QString::fromLocal8Bit(argv[2]);
    const int count = argc > 3 ? std::atoi(argv[3]) : 10;
    const int width = argc > 4 ? std::atoi(argv[4]) : 4000;
    const int height = argc > 5 ? std::atoi(argv[5]) : 3000;
    QDir().mkpath(dir);
    for (int i = 1; i <= count; ++i) {
        const QString path = QStringLiteral("%1/photo-%2.jpg").arg(dir).arg(i, 2, 10, QLatin1Char('0'));
        if (!photoLikeImage(width, height, std::uint32_t(i)).save(path, "JPEG", 90)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}

int exportStrip(int argc, char** argv)
{
    QElapsedTimer clock;
    clock.start();
    std::vector<QImage> photos(std::size_t(argc - 3));
    std::atomic<std::size_t> next{0};
    const auto decodeSome = [&] {
        for (std::size_t i = next++; i < photos.size(); i = next++)
            photos[i] = PhotoIntake::decodePhoto(QString::fromLocal8Bit(argv[3 + i]));
    };
    std::thread helper(decodeSome);
    decodeSome();
    helper.join();
    for (const QImage& photo : photos) {
        if (photo.isNull()) {
            std::fprintf(stderr, "a photo did not decode\n");
            return 1;
        }
    }
    const qint64 decoded = clock.restart();

    QImage strip = renderStrip(photos);
    photos.clear();
    const qint64 painted = clock.restart();

    QFile file(QString::fromLocal8Bit(argv[2]));
    PngWriter writer;
    if (strip.isNull() || !file.open(QIODevice::WriteOnly) || !writer.write(strip, &file)) {
        std::fprintf(stderr, "export failed: %s\n", qPrintable(writer.errorString()));
        return 1;
    }
    file.close();
    std::fprintf(stderr, "%d x %d: decode %.2f s, render %.2f s, encode %.2f s\n", strip.width(),
                 strip.height(), double(decoded) / 1000, double(painted) / 1000,
                 double(clock.elapsed()) / 1000);
    return 0;
}

void BM_RenderAndEncode(benchmark::State& state)
{
    std::vector<QImage> photos;
    for (int i = 0; i < 3; ++i)
        photos.push_back(photoLikeJpegImage(1200 + 200 * i, 900, std::uint32_t(i + 1)));
    QByteArray bytes;
    for (auto _ : state) {
        bytes.clear();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        PngWriter().write(renderStrip(photos), &buffer);
    }
    state.counters["file_MB"] = double(bytes.size()) / 1e6;
}
BENCHMARK(BM_RenderAndEncode)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc >= 3 && std::strcmp(argv[1], "--make-photos") == 0)
        return makePhotos(argc, argv);
    if (argc >= 4 && std::strcmp(argv[1], "--export") == 0)
        return exportStrip(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
