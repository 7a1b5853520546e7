#include "canvas/edgetrimmer.h"

#include "canvas/painterarea.h"
#include "canvas/paintimage.h"
#include "canvas/stripedit.h"

using namespace Geometry;

bool EdgeTrimmer::alongX() const
{
    return canvas->activeDirection == EdgeLeft || canvas->activeDirection == EdgeRight;
}

double* EdgeTrimmer::armedCut() const
{
    // A strip edge along the strip has nothing to cut.
    if (canvas->activeImage || alongX() != canvas->isVertical())
        return nullptr;
    switch (canvas->activeDirection) {
    case EdgeLeft:
        return &canvas->cutLeft;
    case EdgeRight:
        return &canvas->cutRight;
    case EdgeTop:
        return &canvas->cutTop;
    default:
        return &canvas->cutBottom;
    }
}

void EdgeTrimmer::begin(const QPoint& pointer)
{
    drag.reset();
    if (!canvas->trimActive || canvas->paintImages.isEmpty())
        return;
    const int direction = canvas->activeDirection;
    const double scale = canvas->painterScale;
    Drag d;
    d.pointer = pointer;
    d.keepFarSide = direction == EdgeLeft || direction == EdgeTop;
    if (PaintImage* photo = canvas->activeImage) {
        canvas->relayout();
        const QRectF& r = photo->layoutRect;
        d.edge =
            EdgeDrag::photoEdge(photo->crop(), direction, photo->image.size(), canvas->stripLayout(), scale);
        d.farSide =
            (alongX() ? canvas->x() : canvas->y()) + qRound((alongX() ? r.right() : r.bottom()) * scale);
    } else if (double* cut = armedCut()) {
        const double* opposite = cut == &canvas->cutLeft    ? &canvas->cutRight
                                 : cut == &canvas->cutRight ? &canvas->cutLeft
                                 : cut == &canvas->cutTop   ? &canvas->cutBottom
                                                            : &canvas->cutTop;
        const int crossLength = truncToInt(canvas->isVertical() ? canvas->areaWidth : canvas->areaHeight);
        d.edge = EdgeDrag::stripCut(*cut, *opposite, direction, crossLength, scale);
        d.farSide = alongX() ? canvas->x() + canvas->width() : canvas->y() + canvas->height();
    } else {
        return;
    }
    drag = d;
}

void EdgeTrimmer::dragTo(const QPoint& pointer)
{
    if (!drag || !canvas->trimActive)
        return;
    const StripEdit edit(canvas, PainterArea::tr("Trim"), canvas->gestureKey);
    const QPoint travel = pointer - drag->pointer;
    const double value = drag->edge.at(alongX() ? travel.x() : travel.y());
    bool changed = false;
    int farSide = 0;
    if (PaintImage* photo = canvas->activeImage) {
        Crop crop = photo->crop();
        double* edges[] = {&crop.left, &crop.top, &crop.right, &crop.bottom};
        changed = *edges[canvas->activeDirection] != value;
        *edges[canvas->activeDirection] = value;
        photo->setCrop(crop);
        canvas->adjustSize();
        canvas->relayout();
        const QRectF& r = photo->layoutRect;
        farSide = qRound((alongX() ? r.right() : r.bottom()) * canvas->painterScale);
    } else if (double* cut = armedCut()) {
        changed = *cut != value;
        *cut = value;
        canvas->adjustSize();
        farSide = alongX() ? canvas->width() : canvas->height();
    }
    if (drag->keepFarSide) {
        const int start = drag->farSide - farSide;
        canvas->move(alongX() ? QPoint(start, canvas->y()) : QPoint(canvas->x(), start));
    }
    canvas->placeButtons();
    canvas->update();
    if (changed)
        emit canvas->signalStripEdited();
}

void EdgeTrimmer::end()
{
    if (!drag)
        return;
    drag.reset();
    canvas->keepInView();
}

bool EdgeTrimmer::nudge(int key, int stripPixels)
{
    if (!canvas->trimActive || canvas->paintImages.isEmpty())
        return false;
    int sign = 0;
    if (alongX() && (key == Qt::Key_Left || key == Qt::Key_Right))
        sign = key == Qt::Key_Right ? 1 : -1;
    else if (!alongX() && (key == Qt::Key_Up || key == Qt::Key_Down))
        sign = key == Qt::Key_Down ? 1 : -1;
    if (sign == 0)
        return false;
    // A strip pixel is painterScale pixels of the view, whatever the zoom. Each press is a step.
    canvas->gestureKey = canvas->newMergeKey();
    begin(QPoint());
    if (drag) {
        drag->edge.perViewPixel *= canvas->painterScale;
        dragTo(QPoint(sign * stripPixels, sign * stripPixels));
    }
    end();
    return true;
}
