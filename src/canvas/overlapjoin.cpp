#include "canvas/overlapjoin.h"

#include "canvas/paintimage.h"
#include "canvas/stitcherconfig.h"
#include "canvas/stripedit.h"
#include "overlap/overlapfinder.h"

#include <QCoreApplication>

#include <algorithm>

OverlapJoin::OverlapJoin(const PainterArea& canvas) : before(canvas.trims()), vertical(canvas.isVertical())
{
    QVector<QImage> images;
    for (const PaintImage* photo : canvas.paintImages) {
        images.append(photo->image);
        names.append(photo->name);
    }
    found = OverlapFinder::plan(images, vertical);
    // The band is in pixels of the photos that showed it; the cut is in canvas units.
    const int shown = int(found.trimmed.indexOf(true));
    if (found.farBand > 0 && shown >= 0) {
        const StitcherConfig* config = StitcherConfig::instance();
        const QImage& photo = images.at(shown);
        farCut = vertical ? found.farBand * config->paintWidth / photo.width()
                          : found.farBand * config->paintHeight / photo.height();
    }
}

QStringList OverlapJoin::duplicateNames() const
{
    QStringList out;
    for (int i : found.duplicates)
        out.append(names.at(i));
    return out;
}

QVector<QPair<QString, QString>> OverlapJoin::apartNames() const
{
    QVector<QPair<QString, QString>> out;
    for (const auto& pair : found.apart)
        out.append({names.at(pair.first), names.at(pair.second)});
    return out;
}

QVector<int> OverlapJoin::removals() const
{
    QVector<int> out = found.duplicates;
    std::sort(out.begin(), out.end(), std::greater<int>());
    return out;
}

PainterArea::Trims OverlapJoin::trims() const
{
    PainterArea::Trims after = before;
    after.crops.clear();
    for (int i = 0; i < before.crops.size(); ++i) {
        if (found.duplicates.contains(i))
            continue;
        Geometry::Crop crop = before.crops.at(i);
        if (found.trimmed.value(i)) {
            const OverlapPlan::Span span = found.spans.at(i);
            (vertical ? crop.top : crop.left) = span.start;
            (vertical ? crop.bottom : crop.right) = span.end;
        }
        after.crops.append(crop);
    }
    double& far = vertical ? after.cutRight : after.cutBottom;
    far = std::max(far, farCut);
    return after;
}

void OverlapJoin::apply(PainterArea& canvas) const
{
    const StripEdit edit(&canvas, QCoreApplication::translate("OverlapJoin", "Join overlaps"));
    for (int index : removals())
        canvas.removePhoto(index);
    canvas.setTrims(trims());
}
