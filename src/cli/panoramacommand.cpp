#include "cli/panoramacommand.h"

#include "cli/stripoutput.h"
#include "export/regionsource.h"
#include "panorama/engine/panoramarequest.h"
#include "panorama/engine/panoramathread.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QTimer>

#include <cstdio>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

namespace {

// The engine writes its result line to standard output; under --quiet, or when the picture itself
// goes there, the line goes nowhere instead.
class OutputAside
{
public:
    explicit OutputAside(bool aside)
    {
        if (!aside)
            return;
        const int nothing = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        saved = nothing >= 0 ? ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3) : -1;
        if (saved >= 0)
            ::dup2(nothing, STDOUT_FILENO);
        if (nothing >= 0)
            ::close(nothing);
    }
    ~OutputAside()
    {
        if (saved < 0)
            return;
        std::cout.flush();
        std::fflush(stdout);
        ::dup2(saved, STDOUT_FILENO);
        ::close(saved);
    }
    OutputAside(const OutputAside&) = delete;
    OutputAside& operator=(const OutputAside&) = delete;

private:
    int saved = -1;
};

} // namespace

PanoramaCommand::PanoramaCommand(const JobOptions& options) : opts(options), progress(options.quiet) {}

bool PanoramaCommand::run()
{
    if (!StripOutput::acceptsTarget(opts, progress))
        return false;
    PanoramaRequest request;
    request.style = opts.panoramaStyle == JobOptions::PanoramaStyle::Scans ? "Scans" : "Panorama";
    for (const QString& path : opts.photos)
        request.imageList.push_back(path.toLocal8Bit().toStdString());

    QImage panorama;
    QString error;
    QStringList leftOut;
    QEventLoop loop;
    auto* worker = new PanoramaThread(request);
    QObject::connect(worker, &PanoramaThread::signalPanoramaResult, &loop, [&](const QImage& image) {
        panorama = image;
        loop.quit();
    });
    QObject::connect(worker, &PanoramaThread::siganlPanoramaError, &loop, [&](const QString& text) {
        error = text;
        loop.quit();
    });
    QObject::connect(worker, &PanoramaThread::signalPhotosLeftOut, &loop,
                     [&](const QStringList& paths) { leftOut = paths; });
    QRect pictureArea;
    QObject::connect(worker, &PanoramaThread::signalPictureArea, &loop,
                     [&](const QRect& area) { pictureArea = area; });
    // A worker that ends without an answer must not leave the command waiting.
    QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit);

    QElapsedTimer clock;
    clock.start();
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        progress.show(tr("stitching %1 photos, %2 s").arg(opts.photos.size()).arg(clock.elapsed() / 1000));
    });
    tick.start(500);
    {
        const OutputAside aside(opts.quiet || opts.output == QLatin1String("-"));
        worker->start();
        loop.exec();
        tick.stop();
        worker->wait();
        delete worker;
    }

    if (panorama.isNull()) {
        progress.report(error.isEmpty() ? tr("The stitch failed.") : error);
        return false;
    }
    if (!leftOut.isEmpty())
        progress.report(PanoramaThread::leftOutText(leftOut, opts.photos.size()));
    // Cut without a copy: the whole picture stays alive until the file is written.
    QImage taken = panorama;
    if (!opts.keepWhole && pictureArea.isValid() && panorama.rect().contains(pictureArea))
        taken = QImage(panorama.constScanLine(pictureArea.y()) + pictureArea.x() * (panorama.depth() / 8),
                       pictureArea.width(), pictureArea.height(), panorama.bytesPerLine(), panorama.format());
    return StripOutput::write(RegionSource::fromImage(taken), Qt::Horizontal, opts, progress,
                              tr("stitched, "), false);
}
