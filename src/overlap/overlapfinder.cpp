#include "overlap/overlapfinder.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

// Mean absolute difference a channel: a line whose pixels differ more is not the same line, whatever
// the JPEG did to it; the whole overlap must stay within the lower figure.
constexpr double lineTolerance = 16.0;
constexpr double meanTolerance = 6.0;
// Lines at the same place in both photos that differ less than this stay fixed on the screen.
constexpr double fixedTolerance = 4.0;
// A competing shift must fit at least this much worse, beside twice the error, to leave no doubt.
constexpr double clearMargin = 0.25;
// Smooth shading fits the lines next to the right shift nearly as well: shifts this close are one
// place, not a doubt about where the content is.
int nearShift(int cross)
{
    return std::max(2, cross / 50);
}
// A shift needs this many lines with something on them in its overlap to be taken or to cast doubt.
constexpr int minEvidence = 3;
// Lines that differ this much from the line a few before have something on them.
constexpr float structureEdge = 8.0f;
// A line of the later photo can be an anchor when its cells differ by this much from the line a few before.
constexpr float anchorEdge = 4.0f;
// Summed over the cells: two signatures this close vote for the shift between them.
constexpr float voteTolerance = 2.0f * OverlapFinder::cells;
constexpr int anchorBins = 48;
constexpr int anchorReach = 4;
constexpr int verifiedCount = 6;
constexpr int signatureBudget = 64;
// A JPEG smears the edge of a bar over the few lines next to it: lines this close to the ends of the
// content are left out of the comparison, and the footer's edge is settled once the shift is known.
constexpr int guard = 8;
// A pixel of the far band that changes by this much in some channel belongs to a moving thumb.
constexpr int thumbContrast = 48;

inline int grey(const uchar* p)
{
    return p[0] + 2 * p[1] + p[2];
}

inline int channelDifference(const uchar* a, const uchar* b)
{
    return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
}

inline int largestChannelDifference(const uchar* a, const uchar* b)
{
    return std::max({std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2])});
}

bool thirtyTwoBits(QImage::Format format)
{
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
           format == QImage::Format_ARGB32_Premultiplied;
}

} // namespace

int OverlapFinder::farBandLimit(int cross) const
{
    return std::max(4, cross / 40);
}

int OverlapFinder::usedCross(int cross) const
{
    return std::max(1, cross - farBandLimit(cross));
}

OverlapFinder::Frame OverlapFinder::frame(const QImage& image) const
{
    Frame f;
    f.image = thirtyTwoBits(image.format()) ? image : image.convertToFormat(QImage::Format_RGB32);
    f.length = vertical ? f.image.height() : f.image.width();
    f.cross = vertical ? f.image.width() : f.image.height();
    if (f.image.isNull() || f.length <= 0)
        return f;
    const int used = usedCross(f.cross);
    // A few dozen pixels are plenty for a cell's mean: wide screens are sampled every few pixels.
    const int step = used >= 512 ? 4 : used >= 256 ? 2 : 1;
    f.signature.fill(0.0f, f.length * cells);
    QVector<int> cellStart(cells + 1);
    for (int k = 0; k <= cells; ++k)
        cellStart[k] = int(qint64(k) * used / cells) / step * step;
    QVector<float> cellSize(cells, 0.0f);
    for (int k = 0; k < cells; ++k)
        cellSize[k] =
            4.0f * ((cellStart[k + 1] - cellStart[k] + step - 1) / step); // grey weights add up to 4
    if (vertical) {
        for (int line = 0; line < f.length; ++line) {
            const uchar* p = f.image.constScanLine(line);
            float* sig = f.signature.data() + line * cells;
            for (int k = 0; k < cells; ++k) {
                int sum = 0;
                for (int c = cellStart[k]; c < cellStart[k + 1]; c += step)
                    sum += grey(p + 4 * c);
                sig[k] = cellSize[k] > 0 ? sum / cellSize[k] : 0.0f;
            }
        }
    } else {
        QVector<int> sums(f.length * cells, 0);
        for (int k = 0; k < cells; ++k) {
            for (int c = cellStart[k]; c < cellStart[k + 1]; c += step) {
                const uchar* p = f.image.constScanLine(c);
                int* s = sums.data() + k;
                for (int line = 0; line < f.length; ++line)
                    s[line * cells] += grey(p + 4 * line);
            }
        }
        for (int i = 0; i < sums.size(); ++i) {
            const float size = cellSize[i % cells];
            f.signature[i] = size > 0 ? sums[i] / size : 0.0f;
        }
    }
    return f;
}

qint64 OverlapFinder::lineSum(const Frame& a, int la, const Frame& b, int lb, int used) const
{
    qint64 sum = 0;
    if (vertical) {
        // Byte by byte, so that the compiler can do many at once; opaque pixels add nothing for alpha.
        const uchar* pa = a.image.constScanLine(la);
        const uchar* pb = b.image.constScanLine(lb);
        const int n = 4 * used;
        int i = 0;
        for (; i + 16 <= n; i += 16) {
            int block = 0;
            for (int j = 0; j < 16; ++j)
                block += std::abs(int(pa[i + j]) - int(pb[i + j]));
            sum += block;
        }
        for (; i < n; ++i)
            sum += std::abs(int(pa[i]) - int(pb[i]));
    } else {
        for (int c = 0; c < used; ++c)
            sum += channelDifference(a.image.constScanLine(c) + 4 * la, b.image.constScanLine(c) + 4 * lb);
    }
    return sum;
}

double OverlapFinder::lineDifference(const Frame& a, int la, const Frame& b, int lb, int used) const
{
    return double(lineSum(a, la, b, lb, used)) / (3.0 * used);
}

int OverlapFinder::fixedRun(const Frame& a, const Frame& b, int most, bool fromEnd) const
{
    const int used = usedCross(a.cross);
    // In blocks of lines, so that the columns of a sideways strip are read row by row.
    constexpr int block = 64;
    QVector<qint64> sums(block);
    for (int run = 0; run < most; run += block) {
        const int n = std::min(block, most - run);
        const int start = fromEnd ? a.length - run - n : run;
        if (vertical) {
            for (int i = 0; i < n; ++i)
                sums[i] = lineSum(a, start + i, b, start + i, used);
        } else {
            sums.fill(0);
            for (int c = 0; c < used; ++c) {
                const uchar* pa = a.image.constScanLine(c) + 4 * start;
                const uchar* pb = b.image.constScanLine(c) + 4 * start;
                for (int i = 0; i < n; ++i)
                    sums[i] += channelDifference(pa + 4 * i, pb + 4 * i);
            }
        }
        for (int k = 0; k < n; ++k) {
            const int i = fromEnd ? n - 1 - k : k;
            if (double(sums[i]) / (3.0 * used) > fixedTolerance)
                return run + k;
        }
    }
    return most;
}

QVector<int> OverlapFinder::candidates(const Frame& a, const Frame& b, int first, int last) const
{
    const int content = last - first;
    const int minOverlap = std::max(2 * guard + 8, content / 16);
    const float* sa = a.signature.constData();
    const float* sb = b.signature.constData();
    auto distance = [&](int la, int lb) {
        float d = 0;
        for (int k = 0; k < cells; ++k)
            d += std::fabs(sa[la * cells + k] - sb[lb * cells + k]);
        return d;
    };

    // Anchors: the line of each stretch of the later photo that differs most from the lines a few
    // before it. A line of the earlier photo votes for an anchor's shift when it is much closer to the
    // anchor than those neighbours are, so smooth shading votes for its own place only.
    struct Anchor
    {
        int line;
        float tolerance;
    };
    QVector<Anchor> anchors;
    const int bin = std::max(4, content / anchorBins);
    for (int start = first + anchorReach; start < last; start += bin) {
        Anchor best{-1, anchorEdge};
        for (int line = start; line < std::min(last, start + bin); ++line) {
            float d = 0;
            for (int k = 0; k < cells; ++k)
                d += std::fabs(sb[line * cells + k] - sb[(line - anchorReach) * cells + k]);
            if (d >= best.tolerance)
                best = {line, d};
        }
        if (best.line >= 0)
            anchors.append({best.line, std::min(voteTolerance, best.tolerance / 2)});
    }

    QVector<int> votes(content + 1, 0);
    for (const Anchor& anchor : qAsConst(anchors)) {
        for (int line = anchor.line + 1; line < last; ++line) {
            const int shift = line - anchor.line;
            if (content - shift < minOverlap)
                break;
            if (distance(line, anchor.line) <= anchor.tolerance)
                ++votes[shift];
        }
    }
    QVector<int> shifts;
    for (int shift = 1; shift <= content; ++shift) {
        if (votes[shift] > 0)
            shifts.append(shift);
    }
    std::stable_sort(shifts.begin(), shifts.end(), [&](int x, int y) { return votes[x] > votes[y]; });
    return shifts;
}

double OverlapFinder::signatureError(const Frame& a, const Frame& b, int first, int last, int shift,
                                     int& budget) const
{
    const float* sa = a.signature.constData();
    const float* sb = b.signature.constData();
    double total = 0;
    for (int line = first; line < last - shift; ++line) {
        if (--budget < 0)
            return -1;
        float d = 0;
        for (int k = 0; k < cells; ++k)
            d += std::fabs(sa[(line + shift) * cells + k] - sb[line * cells + k]);
        d /= cells;
        if (d > lineTolerance)
            return -1;
        total += d;
    }
    const double mean = total / (last - shift - first);
    return mean <= meanTolerance ? mean : -1;
}

double OverlapFinder::pixelError(const Frame& a, const Frame& b, int first, int last, int shift,
                                 int used) const
{
    const int n = last - shift - first;
    double total = 0;
    if (vertical) {
        for (int line = first; line < last - shift; ++line) {
            const double d = lineDifference(a, line + shift, b, line, used);
            if (d > lineTolerance)
                return -1;
            total += d;
        }
    } else {
        QVector<qint64> sums(n, 0);
        for (int c = 0; c < used; ++c) {
            const uchar* pa = a.image.constScanLine(c) + 4 * (first + shift);
            const uchar* pb = b.image.constScanLine(c) + 4 * first;
            for (int i = 0; i < n; ++i)
                sums[i] += channelDifference(pa + 4 * i, pb + 4 * i);
        }
        for (qint64 sum : qAsConst(sums)) {
            const double d = double(sum) / (3.0 * used);
            if (d > lineTolerance)
                return -1;
            total += d;
        }
    }
    const double mean = total / n;
    return mean <= meanTolerance ? mean : -1;
}

int OverlapFinder::movingBand(const Frame& a, const Frame& b, int first, int last, int shift) const
{
    const int used = usedCross(a.cross);
    QVector<int> changed(a.cross - used, 0);
    if (vertical) {
        for (int line = first; line < last - shift; ++line) {
            const uchar* pa = a.image.constScanLine(line + shift);
            const uchar* pb = b.image.constScanLine(line);
            for (int c = used; c < a.cross; ++c)
                changed[c - used] += largestChannelDifference(pa + 4 * c, pb + 4 * c) > thumbContrast;
        }
    } else {
        for (int c = used; c < a.cross; ++c) {
            const uchar* pa = a.image.constScanLine(c);
            const uchar* pb = b.image.constScanLine(c);
            for (int line = first; line < last - shift; ++line)
                changed[c - used] +=
                    largestChannelDifference(pa + 4 * (line + shift), pb + 4 * line) > thumbContrast;
        }
    }
    for (int i = 0; i < changed.size(); ++i) {
        if (changed[i] >= 2)
            return a.cross - (used + i);
    }
    return 0;
}

OverlapFinder::Match OverlapFinder::match(const Frame& a, const Frame& b) const
{
    Match result;
    if (a.image.isNull() || b.image.isNull() || a.image.size() != b.image.size())
        return result;
    const int length = a.length;
    const int used = usedCross(a.cross);
    const int header = fixedRun(a, b, length, false);
    if (header == length) {
        result.kind = Match::Duplicate;
        return result;
    }
    int footer = fixedRun(a, b, length - header, true);
    const int first = header;
    const int last = length - footer;
    if (last - first < 4 * guard)
        return result;

    // Lines of the later photo with something on them: only they tell one shift from another.
    QVector<int> structured(length + 1, 0);
    const float* sb = b.signature.constData();
    for (int line = 0; line < length; ++line) {
        float d = 0;
        if (line >= anchorReach) {
            for (int k = 0; k < cells; ++k)
                d += std::fabs(sb[line * cells + k] - sb[(line - anchorReach) * cells + k]);
        }
        structured[line + 1] = structured[line] + (d >= structureEdge);
    }
    const int from = first + guard;
    const int to = last - guard;
    struct Verified
    {
        int shift;
        double error;
    };
    QVector<Verified> close;
    // Wrong shifts fail within a few lines; content that repeats lets many run on, and the work stays
    // in proportion to the length: shifts with the most votes come first.
    int budget = signatureBudget * (last - first);
    for (int shift : candidates(a, b, first, last)) {
        if (structured[std::max(from, to - shift)] - structured[from] < minEvidence)
            continue;
        const double error = signatureError(a, b, from, to, shift, budget);
        if (error >= 0)
            close.append({shift, error});
    }
    std::sort(close.begin(), close.end(),
              [](const Verified& x, const Verified& y) { return x.error < y.error; });
    // The best of each neighbourhood of shifts, verified on the pixels.
    QVector<Verified> verified;
    QVector<int> tried;
    for (const Verified& candidate : qAsConst(close)) {
        if (tried.size() == verifiedCount)
            break;
        if (std::any_of(tried.begin(), tried.end(),
                        [&](int shift) { return std::abs(shift - candidate.shift) <= nearShift(a.cross); }))
            continue;
        tried.append(candidate.shift);
        const double error = pixelError(a, b, from, to, candidate.shift, used);
        if (error >= 0)
            verified.append({candidate.shift, error});
    }
    if (verified.isEmpty())
        return result;
    std::sort(verified.begin(), verified.end(),
              [](const Verified& x, const Verified& y) { return x.error < y.error; });
    // Content that repeats fits at more than one shift: then none is taken.
    if (verified.size() > 1 && verified[1].error < 2 * verified[0].error + clearMargin)
        return result;
    result.kind = Match::Overlap;
    result.shift = verified[0].shift;
    // A line at the footer's edge belongs to the footer when it fits the same place better than the
    // shifted one.
    for (int more = 0; more < guard; ++more) {
        const int line = length - 1 - footer;
        if (line - result.shift < header ||
            lineDifference(a, line, b, line, used) >= lineDifference(a, line, b, line - result.shift, used))
            break;
        ++footer;
    }
    result.header = header;
    result.footer = footer;
    result.farBand = movingBand(a, b, first + guard, last - guard, result.shift);
    return result;
}

OverlapFinder::Match OverlapFinder::match(const QImage& earlier, const QImage& later, bool vertical)
{
    const OverlapFinder finder(vertical);
    return finder.match(finder.frame(earlier), finder.frame(later));
}

OverlapPlan OverlapFinder::plan(const QVector<QImage>& photos, bool vertical)
{
    const OverlapFinder finder(vertical);
    OverlapPlan plan;
    plan.spans.resize(photos.size());
    plan.trimmed.fill(false, photos.size());
    for (int i = 0; i < photos.size(); ++i)
        plan.spans[i] = {0, vertical ? photos[i].height() : photos[i].width()};
    if (photos.isEmpty())
        return plan;
    int kept = 0;
    Frame before = finder.frame(photos[0]);
    for (int i = 1; i < photos.size(); ++i) {
        Frame current = finder.frame(photos[i]);
        const Match m = finder.match(before, current);
        if (m.kind == Match::Duplicate) {
            plan.duplicates.append(i);
            continue;
        }
        if (m.kind == Match::Overlap) {
            const int length = current.length;
            OverlapPlan::Span& previous = plan.spans[kept];
            previous.end = std::max(std::min(previous.end, length - m.footer), previous.start + 1);
            plan.spans[i].start = length - m.footer - m.shift;
            plan.trimmed[kept] = plan.trimmed[i] = true;
            plan.farBand = std::max(plan.farBand, m.farBand);
        } else {
            plan.apart.append({kept, i});
        }
        kept = i;
        before = std::move(current);
    }
    return plan;
}
