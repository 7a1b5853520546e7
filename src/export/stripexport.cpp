#include "export/stripexport.h"

#include "export/bandconsumer.h"
#include "export/outputtarget.h"

#include <QImageWriter>
#include <QSaveFile>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <future>
#include <system_error>

namespace {

// Gathers the bands into one image; each band's rows are its own, so the workers copy side by side.
class ImageAssembler : public BandConsumer
{
public:
    QImage image;

    bool begin(const QSize& size, const QImage& firstBand) override
    {
        image = QImage(size, firstBand.format());
        if (image.isNull()) {
            error = StripExport::tr("Not enough memory for a picture of %1 x %2 pixels.")
                        .arg(size.width())
                        .arg(size.height());
            return false;
        }
        image.setDotsPerMeterX(firstBand.dotsPerMeterX());
        image.setDotsPerMeterY(firstBand.dotsPerMeterY());
        pixels = image.bits(); // detaches here, on one thread, and never again
        return true;
    }
    std::unique_ptr<Result> process(const QImage& band, const QImage&, int top, bool) override
    {
        const qsizetype rowBytes = qsizetype(band.width()) * band.depth() / 8;
        for (int y = 0; y < band.height(); ++y)
            std::memcpy(pixels + (qsizetype(top) + y) * image.bytesPerLine(), band.constScanLine(y),
                        size_t(rowBytes));
        return std::make_unique<Result>();
    }
    bool take(Result&) override { return true; }
    bool finish() override { return true; }
    QString errorString() const override { return error; }

private:
    uchar* pixels = nullptr;
    QString error;
};

// Passes writes on to the file until told to stop, so that an encoder writing as it goes gives up at
// once on a cancel. Keeps the file's own reason when a write fails.
class StoppableDevice : public QIODevice
{
public:
    StoppableDevice(QIODevice* target, const std::atomic<bool>& stop) : target(target), stop(stop)
    {
        open(QIODevice::WriteOnly);
    }
    QString targetError;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (stop.load())
            return -1;
        errno = 0;
        const qint64 written = target->write(data, size);
        if (written != size && targetError.isEmpty())
            targetError = reasonOfShortWrite();
        return written;
    }

private:
    // A write the system cuts short (a full disk, a file-size limit) leaves the file without a reason
    // of its own; the system's reason for the refusal that followed is the one to give.
    QString reasonOfShortWrite() const
    {
        const int refused = errno;
        return refused != 0 ? QString::fromStdString(std::generic_category().message(refused))
                            : target->errorString();
    }

    QIODevice* target;
    const std::atomic<bool>& stop;
};

} // namespace

StripExport::Result StripExport::failed(const QString& why)
{
    error = why;
    return Result::Failed;
}

StripExport::Result StripExport::write(const BandSource& source, QIODevice* device)
{
    error.clear();
    if (format.kind == ExportFormat::Kind::Png)
        return writePng(source, device);
    return writeWhole(source, device);
}

StripExport::Result StripExport::writePng(const BandSource& source, QIODevice* device)
{
    PngWriter writer(device);
    writer.setCompressionLevel(level);
    writer.setRowFilter(rowFilter);
    pipeline.setProgress(progress);
    if (pipeline.run(source, writer))
        return Result::Saved;
    error = pipeline.errorString();
    return pipeline.wasCancelled() ? Result::Cancelled : Result::Failed;
}

StripExport::Result StripExport::writeWhole(const BandSource& source, QIODevice* device)
{
    if (!format.fits(source.size))
        return failed(format.tooLargeText(source.size));
    if (!QImageWriter::supportedImageFormats().contains(format.writerFormat()))
        return failed(tr("This system has no %1 writer; the toolkit's image format plugins are missing.")
                          .arg(ExportFormat::displayName(format.kind)));
    const int rows = source.size.height();
    const auto report = [this, rows](int done) { return !progress || progress(done, 2 * rows); };

    QImage whole;
    {
        ImageAssembler assembler;
        pipeline.setProgress([&report](int done, int) { return report(done); });
        if (!pipeline.run(source, assembler)) {
            error = pipeline.errorString();
            return pipeline.wasCancelled() ? Result::Cancelled : Result::Failed;
        }
        whole = std::move(assembler.image);
    }

    // The toolkit's writers encode in one call; it runs aside so that progress goes on and a cancel is
    // heard. The JPEG writer stops at the next write refused; the WebP writer only at its end.
    std::atomic<bool> stop{false};
    StoppableDevice guarded(device, stop);
    QString writerError;
    std::future<bool> encoded;
    try {
        encoded = std::async(std::launch::async, [&] {
            QImageWriter writer(&guarded, format.writerFormat());
            writer.setQuality(format.writerQuality());
            const bool ok = writer.write(whole);
            if (!ok)
                writerError = writer.errorString();
            return ok;
        });
    } catch (const std::system_error&) {
        return failed(
            tr("The export could not start: the system has no threads to spare (a limit on processes)."));
    }
    bool cancelled = false;
    while (encoded.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready)
        if (!cancelled && !report(rows)) {
            cancelled = true;
            stop = true;
        }
    const bool ok = encoded.get();
    if (cancelled) {
        error = tr("The export was cancelled.");
        return Result::Cancelled;
    }
    if (!ok)
        return failed(!guarded.targetError.isEmpty() ? guarded.targetError : writerError);
    report(2 * rows);
    return Result::Saved;
}

StripExport::Result StripExport::save(const BandSource& source, const QString& fileName)
{
    error.clear();
    if (format.kind != ExportFormat::Kind::Png && !format.fits(source.size))
        return failed(format.tooLargeText(source.size));
    switch (OutputTarget::kindOf(fileName)) {
    case OutputTarget::Kind::Refused:
        return failed(OutputTarget::refusalText(fileName));
    case OutputTarget::Kind::Stream:
        return writeThrough(source, fileName);
    case OutputTarget::Kind::File:
        break;
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return failed(file.errorString());
    const Result result = write(source, &file);
    if (result != Result::Saved) {
        file.cancelWriting();
        return result;
    }
    if (!file.commit())
        return failed(file.errorString());
    return Result::Saved;
}

StripExport::Result StripExport::writeThrough(const BandSource& source, const QString& streamName)
{
    QString why;
    const std::unique_ptr<QFile> stream = OutputTarget::openStream(streamName, &why);
    if (!stream)
        return failed(why);
    const Result result = write(source, stream.get());
    if (result == Result::Saved && !stream->flush())
        return failed(stream->errorString());
    return result;
}
