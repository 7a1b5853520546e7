// Our PNG writer against the toolkit's, on photo-like strips: one photo (4000 x 3000) and ten side by
// side (40 000 x 3000). Rates are megabytes of RGB pixels per second of wall time.
//   bench_pngwriter --benchmark_filter=Small     the quick comparison
//   bench_pngwriter                              everything (the toolkit's writer takes half a minute
//                                                on the big strip)

#include "../tests/support/photolikeimage.h"
#include "export/stripexport.h"

#include <QBuffer>
#include <QImageWriter>

#include <benchmark/benchmark.h>

#include <map>

namespace {

const QImage& strip(int photos)
{
    static std::map<int, QImage> made;
    QImage& image = made[photos];
    if (image.isNull())
        image = photoLikeJpegImage(4000 * photos, 3000, 7);
    return image;
}

void report(benchmark::State& state, const QImage& image, qint64 fileSize)
{
    const qint64 rawBytes = qint64(image.width()) * image.height() * 3;
    state.SetBytesProcessed(int64_t(state.iterations()) * rawBytes);
    state.counters["file_MB"] = double(fileSize) / 1e6;
    state.counters["ratio"] = double(fileSize) / double(rawBytes);
}

void ourWriter(benchmark::State& state, int photos)
{
    const QImage& image = strip(photos);
    StripExport writer;
    writer.setThreadCount(int(state.range(0)));
    writer.setCompressionLevel(int(state.range(1)));
    QByteArray bytes;
    for (auto _ : state) {
        bytes.clear();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (writer.write(BandSource::fromImage(image), &buffer) != StripExport::Result::Saved)
            state.SkipWithError("write failed");
    }
    report(state, image, bytes.size());
}

void qtWriter(benchmark::State& state, int photos)
{
    const QImage& image = strip(photos);
    QByteArray bytes;
    for (auto _ : state) {
        bytes.clear();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        if (!writer.write(image))
            state.SkipWithError("write failed");
    }
    report(state, image, bytes.size());
}

void BM_Small_PngWriter(benchmark::State& state)
{
    ourWriter(state, 1);
}
void BM_Small_QImageWriter(benchmark::State& state)
{
    qtWriter(state, 1);
}
void BM_Strip_PngWriter(benchmark::State& state)
{
    ourWriter(state, 10);
}
void BM_Strip_QImageWriter(benchmark::State& state)
{
    qtWriter(state, 10);
}

} // namespace

// Arguments: threads (0: one per core), compression level.
BENCHMARK(BM_Small_PngWriter)
    ->ArgsProduct({{1, 0}, {1, 2, 3, 4, 6}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Small_QImageWriter)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Strip_PngWriter)
    ->ArgsProduct({{1, 0}, {1, PngWriter::defaultCompressionLevel}})
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Strip_QImageWriter)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
