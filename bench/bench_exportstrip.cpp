// The whole export of a strip of photos as the application does it: decoding on all cores, laying the
// photos out on the canvas at the first photo's size, and streaming the strip's bands into the PNG file.
//   bench_exportstrip --make-photos DIR [COUNT WIDTH HEIGHT]       photo-like JPEG files, quality 90
//   bench_exportstrip --make-screens DIR [COUNT]                    screenshot-like PNG files
//   bench_exportstrip --export OUT.png across|down [--level N] PHOTO...
//   bench_exportstrip --qt-png OUT.png across|down PHOTO...       the toolkit's writer, whole strip
//   bench_exportstrip [benchmark options]                          render and encode of a small strip

#include "../tests/support/photolikeimage.h"
#include "canvas/painterarea.h"
#include "canvas/xformwidget.h"
#include "export/stripexport.h"
#include "intake/photodecoder.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

namespace {

std::uint32_t hash(std::uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352du;
    x ^= x >> 15;
    x *= 0x846ca68bu;
    x ^= x >> 16;
    return x;
}

// A camera-like picture: several octaves of value noise (foliage, stone, fabric), hard-edged objects
// and sensor noise of a few levels in every channel, so that its JPEG is as large as a real photo's.
QImage realisticPhoto(int width, int height, std::uint32_t seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    const auto lattice = [seed](int x, int y, int octave) {
        return float(hash(std::uint32_t(x) * 73856093u ^ std::uint32_t(y) * 19349663u ^
                          (seed * 83492791u + std::uint32_t(octave) * 2654435761u)) &
                     0xffff) /
               65535.0f;
    };
    const auto valueNoise = [&](float x, float y, int octave) {
        const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
        const float fx = x - float(x0), fy = y - float(y0);
        const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
        const float top = lattice(x0, y0, octave) * (1 - sx) + lattice(x0 + 1, y0, octave) * sx;
        const float bottom = lattice(x0, y0 + 1, octave) * (1 - sx) + lattice(x0 + 1, y0 + 1, octave) * sx;
        return top * (1 - sy) + bottom * sy;
    };
    std::uint32_t noiseState = seed * 2246822519u + 1;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            float shade = 0, amplitude = 0.4f, scale = 1.0f / 400;
            for (int octave = 0; octave < 8; ++octave) {
                shade += amplitude * valueNoise(float(x) * scale, float(y) * scale, octave);
                amplitude *= 0.9f;
                scale *= 2.2f;
            }
            const float hue = valueNoise(float(x) / 900, float(y) / 900, 9);
            const bool object = valueNoise(float(x) / 250, float(y) / 250, 11) > 0.62f;
            int channel[3];
            for (int c = 0; c < 3; ++c) {
                noiseState = noiseState * 1664525u + 1013904223u;
                const int noise = int((noiseState >> 24) % 25) - 12 + int((noiseState >> 16) % 19) - 9;
                const float tint = 0.6f + 0.8f * std::fabs(hue - 0.3f * float(c));
                const float v = object ? 30.0f + 150.0f * shade * float(c + 1) / 3 : 220.0f * shade * tint;
                channel[c] = std::clamp(int(v) + noise, 0, 255);
            }
            line[x] = qRgb(channel[0], channel[1], channel[2]);
        }
    }
    return image;
}

// A phone-sized screen of an application: flat bars and cards, lines of text, an icon row and one photo.
QImage screenshot(int index)
{
    QImage image(1080, 2340, QImage::Format_RGB32);
    image.fill(QColor(0xf4, 0xf5, 0xf7));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(0, 0, 1080, 180, QColor(0x1f, 0x6f, 0xeb));
    QFont font;
    font.setPixelSize(48);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(40, 120, QStringLiteral("Messages %1").arg(index));
    font.setPixelSize(34);
    painter.setFont(font);
    for (int card = 0; card < 7; ++card) {
        const QRect box(30, 220 + card * 300, 1020, 270);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawRoundedRect(box, 24, 24);
        painter.setBrush(QColor::fromHsv((index * 40 + card * 57) % 360, 120, 230));
        painter.drawEllipse(box.left() + 30, box.top() + 30, 90, 90);
        painter.setPen(QColor(0x22, 0x22, 0x22));
        for (int line = 0; line < 4; ++line)
            painter.drawText(box.left() + 150, box.top() + 70 + line * 50,
                             QStringLiteral("Line %1 of card %2: the quick brown fox jumps over %3")
                                 .arg(line)
                                 .arg(card)
                                 .arg(index * 100 + card * 10 + line));
    }
    painter.drawImage(QRect(60, 1500, 960, 640), photoLikeJpegImage(960, 640, std::uint32_t(index + 1)));
    return image;
}

template <typename Make> int writeFiles(const QString& dir, int count, const char* suffix, Make make)
{
    QDir().mkpath(dir);
    for (int i = 1; i <= count; ++i) {
        const QString path = QStringLiteral("%1/%2-%3.%4")
                                 .arg(dir, suffix[0] == 'j' ? "photo" : "screen")
                                 .arg(i, 3, 10, QLatin1Char('0'))
                                 .arg(suffix);
        if (!make(i).save(path, suffix, suffix[0] == 'j' ? 90 : -1)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}

// Decodes on every core, as the intake does.
std::vector<QImage> decodeAll(const QStringList& paths)
{
    std::vector<QImage> photos(std::size_t(paths.size()));
    std::atomic<std::size_t> next{0};
    const auto decodeSome = [&] {
        for (std::size_t i = next++; i < photos.size(); i = next++)
            photos[i] = PhotoDecoder::decode(paths[int(i)]);
    };
    std::vector<std::thread> helpers;
    for (unsigned i = 1; i < std::max(1u, std::thread::hardware_concurrency()); ++i)
        helpers.emplace_back(decodeSome);
    decodeSome();
    for (std::thread& helper : helpers)
        helper.join();
    return photos;
}

int exportStrip(QStringList args, bool qtWriter)
{
    const QString out = args.takeFirst();
    const bool down = args.takeFirst() == "down";
    int level = PngWriter::defaultCompressionLevel;
    if (args.size() > 1 && args.first() == "--level") {
        args.removeFirst();
        level = args.takeFirst().toInt();
    }
    QElapsedTimer clock;
    clock.start();
    std::vector<QImage> photos = decodeAll(args);
    const qint64 decoded = clock.restart();

    XFormWidget host;
    PainterArea* canvas = host.canvas();
    canvas->setDirection(down ? Geometry::Vertical : Geometry::Horizontal);
    for (const QImage& photo : photos) {
        if (photo.isNull()) {
            std::fprintf(stderr, "a photo did not decode\n");
            return 1;
        }
        canvas->addImage(photo, QStringLiteral("photo.jpg"));
    }
    photos.clear();
    canvas->adjustSize();
    const QSize size = canvas->contentSize();

    if (qtWriter) {
        if (!canvas->renderImage().save(out, "png")) {
            std::fprintf(stderr, "the toolkit's writer failed\n");
            return 1;
        }
    } else {
        StripExport exporter;
        exporter.setCompressionLevel(level);
        const BandSource strip{size, [canvas](int top, int rows) { return canvas->renderBand(top, rows); }};
        if (exporter.save(strip, out) != StripExport::Result::Saved) {
            std::fprintf(stderr, "export failed: %s\n", qPrintable(exporter.errorString()));
            return 1;
        }
    }
    std::fprintf(stderr, "%d x %d: decode %.2f s, render and write %.2f s\n", size.width(), size.height(),
                 double(decoded) / 1000, double(clock.elapsed()) / 1000);
    return 0;
}

void BM_RenderAndEncode(benchmark::State& state)
{
    XFormWidget host;
    PainterArea* canvas = host.canvas();
    for (int i = 0; i < 3; ++i)
        canvas->addImage(photoLikeJpegImage(1200 + 200 * i, 900, std::uint32_t(i + 1)), "photo.jpg");
    canvas->adjustSize();
    const BandSource strip{canvas->contentSize(),
                           [canvas](int top, int rows) { return canvas->renderBand(top, rows); }};
    QByteArray bytes;
    for (auto _ : state) {
        bytes.clear();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        StripExport exporter;
        exporter.setCompressionLevel(int(state.range(0)));
        exporter.write(strip, &buffer);
    }
    state.counters["file_MB"] = double(bytes.size()) / 1e6;
}
BENCHMARK(BM_RenderAndEncode)
    ->Arg(PngWriter::defaultCompressionLevel)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const QString command = args.isEmpty() ? QString() : args.takeFirst();
    if (command == "--make-photos" && !args.isEmpty()) {
        const int count = args.value(1, "10").toInt();
        const int width = args.value(2, "4000").toInt(), height = args.value(3, "3000").toInt();
        return writeFiles(args[0], count, "jpg",
                          [=](int i) { return realisticPhoto(width, height, std::uint32_t(i)); });
    }
    if (command == "--make-screens" && !args.isEmpty())
        return writeFiles(args[0], args.value(1, "12").toInt(), "png", screenshot);
    if ((command == "--export" || command == "--qt-png") && args.size() >= 3)
        return exportStrip(args, command == "--qt-png");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
