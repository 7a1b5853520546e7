#pragma once

#include <cstddef>

// The largest axis-aligned rectangle of a coverage mask that holds only covered pixels: where a
// stitched picture can be cut so that no empty corner is left. Plain C++ on bytes, any thread.
namespace PictureArea {

// A byte per pixel, rows stride bytes apart; any non-zero byte is covered.
struct Mask
{
    const unsigned char* data = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;

    bool covered(int x, int y) const { return data[y * stride + x] != 0; }
};

struct Rect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    long long area() const { return (long long)width * height; }
    bool operator==(const Rect& other) const
    {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
};

// Exact: no covered rectangle of the mask is larger. An empty rectangle when nothing is covered.
// The search runs first on the mask reduced by factor (0 picks one for the mask's size, 1 none) and
// then at full size only where a larger rectangle can still lie.
Rect largestCovered(const Mask& mask, int factor = 0);

// Whether every pixel of the mask is covered.
bool allCovered(const Mask& mask);

} // namespace PictureArea
