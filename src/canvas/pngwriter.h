#pragma once

#include <QImage>
#include <QString>

#include <functional>

class QIODevice;

// Writes an image as an 8-bit RGB PNG file (RGBA when the image has an alpha channel), storing the
// pixels the toolkit's own writer would store, but several times faster: the rows are filtered and
// compressed in bands on several threads and the bands joined into the file's one zlib stream.
class PngWriter
{
public:
    // Adaptive picks, row by row, the filter whose output has the least sum of absolute values.
    enum class RowFilter { Adaptive, None, Sub, Up, Average, Paeth };

    // Called on the writing thread with the rows written so far, after each band and at least every
    // tenth of a second while the writer waits; returning false cancels the write.
    using Progress = std::function<bool(int rowsWritten, int rowsTotal)>;

    static constexpr int defaultCompressionLevel = 6;

    void setCompressionLevel(int value) { level = value; }
    int compressionLevel() const { return level; }
    // 0 uses one thread per processor core.
    void setThreadCount(int count) { threadCount = count; }
    // 0 sizes the bands by their byte count.
    void setRowsPerBand(int rows) { bandRows = rows; }
    void setRowFilter(RowFilter filter) { rowFilter = filter; }
    void setProgress(Progress callback) { progress = std::move(callback); }

    // Writes the whole file to an open device. On failure or cancellation part of a file may have been
    // written: callers that replace a file write through QSaveFile.
    bool write(const QImage& image, QIODevice* device);

    bool wasCancelled() const { return cancelled; }
    QString errorString() const { return error; }

private:
    int level = defaultCompressionLevel;
    int threadCount = 0;
    int bandRows = 0;
    RowFilter rowFilter = RowFilter::Adaptive;
    Progress progress;
    bool cancelled = false;
    QString error;
};
