// One repaint of a 1280 x 800 region of a 40-photo strip at zoom 1.0 carrying 500 annotations, 100
// mosaic strokes and a tiled watermark, against the same repaint of the bare photos.
//
// Recorded on the shared 2-core machine, 2026-12-07, medians of 3 (wall / processor), before and after
// run in turn at load 6.3. The frame after a zoom change with all the strokes in the region
// (BM_RepaintAfterAStroke/1), before: painted whole there, 86-104 ms / 38-40 ms of this thread (the
// annotations on a second one); after: the layers of the zoom before shown scaled while workers paint
// the exact ones, 13.7-16.6 ms / 8.0-8.5 ms (23-25 ms wall at load 10). The exact layers on screen
// (BM_ExactLayersAfterAZoom, all threads): 125-126 ms / 75 ms. The frame after a stroke (/0): 3.0-4.3
// ms / 2.8-2.9 ms before, 3.8-5.3 ms / 3.2-3.5 ms after (the newest stroke is painted live). Peak
// memory of /1: 250 MB before, 248 MB after.
#include "canvas/painterarea.h"
#include "canvas/stitcherconfig.h"
#include "canvas/tools/watermark.h"
#include "canvas/xformwidget.h"

#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int photoCount = 40;
const QSize photoSize(1200, 800);
const QSize region(1280, 800);

QImage photo(int index)
{
    QImage image(photoSize, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, photoSize.width(), photoSize.height());
    gradient.setColorAt(0, QColor::fromHsv(index * 9 % 360, 200, 220));
    gradient.setColorAt(1, QColor::fromHsv(index * 9 % 360, 120, 80));
    painter.fillRect(image.rect(), gradient);
    return image;
}

enum class Edits { None, Spread, Concentrated };

// Where the edits go: over the whole strip, or all inside the repainted region.
QRect editArea(Edits edits, const QRect& repainted, const QSize& strip)
{
    return edits == Edits::Concentrated ? repainted : QRect(QPoint(0, 0), strip);
}

struct Scene
{
    std::unique_ptr<XFormWidget> host = std::make_unique<XFormWidget>();
    PainterArea* canvas = host->canvas();
    QRect repainted;

    explicit Scene(Edits edits)
    {
        StitcherConfig* config = StitcherConfig::instance();
        host->resize(1280, 900);
        for (int i = 0; i < photoCount; ++i)
            canvas->addImage(photo(i), QString("%1.jpg").arg(i));
        canvas->spacingMode = Geometry::SpacingInnerBit | Geometry::SpacingOuterBit;
        canvas->adjustSize();
        const QSize strip = canvas->size();
        repainted = QRect(QPoint(strip.width() / 2, 0), region);
        config->watermarkMode = edits == Edits::None ? Watermark::None : Watermark::Tile;
        config->watermarkText = "Seamwright";
        if (edits == Edits::None)
            return;

        QRandomGenerator random(42);
        const QRect area = editArea(edits, repainted, strip).adjusted(0, 0, -1, -1);
        const auto stripPoint = [&](const QPoint& p) {
            const int index = canvas->photoAt(p.x(), p.y());
            return StripPoint{canvas->toStripPoint(p.x(), p.y(), std::max(index, 0)), std::max(index, 0)};
        };
        const auto randomPoint = [&] {
            return QPoint(random.bounded(area.left(), area.right()),
                          random.bounded(area.top(), area.bottom()));
        };
        const auto walk = [&](QPoint p) {
            p += QPoint(random.bounded(-30, 31), random.bounded(-30, 31));
            return QPoint(std::clamp(p.x(), area.left(), area.right()),
                          std::clamp(p.y(), area.top(), area.bottom()));
        };
        for (int i = 0; i < 500; ++i) {
            const int shape = Annotation::Path + i % 3;
            QPoint p = randomPoint();
            Annotation record =
                Annotation::begin(stripPoint(p), 3 + i % 3 * 3, QColor::fromHsv(i % 360, 255, 255), shape);
            for (int k = 0; k < (shape == Annotation::Path ? 20 : 1); ++k)
                record.extend(stripPoint(p = walk(p)));
            canvas->annotations.append(record);
        }
        for (int i = 0; i < 100; ++i) {
            QPoint p = randomPoint();
            MosaicStroke stroke = MosaicStroke::begin(
                stripPoint(p), i % 2 ? MosaicStroke::ribbonName : QString("mosaic-blue"), 10);
            for (int k = 0; k < 40; ++k)
                stroke.extend(stripPoint(p = walk(p)));
            canvas->mosaicStrokes.append(stroke);
        }
    }
};

void repaint(benchmark::State& state, Edits edits)
{
    Scene scene(edits);
    QImage target(region, QImage::Format_RGB32);
    scene.canvas->render(&target, QPoint(),
                         QRegion(scene.repainted)); // the first frame lays the strokes down
    for (auto _ : state) {
        scene.canvas->render(&target, QPoint(), QRegion(scene.repainted));
        benchmark::DoNotOptimize(target.bits());
    }
    state.counters["annotations"] = scene.canvas->annotations.size();
    state.counters["strokes"] = scene.canvas->mosaicStrokes.size();
}

// Until no stroke layer is on its way from a worker any more.
void waitForExactLayers(PainterArea* canvas)
{
    StrokeLayers* layers = canvas->strokeLayers();
    QEventLoop loop;
    QObject::connect(layers, &StrokeLayers::arrived, &loop, &QEventLoop::quit);
    while (!layers->exact())
        loop.exec();
}

// The frame after a stroke is finished: the stroke joins what was painted before. Arg 1: the frame
// after a zoom change, the costliest one: it shows the layers of the zoom before, scaled, while
// workers paint the exact ones, which have come before the next zoom.
void BM_RepaintAfterAStroke(benchmark::State& state)
{
    Scene scene(Edits::Concentrated);
    QImage target(region, QImage::Format_RGB32);
    scene.canvas->render(&target, QPoint(), QRegion(scene.repainted));
    const QVector<Annotation> strokes = scene.canvas->annotations;
    int next = 0;
    for (auto _ : state) {
        state.PauseTiming();
        waitForExactLayers(scene.canvas);
        if (state.range(0) == 1)
            scene.canvas->setPainterScale(next % 2 ? 50 : 49);
        else
            scene.canvas->annotations.append(strokes[next % strokes.size()]);
        ++next;
        state.ResumeTiming();
        scene.canvas->render(&target, QPoint(), QRegion(scene.repainted));
        benchmark::DoNotOptimize(target.bits());
    }
}
BENCHMARK(BM_RepaintAfterAStroke)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// From a zoom change to the frame that shows the exact layers: the first frame, the workers' painting
// and the frame after. Processor time of all threads.
void BM_ExactLayersAfterAZoom(benchmark::State& state)
{
    Scene scene(Edits::Concentrated);
    QImage target(region, QImage::Format_RGB32);
    scene.canvas->render(&target, QPoint(), QRegion(scene.repainted));
    int next = 0;
    for (auto _ : state) {
        state.PauseTiming();
        waitForExactLayers(scene.canvas);
        state.ResumeTiming();
        scene.canvas->setPainterScale(next++ % 2 ? 50 : 49);
        scene.canvas->render(&target, QPoint(), QRegion(scene.repainted));
        waitForExactLayers(scene.canvas);
        scene.canvas->render(&target, QPoint(), QRegion(scene.repainted));
        benchmark::DoNotOptimize(target.bits());
    }
}
BENCHMARK(BM_ExactLayersAfterAZoom)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

void BM_RepaintPhotosOnly(benchmark::State& state)
{
    repaint(state, Edits::None);
}

void BM_RepaintWithToolsSpread(benchmark::State& state)
{
    repaint(state, Edits::Spread);
}

void BM_RepaintWithToolsConcentrated(benchmark::State& state)
{
    repaint(state, Edits::Concentrated);
}

BENCHMARK(BM_RepaintPhotosOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintWithToolsSpread)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintWithToolsConcentrated)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
