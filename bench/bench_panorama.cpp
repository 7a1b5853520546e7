// The worker's whole road (thread, loading, stitching, conversion, queued signal) against a bare
// library stitch of the same photos; the worker should cost at most a few per cent more.
#include "panorama/engine/panoramathread.h"
#include "support/panoramaviews.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMap>
#include <QPointer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/stitching.hpp>

#include <chrono>
#include <ctime>
#include <iostream>
#include <sstream>

namespace {

const QSize viewSizes[] = {{640, 480}, {1280, 960}};
QMap<int, QStringList> viewPaths; // by index into viewSizes

// The worker's console line would land between the report's rows.
class QuietStdout
{
public:
    QuietStdout() : previous(std::cout.rdbuf(sink.rdbuf())) {}
    ~QuietStdout() { std::cout.rdbuf(previous); }

private:
    std::ostringstream sink;
    std::streambuf* previous;
};

double processCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + 1e-9 * double(now.tv_nsec);
}

// The time of record is the CPU time of every thread of the process: the stitch runs on other
// threads, and other work on a shared machine inflates wall time unevenly. Wall time is kept as a
// counter.
template <typename Stitch> void measure(benchmark::State& state, Stitch stitch)
{
    double wallSeconds = 0;
    for (auto _ : state) {
        const double cpuStart = processCpuSeconds();
        const auto wallStart = std::chrono::steady_clock::now();
        if (!stitch()) {
            state.SkipWithError("the views were not stitched");
            break;
        }
        state.SetIterationTime(processCpuSeconds() - cpuStart);
        wallSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    }
    state.counters["wall_ms"] = benchmark::Counter(1000 * wallSeconds, benchmark::Counter::kAvgIterations);
}

void stitchThroughWorker(benchmark::State& state)
{
    PanoramaRequest request{"Panorama", {}};
    for (const QString& path : viewPaths[int(state.range(0))])
        request.imageList.push_back(path.toLocal8Bit().toStdString());
    QuietStdout quiet;
    measure(state, [&request] {
        QEventLoop loop;
        bool stitched = false;
        QPointer<PanoramaThread> worker = new PanoramaThread(request);
        QObject::connect(worker, &PanoramaThread::signalPanoramaResult, &loop,
                         [&stitched](QImage image, QString) { stitched = !image.isNull(); });
        QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
        QObject::connect(worker, &QObject::destroyed, &loop, &QEventLoop::quit);
        worker->start(QThread::InheritPriority);
        loop.exec();
        return stitched;
    });
}

void stitchBare(benchmark::State& state)
{
    const QStringList paths = viewPaths[int(state.range(0))];
    measure(state, [&paths] {
        std::vector<cv::Mat> images;
        for (const QString& path : paths)
            images.push_back(cv::imread(path.toLocal8Bit().toStdString(), cv::IMREAD_COLOR));
        cv::Mat pano;
        return cv::Stitcher::create(cv::Stitcher::PANORAMA)->stitch(images, pano) == cv::Stitcher::OK;
    });
}

// Keeps the median of each benchmark so that the ratio can be printed at the end.
class MedianReporter : public benchmark::ConsoleReporter
{
public:
    QMap<QString, double> cpuMedians, wallMedians;

    MedianReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                const QString name =
                    QString::fromStdString(run.run_name.function_name + "/" + run.run_name.args);
                cpuMedians[name] = run.GetAdjustedRealTime();
                wallMedians[name] = run.counters.at("wall_ms");
            }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // Interleaved repetitions keep a busy machine's slow spells from landing on one side only.
    std::vector<char*> args(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave);
    int argCount = int(args.size());
    benchmark::Initialize(&argCount, args.data());
    QTemporaryDir dir;
    for (int i = 0; i < int(std::size(viewSizes)); ++i) {
        const QString folder = dir.filePath(QString::number(i));
        QDir().mkpath(folder);
        viewPaths[i] = PanoramaViews::write(folder, PanoramaViews::defaultFileNames(), viewSizes[i]);
        if (viewPaths[i].isEmpty()) {
            std::cerr << "could not write the views" << std::endl;
            return 1;
        }
    }
    for (int i = 0; i < int(std::size(viewSizes)); ++i) {
        for (auto [name, function] :
             {std::pair{"worker", &stitchThroughWorker}, std::pair{"bare", &stitchBare}})
            benchmark::RegisterBenchmark(name, function)
                ->Arg(i)
                ->Iterations(3)
                ->Repetitions(5)
                ->ReportAggregatesOnly(true)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
    }
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    for (int i = 0; i < int(std::size(viewSizes)); ++i) {
        const QString worker = QString("worker/%1").arg(i), bare = QString("bare/%1").arg(i);
        if (reporter.cpuMedians.value(bare) > 0 && reporter.wallMedians.value(bare) > 0)
            std::cout << "3 views of " << viewSizes[i].width() << "x" << viewSizes[i].height()
                      << ": worker / bare stitch, CPU time "
                      << reporter.cpuMedians.value(worker) / reporter.cpuMedians.value(bare) << ", wall time "
                      << reporter.wallMedians.value(worker) / reporter.wallMedians.value(bare) << std::endl;
    }
    return 0;
}
