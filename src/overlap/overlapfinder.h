#pragma once

#include "overlap/overlapplan.h"

#include <QImage>
#include <QVector>

// Finds where neighbouring screenshots of a scrolling page continue each other. A shift is taken only
// when its rows match on the full pixels (within the noise of a JPEG) and no other shift does: content
// that repeats or a blank overlap gives no overlap rather than a wrong one.
class OverlapFinder
{
public:
    // How one later photo meets the one kept before it.
    struct Match
    {
        enum Kind { Apart, Overlap, Duplicate };
        Kind kind = Apart;
        int shift = 0;  // content scrolled between the two, along the strip
        int header = 0; // lines fixed at the start (same place, same pixels in both)
        int footer = 0; // lines fixed at the end
        int farBand = 0;
    };

    // The photos in strip order; vertical: the strip runs down (photos scrolled vertically).
    static OverlapPlan plan(const QVector<QImage>& photos, bool vertical);
    static Match match(const QImage& earlier, const QImage& later, bool vertical);

    // Cells across each line in its signature.
    static constexpr int cells = 16;

private:
    explicit OverlapFinder(bool vertical) : vertical(vertical) {}

    struct Frame
    {
        QImage image; // 32 bits a pixel
        int length = 0;
        int cross = 0;
        QVector<float> signature; // cells values a line: mean grey of each cell
    };
    Frame frame(const QImage& image) const;
    Match match(const Frame& a, const Frame& b) const;
    int usedCross(int cross) const;
    int farBandLimit(int cross) const;
    // Absolute differences of line la of a and line lb of b summed over the channels up to cross
    // position used, and their mean a channel.
    qint64 lineSum(const Frame& a, int la, const Frame& b, int lb, int used) const;
    double lineDifference(const Frame& a, int la, const Frame& b, int lb, int used) const;
    // How many lines from the start (or the end) are the same in both, at most most.
    int fixedRun(const Frame& a, const Frame& b, int most, bool fromEnd) const;
    // The shifts the signatures allow, most promising first.
    QVector<int> candidates(const Frame& a, const Frame& b, int first, int last) const;
    // As pixelError, on the signatures, comparing no more lines than the budget has left.
    double signatureError(const Frame& a, const Frame& b, int first, int last, int shift, int& budget) const;
    // Mean absolute difference a channel of b's lines [first, last - shift) against a's lines
    // [first + shift, last) on the full pixels; -1 when a line or the whole is beyond the noise.
    double pixelError(const Frame& a, const Frame& b, int first, int last, int shift, int used) const;
    // Width of the far band where the two differ over the overlap of that shift.
    int movingBand(const Frame& a, const Frame& b, int first, int last, int shift) const;

    const bool vertical;
};
