#include "intake/intake.h"

#include "intake/memorybudget.h"
#include "intake/photodecoder.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMutex>
#include <QPointer>
#include <QThreadPool>

#include <atomic>

#include <sys/resource.h>
#include <unistd.h>

namespace {

// Decoding yields the processor to the window: on a busy machine its painting comes first. Linux
// gives each thread a nice value of its own.
void yieldToTheWindow()
{
    thread_local bool lowered = false;
    if (!lowered)
        lowered = setpriority(PRIO_PROCESS, id_t(gettid()), 10) == 0;
}

} // namespace

// What the background tasks share with the intake; outlives it while tasks still run.
struct Intake::Shared
{
    QMutex mutex;
    Intake* owner = nullptr; // null once the intake is gone
    std::atomic<bool> cancelled{false};

    void post(int index, const Outcome& outcome)
    {
        QMutexLocker lock(&mutex);
        if (!owner)
            return;
        Intake* target = owner;
        // A queued call to a deleted receiver is discarded with it.
        QMetaObject::invokeMethod(
            owner, [target, index, outcome] { target->arrive(index, outcome); }, Qt::QueuedConnection);
    }

    // Weighs the photos in the order of the list, so that the budget goes to the first ones, and hands
    // each one that fits to a decoding task.
    static void plan(const std::shared_ptr<Shared>& self, QThreadPool* pool, const QStringList& files,
                     qint64 room, const QSize& box, const Check& check, const Decoder& decode)
    {
        yieldToTheWindow();
        for (int i = 0; i < files.size(); ++i) {
            if (self->cancelled)
                return;
            const QString path = files.at(i);
            Outcome outcome;
            if (!PhotoDecoder::isRegularFile(path) || (check && !check(path))) {
                self->post(i, outcome);
                continue;
            }
            const PhotoDecoder::Header header = PhotoDecoder::readHeader(path, box);
            const qint64 bytes = PhotoDecoder::decodedBytes(header.size);
            if (header.kind == PhotoDecoder::Header::Photo && bytes <= room) {
                room -= bytes;
                pool->start([self, i, path, box, decode] {
                    yieldToTheWindow();
                    Outcome decoded;
                    if (!self->cancelled)
                        decoded.image = decode ? decode(path, box) : PhotoDecoder::decode(path, box);
                    self->post(i, decoded);
                });
                continue;
            }
            if (header.kind != PhotoDecoder::Header::NotAPhoto) {
                outcome.refused = true;
                outcome.refusal = {path, header.size,
                                   header.kind == PhotoDecoder::Header::TooLarge ? Reason::TooLarge
                                                                                 : Reason::NotEnoughMemory};
            }
            self->post(i, outcome);
        }
    }
};

Intake::Intake(QObject* parent) : QObject(parent), shared(std::make_shared<Shared>())
{
    shared->owner = this;
}

Intake::~Intake()
{
    shared->cancelled = true;
    QMutexLocker lock(&shared->mutex);
    shared->owner = nullptr;
}

void Intake::start(const QStringList& list)
{
    if (started)
        return;
    started = true;
    paths = list;
    if (paths.isEmpty() || shared->cancelled) {
        QMetaObject::invokeMethod(this, &Intake::finish, Qt::QueuedConnection);
        return;
    }
    const qint64 room = budget >= 0 ? budget : MemoryBudget::available();
    QThreadPool* pool = threadPool();
    pool->start([self = shared, pool, files = paths, room, box = fitWithin, check = accept,
                 decoder = decode] { Shared::plan(self, pool, files, room, box, check, decoder); });
}

QThreadPool* Intake::threadPool()
{
    // Made on the owner's thread; the application waits for it as it deletes its children.
    static QPointer<QThreadPool> pool;
    if (!pool) {
        pool = new QThreadPool(QCoreApplication::instance());
        pool->setMaxThreadCount(QThread::idealThreadCount());
    }
    return pool;
}

void Intake::cancel()
{
    shared->cancelled = true;
    if (started)
        finish();
}

void Intake::arrive(int index, const Outcome& outcome)
{
    if (done)
        return;
    waiting.insert(index, outcome);
    deliver();
}

void Intake::deliver()
{
    // A receiver that runs the event loop (a progress dialog does) must not start a second round.
    if (delivering)
        return;
    const QPointer<Intake> alive(this);
    delivering = true;
    while (!done && waiting.contains(next)) {
        const Outcome outcome = waiting.take(next);
        const QString path = paths.at(next);
        ++next;
        if (outcome.refused)
            refusals.append(outcome.refusal);
        else if (!outcome.image.isNull())
            emit photoReady(outcome.image, path);
        // A receiver may cancel or even delete the intake.
        if (!alive)
            return;
        if (!done)
            emit progressed(next, total());
        if (!alive)
            return;
    }
    delivering = false;
    if (next == total())
        finish();
}

void Intake::finish()
{
    if (done)
        return;
    done = true;
    waiting.clear();
    emit finished();
}

QString Intake::refusalText(const QList<Refusal>& refused)
{
    struct Group
    {
        Reason reason;
        QSize size;
        QStringList names;
    };
    QList<Group> groups;
    for (const Refusal& r : refused) {
        auto same = std::find_if(groups.begin(), groups.end(),
                                 [&](const Group& g) { return g.reason == r.reason && g.size == r.size; });
        if (same == groups.end())
            same = groups.insert(groups.end(), {r.reason, r.size, {}});
        same->names.append(QFileInfo(r.path).fileName());
    }
    QStringList paragraphs;
    for (const Group& g : groups) {
        const QString why =
            g.reason == Reason::NotEnoughMemory
                ? tr("Not enough memory for %1 × %2 photos").arg(g.size.width()).arg(g.size.height())
                : tr("Too large to open (%1 × %2 pixels)").arg(g.size.width()).arg(g.size.height());
        const QString count = g.names.size() == 1 ? tr("1 photo was not added")
                                                  : tr("%1 photos were not added").arg(g.names.size());
        paragraphs.append(QStringLiteral("%1: %2: %3").arg(why, count, g.names.join(QStringLiteral(", "))));
    }
    return paragraphs.join(QStringLiteral("\n\n"));
}
