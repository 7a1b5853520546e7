#pragma once

#include <QImage>
#include <QList>
#include <QMap>
#include <QObject>
#include <QSize>
#include <QStringList>

#include <functional>
#include <memory>

// Decodes a list of photo files on the thread pool, widget-free. Before a photo is decoded its size is
// weighed against the memory budget, counting what the decode holds at its peak; what does not fit,
// what is not a photo and what does not decode completely is refused and named in refused(). Photos
// reach photoReady in the order of the list, on the thread that owns the intake, as soon as each one
// and all before it are done.
class QThreadPool;

class Intake : public QObject
{
    Q_OBJECT
public:
    enum class Reason { NotEnoughMemory, TooLarge, NotAPhoto, Damaged, CannotOpen };
    struct Refusal
    {
        QString path;
        QSize size;
        Reason reason = Reason::NotEnoughMemory;
    };
    // Runs in the background before a file is decoded; false refuses the file as not a photo.
    using Check = std::function<bool(const QString& path)>;
    // Runs on the thread pool; the photo decoder unless replaced.
    using Decoder = std::function<QImage(const QString& path, const QSize& fitWithin)>;

    explicit Intake(QObject* parent = nullptr);
    ~Intake() override;

    // Bytes of decoded photos this intake may add; the memory budget's figure when not set.
    void setBudget(qint64 bytes) { budget = bytes; }
    // Photos are scaled into this box as they decode (thumbnails).
    void setFitWithin(const QSize& box) { fitWithin = box; }
    void setCheck(Check check) { accept = std::move(check); }
    void setDecoder(Decoder decoder) { decode = std::move(decoder); }

    // Starts once; finished() follows even for an empty list.
    void start(const QStringList& paths);
    // Stops at once: photos already handed on stay, the rest are dropped.
    void cancel();

    bool isFinished() const { return done; }
    int total() const { return int(paths.size()); }
    int handled() const { return next; }
    const QList<Refusal>& refused() const { return refusals; }

    // The threads that decode, one per core, apart from the toolkit's global pool: the toolkit shares
    // out smooth scaling on that pool and waits for it on the window's thread, which would otherwise
    // stall behind every queued photo.
    static QThreadPool* threadPool();

    // One message naming every refused photo and why, empty when none was refused.
    static QString refusalText(const QList<Refusal>& refused);

signals:
    void photoReady(const QImage& image, const QString& path);
    void progressed(int handled, int total);
    void finished();

private:
    struct Shared;
    struct Outcome
    {
        QImage image;
        bool refused = false;
        Refusal refusal;
    };

    void arrive(int index, const Outcome& outcome);
    void deliver();
    void finish();

    std::shared_ptr<Shared> shared;
    QStringList paths;
    QMap<int, Outcome> waiting;
    QList<Refusal> refusals;
    qint64 budget = -1;
    QSize fitWithin;
    Check accept;
    Decoder decode;
    int next = 0;
    bool started = false;
    bool delivering = false;
    bool done = false;
};
