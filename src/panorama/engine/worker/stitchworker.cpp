// The stitch worker: a program of its own, so that a crash, a hang or running out of memory while
// stitching ends this process only, never the window that asked for the panorama.
#include "panorama/engine/stitchinput.h"
#include "panorama/engine/worker/stitchpipeline.h"
#include "panorama/engine/worker/stitchprotocol.h"

#include <QFile>
#include <QImage>
#include <QImageReader>

#include <opencv2/core.hpp>
#include <opencv2/core/utility.hpp>
#include <opencv2/features2d.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/stitching.hpp>

#include <fcntl.h>
#include <malloc.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <iterator>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr int exitOutOfMemory = 3;
constexpr int exitUsage = 2;

// Straight to the file descriptor: once memory has run out, nothing here may need more.
void report(const std::string& line)
{
    const std::string text = line + '\n';
    const char* p = text.data();
    size_t left = text.size();
    while (left > 0) {
        const ssize_t n = write(STDOUT_FILENO, p, left);
        if (n <= 0)
            return;
        p += n;
        left -= size_t(n);
    }
}

[[noreturn]] void reportOutOfMemory()
{
    static const char line[] = "out-of-memory\n";
    static_assert(sizeof(line) == sizeof(StitchProtocol::outOfMemory) + 1, "the word and its line agree");
    [[maybe_unused]] const ssize_t written = write(STDOUT_FILENO, line, sizeof(line) - 1);
    _exit(exitOutOfMemory);
}

// The matrices' allocators say so plainly; the device-neutral ones only fail their check of the result.
bool isOutOfMemory(const cv::Exception& e)
{
    return e.code == cv::Error::StsNoMem ||
           (e.code == cv::Error::StsAssert && e.err == "u != 0" && e.func == "create");
}

// An exception that escapes a library thread ends up here; running out of memory is still told apart.
[[noreturn]] void onTerminate()
{
    if (const std::exception_ptr current = std::current_exception()) {
        try {
            std::rethrow_exception(current);
        } catch (const std::bad_alloc&) {
            reportOutOfMemory();
        } catch (const cv::Exception& e) {
            if (isOutOfMemory(e))
                reportOutOfMemory();
        } catch (...) {
        }
    }
    std::abort();
}

// Empty when the photo cannot be read. Decoded as the photo list decodes it, so that whatever the list
// shows can be stitched; the image library's own readers would also cost every stitch their long
// start-up. Running out of memory is not unreadable and goes on up.
cv::Mat loadPhoto(const std::string& path)
{
    QFile file;
    const int fd = StitchInput::openPhoto(path);
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (fd >= 0)
            close(fd);
        return cv::Mat();
    }
    QImageReader reader(&file);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    // The reader gives a null picture both for broken data and for want of memory.
    if (size.isValid()) {
        void* room = std::malloc(size_t(size.width()) * size_t(size.height()) * 4);
        if (!room)
            throw std::bad_alloc();
        std::free(room);
    }
    QImage picture = StitchInput::readWhole(reader);
    if (picture.isNull())
        return cv::Mat();
    if (picture.format() != QImage::Format_RGB32 && picture.format() != QImage::Format_ARGB32)
        picture = picture.convertToFormat(QImage::Format_RGB32);
    if (picture.isNull())
        throw std::bad_alloc();
    // Either format lies in memory as blue, green, red and one more byte per pixel.
    const cv::Mat bgra(picture.height(), picture.width(), CV_8UC4, picture.bits(),
                       size_t(picture.bytesPerLine()));
    cv::Mat bgr;
    cv::cvtColor(bgra, bgr, cv::COLOR_BGRA2BGR);
    return bgr;
}

std::vector<std::string> readPaths()
{
    const std::string input((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    std::vector<std::string> paths;
    size_t start = 0;
    for (size_t end = input.find('\0'); end != std::string::npos; end = input.find('\0', start)) {
        paths.push_back(input.substr(start, end - start));
        start = end + 1;
    }
    return paths;
}

bool writeAll(int fd, const uchar* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

// Converted a band of rows at a time: the library's conversion is many times faster than a loop over
// bytes, and a band stays in the cache between the conversion and the write.
bool writeRgbRows(const cv::Mat& bgr, const std::string& path)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const int bandRows = std::max(1, (1 << 20) / std::max(1, bgr.cols * 3));
    cv::Mat band;
    bool ok = true;
    for (int y = 0; y < bgr.rows && ok; y += bandRows) {
        cv::cvtColor(bgr.rowRange(y, std::min(bgr.rows, y + bandRows)), band, cv::COLOR_BGR2RGB);
        ok = writeAll(fd, band.ptr(), band.total() * band.elemSize());
    }
    if (!ok) {
        const int writeError = errno;
        close(fd);
        errno = writeError;
        return false;
    }
    return close(fd) == 0;
}

// The limit counts from what the program has mapped once the libraries are ready: their code and
// thread stacks are the same for every stitch, and a library that cannot start says so badly. Only
// the image readers these photos need are loaded; loading every one costs each stitch milliseconds.
void limitAddressSpace(unsigned long long headroom, const std::vector<std::string>& paths)
{
    for (const std::string& path : paths)
        (void)StitchInput::readHeader(path);
    cv::parallel_for_(cv::Range(0, 4 * cv::getNumThreads()), [](const cv::Range&) {});
    unsigned long long mappedPages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%llu", &mappedPages) != 1)
            mappedPages = 0;
        std::fclose(statm);
    }
    rlim_t bound = rlim_t(mappedPages * (unsigned long long)sysconf(_SC_PAGESIZE) + headroom);
    // A limit already set from outside can only be lowered.
    rlimit outside{};
    if (getrlimit(RLIMIT_AS, &outside) == 0 && outside.rlim_max != RLIM_INFINITY)
        bound = std::min(bound, outside.rlim_max);
    const rlimit limit{bound, bound};
    if (setrlimit(RLIMIT_AS, &limit) != 0)
        std::perror("seamwright-stitch: setrlimit");
}

int run(cv::Stitcher::Mode mode, unsigned long long headroom, const std::string& resultPath)
{
    const std::vector<std::string> paths = readPaths();
    StitchInput::silenceWarnings();
    if (headroom > 0)
        limitAddressSpace(headroom, paths);
    // Nothing is decoded until every header has been read: a photo whose header claims too much is
    // named before it can take the memory.
    for (size_t i = 0; i < paths.size(); ++i) {
        const StitchInput::Header header = StitchInput::readHeader(paths[i]);
        if (header.kind != StitchInput::Header::Photo) {
            report(std::string(header.kind == StitchInput::Header::TooLarge ? StitchProtocol::tooLarge
                                                                            : StitchProtocol::unreadable) +
                   ' ' + std::to_string(i));
            return 0;
        }
    }
    std::vector<cv::Mat> photos;
    photos.reserve(paths.size());
    for (size_t i = 0; i < paths.size(); ++i) {
        photos.push_back(loadPhoto(paths[i]));
        // The stitcher would throw on an empty matrix without saying which photo it was.
        if (photos.back().empty()) {
            // Its header was read a moment ago: what is missing is in the picture itself.
            report(std::string(StitchProtocol::damaged) + ' ' + std::to_string(i));
            return 0;
        }
    }

    const StitchPipeline::Result best = StitchPipeline::stitch(photos, mode);
    if (best.status != cv::Stitcher::OK) {
        report(std::string(StitchProtocol::failed) + ' ' + std::to_string(int(best.status)));
        return 0;
    }
    photos.clear();
    if (!writeRgbRows(best.panorama, resultPath)) {
        if (errno == ENOSPC || errno == EDQUOT) {
            report(StitchProtocol::noSpace);
            return 0;
        }
        std::cerr << "seamwright-stitch: cannot write " << resultPath << ": " << std::strerror(errno)
                  << std::endl;
        return 1;
    }
    std::string line = std::string(StitchProtocol::stitched) + ' ' + std::to_string(best.panorama.cols) +
                       ' ' + std::to_string(best.panorama.rows);
    for (const int side :
         {best.pictureArea.x, best.pictureArea.y, best.pictureArea.width, best.pictureArea.height})
        line += ' ' + std::to_string(side);
    for (const int index : best.kept)
        line += ' ' + std::to_string(index);
    report(line);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // The death signal was set before the libraries started (workerguard.cpp).
    if (argc != 4) {
        std::cerr << "usage: seamwright-stitch panorama|scans <address-space headroom> <result file>"
                  << std::endl;
        return exitUsage;
    }
    const std::string modeWord = argv[1];
    const cv::Stitcher::Mode mode =
        modeWord == StitchProtocol::modeScans ? cv::Stitcher::SCANS : cv::Stitcher::PANORAMA;
    const unsigned long long headroom = std::strtoull(argv[2], nullptr, 10);
    std::set_terminate(onTerminate);
    // The stitch frees and takes large buffers over and over; kept in the heap, they are not faulted
    // in afresh each time. The process is short-lived, so nothing is lost by not returning them.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    try {
        return run(mode, headroom, argv[3]);
    } catch (const std::bad_alloc&) {
        reportOutOfMemory();
    } catch (const cv::Exception& e) {
        if (isOutOfMemory(e))
            reportOutOfMemory();
        std::cerr << "seamwright-stitch: " << e.what() << std::endl;
    } catch (const std::exception& e) {
        std::cerr << "seamwright-stitch: " << e.what() << std::endl;
    }
    // Whatever else the library threw, the stitch did not succeed.
    report(std::string(StitchProtocol::failed) + " -1");
    return 0;
}
