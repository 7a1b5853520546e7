#include "artkit.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace {
QString fontFamily;
}

namespace Art {

bool loadFont(const QString& fontFile)
{
    const int id = QFontDatabase::addApplicationFont(fontFile);
    if (id < 0)
        return false;
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty())
        return false;
    fontFamily = families.first();
    return true;
}

QFont font(qreal pixelSize)
{
    QFont f(fontFamily);
    f.setPixelSize(qMax(1, qRound(pixelSize)));
    f.setBold(true);
    // No system-dependent hinting or substitution: the same font file gives the same pixels.
    f.setHintingPreference(QFont::PreferVerticalHinting);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::PreferAntialias));
    return f;
}

namespace {
int drawingScale = 1;
}

void setScale(int scale)
{
    drawingScale = qMax(1, scale);
}

int scale()
{
    return drawingScale;
}

QImage blank(int width, int height, const QColor& fill)
{
    QImage image(width * drawingScale, height * drawingScale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(drawingScale);
    image.fill(fill);
    return image;
}

void setLogicalPixel(QImage& image, int x, int y, const QColor& color)
{
    for (int dy = 0; dy < drawingScale; ++dy)
        for (int dx = 0; dx < drawingScale; ++dx)
            image.setPixelColor(x * drawingScale + dx, y * drawingScale + dy, color);
}

void prepare(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
}

QPen pen(const QColor& color, qreal width)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void drawCentredText(QPainter& painter, const QRectF& rect, const QString& text, const QColor& color,
                     qreal pixelSize)
{
    QFont f = font(pixelSize);
    while (pixelSize > 5 && QFontMetricsF(f).horizontalAdvance(text) > rect.width()) {
        pixelSize -= 0.5;
        f = font(pixelSize);
    }
    painter.save();
    painter.setFont(f);
    painter.setPen(color);
    painter.drawText(rect, Qt::AlignCenter, text);
    painter.restore();
}

double hash01(int a, int b)
{
    quint32 h = quint32(a) * 0x9E3779B1u ^ (quint32(b) + 0x7F4A7C15u) * 0x85EBCA77u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return double(h & 0xFFFFFF) / double(0x1000000);
}

void drawScene(QPainter& painter, const QRectF& r, int variant)
{
    static const QColor skies[][2] = {{{0x7c, 0xb8, 0xf6}, {0xd9, 0xec, 0xff}},
                                      {{0xf2, 0x9e, 0x7a}, {0xfd, 0xdc, 0xb0}},
                                      {{0x5d, 0x8f, 0xd8}, {0xb9, 0xd7, 0xf7}}};
    const auto& sky = skies[variant % 3];
    painter.save();
    painter.setClipRect(r, Qt::IntersectClip);
    QLinearGradient skyGradient(r.topLeft(), r.bottomLeft());
    skyGradient.setColorAt(0, sky[0]);
    skyGradient.setColorAt(1, sky[1]);
    painter.fillRect(r, skyGradient);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 246, 214));
    const qreal sun = r.height() * 0.13;
    painter.drawEllipse(QPointF(r.left() + r.width() * 0.72, r.top() + r.height() * 0.3), sun, sun);

    auto ridge = [&](qreal base, const QVector<qreal>& peaks, const QColor& color) {
        QPainterPath path(QPointF(r.left(), r.bottom()));
        const qreal step = r.width() / (peaks.size() - 1);
        for (int i = 0; i < peaks.size(); ++i)
            path.lineTo(r.left() + i * step, r.top() + r.height() * (base - peaks[i]));
        path.lineTo(r.right(), r.bottom());
        path.closeSubpath();
        painter.fillPath(path, color);
    };
    ridge(0.72, {0.05, 0.28, 0.12, 0.36, 0.18, 0.30, 0.08}, QColor(0x4b, 0x6a, 0x9b));
    ridge(0.92, {0.10, 0.02, 0.24, 0.08, 0.16, 0.04, 0.20}, QColor(0x2e, 0x4a, 0x6e));
    painter.restore();
}

void drawLogo(QPainter& painter, const QRectF& rect)
{
    painter.save();
    painter.translate(rect.topLeft());
    painter.scale(rect.width() / 64.0, rect.height() / 64.0);

    QLinearGradient tile(0, 0, 64, 64);
    tile.setColorAt(0, QColor(0x3d, 0xa0, 0xff));
    tile.setColorAt(1, QColor(0x0c, 0x4f, 0xba));
    painter.setPen(Qt::NoPen);
    painter.setBrush(tile);
    painter.drawRoundedRect(QRectF(2, 2, 60, 60), 14, 14);

    // One view made of three photos; the seams where they were joined are stitched.
    const QRectF strip(9, 20, 46, 26);
    painter.setBrush(QColor(0, 0, 0, 60));
    painter.drawRoundedRect(strip.translated(0, 1.5), 3, 3);
    painter.setBrush(QColor(0xf7, 0xfa, 0xff));
    painter.drawRoundedRect(strip, 3, 3);
    drawScene(painter, strip.adjusted(2, 2, -2, -2), 0);
    painter.setPen(pen(QColor(0xff, 0xc8, 0x3d), 1.5));
    painter.setBrush(Qt::NoBrush);
    for (const qreal x : {24.0, 40.0}) {
        QPolygonF zigzag;
        for (int i = 0; i <= 7; ++i)
            zigzag << QPointF(x + (i % 2 ? 1.6 : -1.6), 22.5 + i * 3);
        painter.drawPolyline(zigzag);
    }
    painter.restore();
}

QImage logo(int size)
{
    QImage image = blank(size, size);
    QPainter painter(&image);
    prepare(painter);
    drawLogo(painter, QRectF(0, 0, size, size));
    return image;
}

} // namespace Art
