#pragma once

// Header only, so that the benchmarks can use it without the test library.

#include <QBuffer>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

// A deterministic picture that compresses like a photograph: smooth shading, regions of different
// colour with hard edges, and sensor-like noise whose strength differs from region to region (clear
// sky, skin, fabric).
inline QImage photoLikeImage(int width, int height, std::uint32_t seed = 1)
{
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    std::uint32_t state = seed * 2654435761u + 12345u;
    const auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };

    // Regions: columns and rows cut into runs of a few hundred pixels.
    const auto cut = [&](int length, std::vector<int>& runOf) {
        runOf.resize(std::size_t(length));
        int run = 0;
        for (int at = 0; at < length; ++run) {
            const int end = std::min(length, at + 150 + int(next() % 700));
            std::fill(runOf.begin() + at, runOf.begin() + end, run);
            at = end;
        }
        return run;
    };
    std::vector<int> columnRun, rowRun;
    const int columnRuns = cut(width, columnRun);
    const int rowRuns = cut(height, rowRun);
    struct Region
    {
        int offset[3];
        int noiseMask;
        bool stripes;
    };
    std::vector<Region> regions(std::size_t(columnRuns) * std::size_t(rowRuns));
    for (Region& region : regions) {
        for (int& offset : region.offset)
            offset = int(next() % 61) - 30;
        static const int masks[] = {0, 1, 1, 3, 3, 7};
        region.noiseMask = masks[next() % 6];
        region.stripes = next() % 5 == 0;
    }

    // Smooth shading: a separable wave and gradient per channel.
    std::vector<float> columnWave[3], rowWave[3];
    for (int c = 0; c < 3; ++c) {
        const float fx = 0.002f + float(next() % 100) * 0.00005f, px = float(next() % 628) / 100.0f;
        const float fy = 0.003f + float(next() % 100) * 0.00005f, py = float(next() % 628) / 100.0f;
        columnWave[c].resize(std::size_t(width));
        rowWave[c].resize(std::size_t(height));
        for (int x = 0; x < width; ++x)
            columnWave[c][std::size_t(x)] = 50.0f * std::sin(float(x) * fx + px) + 110.0f + 10.0f * float(c);
        for (int y = 0; y < height; ++y)
            rowWave[c][std::size_t(y)] = 0.8f + 0.4f * std::cos(float(y) * fy + py);
    }

    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const Region* regionRow =
            regions.data() + std::size_t(rowRun[std::size_t(y)]) * std::size_t(columnRuns);
        for (int x = 0; x < width; ++x) {
            const Region& region = regionRow[columnRun[std::size_t(x)]];
            const std::uint32_t noise = next();
            const int stripe = region.stripes && ((x + 2 * y) >> 3) & 1 ? 24 : 0;
            int channel[3];
            for (int c = 0; c < 3; ++c) {
                const int n =
                    int((noise >> (8 * c)) & std::uint32_t(region.noiseMask)) - region.noiseMask / 2;
                const int v = int(columnWave[c][std::size_t(x)] * rowWave[c][std::size_t(y)]) +
                              region.offset[c] + stripe + n;
                channel[c] = std::clamp(v, 0, 255);
            }
            line[x] = qRgb(channel[0], channel[1], channel[2]);
        }
    }
    return image;
}

// The same after a round trip through JPEG, as photos from a camera or a phone arrive: the noise is
// softened and the block artefacts added, which makes PNG files of them far smaller.
inline QImage photoLikeJpegImage(int width, int height, std::uint32_t seed = 1, int quality = 90)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    if (!photoLikeImage(width, height, seed).save(&buffer, "JPEG", quality))
        return {};
    return QImage::fromData(jpeg, "JPEG").convertToFormat(QImage::Format_RGB32);
}
