// The stitch as the window runs it (a worker process: start-up, photo loading, stitching, result
// transfer through a file, queued signal) against a bare library stitch of the same photos in this
// process. Wall time is the time of record; processor time of this process and its children is the
// steadier figure on a shared machine. Then the window process's peak memory during one stitch, with
// the stitch in this process as it was before and in the worker as it is now.
#include "panorama/engine/panoramathread.h"
#include "support/panoramaviews.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QMap>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/stitching.hpp>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <sstream>

namespace {

const int viewCounts[] = {4, 6, 8};
const QSize viewSize(1600, 1200);
const double yawStepDegrees = 12.0; // eight views still span less than a half turn
const double sensorNoise = 4.0;     // grey levels: decoding and matching cost what photos cost
QMap<int, QStringList> viewPaths;   // by view count

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

double seconds(const timeval& t)
{
    return double(t.tv_sec) + 1e-6 * double(t.tv_usec);
}

// User and system time of this process and of the children it has waited for.
double processorSeconds()
{
    rusage self{}, children{};
    getrusage(RUSAGE_SELF, &self);
    getrusage(RUSAGE_CHILDREN, &children);
    return seconds(self.ru_utime) + seconds(self.ru_stime) + seconds(children.ru_utime) +
           seconds(children.ru_stime);
}

template <typename Stitch> void measure(benchmark::State& state, Stitch stitch)
{
    double cpuSeconds = 0;
    for (auto _ : state) {
        const double cpuStart = processorSeconds();
        const auto wallStart = std::chrono::steady_clock::now();
        if (!stitch()) {
            state.SkipWithError("the views were not stitched");
            break;
        }
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count());
        cpuSeconds += processorSeconds() - cpuStart;
    }
    state.counters["cpu_ms"] = benchmark::Counter(1000 * cpuSeconds, benchmark::Counter::kAvgIterations);
}

PanoramaRequest requestFor(int views)
{
    PanoramaRequest request{"Panorama", {}};
    for (const QString& path : viewPaths[views])
        request.imageList.push_back(path.toLocal8Bit().toStdString());
    return request;
}

bool stitchThroughWorker(const PanoramaRequest& request, QImage* result = nullptr)
{
    QuietStdout quiet;
    QEventLoop loop;
    bool stitched = false;
    QPointer<PanoramaThread> worker = new PanoramaThread(request);
    QObject::connect(worker, &PanoramaThread::signalPanoramaResult, &loop,
                     [&stitched, result](QImage image, QString) {
                         stitched = !image.isNull();
                         if (result)
                             *result = image;
                     });
    QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    QObject::connect(worker, &QObject::destroyed, &loop, &QEventLoop::quit);
    worker->start(QThread::InheritPriority);
    loop.exec();
    return stitched;
}

// What the window did before the worker process: read and stitch here, then, when asked for the
// result, turn it into an image.
bool stitchHere(const PanoramaRequest& request, QImage* result = nullptr)
{
    std::vector<cv::Mat> images;
    for (const std::string& path : request.imageList)
        images.push_back(cv::imread(path, cv::IMREAD_COLOR));
    cv::Mat pano;
    // The library's random numbers start where a fresh process starts them, as in the worker:
    // otherwise each stitch in this process would come out a little different.
    cv::theRNG().state = 0xffffffff;
    if (cv::Stitcher::create(cv::Stitcher::PANORAMA)->stitch(images, pano) != cv::Stitcher::OK)
        return false;
    if (!result)
        return true;
    images.clear();
    *result = QImage(pano.data, pano.cols, pano.rows, int(pano.step[0]), QImage::Format_RGB888).rgbSwapped();
    return !result->isNull();
}

// The two routes must make the same panorama of the same views, pixel for pixel.
bool sameResults(int views)
{
    const PanoramaRequest request = requestFor(views);
    QImage here, throughWorker;
    if (!stitchHere(request, &here) || !stitchThroughWorker(request, &throughWorker))
        return false;
    return here.convertToFormat(QImage::Format_RGB32) == throughWorker.convertToFormat(QImage::Format_RGB32);
}

void stitchProcess(benchmark::State& state)
{
    const PanoramaRequest request = requestFor(int(state.range(0)));
    measure(state, [&request] { return stitchThroughWorker(request); });
}

void stitchBare(benchmark::State& state)
{
    const PanoramaRequest request = requestFor(int(state.range(0)));
    measure(state, [&request] { return stitchHere(request); });
}

// Keeps the median of each benchmark so that the table can be printed at the end.
class MedianReporter : public benchmark::ConsoleReporter
{
public:
    QMap<QString, double> wallMedians, cpuMedians;

    MedianReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                const QString name =
                    QString::fromStdString(run.run_name.function_name + "/" + run.run_name.args);
                wallMedians[name] = run.GetAdjustedRealTime();
                cpuMedians[name] = run.counters.at("cpu_ms");
            }
        ConsoleReporter::ReportRuns(runs);
    }
};

bool writeViews(const QTemporaryDir& dir)
{
    for (const int count : viewCounts) {
        const QString folder = dir.filePath(QString::number(count));
        QDir().mkpath(folder);
        QStringList names;
        for (int i = 0; i < count; ++i)
            names << QString("view%1.jpg").arg(i + 1);
        viewPaths[count] = PanoramaViews::write(folder, names, viewSize, yawStepDegrees, sensorNoise);
        if (viewPaths[count].isEmpty())
            return false;
    }
    return true;
}

// One stitch of the views in folder, in a fresh process of this program; prints its peak resident
// memory before and after, and the worker's, in MiB.
int peakMemoryRun(const QString& route, const QString& folder)
{
    PanoramaRequest request{"Panorama", {}};
    for (const QFileInfo& view : QDir(folder).entryInfoList({"*.jpg"}, QDir::Files, QDir::Name))
        request.imageList.push_back(view.absoluteFilePath().toLocal8Bit().toStdString());
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    QImage result;
    const bool stitched =
        route == "worker" ? stitchThroughWorker(request, &result) : stitchHere(request, &result);
    rusage self{}, children{};
    getrusage(RUSAGE_SELF, &self);
    getrusage(RUSAGE_CHILDREN, &children);
    std::printf("%.0f %.0f %.0f\n", before.ru_maxrss / 1024.0, self.ru_maxrss / 1024.0,
                route == "worker" ? children.ru_maxrss / 1024.0 : 0.0);
    return stitched ? 0 : 1;
}

void printPeakMemory(const QString& folder)
{
    std::cout << "\nPeak resident memory of the window's process during one stitch of 8 views of "
              << viewSize.width() << "x" << viewSize.height()
              << " (MiB: before the stitch, at its peak, the worker's own peak):" << std::endl;
    for (const char* route : {"in-process", "worker"}) {
        QProcess run;
        run.start(QCoreApplication::applicationFilePath(), {"--peak-memory", route, folder});
        run.waitForFinished(-1);
        std::cout << "  " << route << ": " << run.readAllStandardOutput().trimmed().toStdString()
                  << std::endl;
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--peak-memory") == 0)
        return peakMemoryRun(argv[2], argv[3]);
    // Interleaved repetitions keep a busy machine's slow spells from landing on one side only.
    std::vector<char*> args(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave);
    int argCount = int(args.size());
    benchmark::Initialize(&argCount, args.data());
    QTemporaryDir dir;
    if (!writeViews(dir)) {
        std::cerr << "could not write the views" << std::endl;
        return 1;
    }
    for (const int count : viewCounts)
        if (!sameResults(count)) {
            std::cerr << "the two routes made different panoramas of " << count << " views" << std::endl;
            return 1;
        }
    std::cout << "Both routes make the same panorama, pixel for pixel, of 4, 6 and 8 views." << std::endl;
    for (const int count : viewCounts)
        for (auto [name, function] : {std::pair{"process", &stitchProcess}, std::pair{"bare", &stitchBare}})
            benchmark::RegisterBenchmark(name, function)
                ->Arg(count)
                ->Iterations(1)
                ->Repetitions(3)
                ->ReportAggregatesOnly(true)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf(
        "\nviews of %dx%d | bare wall ms | process wall ms | ratio | bare cpu ms | process cpu ms | ratio\n",
        viewSize.width(), viewSize.height());
    for (const int count : viewCounts) {
        const QString process = QString("process/%1").arg(count), bare = QString("bare/%1").arg(count);
        const double bareWall = reporter.wallMedians.value(bare),
                     processWall = reporter.wallMedians.value(process);
        const double bareCpu = reporter.cpuMedians.value(bare),
                     processCpu = reporter.cpuMedians.value(process);
        if (bareWall > 0 && bareCpu > 0)
            std::printf("%13d | %12.0f | %15.0f | %5.3f | %11.0f | %14.0f | %5.3f\n", count, bareWall,
                        processWall, processWall / bareWall, bareCpu, processCpu, processCpu / bareCpu);
    }
    printPeakMemory(dir.filePath("8"));
    return 0;
}
