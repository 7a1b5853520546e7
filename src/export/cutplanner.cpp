#include "export/cutplanner.h"

#include <algorithm>

namespace {

// Lines painted at once while looking back for a calm one: most cuts find one within a few lines.
constexpr int searchChunk = 64;

} // namespace

int CutPlanner::tolerance(int sensitivity)
{
    return (255 * (100 - std::clamp(sensitivity, 0, 100)) + 50) / 100;
}

bool CutPlanner::isCalm(const QImage& image, Qt::Orientation line, int index, int tolerance)
{
    const bool row = line == Qt::Horizontal;
    if (index < 0 || index >= (row ? image.height() : image.width()) || image.depth() != 32)
        return false;
    const auto* pixel = reinterpret_cast<const QRgb*>(row ? image.constScanLine(index) : image.constBits()) +
                        (row ? 0 : index);
    const qsizetype step = row ? 1 : image.bytesPerLine() / qsizetype(sizeof(QRgb));
    const int count = row ? image.width() : image.height();
    int low[3] = {qRed(*pixel), qGreen(*pixel), qBlue(*pixel)};
    int high[3] = {low[0], low[1], low[2]};
    for (int i = 0; i < count; ++i, pixel += step) {
        const int channels[3] = {qRed(*pixel), qGreen(*pixel), qBlue(*pixel)};
        for (int c = 0; c < 3; ++c) {
            low[c] = std::min(low[c], channels[c]);
            high[c] = std::max(high[c], channels[c]);
            if (high[c] - low[c] > tolerance)
                return false;
        }
    }
    return true;
}

int CutPlanner::calmEnd(const RegionSource& strip, Qt::Orientation direction, int limit, int earliest,
                        int tolerance)
{
    const bool vertical = direction == Qt::Vertical;
    const Qt::Orientation line = vertical ? Qt::Horizontal : Qt::Vertical;
    // Rows are looked at a few at a time; columns, painted from whole tiles anyway, in wider bands. Either
    // way a band holds at most bandPixels, however long the search and however wide the strip.
    const qint64 across = std::max(1, vertical ? strip.size.width() : strip.size.height());
    const int widest = int(std::clamp<qint64>(bandPixels / across, 1, limit - earliest));
    const int chunk = vertical ? std::min(searchChunk, widest) : widest;
    for (int hi = limit; hi > earliest; hi -= chunk) {
        if (keepGoing && !keepGoing()) {
            cancelled = true;
            error = tr("The export was cancelled.");
            return -1;
        }
        const int lo = std::max(earliest, hi - chunk);
        const QRect area =
            vertical ? QRect(0, lo, strip.size.width(), hi - lo) : QRect(lo, 0, hi - lo, strip.size.height());
        const QImage lines = strip.render(area);
        if (lines.isNull() || lines.size() != area.size()) {
            error = tr("Not enough memory to render the picture.");
            return -1;
        }
        for (int at = hi - 1; at >= lo; --at)
            if (isCalm(lines, line, at - lo, tolerance))
                return at + 1;
    }
    return limit;
}

QVector<int> CutPlanner::plan(const RegionSource& strip, const Options& options)
{
    cancelled = false;
    error.clear();
    const int length = options.direction == Qt::Vertical ? strip.size.height() : strip.size.width();
    if (length <= 0 || strip.size.isEmpty() || options.partLength <= 0) {
        error = tr("There is nothing to export.");
        return {};
    }
    const int tol = tolerance(options.sensitivity);
    QVector<int> ends;
    for (int start = 0; start < length;) {
        int end = length;
        if (length - start > options.partLength) {
            const int limit = start + options.partLength;
            end = limit;
            if (options.calm && searchLength(options.partLength) > 0) {
                end = calmEnd(strip, options.direction, limit, limit - searchLength(options.partLength), tol);
                if (end < 0)
                    return {};
            }
        }
        ends.append(end);
        start = end;
    }
    return ends;
}
