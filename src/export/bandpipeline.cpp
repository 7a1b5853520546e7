#include "export/bandpipeline.h"

#include "export/bandconsumer.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// Big enough that each band compresses well on its own, small enough to render and compress in a small
// fraction of the half second a cancel may take.
constexpr qint64 bandBytesTarget = qint64(4) << 20;
// Rendered bytes waiting for or under processing, whatever the picture's width.
constexpr qint64 inFlightBytes = qint64(64) << 20;
constexpr auto progressInterval = std::chrono::milliseconds(100);

using Clock = std::chrono::steady_clock;

struct Slot
{
    QImage band;
    QImage above;
    int top = 0;
    bool last = false;
    bool done = false;
    std::unique_ptr<BandConsumer::Result> result;
};

struct Shared
{
    explicit Shared(BandConsumer& consumer, int window) : consumer(consumer), ring(std::size_t(window)) {}

    BandConsumer& consumer;
    std::mutex mutex;
    std::condition_variable work;
    std::condition_variable finished;
    std::deque<int> queue;
    std::vector<Slot> ring;
    bool stop = false;

    Slot& slot(int index) { return ring[std::size_t(index) % ring.size()]; }
};

void runWorker(Shared& shared)
{
    for (;;) {
        QImage band, above;
        int index = 0, top = 0;
        bool last = false;
        {
            std::unique_lock<std::mutex> lock(shared.mutex);
            shared.work.wait(lock, [&] { return shared.stop || !shared.queue.empty(); });
            if (shared.stop)
                return;
            index = shared.queue.front();
            shared.queue.pop_front();
            const Slot& slot = shared.slot(index);
            band = slot.band;
            above = slot.above;
            top = slot.top;
            last = slot.last;
        }
        std::unique_ptr<BandConsumer::Result> result;
        try {
            result = shared.consumer.process(band, above, top, last);
        } catch (const std::exception&) {
            result.reset();
        }
        {
            std::lock_guard<std::mutex> lock(shared.mutex);
            Slot& slot = shared.slot(index);
            slot.result = std::move(result);
            slot.done = true;
        }
        shared.finished.notify_all();
    }
}

// Stops and joins the workers on every way out of the run.
class Workers
{
public:
    explicit Workers(Shared& shared) : shared(shared) {}
    ~Workers()
    {
        {
            std::lock_guard<std::mutex> lock(shared.mutex);
            shared.stop = true;
        }
        shared.work.notify_all();
        for (std::thread& thread : threads)
            thread.join();
    }
    // How many started: a system out of threads (a process limit) may start fewer, or none.
    int start(int count)
    {
        try {
            for (int i = 0; i < count; ++i)
                threads.emplace_back(runWorker, std::ref(shared));
        } catch (const std::system_error&) {
        }
        return int(threads.size());
    }

private:
    Shared& shared;
    std::vector<std::thread> threads;
};

} // namespace

int BandPipeline::rowsPerBand(int width)
{
    const qint64 rowBytes = std::max(qint64(1), qint64(width) * 4);
    return int(std::clamp(bandBytesTarget / rowBytes, qint64(1), qint64(INT_MAX)));
}

bool BandPipeline::run(const BandSource& source, BandConsumer& consumer)
{
    cancelled = false;
    error.clear();
    const QSize size = source.size;
    if (size.width() <= 0 || size.height() <= 0 || !source.band) {
        error = tr("There is nothing to export.");
        return false;
    }
    const int rows = std::min(bandRows > 0 ? bandRows : rowsPerBand(size.width()), size.height());
    const int bandCount = int((qint64(size.height()) + rows - 1) / rows);
    const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
    const int workerCount = std::min(threadCount > 0 ? threadCount : cores, bandCount);
    const qint64 bandBytes = qint64(size.width()) * rows * 4;
    const int window = int(
        std::clamp(inFlightBytes / std::max(qint64(1), bandBytes), qint64(2), qint64(2 * workerCount + 2)));

    Shared shared(consumer, window);
    Workers workers(shared);
    if (workers.start(workerCount) == 0) {
        error = tr("The export could not start: the system has no threads to spare (a limit on processes).");
        return false;
    }

    int rendered = 0, taken = 0, rowsDone = 0;
    QImage previous;
    auto lastReport = Clock::now();
    const auto report = [&] {
        lastReport = Clock::now();
        if (progress && !progress(rowsDone, size.height())) {
            cancelled = true;
            error = tr("The export was cancelled.");
            return false;
        }
        return true;
    };

    while (taken < bandCount) {
        std::unique_ptr<BandConsumer::Result> result;
        bool ready = false;
        {
            std::lock_guard<std::mutex> lock(shared.mutex);
            Slot& slot = shared.slot(taken);
            if (taken < rendered && slot.done) {
                ready = true;
                result = std::move(slot.result);
                slot = Slot();
            }
        }
        if (ready) {
            if (!result) {
                error = tr("Not enough memory to compress the picture.");
                return false;
            }
            if (!consumer.take(*result)) {
                error = consumer.errorString();
                return false;
            }
            ++taken;
            rowsDone = int(std::min<qint64>(size.height(), qint64(taken) * rows));
            if (!report())
                return false;
            continue;
        }

        if (rendered < bandCount && rendered - taken < window) {
            const int top = rendered * rows;
            const int height = std::min(rows, size.height() - top);
            QImage band;
            try {
                band = source.band(top, height);
            } catch (const std::exception&) {
                band = QImage();
            }
            if (band.isNull()) {
                error = tr("Not enough memory to render the picture.");
                return false;
            }
            // A picture that changed while it was exported would make a file of two pictures.
            if (band.size() != QSize(size.width(), height)) {
                error = tr("The picture changed during the export.");
                return false;
            }
            if (rendered == 0 && !consumer.begin(size, band)) {
                error = consumer.errorString();
                return false;
            }
            {
                std::lock_guard<std::mutex> lock(shared.mutex);
                Slot& slot = shared.slot(rendered);
                slot.band = band;
                slot.above = previous;
                slot.top = top;
                slot.last = rendered == bandCount - 1;
                shared.queue.push_back(rendered);
            }
            shared.work.notify_one();
            previous = band;
            ++rendered;
            if (Clock::now() - lastReport >= progressInterval && !report())
                return false;
            continue;
        }

        bool arrived = false;
        {
            std::unique_lock<std::mutex> lock(shared.mutex);
            arrived = shared.finished.wait_until(lock, lastReport + progressInterval,
                                                 [&] { return shared.slot(taken).done; });
        }
        if (!arrived && !report())
            return false;
    }
    if (!consumer.finish()) {
        error = consumer.errorString();
        return false;
    }
    return true;
}
