// Stitches of camera-sized photos: six views of 5600 x 4200 in one row and twelve in two rows, made
// from a wide scene with sensor noise. For each set, the stitch worker program runs in a process of
// its own and its peak resident memory, wall time and result are printed; then the crop's search on
// the six-view set's coverage mask is timed against the stitch it belongs to.
//
//   bench_panoramalarge [--views DIR] [--worker PROGRAM] [--results DIR] [--sets 6,12] [--no-crop-timing]
//   bench_panoramalarge --compare BEFORE.rgb AFTER.rgb
//
// --views keeps the generated photos in DIR (made once, reused later), --worker runs another build of
// the worker (an older one, to compare), --results keeps each result's raw rows there.
//
// Recorded on the shared 2-core machine, 2026-12-07. The worker's peak, before (whole-panorama
// blending, a second whole stitch for a retry) and after (blending in strips):
//   6 views  -> 23273 x 4012: 2530 MiB -> 1476 MiB, 30.1 s -> 18.5 s (load 5)
//   12 views -> 23937 x 6801: 4352 MiB -> 2426 MiB, 57.8 s -> 40.0 s (load 5)
// Both results are the same byte for byte (--compare). The crop on the six views' mask takes 419 ms
// wall, 153 ms CPU (median of 3, load 10.8), against 44.0 s for the stitch here: 0.95 %.
#include "panorama/engine/worker/stitchpipeline.h"
#include "support/panoramaviews.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <opencv2/imgcodecs.hpp>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>

extern char** environ;

namespace {

const QSize viewSize(5600, 4200);
const double yawStepDegrees = 39.0;   // about 30 % overlap, as the tips ask
const double pitchStepDegrees = 30.0; // the same between the two rows of twelve
const double sensorNoise = 4.0;

QStringList viewSet(const QString& root, int count)
{
    const QString folder = QDir(root).filePath(QString::number(count));
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << QString("view%1.jpg").arg(i + 1, 2, 10, QChar('0'));
    QStringList paths;
    for (const QString& name : names)
        if (QFile::exists(QDir(folder).filePath(name)))
            paths << QDir(folder).filePath(name);
    if (paths.size() == count)
        return paths;
    QDir().mkpath(folder);
    std::cerr << "writing " << count << " views into " << folder.toStdString() << std::endl;
    return PanoramaViews::writeAround(folder, names, viewSize, count > 6 ? 2 : 1, yawStepDegrees,
                                      pitchStepDegrees, sensorNoise);
}

struct WorkerRun
{
    bool ok = false;
    double seconds = 0;
    double peakMiB = 0;
    QByteArray line;
};

// The worker as the window starts it, without a memory limit: its peak is what it needs.
WorkerRun runWorker(const QString& program, const QStringList& photos, const QString& resultPath)
{
    QTemporaryDir scratch;
    const QString input = scratch.filePath("paths"), output = scratch.filePath("line");
    QFile list(input);
    if (!list.open(QIODevice::WriteOnly))
        return {};
    for (const QString& photo : photos)
        list.write(QFile::encodeName(photo) + '\0');
    list.close();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray in = QFile::encodeName(input), out = QFile::encodeName(output);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, in.constData(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.constData(), O_WRONLY | O_CREAT, 0600);
    QByteArray programBytes = QFile::encodeName(program), mode("panorama"), limit("0"),
               result = QFile::encodeName(resultPath);
    char* argv[] = {programBytes.data(), mode.data(), limit.data(), result.data(), nullptr};
    QElapsedTimer clock;
    clock.start();
    pid_t pid = 0;
    const int failure = posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failure != 0)
        return {};
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return {};
    WorkerRun run;
    run.seconds = clock.elapsed() / 1000.0;
    run.peakMiB = usage.ru_maxrss / 1024.0;
    QFile line(output);
    if (line.open(QIODevice::ReadOnly))
        run.line = line.readAll().trimmed();
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 && run.line.startsWith("stitched");
    return run;
}

cv::Mat coverageOfSix;

void pictureArea(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(StitchPipeline::pictureArea(coverageOfSix));
}

// Two results' raw rows side by side: how many bytes differ, by how much at most and on average.
int compareResults(const QString& before, const QString& after)
{
    QFile a(before), b(after);
    if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly) || a.size() != b.size()) {
        std::printf("the results differ in size or cannot be read\n");
        return 1;
    }
    const uchar* p = a.map(0, a.size());
    const uchar* q = b.map(0, b.size());
    if (!p || !q)
        return 1;
    qint64 differing = 0, beyondTwo = 0, sum = 0;
    int most = 0;
    for (qint64 i = 0; i < a.size(); ++i) {
        const int d = std::abs(int(p[i]) - int(q[i]));
        differing += d > 0;
        beyondTwo += d > 2;
        sum += d;
        most = std::max(most, d);
    }
    std::printf("%lld bytes: %.4f %% differ, %.4f %% by more than 2, mean %.4f, largest %d\n",
                (long long)a.size(), 100.0 * differing / a.size(), 100.0 * beyondTwo / a.size(),
                double(sum) / a.size(), most);
    return 0;
}

double loadAverage()
{
    double load[1] = {0};
    return getloadavg(load, 1) == 1 ? load[0] : -1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments();
    if (arguments.size() == 4 && arguments.at(1) == "--compare")
        return compareResults(arguments.at(2), arguments.at(3));
    const auto option = [&arguments](const QString& name, const QString& fallback) {
        const int at = arguments.indexOf(name);
        return at > 0 && at + 1 < arguments.size() ? arguments.at(at + 1) : fallback;
    };
    QTemporaryDir ownViews;
    const QString viewRoot = option("--views", ownViews.path());
    const QString worker =
        option("--worker", QCoreApplication::applicationDirPath() + "/../src/seamwright-stitch");
    const QString results = option("--results", QString());
    const QStringList sets = option("--sets", "6,12").split(',');

    std::printf("views of %dx%d | load | wall s | worker peak MiB | result and picture area\n",
                viewSize.width(), viewSize.height());
    for (const QString& set : sets) {
        const QStringList photos = viewSet(viewRoot, set.toInt());
        if (photos.isEmpty()) {
            std::cerr << "could not write the views" << std::endl;
            return 1;
        }
        QTemporaryDir scratch;
        const QString resultPath =
            results.isEmpty() ? scratch.filePath("panorama.rgb") : QDir(results).filePath(set + ".rgb");
        const double load = loadAverage();
        const WorkerRun run = runWorker(worker, photos, resultPath);
        std::printf("%17s | %4.1f | %6.1f | %15.0f | %s\n", qPrintable(set), load, run.seconds, run.peakMiB,
                    run.ok ? run.line.constData() : "failed");
        std::fflush(stdout);
    }
    if (arguments.contains("--no-crop-timing"))
        return 0;

    // The crop's share: one stitch of the six views here, then the search on its mask.
    std::vector<cv::Mat> photos;
    for (const QString& path : viewSet(viewRoot, 6))
        photos.push_back(cv::imread(path.toStdString(), cv::IMREAD_COLOR));
    QElapsedTimer clock;
    clock.start();
    StitchPipeline::Result stitched = StitchPipeline::stitch(photos, cv::Stitcher::PANORAMA);
    const double stitchSeconds = clock.elapsed() / 1000.0;
    if (stitched.status != cv::Stitcher::OK || stitched.coverage.empty()) {
        std::cerr << "the six views were not stitched" << std::endl;
        return 1;
    }
    photos.clear();
    stitched.panorama.release();
    coverageOfSix = stitched.coverage;
    std::printf("\nstitch of six views here: %.1f s wall (load %.1f), mask %dx%d, %.1f %% empty\n",
                stitchSeconds, loadAverage(), coverageOfSix.cols, coverageOfSix.rows,
                100.0 - 100.0 * cv::countNonZero(coverageOfSix) / double(coverageOfSix.total()));
    std::vector<char*> args{argv[0]};
    int argCount = 1;
    benchmark::Initialize(&argCount, args.data());
    benchmark::RegisterBenchmark("pictureArea/six views", pictureArea)
        ->Iterations(1)
        ->Repetitions(3)
        ->ReportAggregatesOnly(true)
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
