#pragma once

#include "panorama/engine/panoramarequest.h"

#include <QImage>
#include <QString>
#include <QThread>

// Stitches one panorama off the user-interface thread and announces exactly one outcome. Create it
// on the user-interface thread with no parent, connect finished() to deleteLater() and start it; a
// new panorama takes a new worker. Quitting the application waits for workers still stitching.
class PanoramaThread : public QThread
{
    Q_OBJECT
public:
    explicit PanoramaThread(const PanoramaRequest& request, QObject* parent = nullptr);
    ~PanoramaThread() override;

    // Loads the photos, stitches them and emits one of the two signals. Runs on the worker thread.
    void stitchPanorama();

    // Blocks until every started worker has finished. The application's exit path calls it, so a
    // stitch never runs on while the process tears down.
    static void waitForRunningWorkers();

signals:
    void siganlPanoramaError(QString error);
    void signalPanoramaResult(QImage img, QString message);

protected:
    void run() override;

private:
    const PanoramaRequest request;
};
