#include "intake/intake.h"

#include "intake/memorybudget.h"
#include "intake/photodecoder.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QPointer>
#include <QThreadPool>
#include <QWaitCondition>

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
    // Bytes that decodes in progress hold beyond the photos they hand on.
    QMutex decodingMutex;
    QWaitCondition decodingDone;
    qint64 decodingBytes = 0;

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

    // Waits until the decodes in progress leave room for one more that holds extra bytes for a while;
    // false when cancelled. The pool may start another thread meanwhile, or the decodes waited for
    // could never run.
    bool reserveDecoding(QThreadPool* pool, qint64 extra, qint64 room)
    {
        QMutexLocker lock(&decodingMutex);
        if (decodingBytes > 0 && decodingBytes + extra > room) {
            pool->releaseThread();
            while (!cancelled && decodingBytes > 0 && decodingBytes + extra > room)
                decodingDone.wait(&decodingMutex, 50);
            pool->reserveThread();
        }
        decodingBytes += extra;
        return !cancelled;
    }

    void releaseDecoding(qint64 extra)
    {
        QMutexLocker lock(&decodingMutex);
        decodingBytes -= extra;
        decodingDone.wakeAll();
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
            const PhotoDecoder::Header header = PhotoDecoder::isRegularFile(path) && (!check || check(path))
                                                    ? PhotoDecoder::readHeader(path, box)
                                                    : PhotoDecoder::Header();
            const qint64 bytes = PhotoDecoder::decodedBytes(header.size);
            const qint64 extra = PhotoDecoder::peakDecodingBytes(header) - bytes;
            if (header.kind == PhotoDecoder::Header::Photo && bytes + extra <= room) {
                room -= bytes;
                if (!self->reserveDecoding(pool, extra, room))
                    return;
                pool->start([self, i, path, box, decode, header, extra] {
                    yieldToTheWindow();
                    Outcome decoded;
                    if (!self->cancelled)
                        decoded.image = decode ? decode(path, box) : PhotoDecoder::decode(path, box);
                    self->releaseDecoding(extra);
                    if (decoded.image.isNull() && !self->cancelled) {
                        decoded.refused = true;
                        decoded.refusal = {path, header.fullSize, Reason::Damaged};
                    }
                    self->post(i, decoded);
                });
                continue;
            }
            // An empty path is no file at all (a link to something remote, say).
            if (!path.isEmpty()) {
                outcome.refused = true;
                switch (header.kind) {
                case PhotoDecoder::Header::NotAPhoto: {
                    const bool opens = PhotoDecoder::isRegularFile(path) &&
                                       ::access(QFile::encodeName(path).constData(), R_OK) == 0;
                    outcome.refusal = {path, QSize(), opens ? Reason::NotAPhoto : Reason::CannotOpen};
                    break;
                }
                case PhotoDecoder::Header::TooLarge:
                    outcome.refusal = {path, header.size, Reason::TooLarge};
                    break;
                case PhotoDecoder::Header::Photo:
                    outcome.refusal = {path, header.fullSize.isValid() ? header.fullSize : header.size,
                                       Reason::NotEnoughMemory};
                    break;
                }
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
        auto same = std::find_if(groups.begin(), groups.end(), [&](const Group& g) {
            const bool sized = r.reason == Reason::NotEnoughMemory || r.reason == Reason::TooLarge;
            return g.reason == r.reason && (g.size == r.size || !sized);
        });
        if (same == groups.end())
            same = groups.insert(groups.end(), {r.reason, r.size, {}});
        same->names.append(QFileInfo(r.path).fileName());
    }
    QStringList paragraphs;
    for (const Group& g : groups) {
        QString why;
        switch (g.reason) {
        case Reason::NotEnoughMemory:
            why = tr("Not enough memory for %1 × %2 photos").arg(g.size.width()).arg(g.size.height());
            break;
        case Reason::TooLarge:
            why = tr("Too large to open (%1 × %2 pixels)").arg(g.size.width()).arg(g.size.height());
            break;
        case Reason::NotAPhoto:
            why = tr("Not a picture");
            break;
        case Reason::Damaged:
            why = tr("Damaged or incomplete");
            break;
        case Reason::CannotOpen:
            why = tr("Cannot be opened");
            break;
        }
        const bool files = g.reason == Reason::NotAPhoto || g.reason == Reason::CannotOpen;
        const QString count = g.names.size() == 1
                                  ? (files ? tr("1 file was not added") : tr("1 photo was not added"))
                                  : (files ? tr("%1 files were not added") : tr("%1 photos were not added"))
                                        .arg(g.names.size());
        paragraphs.append(QStringLiteral("%1: %2: %3").arg(why, count, g.names.join(QStringLiteral(", "))));
    }
    return paragraphs.join(QStringLiteral("\n\n"));
}
