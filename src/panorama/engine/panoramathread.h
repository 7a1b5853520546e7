#pragma once

#include "panorama/engine/panoramarequest.h"

#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QThread>

#include <atomic>

// Stitches one panorama in a worker process, watched from its own thread, and announces exactly one
// outcome unless cancelled. Create it on the user-interface thread (or the one thread of a program
// without one) with no parent, connect finished() to deleteLater() and start it; a new panorama
// takes a new worker. Only one stitch runs at a time in a process: a later worker waits for the
// earlier one's process to end. Quitting the application cancels every worker still stitching.
class PanoramaThread : public QThread
{
    Q_OBJECT
public:
    explicit PanoramaThread(const PanoramaRequest& request, QObject* parent = nullptr);
    // Cancels a stitch still running and waits for its process to end.
    ~PanoramaThread() override;

    // Runs the worker process and emits the outcome. Runs on the worker thread; blocks.
    void stitchPanorama();

    // Ends the stitch from any thread: the worker process is stopped, its files are removed and no
    // outcome is announced.
    void cancel();
    // The worker process's id while it runs, else 0. Any thread.
    qint64 workerProcessId() const { return processId; }
    // The address space in bytes the worker may take for its photos and the stitch; 0, the default,
    // derives it from the machine's memory.
    // Set it before start().
    void setMemoryLimit(qint64 bytes) { memoryLimit = bytes; }

    static qint64 defaultMemoryLimit();
    // The message that names the photos a panorama was made without.
    static QString leftOutText(const QStringList& leftOut, int photoCount);
    // Cancels every worker and waits for them; the application's exit path calls it.
    static void cancelRunningWorkers();

signals:
    void siganlPanoramaError(QString error);
    void signalPanoramaResult(QImage img, QString message);
    // Sent just before the result when the stitcher could not match some photos: their paths, in
    // request order.
    void signalPhotosLeftOut(QStringList paths);
    // Sent just before the result: its largest rectangle that no photo leaves empty, the whole result
    // when it has no empty pixel.
    void signalPictureArea(QRect area);

protected:
    void run() override;

private:
    const PanoramaRequest request;
    qint64 memoryLimit = 0;
    std::atomic<bool> cancelled{false};
    std::atomic<qint64> processId{0};
};
