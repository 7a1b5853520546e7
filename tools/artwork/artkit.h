#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QRectF>
#include <QString>
#include <QVector>

// Shared colours, pens and helpers of the generated picture set.
namespace Art {

inline const QColor panel{0x1c, 0x24, 0x31};
inline const QColor bar{0x28, 0x31, 0x42};
inline const QColor canvas{0x13, 0x18, 0x20};
inline const QColor accent{0x17, 0x7d, 0xf7};
inline const QColor accentDark{0x0f, 0x5f, 0xc6};
inline const QColor text{0xeb, 0xec, 0xee};
inline const QColor muted{0x8c, 0x8d, 0x8d};
inline const QColor border{0x3a, 0x43, 0x54};
inline const QColor iconGrey{0xb4, 0xbb, 0xc6};
inline const QColor well{0x18, 0x1f, 0x2b};

struct Picture
{
    QString path; // relative to the images folder, e.g. "color/blue.png"
    QImage image;
};
using Pictures = QVector<Picture>;

// Must be called once, before any text is drawn; returns false when the font cannot be read.
bool loadFont(const QString& fontFile);
QFont font(qreal pixelSize);

// The scale the pictures are drawn at: 1, or 2 for the "@2x" set. Sizes and coordinates stay those of
// scale 1; a blank image has the scale's pixels and device pixel ratio, so painters draw in detail.
void setScale(int scale);
int scale();
QImage blank(int width, int height, const QColor& fill = Qt::transparent);
// One logical pixel of a picture set pixel by pixel: a block of scale x scale device pixels.
void setLogicalPixel(QImage& image, int x, int y, const QColor& color);
// A painter with antialiasing and smooth pixmap scaling switched on.
void prepare(QPainter& painter);
QPen pen(const QColor& color, qreal width);

// Centres text in the rectangle, shrinking the pixel size until it fits the width.
void drawCentredText(QPainter& painter, const QRectF& rect, const QString& text, const QColor& color,
                     qreal pixelSize);

// A deterministic value in [0, 1) for a pair of integers; the pictures never depend on a seed.
double hash01(int a, int b);

// A small stylised landscape (sky, sun, two mountain ranges); variants change the light.
void drawScene(QPainter& painter, const QRectF& rect, int variant);

// The product mark: a rounded tile holding a strip of photos joined by seams.
void drawLogo(QPainter& painter, const QRectF& rect);
QImage logo(int size);

} // namespace Art

Art::Pictures topBarPictures();
Art::Pictures panelIconPictures();
Art::Pictures controlPictures();
Art::Pictures patternPictures();
Art::Pictures posterPictures();
