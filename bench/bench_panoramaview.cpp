// The panorama result page with a large stitch (12000 x 2400): one zoom step of the slider and the
// repaint that follows, and a repaint at an unchanged size as during a drag.
#include "panorama/ui/imageview.h"
#include "panorama/ui/panoramaview.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QSlider>

#include <benchmark/benchmark.h>

namespace {

QImage largePanorama()
{
    QImage image(12000, 2400, QImage::Format_RGB888);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 12000, 2400);
    gradient.setColorAt(0, Qt::darkBlue);
    gradient.setColorAt(1, Qt::yellow);
    painter.fillRect(image.rect(), gradient);
    return image;
}

void repaint(QWidget* picture, QImage& screen)
{
    QPainter painter(&screen);
    picture->render(&painter, QPoint(), QRegion(0, 0, 700, 340), QWidget::DrawChildren);
}

void BM_ZoomStepAndRepaint(benchmark::State& state)
{
    PanoramaView page(largePanorama());
    page.resize(700, 400);
    QImage screen(700, 340, QImage::Format_RGB32);
    int value = 50;
    for (auto _ : state) {
        value = value == 50 ? 51 : 50;
        page.zoomSlider()->setValue(value);
        repaint(page.picture(), screen);
    }
}
BENCHMARK(BM_ZoomStepAndRepaint)->Unit(benchmark::kMillisecond);

void BM_RepaintAtSameSize(benchmark::State& state)
{
    PanoramaView page(largePanorama());
    page.resize(700, 400);
    QImage screen(700, 340, QImage::Format_RGB32);
    for (auto _ : state)
        repaint(page.picture(), screen);
}
BENCHMARK(BM_RepaintAtSameSize)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
