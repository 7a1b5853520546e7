#include "panorama/engine/panoramathread.h"

#include "panorama/engine/stitchfolders.h"
#include "panorama/engine/stitchinput.h"
#include "panorama/engine/worker/stitchprotocol.h"
#include "panorama/engine/worker/workerguard.h"
#include "panorama/engine/workerprocess.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSet>
#include <QTemporaryDir>

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <iostream>
#include <mutex>

namespace {

const char workerName[] = "seamwright-stitch";

// Workers are created and destroyed on the user-interface thread only, so the set needs no lock.
QSet<PanoramaThread*>& liveWorkers()
{
    static QSet<PanoramaThread*> workers;
    return workers;
}

// Two stitches at once would only share the memory that one of them needs.
std::timed_mutex& stitchSlot()
{
    static std::timed_mutex slot;
    return slot;
}

// Cancels from both ends of the exit path: aboutToQuit when the event loop ends, and the application
// object's destruction for programs that never run one.
void cancelBeforeApplicationExit()
{
    static QPointer<QCoreApplication> hooked;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || hooked == app)
        return;
    hooked = app;
    QObject::connect(app, &QCoreApplication::aboutToQuit, app, &PanoramaThread::cancelRunningWorkers,
                     Qt::DirectConnection);
    qAddPostRoutine(&PanoramaThread::cancelRunningWorkers);
}

// Beside the running program, then where this build made it, then where an installation puts it.
QString workerProgram()
{
    QStringList candidates;
    if (QCoreApplication::instance())
        candidates << QCoreApplication::applicationDirPath() + '/' + workerName;
    candidates << QStringLiteral(SEAMWRIGHT_STITCH_BUILD_PATH)
               << QStringLiteral(SEAMWRIGHT_STITCH_INSTALL_PATH);
    for (const QString& candidate : candidates) {
        const QFileInfo info(candidate);
        if (info.isFile() && info.isExecutable())
            return candidate;
    }
    qWarning().noquote() << "The stitch worker was not found in" << candidates.join(", ");
    return QString();
}

// The kernel's count of processes it has killed for want of memory, or -1.
qint64 kernelOomKills()
{
    QFile file(QStringLiteral("/proc/vmstat"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith("oom_kill "))
            return line.mid(9).trimmed().toLongLong();
    return -1;
}

qint64 residentBytes()
{
    QFile file(QStringLiteral("/proc/self/statm"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = file.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) : 0;
}

qint64 cgroupMemoryLimit()
{
    QFile file(QStringLiteral("/sys/fs/cgroup/memory.max"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    bool ok = false;
    const qint64 limit = file.readAll().trimmed().toLongLong(&ok);
    return ok ? limit : 0;
}

QString stitchFailedText()
{
    return PanoramaThread::tr("Input more images to construct your panorama. Ensure each photo has about "
                              "30% overlap with all other ajacent photograph.");
}

QString outOfMemoryText()
{
    return PanoramaThread::tr("There is not enough memory to stitch these photos: they are too large or too "
                              "many for the memory available. Try fewer or smaller photos.");
}

QString endedAbnormallyText()
{
    return PanoramaThread::tr("Stitching stopped unexpectedly, so no panorama was made. Please try again.");
}

QString pathText(const std::string& path)
{
    return QString::fromLocal8Bit(path.data(), int(path.size()));
}

QString unreadablePhotoText(const std::string& path)
{
    return PanoramaThread::tr("The photo \"%1\" cannot be opened. Replace it with another photo and try "
                              "again.")
        .arg(pathText(path));
}

QString damagedPhotoText(const std::string& path)
{
    return PanoramaThread::tr("The photo \"%1\" is damaged or incomplete. Replace it with another photo and "
                              "try again.")
        .arg(pathText(path));
}

QString tooLargePhotoText(const std::string& path, const QSize& size)
{
    return PanoramaThread::tr("The photo \"%1\" is too large to stitch (%2 × %3 pixels). Replace it with a "
                              "smaller photo and try again.")
        .arg(pathText(path))
        .arg(size.width())
        .arg(size.height());
}

QString noRoomForPhotoText(const std::string& path, const QSize& size)
{
    return PanoramaThread::tr("There is not enough memory to stitch the photo \"%1\" (%2 × %3 pixels) with "
                              "the photos before it. Try fewer or smaller photos.")
        .arg(pathText(path))
        .arg(size.width())
        .arg(size.height());
}

QString temporaryFolderFullText()
{
    return PanoramaThread::tr("The temporary folder %1 is full, so the panorama could not be made. Free "
                              "some space there and try again.")
        .arg(QDir::toNativeSeparators(QDir::tempPath()));
}

// Why the photo the headers stopped at cannot be stitched.
QString refusalText(const StitchInput::Weighed& weighed, const std::string& path)
{
    switch (weighed.header.kind) {
    case StitchInput::Header::TooLarge:
        return tooLargePhotoText(path, weighed.header.size);
    case StitchInput::Header::Photo:
        return noRoomForPhotoText(path, weighed.header.size);
    case StitchInput::Header::Unreadable:
        break;
    }
    return unreadablePhotoText(path);
}

struct Outcome
{
    enum Kind { Result, Error };
    Kind kind = Error;
    QImage panorama;
    QString error;
    QStringList leftOut;
    QRect pictureArea;
    std::string consoleLine; // the stitcher's status, printed once the worker has ended well
};

Outcome error(const QString& text)
{
    return {Outcome::Error, QImage(), text, {}, {}, {}};
}

// The panorama's rows as the worker wrote them; a null image when the file is short or this process
// has no room for it. Mapped rather than read: one copy straight from the file's pages, no read per row.
QImage readPanorama(const QString& path, int width, int height)
{
    QFile file(path);
    if (width <= 0 || height <= 0 || !file.open(QIODevice::ReadOnly))
        return QImage();
    const qint64 rowBytes = qint64(width) * 3;
    if (file.size() < rowBytes * height)
        return QImage();
    const uchar* rows = file.map(0, rowBytes * height);
    if (!rows)
        return QImage();
    QImage image(width, height, QImage::Format_RGB888);
    if (image.isNull())
        return QImage();
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), rows + rowBytes * y, size_t(rowBytes));
    return image;
}

// Reads the worker's one outcome line.
Outcome interpret(const QByteArray& output, const PanoramaRequest& request, const QString& resultPath)
{
    for (const QByteArray& line : output.split('\n')) {
        const QList<QByteArray> words = line.trimmed().split(' ');
        const QByteArray& word = words.first();
        if (word == StitchProtocol::outOfMemory)
            return error(outOfMemoryText());
        if (word == StitchProtocol::noSpace)
            return error(temporaryFolderFullText());
        if (word == StitchProtocol::tooLarge && words.size() == 2) {
            const size_t index = words[1].toULongLong();
            if (index < request.imageList.size())
                return error(tooLargePhotoText(request.imageList[index],
                                               StitchInput::readHeader(request.imageList[index]).size));
        }
        if ((word == StitchProtocol::unreadable || word == StitchProtocol::damaged) && words.size() == 2) {
            const size_t index = words[1].toULongLong();
            if (index < request.imageList.size())
                return error(word == StitchProtocol::damaged ? damagedPhotoText(request.imageList[index])
                                                             : unreadablePhotoText(request.imageList[index]));
        }
        if (word == StitchProtocol::failed && words.size() == 2) {
            Outcome outcome = error(stitchFailedText());
            outcome.consoleLine = "Can't stitch images, error code = " + std::to_string(words[1].toInt());
            return outcome;
        }
        if (word == StitchProtocol::stitched && words.size() >= 7) {
            Outcome outcome{Outcome::Result,
                            readPanorama(resultPath, words[1].toInt(), words[2].toInt()),
                            QString(),
                            {},
                            QRect(words[3].toInt(), words[4].toInt(), words[5].toInt(), words[6].toInt()),
                            "stitch images finish, error code = 0"};
            if (outcome.panorama.isNull())
                return error(outOfMemoryText());
            if (!outcome.panorama.rect().contains(outcome.pictureArea) || outcome.pictureArea.isEmpty())
                outcome.pictureArea = outcome.panorama.rect();
            QSet<size_t> kept;
            for (int i = 7; i < words.size(); ++i)
                kept.insert(words[i].toULongLong());
            for (size_t i = 0; i < request.imageList.size(); ++i)
                if (!kept.contains(i))
                    outcome.leftOut << pathText(request.imageList[i]);
            return outcome;
        }
    }
    return error(endedAbnormallyText());
}

} // namespace

PanoramaThread::PanoramaThread(const PanoramaRequest& request, QObject* parent)
    : QThread(parent), request(request)
{
    liveWorkers().insert(this);
    cancelBeforeApplicationExit();
}

PanoramaThread::~PanoramaThread()
{
    cancel();
    wait();
    liveWorkers().remove(this);
}

void PanoramaThread::cancel()
{
    cancelled = true;
}

void PanoramaThread::cancelRunningWorkers()
{
    const QSet<PanoramaThread*> workers = liveWorkers();
    for (PanoramaThread* worker : workers)
        worker->cancel();
    for (PanoramaThread* worker : workers)
        worker->wait();
}

qint64 PanoramaThread::defaultMemoryLimit()
{
    qint64 machine = qint64(sysconf(_SC_PHYS_PAGES)) * sysconf(_SC_PAGESIZE);
    const qint64 cgroup = cgroupMemoryLimit();
    if (cgroup > 0 && cgroup < machine)
        machine = cgroup;
    // Room for this process as it stands, and for the rest of the desktop.
    const qint64 reserve = residentBytes() + qMax(qint64(1) << 30, machine / 8);
    return qMax(machine - reserve, qint64(512) << 20);
}

QString PanoramaThread::leftOutText(const QStringList& leftOut, int photoCount)
{
    QStringList names;
    for (const QString& path : leftOut)
        names << QFileInfo(path).fileName();
    return tr("%1 of %2 photos could not be matched and were left out: %3")
        .arg(leftOut.size())
        .arg(photoCount)
        .arg(names.join(QStringLiteral(", ")));
}

void PanoramaThread::run()
{
    stitchPanorama();
}

void PanoramaThread::stitchPanorama()
{
    Outcome outcome;
    {
        std::unique_lock<std::timed_mutex> slot(stitchSlot(), std::defer_lock);
        while (!slot.try_lock_for(std::chrono::milliseconds(20)))
            if (cancelled)
                return;

        StitchFolders::sweep();
        // The folder and everything in it go when this block ends, whatever the outcome.
        QTemporaryDir folder(StitchFolders::folderTemplate());
        const QString program = workerProgram();
        // Every photo's header is read before the worker decodes any of them.
        const StitchInput::Weighed weighed =
            StitchInput::weigh(request.imageList, memoryLimit > 0 ? memoryLimit : defaultMemoryLimit());
        if (weighed.refused >= 0) {
            outcome = error(refusalText(weighed, request.imageList[size_t(weighed.refused)]));
        } else if (!folder.isValid() || program.isEmpty()) {
            outcome = error(endedAbnormallyText());
        } else {
            const QString resultPath = folder.filePath(QStringLiteral("panorama.rgb"));
            const qint64 limit = weighed.addressSpace;
            const qint64 oomKillsBefore = kernelOomKills();
            QByteArray paths;
            for (const std::string& path : request.imageList)
                paths.append(path.data(), int(path.size())).append('\0');
            WorkerProcess process;
            if (!process.start(
                    program,
                    {QString::fromLatin1(request.style == "Scans" ? StitchProtocol::modeScans
                                                                  : StitchProtocol::modePanorama),
                     QString::number(limit), resultPath},
                    paths, {QByteArray(WorkerGuard::parentVariable) + '=' + QByteArray::number(getpid())})) {
                qWarning().noquote() << "The stitch worker did not start:" << process.errorString();
                outcome = error(endedAbnormallyText());
            } else {
                processId = process.processId();
                const auto stopIfCancelled = [&process, this] {
                    if (!cancelled)
                        return false;
                    process.stop(300);
                    processId = 0;
                    return true;
                };
                // The outcome line is the worker's last word: the result is read while its process
                // ends, which takes a while after a large stitch.
                while (!process.output().endsWith('\n') && process.isRunning()) {
                    process.waitForEvent(25);
                    if (stopIfCancelled())
                        return;
                }
                const bool toldEarly = process.output().endsWith('\n');
                if (toldEarly)
                    outcome = interpret(process.output(), request, resultPath);
                while (process.isRunning()) {
                    process.waitForEvent(25);
                    if (stopIfCancelled())
                        return;
                }
                processId = 0;
                // Without its exit status, the worker's outcome line and result file tell how it ended.
                if (process.crashed()) {
                    // Only the kernel's own killer explains a kill with the count gone up.
                    const bool outOfMemory = process.exitCode() == SIGKILL && oomKillsBefore >= 0 &&
                                             kernelOomKills() > oomKillsBefore;
                    outcome = error(outOfMemory ? outOfMemoryText() : endedAbnormallyText());
                } else {
                    if (!toldEarly)
                        outcome = interpret(process.output(), request, resultPath);
                    if (!outcome.consoleLine.empty())
                        std::cout << outcome.consoleLine << std::endl;
                }
            }
        }
    }
    if (cancelled)
        return;
    switch (outcome.kind) {
    case Outcome::Result:
        if (!outcome.leftOut.isEmpty())
            emit signalPhotosLeftOut(outcome.leftOut);
        emit signalPictureArea(outcome.pictureArea);
        emit signalPanoramaResult(outcome.panorama, QStringLiteral("OK"));
        break;
    case Outcome::Error:
        emit siganlPanoramaError(outcome.error);
        break;
    }
}
