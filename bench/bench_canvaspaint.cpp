// One full repaint of a 50-photo strip of 4000 x 3000 photos, as the user sees it in a 1600 x 900
// container: at zoom 0.3, at zoom 1.0 and fitted to the container's width. And panning: a 30-photo
// strip fitted, then zoomed in by wheel steps, scrolled a wheel notch per frame.
#include "canvas/painterarea.h"
#include "canvas/xformwidget.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int photoCount = 50;
const QSize container(1600, 900);

QImage makePhoto(int index)
{
    QImage photo(4000, 3000, QImage::Format_RGB32);
    QPainter painter(&photo);
    QLinearGradient gradient(0, 0, 4000, 3000);
    gradient.setColorAt(0, QColor::fromHsv(index * 7 % 360, 200, 230));
    gradient.setColorAt(1, QColor::fromHsv(index * 7 % 360 + 1, 80, 60));
    painter.fillRect(photo.rect(), gradient);
    return photo;
}

// A handful of distinct photos, shared between the strip's entries as a user's duplicates would be.
const QVector<QImage>& photos()
{
    static const QVector<QImage> all = [] {
        QVector<QImage> list;
        for (int i = 0; i < 5; ++i)
            list.append(makePhoto(i));
        return list;
    }();
    return all;
}

std::unique_ptr<XFormWidget> makeStrip(int count = photoCount)
{
    auto host = std::make_unique<XFormWidget>();
    host->resize(container);
    for (int i = 0; i < count; ++i)
        host->canvas()->addImage(photos()[i % photos().size()], "photo.jpg");
    host->canvas()->adjustSize();
    return host;
}

// Zoom value 0 is 0.3 and 50 is 1.0; a negative value fits the strip.
void zoomTo(PainterArea* canvas, int value)
{
    if (value < 0)
        canvas->fitPainterScale();
    else
        canvas->setPainterScale(value);
}

// Paints the part of the canvas that lies inside the container, through the widget's own paint handler.
void paintVisible(XFormWidget* host, QImage& target)
{
    PainterArea* canvas = host->canvas();
    const QRect visible = QRect(QPoint(0, 0), container).translated(-canvas->pos()) & canvas->rect();
    canvas->render(&target, QPoint(), QRegion(visible), QWidget::DrawChildren);
}

void BM_SteadyPaint(benchmark::State& state)
{
    auto host = makeStrip();
    zoomTo(host->canvas(), int(state.range(0)));
    QImage target(container, QImage::Format_ARGB32_Premultiplied);
    paintVisible(host.get(), target); // the first frame builds the small copies
    for (auto _ : state)
        paintVisible(host.get(), target);
    state.counters["scale"] = host->canvas()->painterScale;
}
BENCHMARK(BM_SteadyPaint)->Arg(0)->Arg(50)->Arg(-1)->Unit(benchmark::kMillisecond);

// The first frame after zooming: includes making the downscaled copies it needs.
void BM_FirstPaint(benchmark::State& state)
{
    QImage target(container, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        state.PauseTiming();
        auto host = makeStrip();
        zoomTo(host->canvas(), int(state.range(0)));
        state.ResumeTiming();
        paintVisible(host.get(), target);
        state.PauseTiming();
        host.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstPaint)->Arg(0)->Arg(50)->Arg(-1)->Unit(benchmark::kMillisecond);

// Each frame scrolls a notch along the strip and repaints what is in view, as a moved canvas is; at
// the strip's end the direction turns. At the fitted scale (-1: nothing to scroll along), then at
// zoom 0.3 and 1.0.
void BM_Pan(benchmark::State& state)
{
    auto host = makeStrip(30);
    PainterArea* canvas = host->canvas();
    zoomTo(canvas, int(state.range(0)));
    QImage target(container, QImage::Format_ARGB32_Premultiplied);
    paintVisible(host.get(), target);
    int notch = -ViewGeometry::notchPixels;
    for (auto _ : state) {
        const QPoint before = canvas->pos();
        canvas->scrollTo(before + QPoint(notch, 0));
        if (canvas->pos() == before)
            notch = -notch;
        paintVisible(host.get(), target);
    }
    state.counters["scale"] = canvas->painterScale;
    state.counters["frames"] = double(state.iterations());
}
BENCHMARK(BM_Pan)->Arg(-1)->Arg(0)->Arg(50)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
