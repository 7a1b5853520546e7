#pragma once

#include <QRect>
#include <QSize>

// Where the panorama result page puts its picture, callable without a window.
namespace ResultGeometry {

// The area the picture is fitted into; the page's own size does not change it.
constexpr int stageWidth = 700;
constexpr int stageHeight = 340;

struct Fit
{
    double baseWidth = 0; // the picture's size at zoom factor 1
    double baseHeight = 0;
    QRect rect; // its place at zoom factor 1, centred in the stage
};

// The whole picture fitted into the stage and centred.
Fit fitPicture(const QSize& image);

// The picture's place after zooming to factor, keeping the centre of current where it was.
QRect zoomAboutCentre(const QRect& current, double baseWidth, double baseHeight, double factor);

} // namespace ResultGeometry
