#pragma once

#include <QPoint>
#include <QRectF>
#include <QSize>
#include <QVector>

#include <array>
#include <optional>

// Plain geometry of the canvas, callable without a window. Lengths are canvas units (one unit is one
// output pixel at zoom 1) unless a name says image pixels.
namespace Geometry {

// The zoom curve shared by the canvas, the export, the watermark size and the panorama result:
// 0.3 at 0, 1.0 at 50, 2.0 at 100. Below 0 it goes on smoothly toward 0, so that a fitted strip
// longer than the usual range still has a slider value.
double zoomFactor(int value);
// The value whose factor is nearest to the scale.
int zoomValueFor(double scale);

// The strip's direction, and which trimming buttons show (the canvas's direction and cutMode).
enum Direction { Horizontal = 0, Vertical = 1 };
enum CutMode { CutNone = 0, CutInner = 1, CutOuter = 2, CutAll = 3 };

enum Edge { EdgeLeft = 0, EdgeTop = 1, EdgeRight = 2, EdgeBottom = 3 };

enum SpacingBits { SpacingInnerBit = 0x01, SpacingOuterBit = 0x10 };

// The shown source region of a photo, in image pixels.
struct Crop
{
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;

    double width() const { return right - left; }
    double height() const { return bottom - top; }
    static Crop whole(const QSize& image) { return {0, 0, double(image.width()), double(image.height())}; }
};

// One photo as the layout sees it.
struct PhotoShape
{
    QSize image;
    Crop crop;
};

// Everything of the canvas state that places the photos.
struct StripLayout
{
    int direction = Horizontal;
    int spacingMode = 0; // SpacingBits
    double spacingInner = 5.0;
    double spacingOuter = 5.0;
    double paintWidth = 320;
    double paintHeight = 320;
    double areaWidth = 320;
    double areaHeight = 320;
    double cutLeft = 0;
    double cutTop = 0;
    double cutRight = 0;
    double cutBottom = 0;

    bool vertical() const { return direction == Vertical; }
    double outer() const { return (spacingMode & SpacingOuterBit) ? spacingOuter : 0.0; }
    double inner() const { return (spacingMode & SpacingInnerBit) ? spacingInner : 0.0; }
    double crossWidth() const { return areaWidth - cutLeft - cutRight; }
    double crossHeight() const { return areaHeight - cutTop - cutBottom; }
};

// Truncates toward zero into int, clamping values beyond int and mapping NaN to 0.
int truncToInt(double value);

// A canvas length across the strip in image pixels of a photo: against the whole image's size, not
// the crop's. A non-positive common size gives 0.
double toImagePixels(const QSize& image, bool vertical, double length, double paintWidth, double paintHeight);

// A photo's size in the strip for the cross sizes W and H. A degenerate crop has no length.
QSizeF scaledSize(const Crop& crop, const StripLayout& layout, double crossWidth, double crossHeight);

// The layout pass: each photo's rectangle in canvas units, in strip order. Fills rects (reused).
void layoutRects(const StripLayout& layout, const QVector<PhotoShape>& photos, QVector<QRectF>& rects);

// The image region drawn into a photo's rectangle: its crop less the strip cuts, never negative.
QRectF sourceRect(const PhotoShape& photo, const StripLayout& layout);

// Unscaled size of the strip with its outer border.
QSize contentSize(const StripLayout& layout, const QVector<PhotoShape>& photos);

// Index of the first rectangle that contains (x, y) after truncation, edges included; -1 if none.
int photoAt(const QVector<QRectF>& rects, int x, int y);

// Between canvas coordinates and coordinates from which the spacing in front of photo index is removed.
QPoint toStripPoint(const StripLayout& layout, int x, int y, int index);
QPoint fromStripPoint(const StripLayout& layout, int x, int y, int index);

// What the canvas reports: the entries' numbers (without the border) and the zoomed size hint.
struct SizeReport
{
    QSize entries;
    QSize hint;
};
SizeReport sizeReport(const StripLayout& layout, const QSize& content, double scale);

// Size and position of the empty canvas.
constexpr int emptyWidth = 552;
constexpr int emptyHeight = 299;

// Where the canvas goes in a container: centred while empty, else centred across the strip only.
QPoint placeCanvas(bool hasPhotos, bool vertical, const QPoint& pos, const QSize& canvas,
                   const QSize& container);
// At the start of the strip, centred across it.
QPoint centreCanvas(bool vertical, const QSize& canvas, const QSize& container);
// The first photo's place in the container: centred across the strip.
QPoint firstPhotoPlace(const StripLayout& layout, const QSize& container);
// Scale at which the whole strip fits the container; the current scale when nothing can fit.
double fitScale(bool vertical, const QSize& content, const QSize& container, double current);
// Where a fitted canvas goes: centred in the container.
QPoint fittedPlace(bool vertical, const QSize& canvas, const QSize& container);
// The canvas position along the strip that keeps the point under the pointer in place when the scale
// changes; pointer and position in container pixels along the strip.
int zoomAnchoredPos(int pointer, int canvasPos, double oldScale, double newScale);

// The border's four rectangles for a device of that size, in canvas units.
std::array<QRectF, 4> outerSpacingRects(const QSize& device, double scale, double outer);
// The inner gap between two neighbouring photo rectangles.
QRectF innerGapRect(const QRectF& previous, const QRectF& current, bool vertical);

// Which photo a strip button arms: its index, or -1 for the cuts across the strip.
int stripButtonPhoto(bool vertical, int edge, int photoCount);
// Whether a button shows in a cut mode; nothing for modes that leave the buttons as they are.
std::optional<bool> buttonShown(int cutMode, bool vertical, bool stripButton, int edge);
// Button positions on the canvas of that size and on a photo's displayed rectangle.
QPoint stripButtonPos(int edge, const QSize& canvas, const QSize& button);
QPoint photoButtonPos(int edge, const QRectF& displayed, const QSize& button);

// Level of a cached downscaled copy for drawing at that many device pixels per image pixel:
// 0 draws the image itself, k a copy at 1 / 2^k.
int previewLevel(double devicePerImagePixel);

} // namespace Geometry
