// Adding camera-sized JPEG photos to the canvas by a drop, against decoding the same files one after
// another with a bare QImageReader. The photos carry detail and noise like real ones: flat gradients
// decode several times faster and flatter every figure. Besides wall time the drop reports the
// process's processor time (all threads) and the longest gap between two repaints of the window
// while the photos came in, and the processor time of its busiest thread: the machine is shared, so
// wall time says little, while the busiest thread's time is about what an idle machine would take.
#include "app/mywindows.h"
#include "canvas/painterarea.h"
#include "canvas/xformwidget.h"
#include "support/photolikeimage.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

namespace {

struct PhotoSet
{
    int count;
    QSize size;
};

// Five distinct photos, copied to as many files as asked: decoding costs the same for a copy.
QList<QUrl> files(const PhotoSet& set)
{
    static QTemporaryDir dir;
    static QMap<QString, QList<QUrl>> made;
    const QString key = QString("%1x%2").arg(set.size.width()).arg(set.size.height());
    if (made.contains(key) && made[key].size() >= set.count)
        return made[key].mid(0, set.count);
    QList<QByteArray> distinct;
    for (int seed = 1; seed <= 5; ++seed) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        photoLikeImage(set.size.width(), set.size.height(), std::uint32_t(seed)).save(&buffer, "JPG", 90);
        distinct.append(bytes);
    }
    QList<QUrl> list;
    for (int i = 0; i < set.count; ++i) {
        const QString path = dir.filePath(QString("%1-%2.jpg").arg(key).arg(i));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(distinct.at(i % distinct.size()));
        list.append(QUrl::fromLocalFile(path));
    }
    made[key] = list;
    return list;
}

double processorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Processor seconds of each thread of the process, by thread id. On an idle machine with at least as
// many cores as busy threads, the busiest thread's share of a run is about the run's wall time.
QMap<QString, double> threadSeconds()
{
    QMap<QString, double> seconds;
    const double tick = double(sysconf(_SC_CLK_TCK));
    for (const QString& tid : QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat("/proc/self/task/" + tid + "/stat");
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        // Fields after the command name, which is in parentheses and may hold spaces.
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 12)
            seconds[tid] = (fields.at(11).toDouble() + fields.at(12).toDouble()) / tick;
    }
    return seconds;
}

double busiestThread(const QMap<QString, double>& before, const QMap<QString, double>& after)
{
    double busiest = 0;
    for (auto it = after.begin(); it != after.end(); ++it)
        busiest = qMax(busiest, it.value() - before.value(it.key()));
    return busiest;
}

const PhotoSet camera30{30, {6000, 4000}};
const PhotoSet phone10{10, {4000, 3000}};

void bareReader(benchmark::State& state, const PhotoSet& set)
{
    const QList<QUrl> urls = files(set);
    double cpu = 0;
    for (auto _ : state) {
        const double before = processorSeconds();
        for (const QUrl& url : urls) {
            QImageReader reader(url.toLocalFile());
            QImage image = reader.read();
            benchmark::DoNotOptimize(image.constBits());
        }
        cpu += processorSeconds() - before;
    }
    state.counters["cpu_s"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
}

// Asks for a one-pixel repaint of the host every 10 ms, which costs next to nothing, and records when
// paints really happen: a gap is time the window could not paint.
class PaintClock : public QObject
{
public:
    explicit PaintClock(QWidget* watched) : watched(watched)
    {
        qApp->installEventFilter(this);
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, watched, [watched] { watched->update(0, 0, 1, 1); });
    }
    void start()
    {
        clock.start();
        last = 0;
        longest = 0;
        timer.start();
    }
    qint64 stop()
    {
        timer.stop();
        note();
        return longest;
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        // Whichever widget covers the pixel paints it.
        if (event->type() == QEvent::Paint && object->isWidgetType() &&
            static_cast<QWidget*>(object)->window() == watched->window())
            note();
        return false;
    }

private:
    void note()
    {
        const qint64 now = clock.elapsed();
        longest = qMax(longest, now - last);
        last = now;
    }

    QWidget* watched;
    QTimer timer;
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
};

// The drop on the canvas alone, or on the canvas inside the whole window, which also fits a new strip
// as its photos arrive.
void drop(benchmark::State& state, const PhotoSet& set, bool wholeWindow)
{
    const QList<QUrl> urls = files(set);
    std::unique_ptr<QWidget> window;
    if (wholeWindow)
        window = std::make_unique<MyWindows>();
    else
        window = std::make_unique<XFormWidget>();
    window->resize(1600, 900);
    window->show();
    XFormWidget& host =
        wholeWindow ? *window->findChild<XFormWidget*>() : *static_cast<XFormWidget*>(window.get());
    QMimeData data;
    data.setUrls(urls);
    PaintClock paints(window.get());
    double cpu = 0;
    double busiest = 0;
    qint64 longestGap = 0;
    for (auto _ : state) {
        const double before = processorSeconds();
        const QMap<QString, double> threadsBefore = threadSeconds();
        paints.start();
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&host, &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&host, &drop);
        QElapsedTimer limit;
        limit.start();
        while (host.canvas()->paintImages.size() < set.count && limit.elapsed() < 600000)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        longestGap = qMax(longestGap, paints.stop());
        cpu += processorSeconds() - before;
        busiest += busiestThread(threadsBefore, threadSeconds());
        state.PauseTiming();
        const bool complete = host.canvas()->paintImages.size() == set.count;
        host.canvas()->removeAllPhotos();
        window->setWindowModified(false);
        QApplication::processEvents();
        state.ResumeTiming();
        if (!complete) {
            state.SkipWithError("not every photo was added");
            break;
        }
    }
    state.counters["cpu_s"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
    state.counters["busiest_thread_cpu_s"] = benchmark::Counter(busiest, benchmark::Counter::kAvgIterations);
    state.counters["longest_frame_gap_ms"] = double(longestGap);
}

BENCHMARK_CAPTURE(bareReader, camera30, camera30)->Unit(benchmark::kMillisecond)->UseRealTime();
void dropOnCanvas(benchmark::State& state, const PhotoSet& set)
{
    drop(state, set, false);
}

void dropOnWindow(benchmark::State& state, const PhotoSet& set)
{
    drop(state, set, true);
}

BENCHMARK_CAPTURE(dropOnCanvas, camera30, camera30)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(dropOnWindow, camera30, camera30)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(bareReader, phone10, phone10)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(dropOnCanvas, phone10, phone10)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
