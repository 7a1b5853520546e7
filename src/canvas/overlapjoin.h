#pragma once

#include "canvas/painterarea.h"
#include "overlap/overlapplan.h"

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

// The overlap join of the canvas's strip: where each photo continues the one before, as the photos to
// take out and the trims that join the rest so that every row of the page shows once.
class OverlapJoin
{
public:
    // Finds the overlaps of the canvas's photos in its direction; the canvas is not changed.
    explicit OverlapJoin(const PainterArea& canvas);

    const OverlapPlan& plan() const { return found; }
    // Display names: photos taken out, and neighbours joined edge to edge.
    QStringList duplicateNames() const;
    QVector<QPair<QString, QString>> apartNames() const;
    // Strip positions of the photos to take out, last first, so that each stays valid when removed.
    QVector<int> removals() const;
    // The canvas's trims once the photos are out: crops along the strip where an overlap meets a
    // photo, and the band of a moving scroll-bar thumb cut off the far edge across the strip.
    PainterArea::Trims trims() const;

    // removePhoto for each removal, then setTrims: the two ways the join changes the strip.
    void apply(PainterArea& canvas) const;

private:
    OverlapPlan found;
    QStringList names;
    PainterArea::Trims before;
    bool vertical = false;
    double farCut = 0; // canvas units
};
