// The edit history's memory and speed over a strip of 30 photos of 12 MP: 200 edits of every kind made
// through the canvas's operations, the resident memory they add beyond the photos, and the time to undo
// and redo them all. Then the recovery copy of such a strip (photos from JPEG files): how long its
// background writes take, and the longest the window's event loop waits meanwhile.
#include "canvas/painterarea.h"
#include "canvas/paintimage.h"
#include "canvas/stitcherbutton.h"
#include "canvas/stitcherconfig.h"
#include "canvas/xformwidget.h"
#include "history/striphistory.h"
#include "intake/intakerun.h"
#include "project/recoverystore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>

#include <benchmark/benchmark.h>

#include <malloc.h>

namespace {

constexpr int photoCount = 30;
constexpr int stepCount = 200;
const QSize photoSize(4000, 3000);

// Heap bytes in use, mapped blocks (the photos' pixels) included: unlike the resident size, not hidden
// by memory the allocator kept from earlier runs.
double heapMiB()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
}

void stroke(PainterArea* canvas, int tool, int step)
{
    StitcherConfig::instance()->tool = tool;
    QPoint at(20 + step * 7 % 600, 20 + step * 3 % 100);
    canvas->toolPress(at);
    for (int i = 0; i < 20; ++i)
        canvas->toolMove(at += QPoint(3, i % 2 ? 2 : -2), QPoint(3, 0));
    canvas->toolRelease(at);
    StitcherConfig::instance()->tool = StitcherConfig::NoTool;
}

// One edit of the kind the step number picks, each as the window makes it.
void edit(PainterArea* canvas, int step)
{
    switch (step % 8) {
    case 0: {
        PaintImage* photo = canvas->paintImages.at(step / 8 % photoCount);
        photo->rightButton->click();
        for (int i = 0; i < 10; ++i)
            canvas->setStitchMove(QPoint(4, 0));
        photo->rightButton->click();
        break;
    }
    case 1:
        stroke(canvas, StitcherConfig::DrawTool, step);
        break;
    case 2:
        stroke(canvas, StitcherConfig::MosaicTool, step);
        break;
    case 3:
        canvas->setSpacingMode(canvas->spacingMode ? 0 : Geometry::SpacingInnerBit);
        break;
    case 4: {
        Watermark::Style style = canvas->watermarkStyle();
        style.mode = Watermark::Tile;
        style.text = QString("Seamwright %1").arg(step);
        canvas->setWatermarkStyle(style);
        break;
    }
    case 5:
        canvas->swapPhotos(step % photoCount, (step * 7) % photoCount);
        break;
    case 6:
        canvas->setPaintHeight(800 + step);
        break;
    default:
        canvas->setSpacingInner(step % 100);
        break;
    }
}

void BM_History200StepsOver30Photos(benchmark::State& state)
{
    for (auto _ : state) {
        XFormWidget host;
        host.resize(1280, 800);
        PainterArea* canvas = host.canvas();
        for (int i = 0; i < photoCount; ++i) {
            QImage photo(photoSize, QImage::Format_RGB32);
            photo.fill(QColor::fromHsv(i * 12, 200, 200));
            canvas->addImage(photo, QString("%1.jpg").arg(i));
        }
        StripHistory history(canvas->state(), [canvas](const StripState& s) { canvas->restoreState(s); });
        canvas->setRecorder(&history);
        const double photosOnly = heapMiB();

        QElapsedTimer timer;
        timer.start();
        for (int step = 0; step < stepCount; ++step)
            edit(canvas, step);
        const double editMs = timer.elapsed();
        const double withHistory = heapMiB();
        timer.restart();
        while (history.stack()->canUndo())
            history.stack()->undo();
        while (history.stack()->canRedo())
            history.stack()->redo();
        const double walkMs = timer.elapsed();

        state.counters["photos_MiB"] = photosOnly;
        state.counters["history_MiB"] = withHistory - photosOnly;
        state.counters["steps"] = history.stack()->count();
        state.counters["edits_ms"] = editMs;
        state.counters["undo_redo_all_ms"] = walkMs;
        canvas->setRecorder(nullptr);
    }
}

// Runs the event loop until done() holds, returning the longest wait between two timer ticks of 5 ms.
template <class Done> qint64 longestGap(Done done)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    tick.start();
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return longest;
}

void BM_RecoveryCopyWhileEditing(benchmark::State& state)
{
    QTemporaryDir dir;
    QStringList files;
    qint64 fileBytes = 0;
    quint32 noise = 2463534242u;
    for (int i = 0; i < photoCount; ++i) {
        // A gradient with sensor-like noise: JPEG files of a camera's size, not a flat colour's.
        QImage photo(photoSize, QImage::Format_RGB32);
        for (int y = 0; y < photoSize.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(photo.scanLine(y));
            for (int x = 0; x < photoSize.width(); ++x) {
                noise ^= noise << 13, noise ^= noise >> 17, noise ^= noise << 5;
                const int n = int(noise & 31) - 16;
                row[x] =
                    qRgb(qBound(0, x / 16 + n, 255), qBound(0, y / 12 + n, 255), qBound(0, i * 8 + n, 255));
            }
        }
        files << dir.filePath(QString("%1.jpg").arg(i));
        photo.save(files.last(), "JPEG", 90);
        fileBytes += QFileInfo(files.last()).size();
    }
    for (auto _ : state) {
        XFormWidget host;
        host.resize(1280, 800);
        PainterArea* canvas = host.canvas();
        IntakeRun* run = canvas->addPhotoFiles(files);
        run->setProgressDelay(1000000);
        bool intakeDone = false;
        QObject::connect(run, &IntakeRun::finished, [&intakeDone] { intakeDone = true; });
        longestGap([&] { return intakeDone; });
        RecoveryStore store;
        qint64 firstWrite = -1;
        qint64 slowestLater = 0;
        int writes = 0;
        QObject::connect(&store, &RecoveryStore::written, [&](qint64 ms, bool) {
            if (writes++ == 0)
                firstWrite = ms;
            else
                slowestLater = std::max(slowestLater, ms);
        });
        qint64 gap = 0;
        for (int step = 0; step < 20; ++step) {
            edit(canvas, step);
            store.write(canvas->state());
            gap = std::max(gap, longestGap([&store] { return !store.isWriting(); }));
        }
        state.counters["photos"] = canvas->paintImages.size();
        state.counters["photo_files_MiB"] = fileBytes / (1024.0 * 1024.0);
        state.counters["first_write_ms"] = firstWrite;
        state.counters["later_write_max_ms"] = slowestLater;
        state.counters["longest_loop_gap_ms"] = gap;
        store.discard();
    }
}

BENCHMARK(BM_RecoveryCopyWhileEditing)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

BENCHMARK(BM_History200StepsOver30Photos)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

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
