#pragma once

#include <QImage>
#include <QPair>
#include <QString>
#include <QVector>

// Scrolling screenshots made from real-looking pages: text set in the DejaVu faces, a chat whose replies
// repeat, photographs between captions, and a wide table scrolled sideways under its fixed first column.
// Each page is cut into screen-sized frames at known offsets, with the fixed bars painted on every frame
// and a scroll-bar thumb that moves in a thin band at the far edge.
namespace ScrollCorpus {

enum class Page { Text, Chat, Photos, Table, RepeatedChat };

struct Screens
{
    QVector<QImage> frames;
    QVector<int> offsets; // where each frame's viewport starts in the page
    // What joining the frames must give: the bars once, the page from the first frame's viewport to the
    // last one's, without the band the thumb moves in.
    QImage expected;
    bool vertical = true;
    int header = 0; // fixed lines at the start of every frame
    int footer = 0;
    int thumbBand = 0; // width of the far band cut off in expected
};

// A page (the content that scrolls) of that cross size and length. Table pages scroll sideways: their
// length is their width.
QImage page(Page kind, int cross, int length, quint32 seed = 1);

// Frames of screen size (cross, screenLength) over the page at the offsets given; the bars take header
// and footer lines (across in a sideways page: header is the fixed first column, footer the right edge).
// With thumb, a scroll-bar thumb moves in a band of thumbBand lines at the far edge.
Screens cut(Page kind, int cross, int screenLength, int header, int footer, const QVector<int>& offsets,
            bool thumb = true, quint32 seed = 1);

// Offsets for count frames that each keep the given fraction of the viewport of the one before.
QVector<int> offsetsForOverlap(int viewport, double overlap, int count);

// The frames' spans [first, second) along the strip laid end to end, each frame's first cross pixels
// only; frames whose span is empty are left out.
QImage joinSpans(const QVector<QImage>& frames, const QVector<QPair<int, int>>& spans, bool vertical,
                 int cross);

// The image after a round trip through a JPEG file of that quality.
QImage throughJpeg(const QImage& image, int quality = 85);

// The largest mean absolute difference a channel of any line across, and the mean over the whole.
struct Difference
{
    double worstLine = 0;
    double mean = 0;
};
Difference difference(const QImage& a, const QImage& b);

} // namespace ScrollCorpus
