// Adding 20 JPEG photos of 4000 x 3000 to the canvas by a drop, against decoding the same files with a
// bare QImageReader: the intake's own cost is the difference.
#include "canvas/painterarea.h"
#include "canvas/xformwidget.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImageReader>
#include <QMimeData>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int fileCount = 20;

const QList<QUrl>& files()
{
    static QTemporaryDir dir;
    static const QList<QUrl> urls = [] {
        QImage photo(4000, 3000, QImage::Format_RGB32);
        QPainter painter(&photo);
        QLinearGradient gradient(0, 0, 4000, 3000);
        gradient.setColorAt(0, Qt::darkGreen);
        gradient.setColorAt(1, Qt::yellow);
        painter.fillRect(photo.rect(), gradient);
        painter.end();
        QList<QUrl> list;
        for (int i = 0; i < fileCount; ++i) {
            const QString path = dir.filePath(QString("photo%1.jpg").arg(i));
            photo.save(path, "JPG", 90);
            list.append(QUrl::fromLocalFile(path));
        }
        return list;
    }();
    return urls;
}

void BM_BareReader(benchmark::State& state)
{
    for (auto _ : state) {
        for (const QUrl& url : files()) {
            QImageReader reader(url.toLocalFile());
            QImage image = reader.read();
            benchmark::DoNotOptimize(image.constBits());
        }
    }
}
BENCHMARK(BM_BareReader)->Unit(benchmark::kMillisecond);

void BM_DropOnCanvas(benchmark::State& state)
{
    XFormWidget host;
    host.resize(1600, 900);
    host.show();
    QMimeData data;
    data.setUrls(files());
    for (auto _ : state) {
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&host, &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&host, &drop);
        state.PauseTiming();
        const bool complete = host.canvas()->paintImages.size() == fileCount;
        host.canvas()->removeAllPhotos();
        state.ResumeTiming();
        if (!complete) {
            state.SkipWithError("not every photo was added");
            break;
        }
    }
}
BENCHMARK(BM_DropOnCanvas)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    files();
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
