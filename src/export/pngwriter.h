#pragma once

#include "export/bandconsumer.h"

#include <QImage>
#include <QString>

#include <map>
#include <memory>
#include <mutex>
#include <vector>

class QIODevice;
struct libdeflate_compressor;

// Writes a picture fed band by band as an 8-bit RGB PNG file (RGBA when the bands have an alpha
// channel), storing the pixels the toolkit's own writer would store. Each band is filtered and
// compressed on its own, on any thread, and the bands' deflate streams are joined into the file's one
// zlib stream.
class PngWriter : public BandConsumer
{
public:
    // Adaptive picks, row by row, the filter whose output has the least sum of absolute values.
    enum class RowFilter { Adaptive, None, Sub, Up, Average, Paeth };

    // Level 1 for bands that compress poorly, such as photos, where higher levels buy under 1 % for a
    // third more time; bands that shrink to under a quarter (flat colours, text) are compressed again at
    // level 6, which costs little on them and keeps the files as small as other writers' files.
    static constexpr int automaticLevel = -1;
    static constexpr int defaultCompressionLevel = automaticLevel;

    explicit PngWriter(QIODevice* device);
    ~PngWriter() override;

    void setCompressionLevel(int value) { level = value; }
    int compressionLevel() const { return level; }
    void setRowFilter(RowFilter filter) { rowFilter = filter; }

    bool begin(const QSize& size, const QImage& firstBand) override;
    std::unique_ptr<Result> process(const QImage& band, const QImage& above, int top, bool last) override;
    bool take(Result& result) override;
    bool finish() override;
    QString errorString() const override { return error; }

private:
    struct CompressorDeleter
    {
        void operator()(libdeflate_compressor* compressor) const;
    };
    using Compressor = std::unique_ptr<libdeflate_compressor, CompressorDeleter>;

    Compressor borrowCompressor(int effort);
    void returnCompressor(int effort, Compressor compressor);
    // Compresses into out; false when the compressor cannot be made or the output does not fit.
    bool compress(int effort, const std::vector<std::uint8_t>& in, std::vector<std::uint8_t>& out);

    QIODevice* device = nullptr;
    int level = defaultCompressionLevel;
    RowFilter rowFilter = RowFilter::Adaptive;
    QImage::Format format = QImage::Format_RGB888;
    int bytesPerPixel = 3;
    int width = 0;
    bool started = false;
    std::uint32_t adler = 1;
    QString error;

    // One compressor per worker thread and level at most, made on first need and reused.
    std::mutex poolMutex;
    std::map<int, std::vector<Compressor>> pools;
};
