#include "artkit.h"

#include <QPainterPath>
#include <functional>

// Tool-panel icons: drawn on a 32 x 32 grid and shown at 16 x 16, so two-pixel strokes sit on odd
// coordinates and fills on even ones; both then land on whole pixels at half size.
namespace {

using Glyph = std::function<void(QPainter&, const QColor&)>;

void outline(QPainter& p, const QColor& c)
{
    p.setPen(Art::pen(c, 2));
    p.setBrush(Qt::NoBrush);
}

void solid(QPainter& p, const QColor& c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
}

void horizontalGlyph(QPainter& p, const QColor& c)
{
    outline(p, c);
    for (const qreal x : {3.0, 13.0, 23.0})
        p.drawRoundedRect(QRectF(x, 7, 6, 18), 1.5, 1.5);
}

void verticalGlyph(QPainter& p, const QColor& c)
{
    p.translate(32, 0);
    p.rotate(90);
    horizontalGlyph(p, c);
}

// Trimming handles: short bars on the edges that can be dragged.
void handle(QPainter& p, const QColor& c, qreal x, qreal y, bool upright)
{
    solid(p, c);
    if (upright)
        p.drawRoundedRect(QRectF(x - 2, y - 5, 4, 10), 1, 1);
    else
        p.drawRoundedRect(QRectF(x - 5, y - 2, 10, 4), 1, 1);
}

void twoPhotos(QPainter& p, const QColor& c)
{
    outline(p, c);
    p.drawRect(QRectF(3, 7, 10, 18));
    p.drawRect(QRectF(19, 7, 10, 18));
}

// Inner: the edges where neighbouring photos meet.
void cutInnerGlyph(QPainter& p, const QColor& c)
{
    twoPhotos(p, c);
    handle(p, c, 13, 16, true);
    handle(p, c, 19, 16, true);
}

// Outer: the four sides of the whole strip.
void cutOuterGlyph(QPainter& p, const QColor& c)
{
    QColor faint = c;
    faint.setAlphaF(0.45);
    outline(p, faint);
    p.drawLine(QPointF(16, 7), QPointF(16, 25));
    outline(p, c);
    p.drawRect(QRectF(3, 7, 26, 18));
    handle(p, c, 3, 16, true);
    handle(p, c, 29, 16, true);
    handle(p, c, 16, 7, false);
    handle(p, c, 16, 25, false);
}

// All: every edge of every photo.
void cutAllGlyph(QPainter& p, const QColor& c)
{
    twoPhotos(p, c);
    for (const qreal x : {3.0, 13.0, 19.0, 29.0})
        handle(p, c, x, 16, true);
    for (const qreal x : {8.0, 24.0}) {
        handle(p, c, x, 7, false);
        handle(p, c, x, 25, false);
    }
}

void spacingInnerGlyph(QPainter& p, const QColor& c)
{
    solid(p, c);
    p.drawRoundedRect(QRectF(4, 8, 10, 16), 1.5, 1.5);
    p.drawRoundedRect(QRectF(18, 8, 10, 16), 1.5, 1.5);
}

void spacingOuterGlyph(QPainter& p, const QColor& c)
{
    outline(p, c);
    p.drawRoundedRect(QRectF(3, 5, 26, 22), 2.5, 2.5);
    solid(p, c);
    p.drawRect(QRectF(8, 10, 8, 12));
    p.drawRect(QRectF(16, 10, 8, 12));
}

void spacingAllGlyph(QPainter& p, const QColor& c)
{
    outline(p, c);
    p.drawRoundedRect(QRectF(3, 5, 26, 22), 2.5, 2.5);
    solid(p, c);
    p.drawRect(QRectF(8, 10, 6, 12));
    p.drawRect(QRectF(18, 10, 6, 12));
}

void pathGlyph(QPainter& p, const QColor& c)
{
    outline(p, c);
    QPainterPath curve(QPointF(5, 25));
    curve.cubicTo(7, 12, 14, 11, 15, 17);
    curve.cubicTo(16, 23, 23, 22, 27, 7);
    p.drawPath(curve);
    solid(p, c);
    p.drawEllipse(QPointF(27, 7), 2.4, 2.4);
}

void rectangleGlyph(QPainter& p, const QColor& c)
{
    outline(p, c);
    p.drawRoundedRect(QRectF(5, 7, 22, 18), 1.5, 1.5);
}

void arrowGlyph(QPainter& p, const QColor& c)
{
    outline(p, c);
    p.drawLine(QPointF(6, 26), QPointF(24, 8));
    solid(p, c);
    p.drawPolygon(QPolygonF({{27, 5}, {25, 16}, {16, 7}}));
}

void sizeGlyph(QPainter& p, const QColor& c)
{
    solid(p, c);
    p.drawRoundedRect(QRectF(4, 8, 16, 2), 1, 1);
    p.drawRoundedRect(QRectF(4, 14, 16, 4), 1.5, 1.5);
    p.drawRoundedRect(QRectF(4, 22, 16, 6), 2, 2);
    p.drawPolygon(QPolygonF({{23, 15}, {29, 15}, {26, 19}}));
}

void mosaicGlyph(QPainter& p, const QColor& c)
{
    // Pixel blocks of three strengths: what the colour ribbon leaves behind.
    static const int strength[3][3] = {{3, 1, 2}, {1, 3, 1}, {2, 1, 3}};
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            QColor block = c;
            block.setAlphaF(0.1 + 0.3 * strength[row][col]);
            p.setBrush(block);
            p.drawRoundedRect(QRectF(2 + col * 10, 2 + row * 10, 8, 8), 1, 1);
        }
    }
}

void frameWithScene(QPainter& p, const QColor& c)
{
    outline(p, c);
    p.drawRoundedRect(QRectF(3, 5, 26, 22), 2.5, 2.5);
    QColor faint = c;
    faint.setAlphaF(0.45);
    p.setPen(Art::pen(faint, 2));
    p.drawPolyline(QPolygonF({{7, 17}, {12, 12}, {17, 17}, {20, 14}, {25, 19}}));
}

void watermarkBottomGlyph(QPainter& p, const QColor& c)
{
    frameWithScene(p, c);
    solid(p, c);
    p.drawRoundedRect(QRectF(10, 21, 12, 2), 1, 1);
}

void watermarkTileGlyph(QPainter& p, const QColor& c)
{
    outline(p, c);
    p.drawRoundedRect(QRectF(3, 5, 26, 22), 2.5, 2.5);
    p.setClipRect(QRectF(5, 7, 22, 18));
    solid(p, c);
    for (const QPointF& at :
         {QPointF(10, 11), QPointF(22, 11), QPointF(16, 17), QPointF(10, 23), QPointF(22, 23)}) {
        p.save();
        p.translate(at);
        p.rotate(-35);
        p.drawRoundedRect(QRectF(-3.5, -1, 7, 2), 1, 1);
        p.restore();
    }
}

QImage icon(const Glyph& glyph, const QColor& color)
{
    QImage image = Art::blank(32, 32);
    QPainter painter(&image);
    Art::prepare(painter);
    glyph(painter, color);
    return image;
}

// A chip of a pattern strip, so that the button shows the band it lays.
QImage patternChip(const QImage& strip, qreal motifCentre)
{
    QImage image = Art::blank(32, 32);
    QPainter painter(&image);
    Art::prepare(painter);
    QPainterPath chip;
    chip.addRoundedRect(QRectF(3, 3, 26, 26), 5, 5);
    painter.setClipPath(chip);
    painter.drawImage(QRectF(3, 3, 26, 26), strip, QRectF(motifCentre - 15, 0, 30, 30));
    painter.setClipping(false);
    painter.setPen(Art::pen(QColor(255, 255, 255, 90), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(3.5, 3.5, 25, 25), 4.5, 4.5);
    return image;
}

} // namespace

Art::Pictures panelIconPictures()
{
    struct Entry
    {
        const char* normal;
        const char* active;
        Glyph glyph;
    };
    const Entry entries[] = {
        {"horizontal.png", "horizontal-active.png", horizontalGlyph},
        {"vertical.png", "vertical-active.png", verticalGlyph},
        {"cutpic-inner@2x.png", "cutpic-inner-active@2x.png", cutInnerGlyph},
        {"cutpic-out@2x.png", "cutpic-out-active@2x.png", cutOuterGlyph},
        {"cutpic-all@2x.png", "cutpic-all-active@2x.png", cutAllGlyph},
        {"spacing-inner.png", "spacing-inner-active.png", spacingInnerGlyph},
        {"spacing-out.png", "spacing-out-active.png", spacingOuterGlyph},
        {"spacing-all.png", "spacing-all-active.png", spacingAllGlyph},
        {"Path.png", "Path-active.png", pathGlyph},
        {"rectangle.png", "rectangle-active.png", rectangleGlyph},
        {"arrow.png", "arrow-active.png", arrowGlyph},
        {"size-more.png", "size-more-active.png", sizeGlyph},
        {"mosaics@2x.png", "mosaics-active@2x.png", mosaicGlyph},
        {"watermark-bottom@2x.png", "watermark-bottom-active@2x.png", watermarkBottomGlyph},
        {"watermark-tile@2x.png", "watermark-tile-active@2x.png", watermarkTileGlyph},
    };
    Art::Pictures pictures;
    for (const Entry& entry : entries) {
        pictures.append({QString::fromLatin1(entry.normal), icon(entry.glyph, Art::iconGrey)});
        pictures.append({QString::fromLatin1(entry.active), icon(entry.glyph, Qt::white)});
    }
    const Art::Pictures patterns = patternPictures();
    const struct
    {
        const char* pattern;
        const char* chip;
        qreal motifCentre;
    } chips[] = {{"mosaic-blue.png", "icon.png", 19},
                 {"mosaic-red.png", "icon2.png", 20.5},
                 {"mosaics-flower.png", "icon3.png", 27}};
    for (const auto& chip : chips) {
        for (const Art::Picture& pattern : patterns) {
            if (pattern.path == QLatin1String(chip.pattern))
                pictures.append(
                    {QString::fromLatin1(chip.chip), patternChip(pattern.image, chip.motifCentre)});
        }
    }
    return pictures;
}
