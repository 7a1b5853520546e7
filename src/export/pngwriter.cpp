#include "export/pngwriter.h"

#include "export/deflatestream.h"

#include <QIODevice>

#include <libdeflate.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

constexpr int filterCount = 5;
constexpr std::size_t maxChunkData = std::size_t(1) << 30;
constexpr int fastLevel = 1;
constexpr int compactLevel = 6;

using Bytes = std::vector<std::uint8_t>;

// ---- Row filters -------------------------------------------------------------------------------

std::uint8_t paethPredictor(int a, int b, int c)
{
    const int pa = std::abs(b - c);
    const int pb = std::abs(a - c);
    const int pc = std::abs(a + b - 2 * c);
    return std::uint8_t(pa <= pb && pa <= pc ? a : (pb <= pc ? b : c));
}

// A filtered byte counts by its magnitude as a signed value.
std::uint32_t magnitude(std::uint8_t value)
{
    return value < 128 ? value : 256u - value;
}

struct FilteredRow
{
    std::uint8_t* out[filterCount];
    std::uint64_t cost[filterCount] = {};
};

void filterScalar(const std::uint8_t* raw, const std::uint8_t* prior, std::size_t begin, std::size_t end,
                  int bpp, FilteredRow& row)
{
    for (std::size_t i = begin; i < end; ++i) {
        const int x = raw[i];
        const int a = i >= std::size_t(bpp) ? raw[i - std::size_t(bpp)] : 0;
        const int b = prior[i];
        const int c = i >= std::size_t(bpp) ? prior[i - std::size_t(bpp)] : 0;
        const std::uint8_t filtered[filterCount] = {std::uint8_t(x), std::uint8_t(x - a), std::uint8_t(x - b),
                                                    std::uint8_t(x - ((a + b) >> 1)),
                                                    std::uint8_t(x - paethPredictor(a, b, c))};
        for (int f = 0; f < filterCount; ++f) {
            row.out[f][i] = filtered[f];
            row.cost[f] += magnitude(filtered[f]);
        }
    }
}

#ifdef __SSE2__
// Sum of the signed magnitudes of 16 bytes, in the two 64-bit halves.
inline __m128i magnitudeSum(__m128i v)
{
    const __m128i zero = _mm_setzero_si128();
    return _mm_sad_epu8(_mm_min_epu8(v, _mm_sub_epi8(zero, v)), zero);
}

inline __m128i abs16(__m128i v)
{
    return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v));
}

inline __m128i select(__m128i mask, __m128i ifSet, __m128i ifClear)
{
    return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, ifClear));
}

// The Paeth predictor on eight 16-bit lanes.
inline __m128i paeth16(__m128i a, __m128i b, __m128i c)
{
    const __m128i bc = _mm_sub_epi16(b, c);
    const __m128i ac = _mm_sub_epi16(a, c);
    const __m128i pa = abs16(bc);
    const __m128i pb = abs16(ac);
    const __m128i pc = abs16(_mm_add_epi16(bc, ac));
    const __m128i notA = _mm_or_si128(_mm_cmpgt_epi16(pa, pb), _mm_cmpgt_epi16(pa, pc));
    return select(notA, select(_mm_cmpgt_epi16(pb, pc), c, b), a);
}

inline __m128i paeth8(__m128i a, __m128i b, __m128i c)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i low =
        paeth16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), _mm_unpacklo_epi8(c, zero));
    const __m128i high =
        paeth16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero), _mm_unpackhi_epi8(c, zero));
    return _mm_packus_epi16(low, high);
}

// Handles bytes [bpp, end) sixteen at a time and returns where it stopped.
std::size_t filterVector(const std::uint8_t* raw, const std::uint8_t* prior, std::size_t end, int bpp,
                         FilteredRow& row)
{
    const __m128i one = _mm_set1_epi8(1);
    __m128i sums[filterCount];
    for (__m128i& sum : sums)
        sum = _mm_setzero_si128();
    std::size_t i = std::size_t(bpp);
    for (; i + 16 <= end; i += 16) {
        const auto load = [](const std::uint8_t* p) {
            return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        };
        const __m128i x = load(raw + i);
        const __m128i a = load(raw + i - bpp);
        const __m128i b = load(prior + i);
        const __m128i c = load(prior + i - bpp);
        const __m128i floorAverage =
            _mm_sub_epi8(_mm_avg_epu8(a, b), _mm_and_si128(_mm_xor_si128(a, b), one));
        const __m128i filtered[filterCount] = {x, _mm_sub_epi8(x, a), _mm_sub_epi8(x, b),
                                               _mm_sub_epi8(x, floorAverage),
                                               _mm_sub_epi8(x, paeth8(a, b, c))};
        for (int f = 0; f < filterCount; ++f) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(row.out[f] + i), filtered[f]);
            sums[f] = _mm_add_epi64(sums[f], magnitudeSum(filtered[f]));
        }
    }
    for (int f = 0; f < filterCount; ++f) {
        std::uint64_t halves[2];
        _mm_storeu_si128(reinterpret_cast<__m128i*>(halves), sums[f]);
        row.cost[f] += halves[0] + halves[1];
    }
    return i;
}
#endif

// Filters one row every way and returns the chosen filter type; its bytes are in row.out[type].
int filterRow(const std::uint8_t* raw, const std::uint8_t* prior, std::size_t length, int bpp,
              PngWriter::RowFilter choice, FilteredRow& row)
{
    const std::size_t head = std::min(length, std::size_t(bpp));
    filterScalar(raw, prior, 0, head, bpp, row);
    std::size_t done = head;
#ifdef __SSE2__
    if (length > head)
        done = filterVector(raw, prior, length, bpp, row);
#endif
    filterScalar(raw, prior, done, length, bpp, row);
    if (choice != PngWriter::RowFilter::Adaptive)
        return int(choice) - int(PngWriter::RowFilter::None);
    return int(std::min_element(row.cost, row.cost + filterCount) - row.cost);
}

// ---- File layout -------------------------------------------------------------------------------

void putBigEndian(std::uint8_t* out, std::uint32_t value)
{
    out[0] = std::uint8_t(value >> 24);
    out[1] = std::uint8_t(value >> 16);
    out[2] = std::uint8_t(value >> 8);
    out[3] = std::uint8_t(value);
}

// Devices may take part of a write (a file reaching its size limit does); the next write then fails
// with the reason.
bool writeAll(QIODevice* device, const void* data, std::size_t size)
{
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const qint64 written = device->write(bytes, qint64(size));
        if (written <= 0)
            return false;
        bytes += written;
        size -= std::size_t(written);
    }
    return true;
}

struct Span
{
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

bool writeChunk(QIODevice* device, const char* type, std::initializer_list<Span> parts)
{
    std::size_t length = 0;
    for (const Span& part : parts)
        length += part.size;
    std::uint8_t head[8];
    putBigEndian(head, std::uint32_t(length));
    std::memcpy(head + 4, type, 4);
    std::uint32_t crc = libdeflate_crc32(0, head + 4, 4);
    const auto put = [device](const void* data, std::size_t size) { return writeAll(device, data, size); };
    if (!put(head, sizeof head))
        return false;
    for (const Span& part : parts) {
        if (part.size == 0)
            continue; // a null buffer would restart the checksum
        crc = libdeflate_crc32(crc, part.data, part.size);
        if (!put(part.data, part.size))
            return false;
    }
    std::uint8_t tail[4];
    putBigEndian(tail, crc);
    return put(tail, sizeof tail);
}

bool writeHeader(QIODevice* device, const QSize& size, const QImage& firstBand, bool alpha)
{
    static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (!writeAll(device, signature, sizeof signature))
        return false;
    std::uint8_t header[13] = {};
    putBigEndian(header, std::uint32_t(size.width()));
    putBigEndian(header + 4, std::uint32_t(size.height()));
    header[8] = 8;             // bits per sample
    header[9] = alpha ? 6 : 2; // truecolour, with or without alpha
    if (!writeChunk(device, "IHDR", {{header, sizeof header}}))
        return false;
    if (firstBand.dotsPerMeterX() > 0 && firstBand.dotsPerMeterY() > 0) {
        std::uint8_t density[9] = {};
        putBigEndian(density, std::uint32_t(firstBand.dotsPerMeterX()));
        putBigEndian(density + 4, std::uint32_t(firstBand.dotsPerMeterY()));
        density[8] = 1; // per metre
        if (!writeChunk(device, "pHYs", {{density, sizeof density}}))
            return false;
    }
    return true;
}

struct EncodedBand : BandConsumer::Result
{
    Bytes deflated;
    std::uint32_t adler = 1;
    std::uint64_t filteredLength = 0;
    bool first = false;
    bool last = false;
};

// The last row of a band, converted.
QImage lastRowOf(const QImage& band, QImage::Format format)
{
    QImage row(band.constScanLine(band.height() - 1), band.width(), 1, band.bytesPerLine(), band.format());
    row.setColorTable(band.colorTable());
    return row.convertToFormat(format);
}

} // namespace

void PngWriter::CompressorDeleter::operator()(libdeflate_compressor* compressor) const
{
    libdeflate_free_compressor(compressor);
}

PngWriter::PngWriter(QIODevice* device) : device(device) {}

PngWriter::~PngWriter() = default;

PngWriter::Compressor PngWriter::borrowCompressor(int effort)
{
    {
        std::lock_guard<std::mutex> lock(poolMutex);
        std::vector<Compressor>& pool = pools[effort];
        if (!pool.empty()) {
            Compressor compressor = std::move(pool.back());
            pool.pop_back();
            return compressor;
        }
    }
    return Compressor(libdeflate_alloc_compressor(effort));
}

void PngWriter::returnCompressor(int effort, Compressor compressor)
{
    std::lock_guard<std::mutex> lock(poolMutex);
    pools[effort].push_back(std::move(compressor));
}

bool PngWriter::compress(int effort, const Bytes& in, Bytes& out)
{
    Compressor compressor = borrowCompressor(effort);
    if (!compressor)
        return false;
    out.resize(libdeflate_deflate_compress_bound(compressor.get(), in.size()));
    const std::size_t size =
        libdeflate_deflate_compress(compressor.get(), in.data(), in.size(), out.data(), out.size());
    returnCompressor(effort, std::move(compressor));
    out.resize(size);
    return size > 0;
}

bool PngWriter::begin(const QSize& size, const QImage& firstBand)
{
    error.clear();
    started = false;
    adler = 1;
    if (!device || !device->isWritable()) {
        error = QStringLiteral("The device is not open for writing.");
        return false;
    }
    // The format's own limit is 2^31 - 1 pixels a side.
    if (size.width() <= 0 || size.height() <= 0) {
        error = QStringLiteral("The picture is empty.");
        return false;
    }
    const bool alpha = firstBand.hasAlphaChannel();
    format = alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888;
    bytesPerPixel = alpha ? 4 : 3;
    width = size.width();
    if (!writeHeader(device, size, firstBand, alpha)) {
        error = device->errorString();
        return false;
    }
    return true;
}

std::unique_ptr<BandConsumer::Result> PngWriter::process(const QImage& band, const QImage& above, int top,
                                                         bool last)
{
    const QImage converted = band.convertToFormat(format);
    const QImage prior = above.isNull() ? QImage() : lastRowOf(above, format);
    if (converted.isNull() || (!above.isNull() && prior.isNull()))
        return nullptr;

    const std::size_t length = std::size_t(width) * std::size_t(bytesPerPixel);
    const int rows = converted.height();
    Bytes scratch(length * filterCount);
    const Bytes zeros(prior.isNull() ? length : 0, 0);
    Bytes filtered((length + 1) * std::size_t(rows));
    for (int r = 0; r < rows; ++r) {
        const std::uint8_t* raw = converted.constScanLine(r);
        const std::uint8_t* priorRow =
            r > 0 ? converted.constScanLine(r - 1) : (prior.isNull() ? zeros.data() : prior.constScanLine(0));
        FilteredRow row;
        for (int f = 0; f < filterCount; ++f)
            row.out[f] = scratch.data() + std::size_t(f) * length;
        const int type = filterRow(raw, priorRow, length, bytesPerPixel, rowFilter, row);
        std::uint8_t* out = filtered.data() + std::size_t(r) * (length + 1);
        out[0] = std::uint8_t(type);
        std::memcpy(out + 1, row.out[type], length);
    }

    auto encoded = std::make_unique<EncodedBand>();
    encoded->first = top == 0;
    encoded->last = last;
    encoded->filteredLength = filtered.size();
    encoded->adler = libdeflate_adler32(1, filtered.data(), filtered.size());
    if (level != automaticLevel) {
        if (!compress(std::clamp(level, 0, 12), filtered, encoded->deflated))
            return nullptr;
    } else {
        if (!compress(fastLevel, filtered, encoded->deflated))
            return nullptr;
        if (encoded->deflated.size() < filtered.size() / 4) {
            Bytes smaller;
            if (!compress(compactLevel, filtered, smaller))
                return nullptr;
            if (smaller.size() < encoded->deflated.size())
                encoded->deflated.swap(smaller);
        }
    }
    if (!last && !DeflateStream::makeJoinable(encoded->deflated))
        return nullptr;
    return encoded;
}

bool PngWriter::take(Result& result)
{
    auto& band = static_cast<EncodedBand&>(result);
    // The second byte names the effort, for information only; each pair is a multiple of 31.
    const std::uint8_t zlibHeader[2] = {0x78, std::uint8_t(level < 2    ? 0x01
                                                           : level < 6  ? 0x5e
                                                           : level == 6 ? 0x9c
                                                                        : 0xda)};
    adler = DeflateStream::combineAdler32(adler, band.adler, band.filteredLength);
    std::uint8_t trailer[4];
    putBigEndian(trailer, adler);
    std::size_t offset = 0;
    do {
        const std::size_t size = std::min(maxChunkData, band.deflated.size() - offset);
        const bool firstPiece = band.first && offset == 0;
        const bool lastPiece = band.last && offset + size == band.deflated.size();
        if (!writeChunk(device, "IDAT",
                        {{firstPiece ? zlibHeader : nullptr, firstPiece ? sizeof zlibHeader : 0},
                         {band.deflated.data() + offset, size},
                         {lastPiece ? trailer : nullptr, lastPiece ? sizeof trailer : 0}})) {
            error = device->errorString();
            return false;
        }
        offset += size;
    } while (offset < band.deflated.size());
    started = true;
    return true;
}

bool PngWriter::finish()
{
    if (!started) {
        error = QStringLiteral("No rows were written.");
        return false;
    }
    if (!writeChunk(device, "IEND", {})) {
        error = device->errorString();
        return false;
    }
    return true;
}
