#pragma once

#include "canvas/viewgeometry.h"

#include <QPoint>

#include <optional>

class PainterArea;

// The armed trimming edge, of a photo or of the strip, moved by a drag so that it stays under the
// pointer, or by keys a strip pixel at a time.
class EdgeTrimmer
{
public:
    explicit EdgeTrimmer(PainterArea* canvas) : canvas(canvas) {}

    // A drag of the armed edge, by the pointer in container pixels.
    void begin(const QPoint& pointer);
    void dragTo(const QPoint& pointer);
    void end();
    bool dragging() const { return drag.has_value(); }
    // Moves the armed edge by strip pixels; false when no edge is armed or the key does not move it.
    bool nudge(int key, int stripPixels);

private:
    double* armedCut() const;
    bool alongX() const;

    struct Drag
    {
        EdgeDrag edge;
        QPoint pointer;
        bool keepFarSide = false; // a leading edge: the far side stays put, so the edge follows
        int farSide = 0;
    };
    PainterArea* canvas;
    std::optional<Drag> drag;
};
