#include "crop/picturearea.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace PictureArea {

namespace {

// Half-open bounds of the part of a mask a search looks at.
struct Box
{
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
};

// The classic pass over rows: each row is the foot of a histogram of covered runs above it, and every
// bar is widened to where a lower one stops it. Every maximal covered rectangle is visited, but for
// those standing on a row whose tallest bar times the box's width is no more than floor().
template <typename Floor, typename Visit>
void scanRectangles(const Mask& mask, const Box& box, Floor floor, Visit visit)
{
    const int width = box.x1 - box.x0;
    std::vector<int> heights(size_t(width) + 1, 0); // the last bar stays 0 and empties the stack
    std::vector<int> stack;
    stack.reserve(size_t(width) + 1);
    for (int y = box.y0; y < box.y1; ++y) {
        const unsigned char* row = mask.data + y * mask.stride + box.x0;
        int tallest = 0;
        for (int x = 0; x < width; ++x) {
            heights[size_t(x)] = row[x] ? heights[size_t(x)] + 1 : 0;
            tallest = std::max(tallest, heights[size_t(x)]);
        }
        if ((long long)tallest * width <= floor())
            continue;
        stack.clear();
        for (int x = 0; x <= width; ++x) {
            const int h = heights[size_t(x)];
            while (!stack.empty() && heights[size_t(stack.back())] >= h) {
                const int top = heights[size_t(stack.back())];
                stack.pop_back();
                const int left = stack.empty() ? 0 : stack.back() + 1;
                if (top > 0)
                    visit(Rect{box.x0 + left, y - top + 1, x - left, top});
            }
            stack.push_back(x);
        }
    }
}

// The largest covered rectangle in box that is larger than beat; empty when there is none.
Rect largestIn(const Mask& mask, const Box& box, long long beat = 0)
{
    Rect best;
    const auto floor = [&best, beat] { return std::max(beat, best.area()); };
    scanRectangles(mask, box, floor, [&](const Rect& r) {
        if (r.area() > floor())
            best = r;
    });
    return best;
}

// A rectangle of cells as the pixels it stands for, cut at the mask's edge.
Rect pixelsOf(const Rect& cells, int factor, const Mask& mask)
{
    const int x0 = cells.x * factor, y0 = cells.y * factor;
    const int x1 = std::min(mask.width, (cells.x + cells.width) * factor);
    const int y1 = std::min(mask.height, (cells.y + cells.height) * factor);
    return {x0, y0, x1 - x0, y1 - y0};
}

} // namespace

bool allCovered(const Mask& mask)
{
    for (int y = 0; y < mask.height; ++y)
        if (std::memchr(mask.data + y * mask.stride, 0, size_t(mask.width)))
            return false;
    return true;
}

Rect largestCovered(const Mask& mask, int factor)
{
    if (mask.width <= 0 || mask.height <= 0)
        return {};
    const Box whole{0, 0, mask.width, mask.height};
    if (factor <= 0) // about a million cells
        factor = std::max(1, int(std::ceil(std::sqrt(double(mask.width) * mask.height / (1 << 20)))));
    if (factor == 1)
        return largestIn(mask, whole);

    // A cell of the first grid is covered when all its pixels are, of the second when any is.
    const int cellsWide = (mask.width + factor - 1) / factor;
    const int cellsHigh = (mask.height + factor - 1) / factor;
    std::vector<unsigned char> all(size_t(cellsWide) * size_t(cellsHigh), 1);
    std::vector<unsigned char> any(all.size(), 0);
    for (int y = 0; y < mask.height; ++y) {
        const unsigned char* row = mask.data + y * mask.stride;
        unsigned char* allRow = all.data() + size_t(y / factor) * size_t(cellsWide);
        unsigned char* anyRow = any.data() + size_t(y / factor) * size_t(cellsWide);
        for (int cx = 0; cx < cellsWide; ++cx) {
            const int end = std::min(mask.width, (cx + 1) * factor);
            unsigned char low = 1, high = 0;
            for (int x = cx * factor; x < end; ++x) {
                low &= row[x] != 0;
                high |= row[x] != 0;
            }
            allRow[cx] &= low;
            anyRow[cx] |= high;
        }
    }
    const Mask allCells{all.data(), cellsWide, cellsHigh, cellsWide};
    const Mask anyCells{any.data(), cellsWide, cellsHigh, cellsWide};
    const Box cells{0, 0, cellsWide, cellsHigh};

    // Whole covered cells give a rectangle that is surely covered; a larger one can only lie inside
    // a rectangle of partly covered cells that is larger still.
    const Rect found = largestIn(allCells, cells);
    const Rect sure = found.area() > 0 ? pixelsOf(found, factor, mask) : Rect{};
    Box room{mask.width, mask.height, 0, 0};
    scanRectangles(
        anyCells, cells, [] { return 0LL; },
        [&](const Rect& r) {
            const Rect pixels = pixelsOf(r, factor, mask);
            if (pixels.area() <= sure.area())
                return;
            room.x0 = std::min(room.x0, pixels.x);
            room.y0 = std::min(room.y0, pixels.y);
            room.x1 = std::max(room.x1, pixels.x + pixels.width);
            room.y1 = std::max(room.y1, pixels.y + pixels.height);
        });
    if (room.x0 >= room.x1)
        return sure;
    const Rect refined = largestIn(mask, room, sure.area());
    return refined.area() > sure.area() ? refined : sure;
}

} // namespace PictureArea
