#include "panorama/engine/panoramathread.h"

#include "panorama/engine/imageconversion.h"

#include <QCoreApplication>
#include <QDebug>
#include <QPointer>
#include <QSet>

#include <opencv2/core/utility.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/stitching.hpp>

#include <exception>
#include <iostream>

namespace {

// Workers are created and destroyed on the user-interface thread only, so the set needs no lock.
QSet<PanoramaThread*>& liveWorkers()
{
    static QSet<PanoramaThread*> workers;
    return workers;
}

// Waits from both ends of the exit path: aboutToQuit when the event loop ends, and the application
// object's destruction for programs that never run one.
void waitBeforeApplicationExit()
{
    static QPointer<QCoreApplication> hooked;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || hooked == app)
        return;
    hooked = app;
    QObject::connect(app, &QCoreApplication::aboutToQuit, app, &PanoramaThread::waitForRunningWorkers,
                     Qt::DirectConnection);
    qAddPostRoutine(&PanoramaThread::waitForRunningWorkers);
}

QString stitchFailedText()
{
    return PanoramaThread::tr("Input more images to construct your panorama. Ensure each photo has about "
                              "30% overlap with all other ajacent photograph.");
}

QString unreadablePhotoText(const std::string& path)
{
    return PanoramaThread::tr("The photo \"%1\" cannot be opened. Replace it with another photo and try "
                              "again.")
        .arg(QString::fromLocal8Bit(path.data(), int(path.size())));
}

// An empty matrix when the library cannot find or decode the file.
cv::Mat loadPhoto(const std::string& path)
{
    std::string resolved;
    try {
        resolved = cv::samples::findFile(path, true, false);
    } catch (const cv::Exception&) {
        return cv::Mat();
    }
    // The reader throws rather than decode a picture beyond its size limit: that photo is as
    // unreadable to the user as a broken one.
    try {
        return cv::imread(resolved, cv::IMREAD_COLOR);
    } catch (const cv::Exception&) {
        return cv::Mat();
    }
}

struct Outcome
{
    QImage panorama;
    QString error; // empty for a result
};

Outcome stitch(const PanoramaRequest& request)
{
    const cv::Stitcher::Mode mode = request.style == "Scans" ? cv::Stitcher::SCANS : cv::Stitcher::PANORAMA;
    const cv::Ptr<cv::Stitcher> stitcher = cv::Stitcher::create(mode);

    std::vector<cv::Mat> images;
    images.reserve(request.imageList.size());
    for (const std::string& path : request.imageList) {
        images.push_back(loadPhoto(path));
        // The stitcher would throw on an empty matrix without saying which photo it was.
        if (images.back().empty())
            return {QImage(), unreadablePhotoText(path)};
    }

    cv::Mat pano;
    const cv::Stitcher::Status status = stitcher->stitch(images, pano);
    if (status != cv::Stitcher::OK) {
        std::cout << "Can't stitch images, error code = " << int(status) << std::endl;
        return {QImage(), stitchFailedText()};
    }
    std::cout << "stitch images finish, error code = " << int(status) << std::endl;
    return {cvMatToQImage(pano), QString()};
}

} // namespace

PanoramaThread::PanoramaThread(const PanoramaRequest& request, QObject* parent)
    : QThread(parent), request(request)
{
    liveWorkers().insert(this);
    waitBeforeApplicationExit();
}

PanoramaThread::~PanoramaThread()
{
    // Deleting a worker mid-stitch waits for it instead of aborting the program.
    wait();
    liveWorkers().remove(this);
}

void PanoramaThread::waitForRunningWorkers()
{
    for (PanoramaThread* worker : liveWorkers())
        worker->wait();
}

void PanoramaThread::run()
{
    stitchPanorama();
}

void PanoramaThread::stitchPanorama()
{
    // Nothing may leave the worker thread: an exception there would end the whole program.
    Outcome outcome;
    try {
        outcome = stitch(request);
    } catch (const std::exception& e) {
        qWarning().noquote() << "Panorama stitch failed:" << e.what();
        outcome = {QImage(), stitchFailedText()};
    } catch (...) {
        qWarning() << "Panorama stitch failed with an unknown exception";
        outcome = {QImage(), stitchFailedText()};
    }
    try {
        if (outcome.error.isEmpty())
            emit signalPanoramaResult(outcome.panorama, QStringLiteral("OK"));
        else
            emit siganlPanoramaError(outcome.error);
    } catch (...) {
        qWarning() << "Panorama outcome could not be delivered";
    }
}
