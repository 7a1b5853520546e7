#pragma once

#include <QPair>
#include <QVector>

// Where each photo of a strip of scrolling screenshots continues the one before it. Lengths are in image
// pixels; "along" is down the photos of a vertical strip and across the photos of a horizontal one.
struct OverlapPlan
{
    // The part of a photo that stays, along the strip: [start, end).
    struct Span
    {
        int start = 0;
        int end = 0;
    };
    // One entry per photo given, in the order given; a photo an overlap does not touch keeps its whole
    // length and trimmed stays false.
    QVector<Span> spans;
    QVector<bool> trimmed;
    // Photos that show nothing the photo kept before them does not: to be taken out of the strip.
    QVector<int> duplicates;
    // Neighbours (after the duplicates are out) that do not continue each other: joined edge to edge.
    QVector<QPair<int, int>> apart;
    // Width of the band at the far edge across the strip where a scroll-bar thumb moved between
    // neighbours (right in a vertical strip, bottom in a horizontal one); 0 when none did.
    int farBand = 0;

    bool changesStrip() const { return !duplicates.isEmpty() || farBand > 0 || trimmed.contains(true); }
};
